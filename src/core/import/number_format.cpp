// Spreadsheet number formats, as an .xlsx file names them: a value and its
// format code give the text the spreadsheet shows. Numbers are rounded in
// decimal, on their 15 significant digits, the way spreadsheets show them, so
// 1E+18 under "#,##0" is 1,000,000,000,000,000,000 and 0.125 under "0.00" is 0.13.
#include "core/import/spreadsheet_p.h"

#include <QDate>
#include <QVector>

#include <cmath>
#include <cstdio>

namespace {

enum class Tok {
    Lit, Zero, Hash, Question, Point, Comma, Percent, Exp, Slash, Text, General,
    Year, Month, Minute, Day, Hour, Second, SubSecond, AmPm, ElapsedH, ElapsedM, ElapsedS,
    Era, EraYear, WeekdayJa
};

struct Token {
    Tok kind = Tok::Lit;
    QString text;   // a literal; for Exp its sign ("+" or "-"); for AmPm the written form
    int count = 1;  // letters of a date part, digits of an exponent
};

struct Condition {
    QString op;     // "", "<", "<=", ">", ">=", "=", "<>"
    double value = 0;
    bool holds(double v) const
    {
        if (op == QLatin1String("<")) return v < value;
        if (op == QLatin1String("<=")) return v <= value;
        if (op == QLatin1String(">")) return v > value;
        if (op == QLatin1String(">=")) return v >= value;
        if (op == QLatin1String("=")) return v == value;
        if (op == QLatin1String("<>")) return v != value;
        return true;
    }
};

struct Section {
    QVector<Token> tokens;
    Condition condition;
    bool date = false;      // has a date or time part
    bool numeric = false;   // has a digit placeholder
    bool text = false;      // has "@"
    bool general = false;
    bool empty = true;
};

bool isDateTok(Tok k)
{
    return k >= Tok::Year;
}

Section parseSection(QStringView s)
{
    Section sec;
    sec.empty = s.isEmpty();
    QVector<Token> &out = sec.tokens;
    const auto lit = [&out](const QString &t) {
        if (!out.isEmpty() && out.last().kind == Tok::Lit)
            out.last().text += t;
        else
            out.push_back({Tok::Lit, t, 1});
    };
    const auto run = [&s](qsizetype i, QChar c) {
        int n = 0;
        while (i + n < s.size() && s.at(i + n).toLower() == c)
            ++n;
        return n;
    };
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s.at(i);
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype end = s.indexOf(u'"', i + 1);
            lit(s.mid(i + 1, (end < 0 ? s.size() : end) - i - 1).toString());
            i = end < 0 ? s.size() : end + 1;
        } else if (c == u'\\' || c == u'!') {
            if (i + 1 < s.size())
                lit(QString(s.at(i + 1)));
            i += 2;
        } else if (c == u'_') {
            lit(QStringLiteral(" "));
            i += 2;
        } else if (c == u'*') {
            i += 2; // a fill to the column's width: nothing in a table
        } else if (c == u'[') {
            const qsizetype end = s.indexOf(u']', i + 1);
            const QStringView inner = s.mid(i + 1, (end < 0 ? s.size() : end) - i - 1);
            i = end < 0 ? s.size() : end + 1;
            const auto same = [](QStringView v) {
                for (const QChar ch : v)
                    if (ch.toLower() != v.at(0).toLower())
                        return false;
                return true;
            };
            if (!inner.isEmpty() && same(inner) && QStringView(u"hms").contains(inner.at(0).toLower())) {
                const QChar u = inner.at(0).toLower();
                out.push_back({u == u'h' ? Tok::ElapsedH : u == u'm' ? Tok::ElapsedM : Tok::ElapsedS, QString(),
                               int(inner.size())});
            } else if (inner.startsWith(u'$')) {
                const qsizetype dash = inner.indexOf(u'-');
                const QStringView symbol = inner.mid(1, dash < 0 ? inner.size() - 1 : dash - 1);
                if (!symbol.isEmpty())
                    lit(symbol.toString());
            } else if (!inner.isEmpty() && QStringView(u"<>=").contains(inner.at(0))) {
                qsizetype k = 0;
                while (k < inner.size() && QStringView(u"<>=").contains(inner.at(k)))
                    ++k;
                sec.condition.op = inner.left(k).toString();
                sec.condition.value = inner.mid(k).toDouble();
            } // a colour, a locale, DBNum...: nothing shown
        } else if (s.mid(i, 7).compare(u"General", Qt::CaseInsensitive) == 0) {
            out.push_back({Tok::General, QString(), 1});
            sec.general = true;
            i += 7;
        } else if (s.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            out.push_back({Tok::AmPm, QStringLiteral("AM/PM"), 1});
            i += 5;
        } else if (s.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            out.push_back({Tok::AmPm, s.mid(i, 3).toString(), 1});
            i += 3;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            out.push_back({c == u'0' ? Tok::Zero : c == u'#' ? Tok::Hash : Tok::Question, QString(), 1});
            sec.numeric = true;
            ++i;
        } else if (c == u'.') {
            // After seconds, ".00" is a fraction of a second.
            bool afterSeconds = false;
            for (qsizetype k = out.size() - 1; k >= 0; --k) {
                if (out.at(k).kind == Tok::Lit)
                    continue;
                afterSeconds = out.at(k).kind == Tok::Second || out.at(k).kind == Tok::ElapsedS;
                break;
            }
            const int zeros = run(i + 1, u'0');
            if (afterSeconds && zeros > 0) {
                out.push_back({Tok::SubSecond, QString(), std::min(zeros, 3)});
                i += 1 + zeros;
            } else {
                out.push_back({Tok::Point, QString(), 1});
                ++i;
            }
        } else if (c == u',') {
            out.push_back({Tok::Comma, QString(), 1});
            ++i;
        } else if (c == u'%') {
            out.push_back({Tok::Percent, QString(), 1});
            ++i;
        } else if (lower == u'e' && i + 1 < s.size() && (s.at(i + 1) == u'+' || s.at(i + 1) == u'-')) {
            Token t{Tok::Exp, QString(s.at(i + 1)), 0};
            i += 2;
            while (i < s.size() && (s.at(i) == u'0' || s.at(i) == u'#')) {
                ++t.count;
                ++i;
            }
            out.push_back(t);
        } else if (c == u'/') {
            out.push_back({Tok::Slash, QString(), 1});
            ++i;
        } else if (c == u'@') {
            out.push_back({Tok::Text, QString(), 1});
            sec.text = true;
            ++i;
        } else if (QStringView(u"ymdhsgea").contains(lower)) {
            const int n = run(i, lower);
            Tok kind = Tok::Year;
            switch (lower.unicode()) {
            case u'y': kind = Tok::Year; break;
            case u'm': kind = Tok::Month; break;
            case u'd': kind = Tok::Day; break;
            case u'h': kind = Tok::Hour; break;
            case u's': kind = Tok::Second; break;
            case u'g': kind = Tok::Era; break;
            case u'e': kind = Tok::EraYear; break;
            default: kind = Tok::WeekdayJa; break;
            }
            if (kind == Tok::WeekdayJa && n < 3) {
                lit(s.mid(i, n).toString());
            } else {
                out.push_back({kind, QString(), n});
            }
            i += n;
        } else {
            lit(QString(c));
            ++i;
        }
    }
    // "m" is minutes right after hours or right before seconds.
    for (qsizetype k = 0; k < out.size(); ++k) {
        if (out.at(k).kind != Tok::Month || out.at(k).count > 2)
            continue;
        Tok before = Tok::Lit, after = Tok::Lit;
        for (qsizetype j = k - 1; j >= 0 && before == Tok::Lit; --j)
            before = isDateTok(out.at(j).kind) ? out.at(j).kind : Tok::Lit;
        for (qsizetype j = k + 1; j < out.size() && after == Tok::Lit; ++j)
            after = isDateTok(out.at(j).kind) ? out.at(j).kind : Tok::Lit;
        if (before == Tok::Hour || before == Tok::ElapsedH || after == Tok::Second || after == Tok::ElapsedS)
            out[k].kind = Tok::Minute;
    }
    for (const Token &t : out)
        if (isDateTok(t.kind))
            sec.date = true;
    return sec;
}

