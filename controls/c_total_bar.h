#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>

class ProfileStore;

// The total strip: a green bar and a percentage showing how close the
// stored best results of all 20 levels come to 50 tries each. The results
// are read from the profile at every paint.
class CTotalBar : public QWidget
{
    Q_OBJECT

public:
    // 20 levels times the 50 points of a level finished in 50 tries.
    static constexpr std::int64_t kScoreMax = 1000;

    // store is owned by the caller and outlives the strip; without one the
    // profile counts as empty.
    explicit CTotalBar(const ProfileStore *store, QWidget *parent = nullptr);

    static QImage Render(const ProfileStore *store, QSize size, qreal dpr = 1.0);
    // Sum of 100 - b over the levels with a best result b below 999. 64-bit:
    // stored values are learner-editable and may be absurd.
    static std::int64_t Score(const ProfileStore *store);
    // score / 1000 of w, truncated, within 0..w.
    static int BarWidth(int w, std::int64_t score);
    // The percentage, clamped to 0..100, as "%3.0f%%" ("  0%", " 45%", "100%").
    static QString PercentText(std::int64_t score);

    const ProfileStore *store() const { return store_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const ProfileStore *store_;
};
