#pragma once

#include <QLineEdit>
#include <QString>

#include <functional>
#include <limits>

class QWidget;

namespace pane {

// Runs fn when w hands the keyboard focus to another control of the program.
// A popup menu or a switch to another application is not a loss of focus here.
void onFocusLost(QWidget *w, std::function<void()> fn);

// Converts box text to a whole number as the change handlers read it:
// surrounding blanks, an optional sign, digits and an optional fraction (rounded
// half to even). false for anything else, or outside lo..hi.
bool toWhole(const QString &text, qint64 lo, qint64 hi, qint64 &out);

// The number at the start of a box's text as Val() reads it: leading spaces,
// an optional sign, digits; anything else stops the number.
int valNumber(const QString &text);

// How many digits a box for numbers up to n takes.
constexpr int digitsFor(int n)
{
    return n < 10 ? 1 : 1 + digitsFor(n / 10);
}

// The texts a number box falls back to, and the range it accepts on leaving.
struct Fallbacks {
    const char *whileTyping;   // for an emptied or unreadable text
    const char *onLeaving;     // for a value outside lo..hi, or no number, on losing the focus
    int lo;
    int hi;
};

// Change: the number goes into the setting at once (store(T) writes it); an
// empty or unreadable text is replaced by the fallback, whose own change
// writes the setting again.
template<typename T, typename Store>
void numberChanged(QLineEdit *box, Store store, const Fallbacks &fb)
{
    const QString text = box->text();
    qint64 value = 0;
    if (text.isEmpty()
        || !toWhole(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), value)) {
        const QString fallback = QString::fromLatin1(fb.whileTyping);
        store(T(fallback.toInt()));
        box->setText(fallback);
        return;
    }
    store(T(value));
}

// Losing the focus: a value outside the range, or no number at all, becomes
// the fallback text, which its change handler writes into the setting.
template<typename T, typename Store>
void numberLeft(QLineEdit *box, Store store, const Fallbacks &fb)
{
    qint64 value = 0;
    const bool ok = toWhole(box->text(), std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), value);
    if (ok && value >= fb.lo && value <= fb.hi)
        return;
    const QString fallback = QString::fromLatin1(fb.onLeaving);
    if (!ok)
        store(T(fallback.toInt()));
    box->setText(fallback);
}

} // namespace pane