QVector<Section> parseCode(const QString &code)
{
    QVector<Section> sections;
    qsizetype start = 0;
    bool quoted = false, bracket = false;
    for (qsizetype i = 0; i <= code.size(); ++i) {
        const QChar c = i < code.size() ? code.at(i) : QChar(u';');
        if (i < code.size() && c == u'\\') {
            ++i;
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'[')
            bracket = true;
        else if (!quoted && c == u']')
            bracket = false;
        else if (c == u';' && ((!quoted && !bracket) || i == code.size())) {
            if (sections.size() < 4)
                sections.push_back(parseSection(QStringView(code).mid(start, i - start)));
            start = i + 1;
        }
    }
    return sections;
}

// A number's decimal digits, from its 15 significant ones (all of them for
// an integer a double holds exactly): value = 0.digits × 10^exp.
struct Decimal {
    QByteArray digits; // no leading zeros; empty for zero
    int exp = 0;
};

Decimal decimalOf(double v)
{
    Decimal d;
    v = std::fabs(v);
    if (v == 0 || !std::isfinite(v))
        return d;
    char buf[64];
    if (v < 9007199254740992.0 && v == std::floor(v)) {
        std::snprintf(buf, sizeof buf, "%.0f", v);
        d.digits = buf;
        d.exp = int(d.digits.size());
    } else {
        std::snprintf(buf, sizeof buf, "%.14e", v);
        const QByteArray s(buf);
        const qsizetype e = s.indexOf('e');
        d.digits = s.left(1) + s.mid(2, e - 2);
        d.exp = s.mid(e + 1).toInt() + 1;
    }
    while (d.digits.endsWith('0'))
        d.digits.chop(1);
    return d;
}

