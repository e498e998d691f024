#include "app/c_pelko_dlg.h"

#include "app/announcer.h"
#include "app/c_about_dlg.h"
#include "app/c_high_scores_dlg.h"
#include "app/dialog_layout.h"
#include "app/save_guard.h"
#include "app/tab_control.h"
#include "app/tab_gap_delegate.h"
#include "controls/answer_keys.h"
#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "controls/focus_cue.h"
#include "controls/offscreen_paint.h"
#include "controls/window_backdrop.h"
#include "res/control_ids.h"
#include "res/strings.h"
#include "speech/word_speaker.h"
#include "stores/user_stores.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QEventLoop>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTreeWidget>

// Resources live in a static library; registering them here keeps the linker from dropping them.
static void InitPelkoResources()
{
    Q_INIT_RESOURCE(pelko);
}

namespace {

using namespace ids::main;

constexpr int kDrillTickMs = 200;
#ifdef _WIN32
// Windows gets the very same native window from a dialog with these hints
// (caption, icon, system menu, minimise and close boxes, a taskbar button of
// its own). A Qt::Window would cost every start a probe of the graphics card
// while it is made (Qt 6 looks for the screen an OpenGL window must go on:
// Direct3D, and under Wine a whole OpenGL context), 0.2 to 0.4 s under Wine
// that this raster window never needs.
constexpr Qt::WindowType kMainWindowType = Qt::Dialog;
#else
// A main window to the window manager, with its minimise button.
constexpr Qt::WindowType kMainWindowType = Qt::Window;
#endif
// The gauge changes on every tick; a screen reader hears it once a second.
constexpr int kGaugeAnnounceMs = 1000;
constexpr char kTextProperty[] = "pelkoText";
// About as long as a reader takes to say a speed challenge's score.
constexpr int kScoreSpeechMs = 2000;

QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

int AnswerIndex(int id)
{
    for (int k = 0; k < 4; ++k) {
        if (kAnswers[static_cast<std::size_t>(k)] == id) {
            return k;
        }
    }
    return -1;
}

int LevelOfButton(int id)
{
    for (int n = 1; n <= 20; ++n) {
        if (kLevelButtons[static_cast<std::size_t>(n - 1)] == id) {
            return n;
        }
    }
    return 0;
}

QTreeWidget *MakeList(QWidget *parent)
{
    auto *list = new QTreeWidget(parent);
    list->setColumnCount(1);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    return list;
}

} // namespace

CpelkoDlg::CpelkoDlg(SavedProfile &store, QWidget *parent) : CpelkoDlg(store, Speaker::ForThisBuild(), parent) { }

CpelkoDlg::CpelkoDlg(SavedProfile &store, std::unique_ptr<Speaker> speaker, QWidget *parent)
    : QDialog(parent), store_(store), engine_(*this, store)
{
    InitPelkoResources();
    wordSpeaker_ = new WordSpeaker(std::move(speaker), UserStores::OptionsBeside(store_), *this);
    drillTimer_.setInterval(kDrillTickMs);
    drillTimer_.setTimerType(Qt::CoarseTimer);
    connect(&drillTimer_, &QTimer::timeout, this, [this] { engine_.OnDrillTimer(); });
    announcer_ = new Announcer(this);
    focusCue_ = new FocusCue(this);
    CreateControls();
    OnInitDialog();
    qApp->installEventFilter(this);
    // Below the strips, left of About and Exit: the one free band of the window.
    saveGuard_ = new SaveGuard(store_, this);
    saveGuard_->Watch(*wordSpeaker_);
    const QRect strip = control(kTotal)->geometry();
    saveGuard_->Place(QRect(QPoint(strip.left(), strip.bottom() + 6), QPoint(control(kAbout)->x() - 12, height() - 4)));
}

void CpelkoDlg::done(int result)
{
    if (saveGuard_->ConfirmClose()) {
        QDialog::done(result);
    }
}

CpelkoDlg::~CpelkoDlg() = default;

