#include "speech/windows/espeak_voice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <espeak-ng/espeak_ng.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace {

// The voice's file in espeak-ng-data: the only voice there, so only it can be chosen.
constexpr const char *kVoiceFile = "roa/fr";
// What espeak-ng reads for it; without one of them it would look elsewhere
// (an environment variable, another espeak-ng's registry key) or fail.
constexpr const char *kDataFiles[] = {"phondata", "phonindex", "phontab", "intonations", "fr_dict", "lang/roa/fr"};
// espeak-ng keeps its folder in 230 bytes, with room for a file name after it.
constexpr std::size_t kMaxPath = 200;
// Samples closer to zero than this count as silence before the sound.
constexpr int kSilence = 16;

// The samples of a synthesis in progress (espeak-ng's state is global too).
std::vector<std::int16_t> *g_collecting = nullptr;

int Collect(short *wav, int count, espeak_EVENT * /*events*/)
{
    if (wav != nullptr && count > 0 && g_collecting != nullptr) {
        g_collecting->insert(g_collecting->end(), wav, wav + count);
    }
    return 0; // go on
}

std::string ToAnsi(const std::wstring &wide)
{
    // UTF-8 as the ANSI code page takes no best-fit flags and loses nothing.
    const UINT codePage = ::GetACP();
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL *lossyOut = codePage == CP_UTF8 ? nullptr : &lossy;
    const int size = ::WideCharToMultiByte(CP_ACP, flags, wide.c_str(), -1, nullptr, 0, nullptr, lossyOut);
    if (size <= 0 || lossy) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, wide.c_str(), -1, narrow.data(), size, nullptr, lossyOut);
    narrow.resize(static_cast<std::size_t>(size - 1));
    return lossy ? std::string() : narrow;
}

} // namespace

EspeakVoice::~EspeakVoice()
{
    Unload();
}

QString EspeakVoice::DataFolderBesideProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("espeak-ng-data"));
}

std::string EspeakVoice::NarrowPath(const QString &folder)
{
    const std::wstring wide = QDir::toNativeSeparators(QDir::cleanPath(folder)).toStdWString();
    std::string path = ToAnsi(wide);
    if (path.empty() || path.size() > kMaxPath) {
        // A name the code page cannot spell (Cyrillic letters under Western
        // Windows), or a long one: its short 8.3 form, where the volume keeps them.
        std::wstring shortPath(MAX_PATH, L'\0');
        const DWORD n = ::GetShortPathNameW(wide.c_str(), shortPath.data(), MAX_PATH);
        path = n > 0 && n < MAX_PATH ? ToAnsi(shortPath.substr(0, n)) : std::string();
    }
    return path.size() <= kMaxPath ? path : std::string();
}

Speaker::Availability EspeakVoice::Fail(Speaker::Availability availability, const QString &failure)
{
    Unload();
    availability_ = availability;
    failure_ = failure;
    return availability_;
}

void EspeakVoice::Unload()
{
    if (started_) {
        espeak_ng_Terminate();
        started_ = false;
    }
    availability_ = Speaker::Availability::NotLooked;
    failure_.clear();
    name_.clear();
    language_.clear();
    sampleRate_ = 0;
}

Speaker::Availability EspeakVoice::Load(const QString &folder)
{
    using A = Speaker::Availability;
    Unload();
    const QDir data(folder);
    for (const char *file : kDataFiles) {
        if (!QFileInfo(data.filePath(QLatin1String(file))).isFile()) {
            return Fail(
                A::NoFrenchVoice,
                QStringLiteral("%1 is missing").arg(QDir::toNativeSeparators(data.filePath(QLatin1String(file)))));
        }
    }
    const std::string path = NarrowPath(data.absolutePath());
    if (path.empty()) {
        return Fail(
            A::EngineFailed,
            QStringLiteral("espeak-ng cannot open files in %1").arg(QDir::toNativeSeparators(data.absolutePath())));
    }

    espeak_ng_InitializePath(path.c_str());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    started_ = true;
    if (status == ENS_OK) {
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
    }
    if (status == ENS_OK) {
        status = espeak_ng_SetVoiceByName(kVoiceFile);
    }
    if (status != ENS_OK) {
        char message[256] = {};
        espeak_ng_GetStatusCodeMessage(status, message, sizeof message);
        return Fail(A::EngineFailed, QStringLiteral("espeak-ng: %1").arg(QString::fromLocal8Bit(message)));
    }
    // The folder it settled on is ours, not one it found elsewhere.
    const char *usedPath = nullptr;
    espeak_Info(&usedPath);
    if (usedPath == nullptr || path != usedPath) {
        return Fail(A::EngineFailed,
                    QStringLiteral("espeak-ng took its data from %1")
                        .arg(QString::fromLocal8Bit(usedPath ? usedPath : "nowhere")));
    }
    // Only ever French: the voice's own language, as espeak-ng reports it.
    const espeak_VOICE *voice = espeak_GetCurrentVoice();
    // Its languages: a priority byte before each name; the first is the voice's own.
    language_ = voice != nullptr && voice->languages != nullptr && voice->languages[0] != 0
        ? QString::fromUtf8(voice->languages + 1)
        : QString();
    if (language_ != QLatin1String("fr") && !language_.startsWith(QLatin1String("fr-"))) {
        return Fail(A::EngineFailed, QStringLiteral("espeak-ng gave a voice in \"%1\", not French").arg(language_));
    }
    for (const espeak_VOICE *const *listed = espeak_ListVoices(nullptr); listed && *listed; ++listed) {
        // Listed with the system's path separator.
        std::string identifier = (*listed)->identifier != nullptr ? (*listed)->identifier : "";
        std::replace(identifier.begin(), identifier.end(), '\\', '/');
        if (identifier == kVoiceFile) {
            name_ = QString::fromUtf8((*listed)->name);
        }
    }
    sampleRate_ = espeak_ng_GetSampleRate();
    espeak_SetSynthCallback(&Collect);
    availability_ = A::Ready;
    return availability_;
}

std::vector<std::int16_t> EspeakVoice::Synthesize(const QString &text)
{
    std::vector<std::int16_t> samples;
    if (availability_ != Speaker::Availability::Ready) {
        return samples;
    }
    const QByteArray utf8 = text.toUtf8();
    g_collecting = &samples;
    espeak_ng_Synthesize(utf8.constData(), static_cast<std::size_t>(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                         espeakCHARS_UTF8, nullptr, nullptr);
    g_collecting = nullptr;
    const auto sound
        = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return std::abs(s) >= kSilence; });
    samples.erase(samples.begin(), sound);
    return samples;
}

QString EspeakVoice::Phonemes(const QString &text)
{
    if (availability_ != Speaker::Availability::Ready) {
        return {};
    }
    const QByteArray utf8 = text.toUtf8();
    const void *rest = utf8.constData();
    QStringList clauses;
    // One clause per call; rest becomes null after the last.
    while (rest != nullptr) {
        const char *phonemes = espeak_TextToPhonemes(&rest, espeakCHARS_UTF8, 0);
        if (phonemes != nullptr) {
            clauses << QString::fromUtf8(phonemes).trimmed();
        }
    }
    return clauses.join(QLatin1Char(' '));
}
