#include "core/model/table_tools.h"

#include <QCollator>
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>

#include "core/io/compression.h"
#include "core/model/cell_finder.h"
#include "core/model/grid_text.h"
#include "core/model/table_edits.h"

namespace {

int tableRows(const TableModel &m) { return std::clamp<int>(m.TableRows, 1, TableLimits::MaxRows); }
int tableCols(const TableModel &m) { return std::clamp<int>(m.TableCols, 1, TableLimits::MaxCols); }

SpanLayout layoutOf(const TableModel &m)
{
    SpanLayout layout;
    layout.compute(m, tableRows(m), tableCols(m));
    return layout;
}

QString shownText(const TableModel &m, int col, int row)
{
    const CellRecord *rec = m.Cells.find(col, row);
    return rec ? HtmlToGridText(rec->Text).trimmed() : QString();
}

bool isNumberOrDate(const QString &shown)
{
    double v;
    qint64 s;
    return tableedits::readSortNumber(shown, v) || tabletools::readDate(shown, s);
}

// --- dates -------------------------------------------------------------------

// How a date was written, so that a series writes the next ones alike.
struct DateForm {
    enum Order { Ymd, Mdy, Dmy, Kanji, NamedMdy, NamedDmy };
    Order order = Ymd;
    QChar sep = QLatin1Char('-');
    bool padded = false;        // months and days of two digits
    bool fullName = false;      // "December", not "Dec"
    bool comma = false;         // "Dec 8, 2026"
    QString weekdayOpen;        // "(" or "（" before a weekday, empty for none
    int time = 0;               // 0 none, 1 hh:mm, 2 hh:mm:ss
    QChar timeSep = QLatin1Char(' ');
};

const char *const MonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                  "August", "September", "October", "November", "December"};
const char16_t Weekdays[] = u"月火水木金土日";

int monthFromName(const QString &word, bool &full)
{
    for (int i = 0; i < 12; ++i) {
        const QLatin1String name(MonthNames[i]);
        full = word.compare(name, Qt::CaseInsensitive) == 0;
        if (full || (word.size() == 3 && name.startsWith(word, Qt::CaseInsensitive))
            || (i == 8 && word.compare(QLatin1String("Sept"), Qt::CaseInsensitive) == 0))
            return i + 1;
    }
    return 0;
}

// Full-width digits, letters and signs as ASCII, the wide space as a space.
QString halfWidth(const QString &s)
{
    QString t = s;
    for (QChar &ch : t) {
        const char16_t u = ch.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            ch = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3000 || u == 0x00A0)
            ch = QLatin1Char(' ');
    }
    return t.simplified();
}