// Rounded half away from zero to decimals places: the integer digits (empty
// for none) and exactly decimals fraction digits.
void roundDecimal(const Decimal &d, int decimals, QByteArray &intPart, QByteArray &fracPart)
{
    // Digits up to the place kept, as one integer string.
    const int keep = d.exp + decimals; // digits of d before the cut
    QByteArray all;
    if (keep > 0) {
        all = d.digits.left(keep);
        while (all.size() < keep)
            all += '0';
        if (d.digits.size() > keep && d.digits.at(keep) >= '5') {
            qsizetype k = all.size() - 1;
            while (k >= 0 && all.at(k) == '9')
                all[k--] = '0';
            if (k < 0)
                all.prepend('1');
            else
                all[k] = char(all.at(k) + 1);
        }
    } else if (keep == 0 && !d.digits.isEmpty() && d.digits.at(0) >= '5') {
        all = "1";
    }
    while (all.size() < decimals)
        all.prepend('0');
    intPart = all.left(all.size() - decimals);
    fracPart = all.right(decimals);
    while (intPart.startsWith('0'))
        intPart.remove(0, 1);
}

QString grouped(const QByteArray &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += QLatin1Char(digits.at(i));
    }
    return out;
}

// The integer digits into the placeholders tokens[from, to): the first one
// takes whatever is left over; a '0' stands for a missing digit, a '?' a space.
void fillInteger(const QVector<Token> &tokens, qsizetype from, qsizetype to, QByteArray digits,
                 bool grouping, QVector<QString> &shown)
{
    QVector<qsizetype> places;
    for (qsizetype k = from; k < to; ++k)
        if (tokens.at(k).kind == Tok::Zero || tokens.at(k).kind == Tok::Hash || tokens.at(k).kind == Tok::Question)
            places << k;
    if (places.isEmpty())
        return;
    if (grouping) {
        int zeros = 0;
        for (qsizetype p : places)
            zeros += tokens.at(p).kind == Tok::Zero ? 1 : 0;
        while (digits.size() < zeros)
            digits.prepend('0');
        shown[places.first()] = grouped(digits);
        return;
    }
    qsizetype d = digits.size();
    for (qsizetype i = places.size() - 1; i >= 0; --i) {
        const qsizetype p = places.at(i);
        if (i == 0 && d > 0) {
            shown[p] = QString::fromLatin1(digits.left(d));
            d = 0;
        } else if (d > 0) {
            shown[p] = QLatin1Char(digits.at(--d));
        } else {
            const Tok k = tokens.at(p).kind;
            shown[p] = k == Tok::Zero ? QStringLiteral("0") : k == Tok::Question ? QStringLiteral(" ") : QString();
        }
    }
}

