#include "controls/focus_cue.h"

#include "controls/answer_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {

// Two rings, so the frame shows on every face: white on the dark ones,
// black on the green and the light ones.
constexpr int kRing = 2;

bool IsCueKey(const QKeyEvent &key)
{
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return AnswerKeys::Answer(key) >= 0;
    }
}

} // namespace

FocusCue::FocusCue(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { Follow(); });
}

QWidget *FocusCue::frame() const
{
    return frame_ != nullptr && frame_->isVisible() ? frame_.data() : nullptr;
}

void FocusCue::Paint(QPainter &painter, QSize size)
{
    painter.setPen(Qt::NoPen);
    const QRect outer(QPoint(0, 0), size);
    const QRect inner = outer.adjusted(kRing, kRing, -kRing, -kRing);
    const QRect core = inner.adjusted(kRing, kRing, -kRing, -kRing);
    QRegion black(outer);
    black -= QRegion(inner);
    QRegion white(inner);
    white -= QRegion(core);
    painter.setClipRegion(black);
    painter.fillRect(outer, Qt::black);
    painter.setClipRegion(white);
    painter.fillRect(outer, Qt::white);
}

bool FocusCue::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (!keyboard_ && IsCueKey(*static_cast<QKeyEvent *>(event))) {
            SetKeyboard(true);
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (keyboard_) {
            SetKeyboard(false);
        }
        break;
    case QEvent::Paint:
        if (watched == frame_) {
            QPainter painter(frame_);
            Paint(painter, frame_->size());
            return true;
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched == target_) {
            Follow();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FocusCue::SetKeyboard(bool keyboard)
{
    keyboard_ = keyboard;
    Follow();
}

void FocusCue::Follow()
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *parent = focus != nullptr ? focus->parentWidget() : nullptr;
    target_ = focus;
    if (!keyboard_ || parent == nullptr || !focus->isVisible()) {
        if (frame_ != nullptr) {
            frame_->hide();
        }
        return;
    }
    if (frame_ == nullptr) {
        frame_ = new QWidget;
        frame_->setObjectName(QStringLiteral("focusCue"));
        frame_->setAttribute(Qt::WA_TransparentForMouseEvents);
        frame_->setFocusPolicy(Qt::NoFocus);
        // Only a frame: no screen reader needs to know of it.
        frame_->setAccessibleName(QString());
    }
    if (frame_->parentWidget() != parent) {
        // Kept by the window it is shown in; a closed dialog takes it along and
        // the next focus change makes a new one.
        frame_->setParent(parent);
    }
    frame_->setGeometry(focus->geometry());
    frame_->raise();
    frame_->show();
    frame_->update();
}