bool parseDate(const QString &shown, QDate &date, int &secs, DateForm &form)
{
    // Most cells are no date: a quick look before any expression runs.
    if (shown.size() < 6 || shown.size() > 48)
        return false;
    if (std::none_of(shown.begin(), shown.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    QString t = halfWidth(shown);
    form = DateForm();
    secs = 0;
    static const QRegularExpression timed(QStringLiteral("^(.*\\S)(?:([T ])\\s*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)$"));
    if (const QRegularExpressionMatch x = timed.match(t); x.hasMatch()) {
        const int h = x.captured(3).toInt(), mi = x.captured(4).toInt();
        const int s = x.captured(5).isEmpty() ? 0 : x.captured(5).toInt();
        if (h > 23 || mi > 59 || s > 59)
            return false;
        secs = h * 3600 + mi * 60 + s;
        form.time = x.captured(5).isEmpty() ? 1 : 2;
        form.timeSep = x.captured(2).at(0);
        t = x.captured(1);
    }
    static const QRegularExpression weekday(QStringLiteral("^(.*\\S)\\s*([(（])[月火水木金土日](?:曜日?)?[)）]$"));
    if (const QRegularExpressionMatch x = weekday.match(t); x.hasMatch()) {
        // The wide bracket was made narrow above; the series writes it as it was.
        form.weekdayOpen = shown.contains(QChar(0xFF08)) ? QStringLiteral("（") : QStringLiteral("(");
        t = x.captured(1);
    }
    int y = 0, mo = 0, d = 0;
    QString monthText, dayText;
    static const QRegularExpression kanji(QStringLiteral("^(\\d{4})\\s*年\\s*(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*日$"));
    static const QRegularExpression ymd(QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression xxy(QStringLiteral("^(\\d{1,2})([-/.])(\\d{1,2})\\2(\\d{4})$"));
    static const QRegularExpression named(QStringLiteral("^([A-Za-z]{3,9})\\.? (\\d{1,2})(,?) (\\d{4})$"));
    static const QRegularExpression namedDmy(QStringLiteral("^(\\d{1,2}) ([A-Za-z]{3,9})\\.?,? (\\d{4})$"));
    QRegularExpressionMatch x;
    if ((x = kanji.match(t)).hasMatch()) {
        form.order = DateForm::Kanji;
        y = x.captured(1).toInt();
        monthText = x.captured(2);
        dayText = x.captured(3);
    } else if ((x = ymd.match(t)).hasMatch()) {
        form.order = DateForm::Ymd;
        form.sep = x.captured(2).at(0);
        y = x.captured(1).toInt();
        monthText = x.captured(3);
        dayText = x.captured(4);
    } else if ((x = xxy.match(t)).hasMatch()) {
        // Slashes write the month first (12/8/2026), dots and dashes the day
        // (8.12.2026); a first number past 12 can only be a day, a second
        // one only the day.
        form.sep = x.captured(2).at(0);
        const int a = x.captured(1).toInt(), b = x.captured(3).toInt();
        bool monthFirst = form.sep == QLatin1Char('/');
        if (monthFirst && a > 12 && b <= 12)
            monthFirst = false;
        else if (!monthFirst && b > 12 && a <= 12)
            monthFirst = true;
        form.order = monthFirst ? DateForm::Mdy : DateForm::Dmy;
        monthText = x.captured(monthFirst ? 1 : 3);
        dayText = x.captured(monthFirst ? 3 : 1);
        y = x.captured(4).toInt();
    } else if ((x = named.match(t)).hasMatch()) {
        form.order = DateForm::NamedMdy;
        mo = monthFromName(x.captured(1), form.fullName);
        dayText = x.captured(2);
        form.comma = !x.captured(3).isEmpty();
        y = x.captured(4).toInt();
    } else if ((x = namedDmy.match(t)).hasMatch()) {
        form.order = DateForm::NamedDmy;
        dayText = x.captured(1);
        mo = monthFromName(x.captured(2), form.fullName);
        y = x.captured(3).toInt();
    } else {
        return false;
    }
    if (!monthText.isEmpty())
        mo = monthText.toInt();
    d = dayText.toInt();
    form.padded = (monthText.size() == 2 && monthText.startsWith(QLatin1Char('0')))
            || (dayText.size() == 2 && dayText.startsWith(QLatin1Char('0')))
            || (form.order == DateForm::Ymd && form.sep == QLatin1Char('-') && monthText.size() == 2
                && dayText.size() == 2);
    date = QDate(y, mo, d);
    return date.isValid();
}

QString writeDate(const QDate &date, int secs, const DateForm &form)
{
    auto two = [&](int n) { return form.padded ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) : QString::number(n); };
    const QString y = QString::number(date.year()), m = two(date.month()), d = two(date.day());
    const QString month = QLatin1String(MonthNames[date.month() - 1]);
    const QString name = form.fullName ? month : month.left(3);
    QString text;
    switch (form.order) {
    case DateForm::Ymd: text = y + form.sep + m + form.sep + d; break;
    case DateForm::Mdy: text = m + form.sep + d + form.sep + y; break;
    case DateForm::Dmy: text = d + form.sep + m + form.sep + y; break;
    case DateForm::Kanji: text = y + u'年' + m + u'月' + d + u'日'; break;
    case DateForm::NamedMdy:
        text = name + QLatin1Char(' ') + QString::number(date.day()) + (form.comma ? QLatin1String(", ") : QLatin1String(" ")) + y;
        break;
    case DateForm::NamedDmy: text = QString::number(date.day()) + QLatin1Char(' ') + name + QLatin1Char(' ') + y; break;
    }
    if (!form.weekdayOpen.isEmpty()) {
        const bool wide = form.weekdayOpen == QStringLiteral("（");
        text += form.weekdayOpen + QChar(Weekdays[date.dayOfWeek() - 1]) + (wide ? u'）' : u')');
    }
    if (form.time) {
        text += form.timeSep + QStringLiteral("%1:%2").arg(secs / 3600, 2, 10, QLatin1Char('0')).arg(secs / 60 % 60, 2, 10, QLatin1Char('0'));
        if (form.time == 2)
            text += QStringLiteral(":%1").arg(secs % 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

// --- sorting -------------------------------------------------------------------

// One key's reading of every row: 0 a value, 1 other text, 2 empty.
struct KeyColumn {
    tabletools::SortKey key;
    std::vector<quint8> rank;
    std::vector<double> value;      // numbers and dates
    std::vector<int> text;          // index into texts, or -1
    std::vector<QCollatorSortKey> texts;
};

void readKey(const TableModel &m, int first, int last, KeyColumn &k, const QCollator &collator)
{
    const int n = last - first + 1;
    k.rank.assign(std::size_t(n), 2);
    k.value.assign(std::size_t(n), 0);
    k.text.assign(std::size_t(n), -1);
    const int col = k.key.col;
    // Only held records have text; the rest stay empty.
    m.Cells.forEachHeld(QRect(col, first, 1, n), [&](int, int r, const CellRecord &rec) {
        const std::size_t i = std::size_t(r - first);
        const QString shown = HtmlToGridText(rec.Text).trimmed();
        if (shown.isEmpty())
            return;
        bool isValue = false;
        if (k.key.kind == tabletools::SortKind::Number) {
            isValue = tableedits::readSortNumber(shown, k.value[i]);
        } else if (k.key.kind == tabletools::SortKind::Date) {
            qint64 s = 0;
            isValue = tabletools::readDate(shown, s);
            k.value[i] = double(s);
        }
        if (isValue) {
            k.rank[i] = 0;
            return;
        }
        k.rank[i] = 1;
        k.text[i] = int(k.texts.size());
        k.texts.push_back(collator.sortKey(shown));
    });
}

// --- numbers in texts ------------------------------------------------------------

// The last number of a cell's markup outside its tags and references, as a
// count in units of its last decimal place: "Item 007" is "Item ", 7, width 3.
struct Counter {
    QString prefix, suffix;
    qint64 units = 0;
    int decimals = 0;
    int width = 0;              // digits before the point, kept with leading zeros
};

bool readCounter(const QString &markup, Counter &out)
{
    // Where the last run of digits outside tags and references is.
    qsizetype end = -1, start = -1;
    bool inTag = false, inRef = false;
    for (qsizetype i = 0; i < markup.size(); ++i) {
        const QChar c = markup.at(i);
        if (inTag) {
            inTag = c != QLatin1Char('>');
            continue;
        }
        if (inRef) {
            inRef = c != QLatin1Char(';') && (c.isLetterOrNumber() || c == QLatin1Char('#'));
            continue;
        }
        if (c == QLatin1Char('<'))
            inTag = true;
        else if (c == QLatin1Char('&'))
            inRef = true;
        else if (c.unicode() >= '0' && c.unicode() <= '9') {
            if (end != i)
                start = i;
            end = i + 1;
        }
    }
    if (start < 0)
        return false;
    qsizetype from = start;
    int decimals = 0;
    // A point and digits before it make it a decimal number.
    if (from >= 2 && markup.at(from - 1) == QLatin1Char('.') && markup.at(from - 2).isDigit()
        && markup.at(from - 2).unicode() < 0x80) {
        decimals = int(end - start);
        from -= 2;
        while (from > 0 && markup.at(from - 1).unicode() >= '0' && markup.at(from - 1).unicode() <= '9')
            --from;
    }
    const QString digits = markup.mid(from, end - from).remove(QLatin1Char('.'));
    if (digits.size() > 17)
        return false;
    out.prefix = markup.left(from);
    out.suffix = markup.mid(end);
    out.units = digits.toLongLong();
    out.decimals = decimals;
    const qsizetype whole = end - from - (decimals ? decimals + 1 : 0);
    out.width = whole > 1 && markup.at(from) == QLatin1Char('0') ? int(whole) : 0;
    // A minus sign opens a number only at the start of the text.
    if (out.prefix.trimmed() == QLatin1String("-")) {
        out.units = -out.units;
        out.prefix.clear();
    }
    return true;
}

bool scaled(qint64 units, int from, int to, qint64 &out)
{
    out = units;
    for (int i = from; i < to; ++i)
        if (__builtin_mul_overflow(out, qint64(10), &out))
            return false;
    return true;
}

QString writeCounter(const Counter &c, qint64 units)
{
    const bool negative = units < 0;
    QString digits = QString::number(negative ? -units : units);
    if (c.decimals > 0) {
        digits = digits.rightJustified(c.decimals + 1, QLatin1Char('0'));
        digits.insert(digits.size() - c.decimals, QLatin1Char('.'));
    }
    const int whole = int(digits.size()) - (c.decimals ? c.decimals + 1 : 0);
    if (c.width > whole)
        digits.prepend(QString(c.width - whole, QLatin1Char('0')));
    return c.prefix + (negative ? QStringLiteral("-") : QString()) + digits + c.suffix;
}

// What a series continues from: a date, a counter, or a text to copy.
struct Seed {
    enum Kind { Copy, Date, Count } kind = Copy;
    QString markup;
    // Dates: the markup around the date, and the date.
    QString before, after;
    QDate date;
    int secs = 0;
    DateForm form;
    Counter counter;
};

Seed readSeed(const QString &markup)
{
    Seed s;
    s.markup = markup;
    const QString shown = HtmlToGridText(markup).trimmed();
    if (parseDate(shown, s.date, s.secs, s.form)) {
        s.kind = Seed::Date;
        const qsizetype at = markup.indexOf(shown);
        if (at >= 0) {
            s.before = markup.left(at);
            s.after = markup.mid(at + shown.size());
        }
    } else if (readCounter(markup, s.counter)) {
        s.kind = Seed::Count;
    }
    return s;
}

// The series of one line: the text of its i-th cell, counted from the seed
// (0). A value past what can be written is null: the cell stays as it was.
class Series
{
public:
    Series(const Seed &first, const Seed *second) : m_first(first)
    {
        if (first.kind == Seed::Date) {
            if (second && second->kind == Seed::Date) {
                const QDate a = first.date, b = second->date;
                const bool otherMonth = a.month() != b.month() || a.year() != b.year();
                if (first.form.time || second->form.time)
                    m_secondsStep = a.daysTo(b) * 86400 + (second->secs - first.secs);
                else if (otherMonth && (a.day() == b.day() || (monthEnd(a) && monthEnd(b)))) {
                    m_months = (b.year() - a.year()) * 12 + b.month() - a.month();
                    m_monthEnd = a.day() != b.day();
                }
                else
                    m_secondsStep = a.daysTo(b) * 86400;
            } else {
                m_secondsStep = 86400;
            }
        } else if (first.kind == Seed::Count) {
            m_counter = first.counter;
            m_step = 1;
            const Counter *b = second && second->kind == Seed::Count ? &second->counter : nullptr;
            if (b && b->prefix == m_counter.prefix && b->suffix == m_counter.suffix) {
                const int decimals = std::max(m_counter.decimals, b->decimals);
                qint64 a0 = 0, b0 = 0;
                if (scaled(m_counter.units, m_counter.decimals, decimals, a0) && scaled(b->units, b->decimals, decimals, b0)
                    && !__builtin_sub_overflow(b0, a0, &m_step)) {
                    m_counter.units = a0;
                    m_counter.decimals = decimals;
                    m_counter.width = std::max(m_counter.width, b->width);
                } else {
                    m_step = 1;
                    scaled(1, 0, m_counter.decimals, m_step);
                }
            } else {
                scaled(1, 0, m_counter.decimals, m_step);
            }
        }
    }

    std::optional<QString> at(qint64 i) const
    {
        switch (m_first.kind) {
        case Seed::Copy:
            return m_first.markup;
        case Seed::Count: {
            qint64 units = 0;
            // Past 18 digits the cell stays as it was (and the sign can turn).
            constexpr qint64 Most = 999999999999999999;
            if (__builtin_mul_overflow(m_step, i, &units) || __builtin_add_overflow(units, m_counter.units, &units)
                || units > Most || units < -Most)
                return std::nullopt;
            return writeCounter(m_counter, units);
        }
        case Seed::Date: {
            QDate date = m_first.date;
            int secs = m_first.secs;
            if (m_months) {
                if (qAbs(m_months * i) > 12 * 10000)
                    return std::nullopt;
                date = date.addMonths(int(m_months * i));
                if (m_monthEnd)
                    date = QDate(date.year(), date.month(), date.daysInMonth());
            } else {
                qint64 total = 0;
                if (__builtin_mul_overflow(m_secondsStep, i, &total) || qAbs(total) > qint64(86400) * 3660000)
                    return std::nullopt;
                total += secs;
                const qint64 days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
                secs = int(total - days * 86400);
                date = date.addDays(days);
            }
            if (!date.isValid() || date.year() < 1 || date.year() > 9999)
                return std::nullopt;
            const QString text = writeDate(date, secs, m_first.form);
            return m_first.before.isEmpty() && m_first.after.isEmpty() ? text : m_first.before + text + m_first.after;
        }
        }
        return std::nullopt;
    }

private:
    const Seed &m_first;
    Counter m_counter;
    qint64 m_step = 0;           // counters, in units
    qint64 m_secondsStep = 0;    // dates by days (or seconds)
    qint64 m_months = 0;         // dates by months
    bool m_monthEnd = false;     // each the last day of its month
    static bool monthEnd(const QDate &d) { return d.day() == d.daysInMonth(); }
};

// The lines a fill runs along (columns going down, rows going right), one
// at a time: the written cells of each, in order.
struct Lines {
    QRect r;
    bool down;
    int lineCount() const { return down ? r.width() : r.height(); }
    int length() const { return down ? r.height() : r.width(); }
    QPoint cell(int line, int along) const
    {
        return down ? QPoint(r.left() + line, r.top() + along) : QPoint(r.left() + along, r.top() + line);
    }
};

bool textFits(const TableModel &m, qint64 added)
{
    return added <= 0 || CellFinder::tableTextBytes(m) + added <= MaxTableTextBytes;
}

void turn(CellRecord &r)
{
    std::swap(r.HeightOn, r.WidthOn);
    std::swap(r.Height, r.Width);
    std::swap(r.RowSpanOn, r.ColSpanOn);
    std::swap(r.RowSpan, r.ColSpan);
    switch (CellScope(r.Scope)) {
    case CellScope::Row: r.Scope = qint16(CellScope::Col); break;
    case CellScope::Col: r.Scope = qint16(CellScope::Row); break;
    case CellScope::RowGroup: r.Scope = qint16(CellScope::ColGroup); break;
    case CellScope::ColGroup: r.Scope = qint16(CellScope::RowGroup); break;
    case CellScope::Auto: break;
    }
}

} // namespace

namespace tabletools {

bool readDate(const QString &shown, qint64 &seconds)
{
    QDate date;
    int secs = 0;
    DateForm form;
    if (!parseDate(shown, date, secs, form))
        return false;
    seconds = date.toJulianDay() * 86400 + secs;
    return true;
}

SortFrame sortFrame(const TableModel &m)
{
    SortFrame f;
    const int rows = tableRows(m), cols = tableCols(m);
    const SpanLayout layout = layoutOf(m);
    f.footerRows = std::clamp<int>(m.FooterRows, 0, rows);
    const int bodyEnd = rows - f.footerRows;
    // A header row has written cells, every one a header cell. Past
    // MaxHeaderRows rows of them they are the body (a table made header cells
    // throughout); each row looked at costs its columns.
    while (f.headerRows < std::min(bodyEnd, MaxHeaderRows)) {
        const int r = f.headerRows + 1;
        int written = 0;
        bool headers = true;
        for (int c = 1; c <= cols && headers; ++c) {
            if (!layout.isWritten(c, r))
                continue;
            ++written;
            const CellRecord *rec = m.Cells.find(c, r);
            headers = rec && rec->Header == -1;
        }
        if (!headers || !written)
            break;
        ++f.headerRows;
    }
    if (f.headerRows > 0 || bodyEnd < 2)
        return f;

    // Without header cells a first row may still be the columns' labels (a
    // CSV, a paste from a spreadsheet). It is when each of its cells holds a
    // text that is no number or date, none empty, none twice, none met again
    // in its column below; and below it (the next LabelSampleRows rows) some
    // column is mostly numbers or dates, or repeats a value.
    QHash<int, QString> labels;
    QSet<QString> seen;
    for (int c = 1; c <= cols; ++c) {
        if (!layout.isWritten(c, 1))
            continue;
        const QString label = shownText(m, c, 1);
        if (label.isEmpty() || isNumberOrDate(label) || seen.contains(label))
            return f;
        seen.insert(label);
        labels.insert(c, label);
    }
    struct Below {
        int filled = 0, values = 0;
        QSet<QString> texts;
    };
    QHash<int, Below> below;
    bool labelAgain = false;
    const QRect sample(1, 2, cols, std::min(LabelSampleRows, bodyEnd - 1));
    m.Cells.forEachHeld(sample, [&](int c, int r, const CellRecord &rec) {
        if (labelAgain || !layout.isWritten(c, r))
            return;
        const QString shown = HtmlToGridText(rec.Text).trimmed();
        if (shown.isEmpty())
            return;
        labelAgain = labels.value(c) == shown;
        Below &b = below[c];
        ++b.filled;
        b.values += isNumberOrDate(shown);
        b.texts.insert(shown);
    });
    if (labelAgain)
        return f;
    for (const Below &b : std::as_const(below))
        if (b.values * 2 > b.filled || b.texts.size() < b.filled)
            f.labelRow = true;
    return f;
}

SortKind guessKind(const TableModel &m, int col, int first, int last)
{
    int filled = 0, dates = 0, numbers = 0;
    last = std::min(last, first + LabelSampleRows - 1);
    if (first > last)
        return SortKind::Natural;
    m.Cells.forEachHeld(QRect(col, first, 1, last - first + 1), [&](int, int, const CellRecord &rec) {
        const QString shown = HtmlToGridText(rec.Text).trimmed();
        if (shown.isEmpty())
            return;
        ++filled;
        double v;
        qint64 s;
        if (readDate(shown, s))
            ++dates;
        else if (tableedits::readSortNumber(shown, v))
            ++numbers;
    });
    if (dates * 2 > filled)
        return SortKind::Date;
    if ((numbers + dates) * 2 > filled)
        return SortKind::Number;
    return SortKind::Natural;
}

int sortRows(TableModel &m, int first, int last, const QVector<SortKey> &keys)
{
    const int rows = std::clamp<int>(m.TableRows, 0, TableLimits::MaxRows);
    const int cols = std::clamp<int>(m.TableCols, 0, TableLimits::MaxCols);
    first = std::max(first, 1);
    last = std::min(last, rows);
    std::vector<KeyColumn> columns;
    for (const SortKey &k : keys)
        if (k.col >= 1 && k.col <= cols) {
            columns.emplace_back();
            columns.back().key = k;
        }
    if (first >= last || columns.empty())
        return 0;
    // A row span starting in the rows, or from above reaching into them.
    int torn = 0;
    m.Cells.forEachLaidOut(QRect(1, 1, cols, last), [&](int, int r, const CellRecord &rec) {
        if (!torn && rec.RowSpanOn && rec.RowSpan > 1 && r + qint64(rec.RowSpan) - 1 >= first)
            torn = r;
    });
    if (torn)
        return torn;

    // The C locale compares code points, case and digits alike; a sort
    // reads as a person does whatever the environment says.
    const QLocale locale = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator plain(locale);
    plain.setCaseSensitivity(Qt::CaseInsensitive);
    QCollator natural = plain;
    natural.setNumericMode(true);
    for (KeyColumn &k : columns)
        readKey(m, first, last, k, k.key.kind == SortKind::Text ? plain : natural);

    std::vector<int> order(std::size_t(last - first + 1));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    auto before = [&](int a, int b) {
        for (const KeyColumn &k : columns) {
            const quint8 ra = k.rank[std::size_t(a)], rb = k.rank[std::size_t(b)];
            if (ra != rb)
                return ra < rb;
            int cmp = 0;
            if (ra == 0) {
                const double va = k.value[std::size_t(a)], vb = k.value[std::size_t(b)];
                cmp = va < vb ? -1 : (va > vb ? 1 : 0);
            } else if (ra == 1) {
                cmp = k.texts[std::size_t(k.text[std::size_t(a)])].compare(k.texts[std::size_t(k.text[std::size_t(b)])]);
            }
            if (cmp != 0)
                return k.key.descending ? cmp > 0 : cmp < 0;
        }
        return false;
    };
    std::stable_sort(order.begin(), order.end(), before);

    LineEdit edit;
    edit.kind = LineEdit::Permute;
    edit.rows = true;
    edit.at = first;
    edit.count = last - first + 1;
    edit.limit = CellTable::MaxRow;
    edit.order.reserve(edit.count);
    bool moved = false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        edit.order.append(order[i]);
        moved = moved || order[i] != int(i);
    }
    columns.clear();
    if (moved)
        m.Cells.apply(edit);
    return 0;
}

bool transpose(TableModel &m)
{
    const int rows = tableRows(m), cols = tableCols(m);
    if (rows > TableLimits::MaxCols)
        return false;
    // Every held record that can go over the diagonal does, outside the
    // table too (so the cells left outside stay outside); a row past the
    // last column a record may have stays where it is, and only there can
    // nothing come to it. Each pair of cells is visited once.
    std::vector<QPoint> pairs;
    const CellTable &cells = m.Cells;
    cells.forEachHeld(QRect(0, 0, CellTable::MaxCol + 1, CellTable::MaxCol + 1), [&](int c, int r, const CellRecord &) {
        if (c <= r || !cells.find(r, c))
            pairs.push_back(QPoint(c, r));
    });
    for (const QPoint p : pairs) {
        const int c = p.x(), r = p.y();
        const CellRecord *a = cells.find(c, r), *b = cells.find(r, c);
        CellRecord toA = b ? *b : CellRecord(), toB = a ? *a : CellRecord();
        turn(toA);
        turn(toB);
        if (c != r)
            m.Cells(r, c) = std::move(toB);
        m.Cells(c, r) = c != r ? std::move(toA) : std::move(toB);
    }
    m.TableRows = cols;
    m.TableCols = rows;
    m.FooterRows = 0;
    return true;
}

FillStatus fill(TableModel &m, QRect cells, bool down)
{
    Lines lines{cells.normalized() & m.tableCells(), down};
    if (lines.r.isEmpty())
        return FillStatus::Nothing;
    // One line across takes the one before it.
    int from = 1;
    if (lines.length() == 1) {
        if ((down ? lines.r.top() : lines.r.left()) == 1)
            return FillStatus::Nothing;
        lines.r = down ? lines.r.adjusted(0, -1, 0, 0) : lines.r.adjusted(-1, 0, 0, 0);
    }
    if (qint64(lines.lineCount()) * (lines.length() - from) > MaxFillCells)
        return FillStatus::TooManyCells;
    const SpanLayout layout = layoutOf(m);
    struct Write {
        QPoint to, from;
    };
    std::vector<Write> writes;
    qint64 added = 0;
    for (int line = 0; line < lines.lineCount(); ++line) {
        const QPoint source = layout.owner(lines.cell(line, 0).x(), lines.cell(line, 0).y());
        const CellRecord &src = std::as_const(m.Cells)(source.x(), source.y());
        for (int along = from; along < lines.length(); ++along) {
            const QPoint to = lines.cell(line, along);
            if (!layout.isWritten(to.x(), to.y()) || to == source)
                continue;
            const CellRecord *now = std::as_const(m.Cells).find(to.x(), to.y());
            CellRecord result = src;
            const CellRecord &old = now ? *now : CellTable::defaults();
            result.RowSpanOn = old.RowSpanOn;
            result.RowSpan = old.RowSpan;
            result.ColSpanOn = old.ColSpanOn;
            result.ColSpan = old.ColSpan;
            if (result == old)
                continue;
            added += src.Text.size() - old.Text.size();
            writes.push_back({to, source});
        }
    }
    if (writes.empty())
        return FillStatus::Nothing;
    if (!textFits(m, added))
        return FillStatus::TooMuchText;
    // Written row by row, as the table holds its records.
    std::sort(writes.begin(), writes.end(), [](const Write &a, const Write &b) {
        return a.to.y() != b.to.y() ? a.to.y() < b.to.y() : a.to.x() < b.to.x();
    });
    for (const Write &w : writes) {
        const CellRecord src = std::as_const(m.Cells)(w.from.x(), w.from.y());
        CellRecord &to = m.Cells(w.to.x(), w.to.y());
        const CellRecord old = to;
        to = src;
        to.RowSpanOn = old.RowSpanOn;
        to.RowSpan = old.RowSpan;
        to.ColSpanOn = old.ColSpanOn;
        to.ColSpan = old.ColSpan;
    }
    return FillStatus::Done;
}

FillStatus fillSeries(TableModel &m, QRect cells, bool down)
{
    const Lines lines{cells.normalized() & m.tableCells(), down};
    if (lines.r.isEmpty() || lines.length() < 2)
        return FillStatus::Nothing;
    if (qint64(lines.lineCount()) * (lines.length() - 1) > MaxFillCells)
        return FillStatus::TooManyCells;
    const SpanLayout layout = layoutOf(m);
    struct Write {
        QPoint to;
        QString text;
    };
    std::vector<Write> writes;
    qint64 added = 0;
    std::vector<QPoint> line;
    for (int l = 0; l < lines.lineCount(); ++l) {
        // The written cells of the line, each once.
        line.clear();
        for (int along = 0; along < lines.length(); ++along) {
            const QPoint p = lines.cell(l, along);
            if (layout.isWritten(p.x(), p.y()))
                line.push_back(p);
        }
        if (line.size() < 2)
            continue;
        auto textAt = [&](QPoint p) { return std::as_const(m).Cells(p.x(), p.y()).Text; };
        const Seed first = readSeed(textAt(line[0]));
        const QString secondText = textAt(line[1]);
        std::optional<Seed> second;
        if (!HtmlToGridText(secondText).trimmed().isEmpty())
            second = readSeed(secondText);
        // The second cell gives the step when it holds the same kind of value.
        const bool stepped = second && second->kind == first.kind && first.kind != Seed::Copy;
        const Series series(first, stepped ? &*second : nullptr);
        for (std::size_t i = stepped ? 2 : 1; i < line.size(); ++i) {
            const std::optional<QString> text = series.at(qint64(i));
            const QString &old = std::as_const(m).Cells(line[i].x(), line[i].y()).Text;
            if (!text || *text == old)
                continue;
            added += text->size() - old.size();
            writes.push_back({line[i], *text});
        }
    }
    if (writes.empty())
        return FillStatus::Nothing;
    if (!textFits(m, added))
        return FillStatus::TooMuchText;
    std::sort(writes.begin(), writes.end(), [](const Write &a, const Write &b) {
        return a.to.y() != b.to.y() ? a.to.y() < b.to.y() : a.to.x() < b.to.x();
    });
    for (Write &w : writes)
        m.Cells(w.to.x(), w.to.y()).Text = std::move(w.text);
    return FillStatus::Done;
}

NumberStatus insertRowNumbers(TableModel &m, const QString &label)
{
    const SortFrame frame = sortFrame(m);
    const int rows = tableRows(m);
    const int last = frame.lastBody(rows);
    qint64 added = label.size();
    for (qint64 n = 1, digits = 1; n <= last - frame.firstBody() + 1; n *= 10, ++digits)
        added += (std::min<qint64>(n * 10 - 1, last - frame.firstBody() + 1) - n + 1) * digits;
    if (!textFits(m, added))
        return NumberStatus::TooMuchText;
    if (!tableedits::insertCols(m, 1, 1))
        return NumberStatus::NoColumnLeft;
    const int heads = frame.headerRows + (frame.labelRow ? 1 : 0);
    if (heads > 0) {
        CellRecord &top = m.Cells(1, 1);
        top.Text = label;
        if (heads > 1) {
            top.RowSpanOn = 1;
            top.RowSpan = heads;
        }
    }
    for (int r = frame.firstBody(); r <= last; ++r)
        m.Cells(1, r).Text = QString::number(r - frame.firstBody() + 1);
    return NumberStatus::Done;
}

} // namespace tabletools