void fillFraction(const QVector<Token> &tokens, qsizetype from, qsizetype to, const QByteArray &digits,
                  QVector<QString> &shown)
{
    QVector<qsizetype> places;
    for (qsizetype k = from; k < to; ++k)
        if (tokens.at(k).kind == Tok::Zero || tokens.at(k).kind == Tok::Hash || tokens.at(k).kind == Tok::Question)
            places << k;
    // Trailing zeros under '#' go, under '?' become spaces.
    qsizetype last = places.size() - 1;
    while (last >= 0 && digits.at(last) == '0' && tokens.at(places.at(last)).kind != Tok::Zero) {
        shown[places.at(last)] = tokens.at(places.at(last)).kind == Tok::Question ? QStringLiteral(" ") : QString();
        --last;
    }
    for (qsizetype i = 0; i <= last; ++i)
        shown[places.at(i)] = QLatin1Char(digits.at(i));
}

int countPlaces(const QVector<Token> &tokens, qsizetype from, qsizetype to)
{
    int n = 0;
    for (qsizetype k = from; k < to; ++k)
        if (tokens.at(k).kind == Tok::Zero || tokens.at(k).kind == Tok::Hash || tokens.at(k).kind == Tok::Question)
            ++n;
    return n;
}

// The best fraction with a denominator up to maxDen (continued fractions).
void nearestFraction(double x, qint64 maxDen, qint64 &num, qint64 &den)
{
    qint64 p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    double v = x;
    for (int i = 0; i < 64; ++i) {
        const double a = std::floor(v);
        if (a > 1e15)
            break;
        const qint64 ai = qint64(a);
        const qint64 q2 = q0 + ai * q1;
        if (q2 > maxDen)
            break;
        const qint64 p2 = p0 + ai * p1;
        p0 = p1; q0 = q1; p1 = p2; q1 = q2;
        if (v - a < 1e-12)
            break;
        v = 1.0 / (v - a);
    }
    num = p1;
    den = q1 == 0 ? 1 : q1;
}