void CpelkoDlg::CreateControls()
{
    const dialogs::Template &t = dialogs::kMainDialog;
    const DialogLayout layout(t);
    setWindowFlags(kMainWindowType | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFont(layout.Font());
    setFixedSize(layout.ClientSize());
    setWindowTitle(ToQString(t.caption));
    // The backdrop covers the whole client area at every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);

    for (const dialogs::Control &c : t.controls) {
        QWidget *widget = nullptr;
        const QString caption = ToQString(c.caption);
        const int answer = AnswerIndex(c.id);
        const int level = LevelOfButton(c.id);
        if (answer >= 0) {
            auto *button = new CAnswerButton(&engine_.answerFace(answer), this);
            connect(button, &QPushButton::clicked, this, [this, answer] { engine_.AnswerClicked(answer); });
            widget = button;
        } else if (level > 0) {
            auto *button = new CLevelButton(level, &store_, this);
            connect(button, &QPushButton::clicked, this, [this, level] { engine_.SelectLevel(level); });
            widget = button;
        } else {
            switch (c.id) {
            case kExit:
            case kStartPractise:
            case kSpeedChallenge:
            case kReview:
            case kAbout: {
                auto *button = new CAnswerButton(&commandFace_, this);
                if (c.id == kExit) {
                    button->setDefault(true);
                    connect(button, &QPushButton::clicked, this, &QDialog::accept);
                } else if (c.id == kStartPractise) {
                    connect(button, &QPushButton::clicked, this, [this] { engine_.StartDrill(); });
                } else if (c.id == kSpeedChallenge) {
                    connect(button, &QPushButton::clicked, this, [this] { engine_.StartSpeedChallenge(); });
                } else if (c.id == kReview) {
                    connect(button, &QPushButton::clicked, this, [this] { engine_.StartReview(); });
                } else {
                    connect(button, &QPushButton::clicked, this, &CpelkoDlg::OnAboutButton);
                }
                widget = button;
                break;
            }
            case kWordDisplay:
            case kStatus: {
                auto *label = new QLabel(this);
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(true);
                if (c.id == kWordDisplay) {
                    label->setAlignment(Qt::AlignCenter);
                    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                    label->setAutoFillBackground(true);
                } else {
                    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                    label->setAttribute(Qt::WA_TransparentForMouseEvents);
                }
                widget = label;
                break;
            }
            case kAnswerLog:
            case kResultsList:
                widget = MakeList(this);
                break;
            case kTabs:
                tabs_ = new TabControl(this);
                tabs_->setFocusPolicy(Qt::NoFocus);
                widget = tabs_;
                break;
            case kProgress:
                widget = new CProgressBar(&engine_.progress(), this);
                notifier_.SetMinimumInterval(widget, kGaugeAnnounceMs);
                notifier_.QuietValue(widget);
                break;
            case kMarked:
                widget = new CMarkedBar(&engine_.marked(), this);
                notifier_.QuietValue(widget);
                break;
            case kLevelTitle:
                widget = new CTitleBar(&engine_.levelTitle(), this);
                break;
            case kClock:
                widget = new CTitleBar(&engine_.clock(), this);
                break;
            case kTotal:
                widget = new CTotalBar(&store_, this);
                break;
            default:
                continue;
            }
        }
        widget->setObjectName(QString::number(c.id));
        widget->setGeometry(layout.ToPixels(c));
        controls_[c.id] = widget;
        SetControlText(c.id, c.caption);
    }
}

void CpelkoDlg::BindAnswerKeys()
{
    // 1-4 (top row or keypad) press the answer buttons, through the buttons'
    // own click so that every rule of a click holds. Shortcuts come before the
    // lists' type-ahead search, so they work whatever has the focus.
    for (int k = 0; k < 4; ++k) {
        const auto key = static_cast<Qt::Key>(Qt::Key_1 + k);
        for (const QKeySequence &sequence : {QKeySequence(key), QKeySequence(Qt::KeypadModifier | key)}) {
            auto *shortcut = new QShortcut(sequence, this);
            connect(shortcut, &QShortcut::activated, this, [this, k] { PressAnswer(k); });
        }
    }
    // T tells the time: the seconds left of a speed challenge, or a practise's time so far.
    auto *time = new QShortcut(QKeySequence(Qt::Key_T), this);
    connect(time, &QShortcut::activated, this, [this] { engine_.AnnounceTime(); });
}

void CpelkoDlg::PressAnswer(int k)
{
    auto *button = qobject_cast<QAbstractButton *>(control(kAnswers[static_cast<std::size_t>(k)]));
    if (button != nullptr && button->isVisible() && button->isEnabled()) {
        button->click();
    }
}

void CpelkoDlg::BindTabKeys()
{
    // The tab strip takes no focus, so the usual keys of a tab strip switch
    // it from anywhere in the window, and the focus goes to the list shown.
    const auto step = [this](int delta) {
        const int next = (tabs_->currentIndex() + delta + tabs_->count()) % tabs_->count();
        tabs_->setCurrentIndex(next);
        QTreeWidget *list = List(next == 0 ? kAnswerLog : kResultsList);
        list->setFocus(Qt::TabFocusReason);
        // Made current anew, so that a reader says the row along with the list.
        if (QTreeWidgetItem *row = list->currentItem() != nullptr ? list->currentItem() : list->topLevelItem(0)) {
            list->setCurrentItem(nullptr);
            list->setCurrentItem(row);
        }
    };
    for (const QKeySequence &sequence :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, [step] { step(+1); });
    }
    for (const QKeySequence &sequence :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, [step] { step(-1); });
    }
}

