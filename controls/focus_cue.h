#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QPainter;

// A frame over the focused control while the learner works with the keys:
// it appears with the first Tab, arrow key or answer key and goes at the
// next mouse click, as desktops show keyboard focus. It is a widget of its
// own laid over the control, so the painted faces underneath stay as they
// are, and a learner who only uses the mouse never sees it.
class FocusCue : public QObject
{
public:
    // Watches the whole application from now on.
    explicit FocusCue(QObject *parent = nullptr);

    bool active() const { return keyboard_; }
    // The frame's widget while it shows, else nullptr.
    QWidget *frame() const;

    static void Paint(QPainter &painter, QSize size);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetKeyboard(bool keyboard);
    void Follow();

    bool keyboard_ = false;
    QPointer<QWidget> target_;
    QPointer<QWidget> frame_;
};