QString numberText(const Section &sec, double value)
{
    const QVector<Token> &t = sec.tokens;
    QVector<QString> shown(t.size());
    for (qsizetype k = 0; k < t.size(); ++k)
        if (t.at(k).kind == Tok::Lit)
            shown[k] = t.at(k).text;
        else if (t.at(k).kind == Tok::Percent)
            shown[k] = QStringLiteral("%");
        else if (t.at(k).kind == Tok::General)
            shown[k] = generalNumberText(value);

    // The numeric part: from the first placeholder to the last.
    qsizetype first = -1, last = -1, point = -1, exp = -1, slash = -1;
    for (qsizetype k = 0; k < t.size(); ++k) {
        const Tok kind = t.at(k).kind;
        if (kind == Tok::Zero || kind == Tok::Hash || kind == Tok::Question) {
            if (first < 0)
                first = k;
            last = k;
        } else if (kind == Tok::Point && point < 0 && exp < 0 && slash < 0) {
            point = k;
        } else if (kind == Tok::Exp && exp < 0) {
            exp = k;
        } else if (kind == Tok::Slash && slash < 0 && first >= 0) {
            slash = k;
        } else if (kind == Tok::Percent) {
            value *= 100;
        }
    }
    if (first < 0) {
        QString out;
        for (const QString &s : shown)
            out += s;
        return out;
    }
    const qsizetype intEnd = point >= 0 ? point : exp >= 0 ? exp : last + 1;
    // Commas among the integer placeholders group; commas right after the
    // last of them divide by a thousand each.
    qsizetype lastInt = first;
    for (qsizetype k = first; k < intEnd; ++k)
        if (t.at(k).kind == Tok::Zero || t.at(k).kind == Tok::Hash || t.at(k).kind == Tok::Question)
            lastInt = k;
    bool grouping = false;
    for (qsizetype k = first; k < lastInt; ++k)
        grouping = grouping || t.at(k).kind == Tok::Comma;
    int scale = 0;
    for (qsizetype k = lastInt + 1; k < t.size() && t.at(k).kind == Tok::Comma; ++k)
        ++scale;
    for (int i = 0; i < scale; ++i)
        value /= 1000;

    if (slash >= 0) {
        // "# ?/?", "?/8": a whole part when a placeholder stands apart before the numerator.
        qsizetype numStart = slash;
        while (numStart > first && t.at(numStart - 1).kind != Tok::Lit)
            --numStart;
        const bool whole = numStart > first;
        const qsizetype denEnd = t.size();
        int denPlaces = countPlaces(t, slash + 1, denEnd);
        qint64 fixedDen = 0;
        if (denPlaces == 0 && slash + 1 < t.size() && t.at(slash + 1).kind == Tok::Lit) {
            fixedDen = t.at(slash + 1).text.trimmed().toLongLong();
            if (fixedDen > 0)
                shown[slash + 1] = QString::number(fixedDen) + t.at(slash + 1).text.mid(t.at(slash + 1).text.trimmed().size());
        }
        const double a = std::fabs(value);
        const double intPart = whole ? std::floor(a) : 0;
        const double frac = a - intPart;
        qint64 num = 0, den = 1;
        if (fixedDen > 0) {
            den = fixedDen;
            num = qint64(std::llround(frac * double(den)));
        } else {
            qint64 maxDen = 1;
            for (int i = 0; i < std::min(denPlaces, 6); ++i)
                maxDen *= 10;
            nearestFraction(frac, std::max<qint64>(1, maxDen - 1), num, den);
        }
        qint64 whole64 = qint64(intPart);
        if (num == den && whole) {
            ++whole64;
            num = 0;
        }
        if (whole)
            fillInteger(t, first, numStart, whole64 == 0 && num != 0 ? QByteArray() : QByteArray::number(whole64),
                        false, shown);
        if (num == 0 && whole) {
            for (qsizetype k = numStart; k < t.size(); ++k)
                if (t.at(k).kind != Tok::Lit || k > slash)
                    shown[k] = QString();
            shown[slash] = QString();
        } else {
            fillInteger(t, numStart, slash, QByteArray::number(num), false, shown);
            shown[slash] = QStringLiteral("/");
            if (fixedDen == 0) {
                QVector<qsizetype> places;
                for (qsizetype k = slash + 1; k < denEnd; ++k)
                    if (t.at(k).kind == Tok::Zero || t.at(k).kind == Tok::Hash || t.at(k).kind == Tok::Question)
                        places << k;
                QString d = QString::number(den);
                for (qsizetype i = 0; i < places.size(); ++i) {
                    const qsizetype p = places.at(i);
                    if (i == places.size() - 1)
                        shown[p] = d.mid(i);
                    else
                        shown[p] = i < d.size() ? QString(d.at(i)) : t.at(p).kind == Tok::Question ? QStringLiteral(" ") : QString();
                }
            }
        }
        QString out;
        for (const QString &s : shown)
            out += s;
        return out;
    }

    const int decimals = point >= 0 ? countPlaces(t, point + 1, exp >= 0 ? exp : t.size()) : 0;
    if (point >= 0)
        shown[point] = QStringLiteral(".");
    Decimal d = decimalOf(value);
    if (exp >= 0) {
        const int intPlaces = std::max(1, countPlaces(t, first, intEnd));
        bool hash = false;
        for (qsizetype k = first; k < intEnd; ++k)
            hash = hash || t.at(k).kind == Tok::Hash;
        int e = 0;
        QByteArray ip, fp;
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int e10 = d.digits.isEmpty() ? 0 : d.exp - 1 + attempt;
            const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
            e = d.digits.isEmpty() ? 0 : hash && intPlaces > 1 ? floorDiv(e10, intPlaces) * intPlaces : e10 - (intPlaces - 1);
            Decimal m = d;
            m.exp -= e;
            roundDecimal(m, decimals, ip, fp);
            if (ip.size() <= intPlaces)
                break;
        }
        fillInteger(t, first, intEnd, ip, grouping, shown);
        fillFraction(t, point >= 0 ? point + 1 : intEnd, exp, fp, shown);
        QString digits = QString::number(std::abs(e));
        while (digits.size() < t.at(exp).count)
            digits.prepend(u'0');
        shown[exp] = QStringLiteral("E") + (e < 0 ? QStringLiteral("-") : t.at(exp).text == QLatin1String("+") ? QStringLiteral("+") : QString()) + digits;
    } else {
        QByteArray ip, fp;
        roundDecimal(d, decimals, ip, fp);
        fillInteger(t, first, intEnd, ip, grouping, shown);
        if (point >= 0)
            fillFraction(t, point + 1, t.size(), fp, shown);
    }
    QString out;
    for (const QString &s : shown)
        out += s;
    return out;
}