bool CpelkoDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this && QApplication::activeModalWidget() == nullptr
        && QApplication::activePopupWidget() == nullptr) {
        const int k = AnswerKeys::FrenchTopRow(*static_cast<QKeyEvent *>(event));
        if (k >= 0) {
            PressAnswer(k);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CpelkoDlg::OnInitDialog()
{
    engine_.InitDialogState();

    QTreeWidget *log = List(kAnswerLog);
    QTreeWidget *results = List(kResultsList);
    log->setHeaderLabels({QStringLiteral("... ")});
    results->setHeaderLabels({QStringLiteral("...")});
    // A row keeps its tabs, but a tab drawn as a jump to the next tab stop
    // pushes the meaning past the column's edge.
    log->setItemDelegate(new TabGapDelegate(log));
    log->header()->resizeSection(0, 480);
    results->header()->resizeSection(0, 480);
    results->hide();
    log->show();

    tabs_->addTab(new QWidget, QStringLiteral("  Answer Log   "));
    tabs_->addTab(new QWidget, QStringLiteral("  Results      "));
    // The blanks only lay the tabs out; a screen reader gets the bare names.
    for (int k = 0; k < tabs_->count(); ++k) {
        tabs_->tabBar()->setAccessibleTabName(k, tabs_->tabText(k).trimmed());
    }
    log->setAccessibleName(tabs_->tabBar()->accessibleTabName(0));
    results->setAccessibleName(tabs_->tabBar()->accessibleTabName(1));
    connect(tabs_, &QTabWidget::currentChanged, this, &CpelkoDlg::OnTabSelChange);
    OnTabSelChange();

    SetControlText(kWordDisplay, u"Press start button to begin.");
    for (int id : kAnswers) {
        SetControlText(id, u" - ");
    }
    engine_.ShowLevelResults();

    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/pelko/pelko-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
    BindAnswerKeys();
    BindTabKeys();
    setWindowTitle(QString::fromUtf16(strings::kWindowCaption));
    controls_.at(kExit)->setFocus();
}

QWidget *CpelkoDlg::control(int id) const
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QTreeWidget *CpelkoDlg::List(int id) const
{
    return qobject_cast<QTreeWidget *>(control(id));
}

void CpelkoDlg::SetControlText(int id, std::u16string_view text)
{
    QWidget *widget = control(id);
    if (widget == nullptr) {
        return;
    }
    const QString value = ToQString(text);
    // The window text is kept whole; a label shows line breaks as one break.
    widget->setProperty(kTextProperty, value);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setText(value);
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        QString shown = value;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (shown == label->text()) {
            AccessibilityNotifier::RepeatName(label);
        }
        label->setText(shown);
    }
    if (id == kWordDisplay) {
        const int w = engine_.session().currentWord;
        const bool asked = w >= WordTable::kFirstWord && w <= WordTable::kLastWord;
        wordSpeaker_->WordDisplayChanged(text, asked ? std::u16string_view(engine_.words()[w].french) : u"");
        // The French voice says the word; the screen reader's question then leaves it out, so it is heard once.
        engine_.SetSpeakFrenchWord(!wordSpeaker_->SpeaksWords());
    }
}

std::u16string CpelkoDlg::GetControlText(int id) const
{
    const QWidget *widget = control(id);
    return widget == nullptr ? std::u16string() : ToU16(widget->property(kTextProperty).toString());
}

void CpelkoDlg::ShowControl(int id, bool show)
{
    if (QWidget *widget = control(id)) {
        // A list hidden under the focus hands it to the list shown in its
        // place, which the learner expects, rather than to the next control.
        const bool handOver = !show && widget->hasFocus() && (id == kAnswerLog || id == kResultsList);
        widget->setVisible(show);
        QWidget *other = control(id == kAnswerLog ? kResultsList : kAnswerLog);
        if (handOver && other->isVisible()) {
            other->setFocus(Qt::OtherFocusReason);
        }
    }
}

void CpelkoDlg::EnableControl(int id, bool enable)
{
    if (QWidget *widget = control(id)) {
        widget->setEnabled(enable);
    }
}

void CpelkoDlg::InvalidateControl(int id, bool /*erase*/)
{
    // The painted controls never erase, so both kinds of request are one repaint.
    if (QWidget *widget = control(id)) {
        widget->update();
        // A repaint request is where a painted control's figure or verdict changes.
        notifier_.Changed(widget);
    }
}

void CpelkoDlg::SetDrillTimer()
{
    drillTimer_.start();
}

void CpelkoDlg::KillDrillTimer()
{
    drillTimer_.stop();
}

void CpelkoDlg::ListInsertTop(int listId, std::u16string_view text, std::u16string_view spoken)
{
    if (QTreeWidget *list = List(listId)) {
        auto *item = new QTreeWidgetItem(QStringList {ToQString(text)});
        if (!spoken.empty()) {
            item->setData(0, Qt::AccessibleTextRole, ToQString(spoken));
        }
        list->insertTopLevelItem(0, item);
    }
}

void CpelkoDlg::ListEnsureTopVisible(int listId)
{
    if (QTreeWidget *list = List(listId); list != nullptr && list->topLevelItemCount() > 0) {
        list->scrollToItem(list->topLevelItem(0));
    }
}

void CpelkoDlg::ListDeleteAll(int listId)
{
    if (QTreeWidget *list = List(listId)) {
        list->clear();
    }
}

int CpelkoDlg::ListRowCount(int listId) const
{
    const QTreeWidget *list = List(listId);
    return list == nullptr ? 0 : list->topLevelItemCount();
}

void CpelkoDlg::SelectTab(int index)
{
    // A selection from code runs no handler; the engine swaps the lists itself.
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentIndex(index);
}

void CpelkoDlg::RunHighScores(std::int64_t span, std::int32_t correct, std::int32_t tries)
{
    // The score is said before the table takes the focus. A reader that is
    // still busy when the table's many new controls reach it drops what it
    // has not yet taken, and the table's title cuts short what it is saying:
    // with a reader listening, the table waits a moment, taking no input.
    announcer_->Flush();
    if (QAccessible::isActive()) {
        QEventLoop wait;
        QTimer::singleShot(kScoreSpeechMs, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    QWidget *owner = QApplication::activeModalWidget();
    CHighScoresDlg dialog(store_, owner != nullptr ? owner : this);
    dialog.SetCandidate(span, correct, tries);
    dialog.exec();
}

bool CpelkoDlg::AskYesNo(std::u16string_view text)
{
    QWidget *owner = QApplication::activeModalWidget();
    QMessageBox box(QMessageBox::Critical, QString::fromUtf16(strings::kMessageBoxTitle), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, owner != nullptr ? owner : this);
    return box.exec() == QMessageBox::Yes;
}

void CpelkoDlg::Announce(std::u16string_view text)
{
    announcer_->Say(ToQString(text));
}

std::int64_t CpelkoDlg::Now() const
{
    return clock_ ? clock_() : QDateTime::currentSecsSinceEpoch();
}

void CpelkoDlg::OnAboutButton()
{
    CAboutDlg about(store_, *this, &engine_, this);
    about.exec();
}

void CpelkoDlg::OnSysCommand(int command)
{
    if ((command & ~0xF) == kSysCommandAbout) {
        OnAboutButton();
    }
}

void CpelkoDlg::OnTabSelChange()
{
    listRect_ = tabs_->DisplayArea().translated(tabs_->geometry().topLeft());
    QWidget *log = control(kAnswerLog);
    QWidget *results = control(kResultsList);
    const bool showLog = tabs_->currentIndex() == 0;
    for (QWidget *list : {results, log}) {
        list->setGeometry(listRect_);
        list->raise();
    }
    results->setVisible(!showLog);
    log->setVisible(showLog);
}

void CpelkoDlg::paintEvent(QPaintEvent * /*event*/)
{
    OffscreenPaint::Blit(*this, WindowBackdrop::Render(size(), devicePixelRatioF()));
}

void CpelkoDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The style is final once shown; lay the lists onto the tab area again.
    OnTabSelChange();
}

void CpelkoDlg::contextMenuEvent(QContextMenuEvent *event)
{
    // Stands in for the window's system menu, which Linux desktops keep to themselves.
    QMenu menu(this);
    QAction *about = menu.addAction(QString::fromUtf16(strings::kAboutMenuItem));
    wordSpeaker_->AddMenuItem(menu);
    if (menu.exec(event->globalPos()) == about) {
        OnSysCommand(kSysCommandAbout);
    }
}
