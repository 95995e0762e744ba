#include "core/io/table_file.h"

#include <QBuffer>
#include <QIODevice>

#include "core/io/compression.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr int ClassicSize = TableLimits::ClassicLines;
constexpr int ClassicIndex = ClassicSize + 1;

// An id or class as written: "&amp;" and numeric references stand for the
// characters they name.
QString attributeFromFile(const QString &field)
{
    if (!field.contains(QLatin1Char('&')))
        return field;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar ch = field.at(i);
        if (ch == QLatin1Char('&')) {
            if (QStringView(field).mid(i, 5) == QLatin1String("&amp;")) {
                out += QLatin1Char('&');
                i += 4;
                continue;
            }
            if (i + 2 < field.size() && field.at(i + 1) == QLatin1Char('#')) {
                const bool hex = field.at(i + 2) == QLatin1Char('x') || field.at(i + 2) == QLatin1Char('X');
                const qsizetype from = i + (hex ? 3 : 2);
                const qsizetype semi = field.indexOf(QLatin1Char(';'), from);
                if (semi > from && semi - from <= 8) {
                    bool ok = false;
                    const uint code = QStringView(field).mid(from, semi - from).toUInt(&ok, hex ? 16 : 10);
                    if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                        const char32_t c = char32_t(code);
                        out += QString::fromUcs4(&c, 1);
                        i = semi;
                        continue;
                    }
                }
            }
        }
        out += ch;
    }
    return out;
}

// Fields one after another, line breaks counting as separators like commas.
// A quoted field ends at a quote that is followed by a separator or the end;
// a doubled quote inside stands for one quote, and a lone quote followed by
// anything else is kept as text (files of earlier versions wrote inner quotes
// as they were).
class FieldReader
{
public:
    explicit FieldReader(QStringView text)
        : m_begin(text.data()), m_p(text.data()), m_end(text.data() + text.size())
    {
    }

    qsizetype consumed() const { return m_p - m_begin; }
    bool reachedEnd() const { return m_p == m_end; }

    // Skips blank space and empty lines between records; true at the end.
    bool atEnd()
    {
        while (m_p < m_end && (isBlank(*m_p) || *m_p == u'\r' || *m_p == u'\n'))
            ++m_p;
        return m_p == m_end;
    }

    // The next field; false when there is none or it is malformed.
    bool next(QStringView &raw, QString &unescaped, bool &quoted)
    {
        skipBlanks();
        if (m_p == m_end)
            return false;
        if (*m_p == u'"') {
            quoted = true;
            const QChar *start = ++m_p;
            bool doubled = false;
            for (;;) {
                if (m_p == m_end)
                    return false; // unterminated string
                if (*m_p != u'"') {
                    // Straight on to the next quote: a cell text may be megabytes.
                    const qsizetype quote = QStringView(m_p, m_end).indexOf(u'"');
                    m_p = quote < 0 ? m_end : m_p + quote;
                    continue;
                }
                if (m_p + 1 < m_end && m_p[1] == u'"') {
                    doubled = true;
                    m_p += 2;
                    continue;
                }
                const QChar *after = m_p + 1;
                while (after < m_end && isBlank(*after))
                    ++after;
                if (after == m_end || isSeparator(*after)) {
                    raw = QStringView(start, m_p);
                    m_p = after;
                    break;
                }
                ++m_p; // an unescaped quote inside the text
            }
            if (doubled) {
                unescaped = raw.toString();
                unescaped.replace(QLatin1String("\"\""), QLatin1String("\""));
                raw = unescaped;
            }
        } else {
            quoted = false;
            const QChar *start = m_p;
            while (m_p < m_end && !isSeparator(*m_p))
                ++m_p;
            raw = QStringView(start, m_p).trimmed();
        }
        skipSeparator();
        return true;
    }

private:
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    static bool isSeparator(QChar c) { return c == u',' || c == u'\r' || c == u'\n'; }

    void skipBlanks()
    {
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
    }

    void skipSeparator()
    {
        if (m_p == m_end)
            return;
        if (*m_p == u',') {
            ++m_p;
        } else if (*m_p == u'\r') {
            ++m_p;
            if (m_p < m_end && *m_p == u'\n')
                ++m_p;
        } else if (*m_p == u'\n') {
            ++m_p;
        }
    }