// The Japanese eras, newest first: their first day and their names.
struct Era {
    int year, month, day;
    const char16_t *letter, *short_, *full;
};
constexpr Era Eras[] = {
    {2019, 5, 1, u"R", u"令", u"令和"},
    {1989, 1, 8, u"H", u"平", u"平成"},
    {1926, 12, 25, u"S", u"昭", u"昭和"},
    {1912, 7, 30, u"T", u"大", u"大正"},
    {1868, 9, 8, u"M", u"明", u"明治"},
};

QString padded(qint64 n, int width)
{
    QString s = QString::number(n);
    while (s.size() < width)
        s.prepend(u'0');
    return s;
}

QString dateText(const Section &sec, double serial, bool date1904)
{
    int subDigits = 0;
    bool twelve = false;
    for (const Token &t : sec.tokens) {
        if (t.kind == Tok::SubSecond)
            subDigits = std::max(subDigits, t.count);
        if (t.kind == Tok::AmPm)
            twelve = true;
    }
    // Beyond 9999-12-31 or before the epoch a date has no text: shown as a number.
    if (!(serial >= 0 && serial < 2958466))
        return generalNumberText(serial);
    qint64 unit = 1;
    for (int i = 0; i < subDigits; ++i)
        unit *= 10;
    const qint64 ticksPerDay = 86400 * unit;
    const qint64 ticks = std::llround(serial * double(ticksPerDay));
    const qint64 days = ticks / ticksPerDay;
    const qint64 dayTicks = ticks % ticksPerDay;
    const qint64 seconds = dayTicks / unit;
    const qint64 sub = dayTicks % unit;
    const int hour = int(seconds / 3600), minute = int(seconds / 60 % 60), second = int(seconds % 60);

    int y = 1900, mo = 1, d = 0, weekday = 6; // serial 0 is "1900-01-00", a Saturday's eve
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(days);
    } else if (days == 60) {
        mo = 2; // 1900-02-29, which never was, kept for the serials after it
        d = 29;
        weekday = 3;
    } else if (days > 0) {
        date = days < 60 ? QDate(1899, 12, 31).addDays(days) : QDate(1899, 12, 30).addDays(days);
    }
    if (date.isValid()) {
        y = date.year();
        mo = date.month();
        d = date.day();
        weekday = date.dayOfWeek(); // 1 Monday .. 7 Sunday
    }
    const QDate eraDate = date.isValid() ? date : QDate(1900, std::max(1, mo), std::max(1, std::min(d, 28)));
    const Era *era = nullptr;
    for (const Era &e : Eras)
        if (eraDate >= QDate(e.year, e.month, e.day)) {
            era = &e;
            break;
        }

    static const char *const months[] = {"January", "February", "March", "April", "May", "June", "July",
                                         "August", "September", "October", "November", "December"};
    static const char *const days7[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    static const char16_t *const daysJa[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    QString out;
    for (const Token &t : sec.tokens) {
        switch (t.kind) {
        case Tok::Year:
            out += t.count <= 2 ? padded(y % 100, 2) : padded(y, 4);
            break;
        case Tok::Month: {
            const QString name = QLatin1String(months[mo - 1]);
            out += t.count == 1 ? QString::number(mo) : t.count == 2 ? padded(mo, 2)
                    : t.count == 3 ? name.left(3) : t.count == 5 ? name.left(1) : name;
            break;
        }
        case Tok::Day: {
            const QString name = QLatin1String(days7[weekday - 1]);
            out += t.count == 1 ? QString::number(d) : t.count == 2 ? padded(d, 2) : t.count == 3 ? name.left(3) : name;
            break;
        }
        case Tok::WeekdayJa:
            out += QString::fromUtf16(daysJa[weekday - 1]) + (t.count >= 4 ? QStringLiteral("曜日") : QString());
            break;
        case Tok::Hour: {
            const int h = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += t.count >= 2 ? padded(h, 2) : QString::number(h);
            break;
        }
        case Tok::Minute:
            out += t.count >= 2 ? padded(minute, 2) : QString::number(minute);
            break;
        case Tok::Second:
            out += t.count >= 2 ? padded(second, 2) : QString::number(second);
            break;
        case Tok::SubSecond: {
            QString s = padded(sub, subDigits);
            out += QLatin1Char('.') + s.left(t.count);
            break;
        }
        case Tok::ElapsedH:
            out += padded(days * 24 + hour, t.count);
            break;
        case Tok::ElapsedM:
            out += padded((days * 24 + hour) * 60 + minute, t.count);
            break;
        case Tok::ElapsedS:
            out += padded(((days * 24 + hour) * 60 + minute) * 60 + second, t.count);
            break;
        case Tok::AmPm: {
            const bool pm = hour >= 12;
            if (t.text.size() == 3) // A/P, in the case written
                out += pm ? t.text.at(2) : t.text.at(0);
            else
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            break;
        }
        case Tok::Era:
            if (era)
                out += QString::fromUtf16(t.count == 1 ? era->letter : t.count == 2 ? era->short_ : era->full);
            break;
        case Tok::EraYear:
            out += era ? (t.count >= 2 ? padded(y - era->year + 1, 2) : QString::number(y - era->year + 1))
                       : QString::number(y);
            break;
        case Tok::Text:
            break;
        case Tok::General:
            out += generalNumberText(serial);
            break;
        case Tok::Percent:
            out += u'%';
            break;
        case Tok::Slash:
            out += u'/';
            break;
        case Tok::Point:
            out += u'.';
            break;
        case Tok::Comma:
            out += u',';
            break;
        default:
            out += t.text;
            break;
        }
    }
    return out;
}

} // namespace

