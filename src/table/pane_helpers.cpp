#include "pane_helpers.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
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

QFont japaneseFont()
{
    QFont font = QApplication::font();
    QStringList families;
    const QStringList installed = QFontDatabase::families();
    for (const QString &f : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                             QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                             QStringLiteral("TakaoPGothic"), QStringLiteral("Droid Sans Fallback")}) {
        if (installed.contains(f))
            families << f;
    }
    if (families.isEmpty())
        families << QStringLiteral("ＭＳ Ｐゴシック");
    font.setFamilies(families);
    font.setPointSize(9);
    return font;
}

void setTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0));
}

void place(QWidget *w, int left, int top, int width, int height, int maxRight)
{
    QRect r(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0));
    const QSize hint = w->sizeHint();
    if (hint.isValid()) {
        if (hint.height() > r.height()) {
            const int grow = hint.height() - r.height();
            r.setTop(r.top() - grow / 2);
            r.setHeight(hint.height());
            if (r.top() < 0)
                r.moveTop(0);
        }
        if (maxRight >= 0 && hint.width() > r.width())
            r.setWidth(qMin(hint.width(), qMax(r.width(), maxRight - r.left())));
    }
    w->setGeometry(r);
}

} // namespace pane
