#include "gui/panes/pane_helpers.h"

#include <QEvent>
#include <QFocusEvent>
#include <QWidget>

#include <cmath>

namespace pane {

namespace {

class FocusLostWatcher : public QObject
{
public:
    FocusLostWatcher(QWidget *w, std::function<void()> fn)
        : QObject(w), m_fn(std::move(fn))
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && m_fn)
                m_fn();
        }
        return false;
    }

private:
    std::function<void()> m_fn;
};

} // namespace

void onFocusLost(QWidget *w, std::function<void()> fn)
{
    w->installEventFilter(new FocusLostWatcher(w, std::move(fn)));
}

bool toWhole(const QString &text, qint64 lo, qint64 hi, qint64 &out)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        negative = t.at(i++) == QLatin1Char('-');
    QString digits;
    while (i < t.size() && t.at(i) >= QLatin1Char('0') && t.at(i) <= QLatin1Char('9'))
        digits += t.at(i++);
    QString fraction;
    if (i < t.size() && t.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t.at(i) >= QLatin1Char('0') && t.at(i) <= QLatin1Char('9'))
            fraction += t.at(i++);
    }
    if (i != t.size() || (digits.isEmpty() && fraction.isEmpty()) || digits.size() > 15)
        return false;
    const double value = (digits + QLatin1Char('.') + fraction + QLatin1Char('0')).toDouble();
    double whole = std::nearbyint(value); // the default rounding mode is half to even
    if (negative)
        whole = -whole;
    if (whole < double(lo) || whole > double(hi))
        return false;
    out = qint64(whole);
    return true;
}

int valNumber(const QString &t)
{
    int i = 0;
    while (i < t.size() && t.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        negative = t.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    while (i < t.size() && t.at(i) >= QLatin1Char('0') && t.at(i) <= QLatin1Char('9')) {
        value = value * 10 + (t.at(i).unicode() - '0');
        if (value > 1000000)
            break;
        ++i;
    }
    return int(negative ? -value : value);
}

} // namespace pane
