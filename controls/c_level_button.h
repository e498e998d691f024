#pragma once

#include <QImage>
#include <QPushButton>
#include <QSize>
#include <QString>

#include <cstdint>

class ProfileStore;

// A level button: white-to-navy fade, a green bar showing how close the
// level's stored best result comes to 50 tries, and the caption. The best
// result is read from the profile at every paint.
class CLevelButton : public QPushButton
{
    Q_OBJECT

public:
    // store is owned by the caller and outlives the button; without one
    // the level counts as having no result.
    CLevelButton(int level, const ProfileStore *store, QWidget *parent = nullptr);

    int level() const { return level_; }
    const ProfileStore *store() const { return store_; }
    void setLevel(int level) { level_ = level; }

    static QImage Render(int level, const ProfileStore *store, const QString &windowText, QSize size, qreal dpr = 1.0);
    // "BestResult<level>" of the "Results" section, 999 when absent.
    static std::int32_t BestResult(const ProfileStore *store, int level);
    // (w * (75 - b) * 2) / 50 within 0..w; 0 for no result (999 or more).
    static int BarWidth(int w, std::int32_t bestResult);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int level_;
    const ProfileStore *store_;
};
