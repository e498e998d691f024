#include "controls/painted_control_accessible.h"

#include "controls/c_answer_button.h"
#include "controls/c_level_button.h"
#include "controls/c_marked_bar.h"
#include "controls/c_progress_bar.h"
#include "controls/c_title_bar.h"
#include "controls/c_total_bar.h"
#include "vocab/level.h"

#include <QAbstractButton>

#include <algorithm>

namespace {

// One tick of credit is 200 ms.
constexpr double kTicksPerSecond = 5.0;
// Before the first drill the gauge has no scale yet; it reads as the empty
// gauge of a drill's full credit rather than as a range of zero.
constexpr int kFullCreditTicks = 50;

QString FromU16(const std::u16string &text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PaintedControlAccessible::PaintedControlAccessible(QWidget *widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{
}

void PaintedControlAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&PaintedControlAccessible::Factory);
        return true;
    }();
    (void)installed;
}

QAccessibleInterface *PaintedControlAccessible::Factory(const QString & /*className*/, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (qobject_cast<CAnswerButton *>(widget) != nullptr || qobject_cast<CLevelButton *>(widget) != nullptr) {
        return new PaintedControlAccessible(widget, QAccessible::Button);
    }
    if (qobject_cast<CProgressBar *>(widget) != nullptr || qobject_cast<CMarkedBar *>(widget) != nullptr
        || qobject_cast<CTotalBar *>(widget) != nullptr) {
        return new PaintedControlAccessible(widget, QAccessible::ProgressBar);
    }
    if (qobject_cast<CTitleBar *>(widget) != nullptr) {
        return new PaintedControlAccessible(widget, QAccessible::StaticText);
    }
    return nullptr;
}

QString PaintedControlAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        return Name();
    }
    if (t == QAccessible::Value) {
        return Value();
    }
    // The bus carries no value text, so the description says it in words.
    if (t == QAccessible::Description) {
        const QString value = Value();
        return value.isEmpty() ? QAccessibleWidget::text(t) : value;
    }
    return QAccessibleWidget::text(t);
}

void *PaintedControlAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface && HasValue()) {
        return static_cast<QAccessibleValueInterface *>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

bool PaintedControlAccessible::HasValue() const
{
    QWidget *w = widget();
    return qobject_cast<CProgressBar *>(w) != nullptr || qobject_cast<CMarkedBar *>(w) != nullptr
        || qobject_cast<CTotalBar *>(w) != nullptr;
}

PaintedControlAccessible::Range PaintedControlAccessible::Figure() const
{
    QWidget *w = widget();
    if (auto *gauge = qobject_cast<CProgressBar *>(w)) {
        const ProgressState *state = gauge->state();
        const int credit = state != nullptr ? std::max(0, state->credit) : 0;
        const int cap = state != nullptr && state->creditMax > 0 ? state->creditMax : kFullCreditTicks;
        return {credit / kTicksPerSecond, 0, cap / kTicksPerSecond};
    }
    if (auto *strip = qobject_cast<CMarkedBar *>(w)) {
        const MarkedState *state = strip->state();
        if (state == nullptr) {
            return {};
        }
        const int cells = std::clamp(state->cellCount, 0, static_cast<int>(state->marks.size()) - 1);
        int right = 0;
        for (int k = 1; k <= cells; ++k) {
            right += state->marks[static_cast<std::size_t>(k)] == 1 ? 1 : 0;
        }
        return {static_cast<double>(right), 0, static_cast<double>(cells)};
    }
    if (auto *total = qobject_cast<CTotalBar *>(w)) {
        // The figure the strip shows, rounded as it is drawn.
        QString shown = CTotalBar::PercentText(CTotalBar::Score(total->store())).trimmed();
        shown.chop(1);
        return {shown.toDouble(), 0, 100};
    }
    return {};
}

QVariant PaintedControlAccessible::currentValue() const
{
    // Orca speaks int(current / (maximum - minimum) * 100), which truncates:
    // 29 of 50 would be "57 percent" (0.58 * 100 is 57.99999999999999). A
    // whisker over the figure keeps the spoken percent on the exact one.
    const Range figure = Figure();
    const double whisker = (figure.maximum - figure.minimum) * 1e-9;
    return figure.current > figure.minimum && figure.current < figure.maximum ? figure.current + whisker
                                                                              : figure.current;
}

void PaintedControlAccessible::setCurrentValue(const QVariant & /*value*/) { }

QVariant PaintedControlAccessible::maximumValue() const
{
    return Figure().maximum;
}

QVariant PaintedControlAccessible::minimumValue() const
{
    return Figure().minimum;
}

QVariant PaintedControlAccessible::minimumStepSize() const
{
    return 0.0;
}

QString PaintedControlAccessible::Name() const
{
    QWidget *w = widget();
    if (auto *answer = qobject_cast<CAnswerButton *>(w)) {
        return answer->text().trimmed();
    }
    if (auto *level = qobject_cast<CLevelButton *>(w)) {
        const Level range = Level::FromNumber(level->level());
        return QStringLiteral("Words %1 to %2").arg(range.firstWord).arg(range.lastWord);
    }
    if (qobject_cast<CProgressBar *>(w) != nullptr) {
        return QStringLiteral("Time credit");
    }
    if (qobject_cast<CMarkedBar *>(w) != nullptr) {
        return QStringLiteral("Words answered right");
    }
    if (qobject_cast<CTotalBar *>(w) != nullptr) {
        return QStringLiteral("Total of the best results");
    }
    if (auto *title = qobject_cast<CTitleBar *>(w)) {
        return title->state() != nullptr ? FromU16(title->state()->text).trimmed() : QString();
    }
    return QAccessibleWidget::text(QAccessible::Name);
}

QString PaintedControlAccessible::Value() const
{
    QWidget *w = widget();
    if (auto *answer = qobject_cast<CAnswerButton *>(w)) {
        const AnswerFace *face = answer->face();
        if (face != nullptr && face->showWrong != 0) {
            return QStringLiteral("wrong");
        }
        if (face != nullptr && face->showRight != 0) {
            return QStringLiteral("right");
        }
        return {};
    }
    if (auto *level = qobject_cast<CLevelButton *>(w)) {
        const std::int32_t best = CLevelButton::BestResult(level->store(), level->level());
        return best >= 999 ? QStringLiteral("no result yet") : QStringLiteral("best result %1 tries").arg(best);
    }
    if (qobject_cast<CProgressBar *>(w) != nullptr) {
        const double seconds = Figure().current;
        return seconds == 1.0 ? QStringLiteral("1 second left")
                              : QStringLiteral("%1 seconds left").arg(QString::number(seconds, 'g', 3));
    }
    if (qobject_cast<CMarkedBar *>(w) != nullptr) {
        const Range right = Figure();
        return QStringLiteral("%1 of %2").arg(right.current).arg(right.maximum);
    }
    if (auto *total = qobject_cast<CTotalBar *>(w)) {
        return CTotalBar::PercentText(CTotalBar::Score(total->store())).trimmed();
    }
    return {};
}

QStringList PaintedControlAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (qobject_cast<QAbstractButton *>(widget()) != nullptr) {
        names.prepend(pressAction());
    }
    return names;
}

void PaintedControlAccessible::doAction(const QString &actionName)
{
    auto *button = qobject_cast<QAbstractButton *>(widget());
    if (button != nullptr && actionName == pressAction()) {
        button->click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
