#include "speech/windows/wave_out_player.h"

#include <windows.h>

#include <mmsystem.h>

struct WaveOutPlayer::Device
{
    HWAVEOUT handle = nullptr;
    int sampleRate = 0;
    WAVEHDR header {};
    bool prepared = false;
    std::vector<std::int16_t> samples; // what header points to, kept while it plays
};

WaveOutPlayer::WaveOutPlayer() : device_(std::make_unique<Device>()) { }

WaveOutPlayer::~WaveOutPlayer()
{
    Close();
}

bool WaveOutPlayer::Fail(const char *call, unsigned result)
{
    wchar_t text[MAXERRORLENGTH] = {};
    ::waveOutGetErrorTextW(result, text, MAXERRORLENGTH);
    failure_ = QStringLiteral("%1: %2").arg(QLatin1String(call), QString::fromWCharArray(text));
    return false;
}

bool WaveOutPlayer::Open(int sampleRate)
{
    if (device_->handle != nullptr && device_->sampleRate == sampleRate) {
        return true;
    }
    Close();
    WAVEFORMATEX format {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    // No callback: the next sound or the end finds the last one's header.
    const MMRESULT result = ::waveOutOpen(&device_->handle, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        device_->handle = nullptr;
        return Fail("waveOutOpen", result);
    }
    device_->sampleRate = sampleRate;
    return true;
}

void WaveOutPlayer::Stop()
{
    if (device_->handle == nullptr) {
        return;
    }
    // Marks the sound still playing as done and sets the position back to 0.
    ::waveOutReset(device_->handle);
    if (device_->prepared) {
        ::waveOutUnprepareHeader(device_->handle, &device_->header, sizeof device_->header);
        device_->prepared = false;
    }
}

void WaveOutPlayer::Close()
{
    Stop();
    if (device_->handle != nullptr) {
        ::waveOutClose(device_->handle);
        device_->handle = nullptr;
    }
}

bool WaveOutPlayer::Play(std::vector<std::int16_t> samples, int sampleRate)
{
    if (!Open(sampleRate)) {
        return false;
    }
    Stop();
    if (samples.empty()) {
        return true;
    }
    Device &d = *device_;
    d.samples = std::move(samples);
    d.header = {};
    d.header.lpData = reinterpret_cast<LPSTR>(d.samples.data());
    d.header.dwBufferLength = static_cast<DWORD>(d.samples.size() * sizeof(std::int16_t));
    MMRESULT result = ::waveOutPrepareHeader(d.handle, &d.header, sizeof d.header);
    if (result == MMSYSERR_NOERROR) {
        d.prepared = true;
        result = ::waveOutWrite(d.handle, &d.header, sizeof d.header);
    }
    if (result != MMSYSERR_NOERROR) {
        // A device that went away (unplugged): opened afresh for the next sound.
        Close();
        return Fail("waveOutWrite", result);
    }
    return true;
}

std::uint32_t WaveOutPlayer::Position() const
{
    if (device_->handle == nullptr) {
        return 0;
    }
    MMTIME time {};
    time.wType = TIME_SAMPLES;
    if (::waveOutGetPosition(device_->handle, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_SAMPLES) {
        return 0;
    }
    return time.u.sample;
}

bool WaveOutPlayer::Playing() const
{
    // The driver sets the flag from its own thread.
    const volatile DWORD &flags = device_->header.dwFlags;
    return device_->prepared && (flags & WHDR_DONE) == 0;
}