    const QChar *m_begin;
    const QChar *m_p;
    const QChar *m_end;
};

// Decimal digits with an optional sign; anything else is not a number.
bool parseNumber(QStringView s, qint64 low, qint64 high, qint64 &value)
{
    s = s.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'-' || s.at(i) == u'+')) {
        negative = s.at(i) == u'-';
        ++i;
    }
    if (i == s.size())
        return false;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
        if (v > (qint64(1) << 40))
            return false; // far past any field's range; stop before overflowing
    }
    value = negative ? -v : v;
    return value >= low && value <= high;
}

// Typed reads on top of FieldReader. The first failure sticks, so a record is
// read field by field and checked once.
class TableTextParser
{
public:
    explicit TableTextParser(QStringView text) : m_fields(text) {}

    bool ok() const { return m_ok; }
    bool atEnd() { return m_fields.atEnd(); }
    qsizetype consumed() const { return m_fields.consumed(); }
    bool reachedEnd() const { return m_fields.reachedEnd(); }

    qint64 number(qint64 low, qint64 high, bool quotedAllowed = false)
    {
        QStringView raw;
        bool quoted = false;
        if (!field(raw, quoted) || (quoted && !quotedAllowed))
            return fail();
        qint64 v = 0;
        if (!parseNumber(raw, low, high, v))
            return fail();
        return v;
    }
    qint16 int16()
    {
        return qint16(number(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
    }
    qint32 int32()
    {
        return qint32(number(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    }
    QString string()
    {
        QStringView raw;
        bool quoted = false;
        if (!field(raw, quoted)) {
            fail();
            return QString();
        }
        return raw.toString();
    }
    qint16 boolean()
    {
        QStringView raw;
        bool quoted = false;
        if (!field(raw, quoted) || quoted)
            return qint16(fail());
        if (raw.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
            return -1;
        if (raw.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
            return 0;
        return qint16(fail());
    }

private:
    bool field(QStringView &raw, bool &quoted)
    {
        if (!m_ok)
            return false;
        return m_fields.next(raw, m_scratch, quoted);
    }
    qint64 fail()
    {
        m_ok = false;
        return 0;
    }

    FieldReader m_fields;
    QString m_scratch;
    bool m_ok = true;
};

bool readCapped(QIODevice &in, QByteArray &data)
{
    if (!in.isOpen() || !in.isReadable())
        return false;
    if (!in.isSequential() && in.size() - in.pos() > MaxTableTextBytes)
        return false;
    data.clear();
    if (!in.isSequential()) {
        // Straight into a buffer of the file's size; a file that grows
        // meanwhile goes on below.
        const qint64 expected = in.size() - in.pos();
        if (expected > 0) {
            data.resize(expected);
            qint64 got = 0;
            while (got < expected) {
                const qint64 n = in.read(data.data() + got, expected - got);
                if (n < 0)
                    return false;
                if (n == 0)
                    break;
                got += n;
            }
            data.truncate(got);
            if (got < expected)
                return true;
        }
    }
    char buf[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buf, sizeof buf);
        if (n < 0)
            return false;
        if (n == 0) {
            if (in.isSequential() && !in.atEnd() && in.waitForReadyRead(30000))
                continue;
            return true;
        }
        if (data.size() + n > MaxTableTextBytes)
            return false;
        data.append(buf, n);
    }
}

// The table text read and decoded a piece at a time, so that neither its
// bytes nor the whole decoded text are held beside the cells read from it.
// A piece ends after a byte below 0x80, where the decoder starts afresh
// (a lead byte of a double-byte character is 0x81 or more), so the pieces
// decode to exactly what the whole text would.
class PieceReader
{
public:
    explicit PieceReader(QIODevice &in) : m_in(in) {}

    bool more() const { return !m_done; }
    bool failed() const { return m_failed; }

    // At least `wanted` more bytes (or the rest) decoded onto the end of text.
    void appendTo(QString &text, qsizetype wanted)
    {
        QByteArray bytes = std::exchange(m_carry, QByteArray());
        qsizetype target = bytes.size() + qMax<qsizetype>(wanted, Piece);
        for (;;) {
            while (!m_done && bytes.size() < target) {
                const qsizetype had = bytes.size();
                bytes.resize(target);
                const qint64 n = m_in.read(bytes.data() + had, target - had);
                bytes.resize(had + qMax<qint64>(n, 0));
                if (n < 0) {
                    fail();
                } else if (n == 0) {
                    if (!(m_in.isSequential() && !m_in.atEnd() && m_in.waitForReadyRead(30000)))
                        m_done = true;
                } else if ((m_total += n) > MaxTableTextBytes) {
                    fail();
                }
            }
            if (m_done)
                break;
            qsizetype cut = bytes.size();
            while (cut > 0 && quint8(bytes.at(cut - 1)) >= 0x80)
                --cut;
            if (cut > 0) {
                m_carry = bytes.mid(cut);
                bytes.truncate(cut);
                break;
            }
            target += Piece; // no place to cut yet
        }
        if (!bytes.isEmpty())
            text += decodeCp932(bytes);
    }

private:
    static constexpr qsizetype Piece = 1024 * 1024;

    void fail()
    {
        m_failed = true;
        m_done = true;
    }

    QIODevice &m_in;
    QByteArray m_carry;
    qint64 m_total = 0;
    bool m_done = false;
    bool m_failed = false;
};

// The decoded text of a PieceReader, read from the front: what has been read
// is let go from time to time.
class PieceText
{
public:
    explicit PieceText(PieceReader &source) : m_source(source) { m_source.appendTo(m_text, 0); }

    // Runs read(parser) on the text ahead and moves past what it read; when
    // the parse failed or ran to the end of what is decoded so far, the rest
    // may have been cut off: it is run again with more text. False when it
    // failed on the whole text.
    template<typename Read>
    bool next(Read read)
    {
        for (;;) {
            TableTextParser p(QStringView(m_text).mid(m_pos));
            read(p);
            if (!p.reachedEnd() || !m_source.more()) {
                m_pos += p.consumed();
                letGoOfRead();
                return p.ok() && !m_source.failed();
            }
            // Twice the text ahead each time: a long record costs linear time.
            m_source.appendTo(m_text, m_text.size() - m_pos);
        }
    }

    // Blank space and empty lines skipped; true when no record follows.
    bool atEnd()
    {
        for (;;) {
            TableTextParser p(QStringView(m_text).mid(m_pos));
            const bool end = p.atEnd();
            m_pos += p.consumed();
            if (!end || !m_source.more())
                return end;
            m_source.appendTo(m_text, 0);
        }
    }

    bool failed() const { return m_source.failed(); }

private:
    void letGoOfRead()
    {
        if (m_pos > 1024 * 1024 && m_pos > m_text.size() / 2) {
            m_text.remove(0, m_pos);
            m_pos = 0;
        }
    }

    PieceReader &m_source;
    QString m_text;
    qsizetype m_pos = 0;
};

struct CellLine {
    int col;
    int row;
    CellRecord record;
};

struct OldCellLine {
    int col;
    int row;
    QString text;
    qint16 header, rowSpanOn, rowSpan, colSpanOn, colSpan, hAlign, vAlign;
};

ReadResult damaged(const FileVersion &v = FileVersion())
{
    ReadResult r;
    r.status = ReadStatus::Damaged;
    r.version = v;
    return r;
}

} // namespace

bool isNewerThanProgram(const FileVersion &v)
{
    if (v.major != AppVersion::Major)
        return v.major > AppVersion::Major;
    if (v.minor != AppVersion::Minor)
        return v.minor > AppVersion::Minor;
    return v.revision > AppVersion::Revision;
}

namespace {

ReadResult readTableText(PieceReader &source, TableModel &model)
{
    PieceText text(source);

    FileVersion version;
    qint32 rows = 0, cols = 0, backColor = 0;
    QString title, tableId, tableClass;
    qint16 border = 0, backColorNothing = 0, netscape = 0;
    MarkupProfile profile = MarkupProfile::Html4;
    WidthUnit widthUnit = WidthUnit::None;
    qint32 width = 100;
    PresentationStyle style = PresentationStyle::Inline;
    TablePreset preset = TablePreset::None;
    CssPlacement css = CssPlacement::Block;
    qint16 responsive = 0;
    bool classes = false;
    bool footers = false;
    bool wide = false;
    qint64 records = 0;
    qint32 footerRows = 0;
    bool newer = false;
    bool versionRead = false;
    const bool headerRead = text.next([&](TableTextParser &p) {
        version.major = p.int16();
        version.minor = p.int16();
        version.revision = p.int16();
        versionRead = p.ok();
        newer = p.ok() && isNewerThanProgram(version);
        if (!p.ok() || newer)
            return;
        wide = version.major > 3 || (version.major == 3 && version.minor >= 4);
        rows = qint32(p.number(1, wide ? TableLimits::MaxRows : ClassicSize));
        cols = qint32(p.number(1, wide ? TableLimits::MaxCols : ClassicSize));
        title = p.string();
        border = p.int16();
        backColor = p.int32();
        backColorNothing = p.int16();
        netscape = p.int16();
        // From 3.1 on the settings line goes on; older files mean the defaults.
        if (version.major > 3 || (version.major == 3 && version.minor >= 1)) {
            profile = MarkupProfile(p.number(0, 1));
            widthUnit = WidthUnit(p.number(0, 2));
            width = p.int32();
        }
        // From 3.2 on: the presentation, the table's id and class, and a class per cell.
        classes = version.major > 3 || (version.major == 3 && version.minor >= 2);
        if (classes) {
            style = PresentationStyle(p.number(0, 1));
            tableId = attributeFromFile(p.string());
            tableClass = attributeFromFile(p.string());
        }
        // From 3.3 on: the footer rows, and a scope per cell.
        footers = version.major > 3 || (version.major == 3 && version.minor >= 3);
        if (footers)
            footerRows = qint32(p.number(0, wide ? TableLimits::MaxRows : ClassicSize));
        // From 3.4 on: the preset, where its CSS goes, the responsive switch,
        // and how many cell lines follow.
        if (wide) {
            preset = TablePreset(p.number(0, TablePresetCount - 1));
            css = CssPlacement(p.number(0, 2));
            responsive = qint16(p.number(0, 1));
            records = p.number(0, qint64(CellTable::MaxCol + 1) * (CellTable::MaxRow + 1));
        }
    });
    if (newer) {
        ReadResult r;
        r.status = ReadStatus::NewerVersion;
        r.version = version;
        return r;
    }
    if (!headerRead)
        return text.failed() || !versionRead ? damaged() : damaged(version);

    std::vector<CellLine> lines;
    if (!wide)
        lines.reserve(std::size_t(cols + 3) * std::size_t(rows + 1));
    const int maxCol = wide ? CellTable::MaxCol : ClassicIndex;
    const int maxRow = wide ? CellTable::MaxRow : ClassicIndex;
    qint64 lastKey = -1;
    while (!text.atEnd()) {
        CellLine L;
        const bool read = text.next([&](TableTextParser &p) {
            L.col = int(p.number(0, maxCol));
            L.row = int(p.number(0, maxRow));
            CellRecord &R = L.record;
            if (wide && p.number(0, 1) == 0) {
                R = CellRecord();
                R.Text = p.string();
                return;
            }
            R.Text = p.string();
            R.Header = p.boolean();
            R.HeightOn = p.int16();
            R.Height = p.int32();
            R.WidthOn = p.int16();
            R.Width = p.int32();
            R.RowSpanOn = p.int16();
            R.RowSpan = p.int32();
            R.ColSpanOn = p.int16();
            R.ColSpan = p.int32();
            R.VAlign = p.int16();
            R.HAlign = p.int16();
            R.BackColor = p.int32();
            R.BackColorNothing = p.int16();
            if (classes)
                R.Class = attributeFromFile(p.string());
            if (footers)
                R.Scope = qint16(p.number(0, CellScopeCount - 1));
            // From 3.4 on: sizes in per cent and the cell's own style.
            if (wide) {
                R.WidthPercent = qint16(p.number(0, 1));
                R.HeightPercent = qint16(p.number(0, 1));
                R.Style = attributeFromFile(p.string());
            }
        });
        // Column by column, row by row, each cell once.
        const qint64 key = qint64(L.col) * (CellTable::MaxRow + 1) + L.row;
        const bool inOrder = !wide || key > lastKey;
        lastKey = key;
        if (!read || !inOrder || (wide && qint64(lines.size()) >= records))
            return text.failed() ? damaged() : damaged(version);
        lines.push_back(std::move(L));
    }
    if (wide && qint64(lines.size()) != records)
        return damaged(version);
    if (text.failed())
        return damaged();

    model.TableRows = rows;
    model.TableCols = cols;
    model.TableTitle = title;
    model.TableBorder = border;
    model.TableBackColor = backColor;
    model.TableBackColorNothing = backColorNothing;
    model.NetscapeMode = netscape;
    model.OutputProfile = profile;
    model.TableWidthUnit = widthUnit;
    model.TableWidth = width;
    model.OutputStyle = style;
    model.TableId = tableId;
    model.TableClass = tableClass;
    model.FooterRows = footerRows;
    model.OutputPreset = preset;
    model.OutputCss = css;
    model.Responsive = responsive;
    for (CellLine &L : lines)
        model.Cells(L.col, L.row) = std::move(L.record);

    ReadResult r;
    r.status = ReadStatus::Ok;
    r.version = version;
    return r;
}

} // namespace

ReadResult readTableText(const QByteArray &bytes, TableModel &model)
{
    if (bytes.size() > MaxTableTextBytes)
        return damaged();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    PieceReader source(buffer);
    return readTableText(source, model);
}

ReadResult readTableText(QIODevice &in, TableModel &model)
{
    if (!in.isOpen() || !in.isReadable())
        return damaged();
    if (!in.isSequential() && in.size() - in.pos() > MaxTableTextBytes)
        return damaged();
    PieceReader source(in);
    return readTableText(source, model);
}

ReadResult readOldTableText(const QByteArray &bytes, TableModel &model)
{
    if (bytes.size() > MaxTableTextBytes)
        return damaged();
    const QString text = decodeCp932(bytes);
    TableTextParser p(text);

    // Sizes, border and colour parts were read as text and converted, so they
    // may come quoted.
    const bool quotedOk = true;
    const qint32 cols = qint32(p.number(1, ClassicSize, quotedOk));
    const qint32 rows = qint32(p.number(1, ClassicSize, quotedOk));
    const QString title = p.string();
    const qint16 border = qint16(p.number(std::numeric_limits<qint16>::min(),
                                          std::numeric_limits<qint16>::max(), quotedOk));
    p.int16(); // read and ignored
    qint32 parts[3];
    for (qint32 &part : parts)
        part = qint32(qBound(qint64(0),
                             p.number(std::numeric_limits<qint32>::min(),
                                      std::numeric_limits<qint32>::max(), quotedOk),
                             qint64(255)));
    if (!p.ok())
        return damaged();

    std::vector<OldCellLine> lines;
    while (!p.atEnd()) {
        OldCellLine L;
        // Indices are stored one lower than the model's.
        L.col = int(p.number(-1, ClassicIndex - 1)) + 1;
        L.row = int(p.number(-1, ClassicIndex - 1)) + 1;
        L.text = p.string();
        L.header = p.int16() != 0 ? -1 : 0;
        L.rowSpanOn = p.int16();
        L.rowSpan = p.int16();
        L.colSpanOn = p.int16();
        L.colSpan = p.int16();
        L.hAlign = p.int16();
        L.vAlign = p.int16();
        if (!p.ok())
            return damaged();
        lines.push_back(std::move(L));
    }

    model.TableCols = cols;
    model.TableRows = rows;
    model.TableTitle = title;
    model.TableBorder = border;
    model.TableBackColor = parts[0] + 256 * parts[1] + 65536 * parts[2];
    model.TableBackColorNothing = 0;
    for (OldCellLine &L : lines) {
        CellRecord &R = model.Cells(L.col, L.row);
        R.Text = std::move(L.text);
        R.Header = L.header;
        R.RowSpanOn = L.rowSpanOn;
        R.RowSpan = L.rowSpan;
        R.ColSpanOn = L.colSpanOn;
        R.ColSpan = L.colSpan;
        R.HAlign = L.hAlign;
        R.VAlign = L.vAlign;
    }

    ReadResult r;
    r.status = ReadStatus::Ok;
    return r;
}

ReadResult readOldTableText(QIODevice &in, TableModel &model)
{
    QByteArray bytes;
    if (!readCapped(in, bytes))
        return damaged();
    return readOldTableText(bytes, model);
}