struct NumberFormat::Parsed {
    QVector<Section> sections;
    bool general = true;
};

NumberFormat::NumberFormat(const QString &code)
{
    auto p = std::make_shared<Parsed>();
    if (!code.isEmpty() && code.compare(QLatin1String("General"), Qt::CaseInsensitive) != 0) {
        p->sections = parseCode(code);
        p->general = p->sections.isEmpty();
    }
    m_parsed = p;
}

NumberFormat::~NumberFormat() = default;
NumberFormat::NumberFormat(const NumberFormat &other) = default;
NumberFormat &NumberFormat::operator=(const NumberFormat &other) = default;

bool NumberFormat::isGeneral() const
{
    return m_parsed->general;
}

QString NumberFormat::format(double value, bool date1904) const
{
    if (!std::isfinite(value))
        return QString();
    const QVector<Section> &s = m_parsed->sections;
    if (m_parsed->general)
        return generalNumberText(value);
    // Which section: conditions where they are given, else positive;
    // negative; zero. A section of its own shows no minus sign.
    const Section *sec = &s.first();
    bool sign = value < 0;
    const bool conditional = !s.first().condition.op.isEmpty() || (s.size() > 1 && !s.at(1).condition.op.isEmpty());
    if (conditional) {
        sec = nullptr;
        for (qsizetype i = 0; i < std::min<qsizetype>(2, s.size()) && !sec; ++i)
            if (!s.at(i).condition.op.isEmpty() && s.at(i).condition.holds(value))
                sec = &s.at(i);
        if (!sec) {
            for (qsizetype i = 0; i < s.size() && !sec; ++i)
                if (s.at(i).condition.op.isEmpty() && !s.at(i).text)
                    sec = &s.at(i);
            if (!sec)
                sec = &s.first();
        }
        sign = sign && sec == &s.first();
    } else if (value < 0 && s.size() >= 2) {
        sec = &s.at(1);
        sign = false;
    } else if (value == 0 && s.size() >= 3) {
        sec = &s.at(2);
    }
    if (sec->text && !sec->numeric && !sec->date)
        return generalNumberText(value); // a text-only format leaves numbers alone
    if (sec->empty)
        return QString();
    if (sec->date)
        return dateText(*sec, value, date1904);
    QString text = numberText(*sec, std::fabs(value));
    if (sign) {
        // Nothing but zeros shown: no minus sign before them.
        bool nonZero = false;
        for (const QChar c : text)
            nonZero = nonZero || (c >= u'1' && c <= u'9');
        if (nonZero || sec->general)
            text.prepend(u'-');
    }
    return text;
}

