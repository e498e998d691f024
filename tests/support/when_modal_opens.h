#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

// Runs fn on the next visible popup menu or modal window other than `under`
// that is a `className` (QMenu, QMessageBox, QFileDialog, ...) once one
// opens, that is from inside a modal loop of the code under test.
inline void WhenModalOpens(QWidget *under, std::function<void(QWidget *)> fn, const char *className = "QWidget")
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, under, fn, className] {
        QWidget *modal = QApplication::activePopupWidget();
        modal = modal != nullptr ? modal : QApplication::activeModalWidget();
        if (modal != nullptr && modal != under && modal->isVisible() && modal->inherits(className)) {
            poll->stop();
            poll->deleteLater();
            fn(modal);
        }
    });
    poll->start();
}

// Clicks the button of that text in a modal window.
inline void Press(QWidget *box, const QString &text)
{
    for (QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
        if (button->text() == text) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}