QString NumberFormat::formatText(const QString &text) const
{
    const QVector<Section> &s = m_parsed->sections;
    const Section *sec = nullptr;
    if (s.size() >= 4)
        sec = &s.at(3);
    else
        for (const Section &one : s)
            if (one.text)
                sec = &one;
    if (!sec)
        return text;
    QString out;
    for (const Token &t : sec->tokens)
        out += t.kind == Tok::Text ? text : t.kind == Tok::Lit ? t.text : QString();
    return out;
}

QString generalNumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    const Decimal d = decimalOf(value);
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const int e10 = d.exp - 1;
    if (e10 >= 16 || e10 < -5) {
        QString mantissa = QString::fromLatin1(d.digits.left(1));
        if (d.digits.size() > 1)
            mantissa += QLatin1Char('.') + QString::fromLatin1(d.digits.mid(1));
        QString e = QString::number(std::abs(e10));
        if (e.size() < 2)
            e.prepend(u'0');
        return sign + mantissa + (e10 < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) + e;
    }
    QString text;
    if (d.exp <= 0)
        text = QStringLiteral("0.") + QString(-d.exp, u'0') + QString::fromLatin1(d.digits);
    else if (d.digits.size() <= d.exp)
        text = QString::fromLatin1(d.digits) + QString(d.exp - d.digits.size(), u'0');
    else
        text = QString::fromLatin1(d.digits.left(d.exp)) + QLatin1Char('.') + QString::fromLatin1(d.digits.mid(d.exp));
    return sign + text;
}

QString builtinNumberFormat(int id)
{
    // The Japanese locale's forms where a format's look depends on the locale.
    switch (id) {
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 5: return QStringLiteral("\"¥\"#,##0;\"¥\"\\-#,##0");
    case 6: return QStringLiteral("\"¥\"#,##0;[Red]\"¥\"\\-#,##0");
    case 7: return QStringLiteral("\"¥\"#,##0.00;\"¥\"\\-#,##0.00");
    case 8: return QStringLiteral("\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?\?/??");
    case 14: return QStringLiteral("yyyy/m/d");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("yyyy/m/d h:mm");
    case 27: case 36: case 50: case 57: return QStringLiteral("[$-411]ge.m.d");
    case 28: case 29: case 51: case 54: case 58: return QStringLiteral("[$-411]ggge\"年\"m\"月\"d\"日\"");
    case 30: return QStringLiteral("m/d/yy");
    case 31: return QStringLiteral("yyyy\"年\"m\"月\"d\"日\"");
    case 32: return QStringLiteral("h\"時\"mm\"分\"");
    case 33: return QStringLiteral("h\"時\"mm\"分\"ss\"秒\"");
    case 34: case 52: case 55: return QStringLiteral("yyyy\"年\"m\"月\"");
    case 35: case 53: case 56: return QStringLiteral("m\"月\"d\"日\"");
    case 37: return QStringLiteral("#,##0 ;(#,##0)");
    case 38: return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 41: return QStringLiteral("_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ ");
    case 42: return QStringLiteral("_ \"¥\"* #,##0_ ;_ \"¥\"* \\-#,##0_ ;_ \"¥\"* \"-\"_ ;_ @_ ");
    case 43: return QStringLiteral("_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"??_ ;_ @_ ");
    case 44: return QStringLiteral("_ \"¥\"* #,##0.00_ ;_ \"¥\"* \\-#,##0.00_ ;_ \"¥\"* \"-\"??_ ;_ @_ ");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: return QString(); // General, or one the file should have named
    }
}
