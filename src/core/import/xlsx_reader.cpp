// Office Open XML workbooks: the workbook part lists the sheets, each sheet is
// a part of its own holding raw values, and the styles part says how each is
// shown (number format, font, fill, alignment). Strings mostly live once in the
// shared strings part. Parts are found through the relationship parts, as the
// format wants, with the usual names as a fallback.
#include "core/import/spreadsheet_p.h"

#include <QDateTime>
#include <QHash>
#include <QVector>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool isOn(QStringView v)
{
    return v.isEmpty() || v == u"1" || v == u"true" || v == u"on";
}

QString folderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

// A relationship's target as a part name: relative to the source's folder,
// "/" the package's root, "." and ".." taken away.
QString resolvePart(const QString &sourceFolder, const QString &target)
{
    const QString joined = target.startsWith(u'/') ? target.mid(1)
            : sourceFolder.isEmpty() ? target : sourceFolder + u'/' + target;
    QStringList out;
    for (const QString &seg : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (seg == QLatin1String("."))
            continue;
        if (seg == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << seg;
    }
    return out.join(u'/');
}

struct Relationship {
    QString id;
    QString type;   // the last word of the type: "officeDocument", "worksheet"...
    QString target; // a part name
};

QVector<Relationship> readRelationships(const ZipPackage &package, const QString &sourcePart)
{
    const QString folder = folderOf(sourcePart);
    const QString relsName = (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/")
            + sourcePart.mid(sourcePart.lastIndexOf(u'/') + 1) + QStringLiteral(".rels");
    QVector<Relationship> rels;
    XmlPart part(package, relsName, true);
    while (part.next()) {
        if (!part.isStart() || part.name() != u"Relationship")
            continue;
        if (part.attr(u"TargetMode") == u"External")
            continue;
        const QStringView type = part.attr(u"Type");
        rels.push_back({part.attr(u"Id").toString(), type.mid(type.lastIndexOf(u'/') + 1).toString(),
                        resolvePart(folder, part.attr(u"Target").toString())});
        if (rels.size() > SheetLimits::MaxEntries) {
            package.state().tooComplex(SheetLimit::Entries);
            break;
        }
    }
    return rels;
}

QString targetOf(const QVector<Relationship> &rels, const QString &type, const QString &fallback)
{
    for (const Relationship &r : rels)
        if (r.type == type)
            return r.target;
    return fallback;
}

// "_x000D_" and its kin: characters a string could not hold as XML. Control
// characters other than tab and line breaks are dropped.
QString decodeEscapes(const QString &s)
{
    if (!s.contains(QLatin1String("_x")))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == u'_' && i + 6 < s.size() && s.at(i + 1) == u'x' && s.at(i + 6) == u'_') {
            bool ok = false;
            const uint code = QStringView(s).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                const QChar ch(char16_t(code & 0xFFFF));
                if (code >= 0x20 || ch == u'\t' || ch == u'\n' || ch == u'\r')
                    out += ch;
                i += 6;
                continue;
            }
        }
        out += s.at(i);
    }
    return out;
}

// The run properties that a reader sees: a string whose runs differ in them
// is formatted in part.
QString runLook(XmlPart &part)
{
    QString look;
    const int level = part.depth() - 1;
    while (part.next() && !(part.isEnd() && part.depth() == level)) {
        if (!part.isStart())
            continue;
        const QStringView n = part.name();
        if (n == u"b" || n == u"i" || n == u"strike" || n == u"u" || n == u"vertAlign")
            look += n.toString() + u'=' + part.attr(u"val").toString() + u';';
        else if (n == u"color")
            look += QStringLiteral("c=") + part.attr(u"rgb").toString() + part.attr(u"theme").toString()
                    + part.attr(u"indexed").toString() + u';';
    }
    return look;
}

// The text of a string item (<si>, <is>): its runs together, without the
// phonetic guides (<rPh>) that Japanese strings carry.
QString readStringItem(XmlPart &part, bool &rich)
{
    QString text;
    QString firstLook;
    bool anyRun = false;
    int inText = 0;
    const int level = part.depth() - 1;
    while (part.next() && !(part.isEnd() && part.depth() == level)) {
        if (part.isStart()) {
            const QStringView n = part.name();
            if (n == u"rPh" || n == u"phoneticPr") {
                part.skipElement();
            } else if (n == u"t") {
                ++inText;
            } else if (n == u"rPr") {
                const QString look = runLook(part);
                if (!anyRun)
                    firstLook = look;
                else if (look != firstLook)
                    rich = true;
                anyRun = true;
            } else if (n == u"r" && anyRun) {
                continue;
            }
        } else if (part.isEnd() && part.name() == u"t") {
            inText = std::max(0, inText - 1);
        } else if (part.isText() && inText > 0) {
            text += part.xml().text();
            if (text.size() > SheetLimits::MaxTextChars) {
                part.state().tooComplex(SheetLimit::Text);
                return QString();
            }
        }
    }
    return decodeEscapes(text);
}

struct SharedStrings {
    QVector<QString> texts;
    QVector<bool> rich;
};

void readSharedStrings(const ZipPackage &package, const QString &name, SharedStrings &out)
{
    XmlPart part(package, name, true);
    BookState &state = package.state();
    while (part.next()) {
        if (!part.isStart() || part.name() != u"si")
            continue;
        if (out.texts.size() >= SheetLimits::MaxCells) {
            state.tooComplex(SheetLimit::Cells);
            return;
        }
        bool rich = false;
        QString text = readStringItem(part, rich);
        if (!state.chargeText(text.size()))
            return;
        out.texts.push_back(std::move(text));
        out.rich.push_back(rich);
    }
}

// One cell format (an <xf> of cellXfs), with its number format parsed.
struct CellFormat {
    CellLook look;
    NumberFormat number;
};

struct Styles {
    QVector<CellFormat> formats;
    CellFormat fallback;
    const CellFormat &at(qint64 index) const
    {
        return index >= 0 && index < formats.size() ? formats.at(index) : fallback;
    }
};

void readStyles(const ZipPackage &package, const QString &name, Styles &styles)
{
    struct Font {
        bool bold = false;
        QString look; // size, colour, italic, underline, strike: against the first font
    };
    QHash<int, QString> codes;
    QVector<Font> fonts;
    QVector<bool> fills, borders;
    struct Xf {
        int numFmt = 0, font = 0, fill = 0, border = 0;
        qint8 align = -1;
    };
    QVector<Xf> xfs;

    XmlPart part(package, name, true);
    BookState &state = package.state();
    enum { None, Fonts, Fills, Borders, CellXfs } section = None;
    const auto tooMany = [&state](qsizetype n) {
        if (n < SheetLimits::MaxStyles)
            return false;
        state.tooComplex(SheetLimit::Styles);
        return true;
    };
    while (part.next()) {
        const QStringView n = part.name();
        if (part.isEnd()) {
            if (n == u"fonts" || n == u"fills" || n == u"borders" || n == u"cellXfs")
                section = None;
            continue;
        }
        if (!part.isStart())
            continue;
        if (n == u"numFmt") {
            if (tooMany(codes.size()))
                return;
            codes.insert(part.attr(u"numFmtId").toInt(), part.attr(u"formatCode").toString());
        } else if (n == u"fonts") {
            section = Fonts;
        } else if (n == u"fills") {
            section = Fills;
        } else if (n == u"borders") {
            section = Borders;
        } else if (n == u"cellXfs") {
            section = CellXfs;
        } else if (n == u"cellStyleXfs" || n == u"dxfs" || n == u"colors" || n == u"extLst") {
            part.skipElement();
        } else if (section == Fonts && n == u"font") {
            if (tooMany(fonts.size()))
                return;
            Font f;
            const int level = part.depth() - 1;
            while (part.next() && !(part.isEnd() && part.depth() == level)) {
                if (!part.isStart())
                    continue;
                const QStringView p = part.name();
                if (p == u"b")
                    f.bold = isOn(part.attr(u"val"));
                else if (p == u"i" || p == u"u" || p == u"strike")
                    f.look += p.toString() + (isOn(part.attr(u"val")) ? QStringLiteral("1;") : QStringLiteral("0;"));
                else if (p == u"sz")
                    f.look += QStringLiteral("sz") + part.attr(u"val").toString() + u';';
                else if (p == u"color")
                    f.look += QStringLiteral("c") + part.attr(u"rgb").toString() + part.attr(u"theme").toString()
                            + part.attr(u"indexed").toString() + u';';
            }
            fonts.push_back(f);
        } else if (section == Fills && n == u"fill") {
            if (tooMany(fills.size()))
                return;
            bool coloured = false;
            const int level = part.depth() - 1;
            while (part.next() && !(part.isEnd() && part.depth() == level)) {
                if (!part.isStart())
                    continue;
                if (part.name() == u"patternFill") {
                    const QStringView t = part.attr(u"patternType");
                    coloured = coloured || (!t.isEmpty() && t != u"none" && t != u"gray125");
                } else if (part.name() == u"gradientFill") {
                    coloured = true;
                }
            }
            fills.push_back(coloured);
        } else if (section == Borders && n == u"border") {
            if (tooMany(borders.size()))
                return;
            bool drawn = false;
            const int level = part.depth() - 1;
            while (part.next() && !(part.isEnd() && part.depth() == level)) {
                if (!part.isStart())
                    continue;
                const QStringView s = part.attr(u"style");
                drawn = drawn || (!s.isEmpty() && s != u"none");
            }
            borders.push_back(drawn);
        } else if (section == CellXfs && n == u"xf") {
            if (tooMany(xfs.size()))
                return;
            Xf xf;
            xf.numFmt = part.attr(u"numFmtId").toInt();
            xf.font = part.attr(u"fontId").toInt();
            xf.fill = part.attr(u"fillId").toInt();
            xf.border = part.attr(u"borderId").toInt();
            const int level = part.depth() - 1;
            while (part.next() && !(part.isEnd() && part.depth() == level)) {
                if (!part.isStart() || part.name() != u"alignment")
                    continue;
                const QStringView h = part.attr(u"horizontal");
                if (h == u"left" || h == u"justify" || h == u"distributed" || h == u"fill")
                    xf.align = 0;
                else if (h == u"center" || h == u"centerContinuous")
                    xf.align = 1;
                else if (h == u"right")
                    xf.align = 2;
            }
            xfs.push_back(xf);
        }
    }
    if (state.failed())
        return;
    // Each distinct number format is parsed once.
    QHash<int, NumberFormat> parsed;
    const QString firstFont = fonts.isEmpty() ? QString() : fonts.first().look;
    styles.formats.reserve(xfs.size());
    for (const Xf &xf : xfs) {
        CellFormat f;
        if (xf.font >= 0 && xf.font < fonts.size()) {
            f.look.bold = fonts.at(xf.font).bold;
            f.look.font = fonts.at(xf.font).look != firstFont;
        }
        f.look.background = xf.fill >= 0 && xf.fill < fills.size() && fills.at(xf.fill);
        f.look.border = xf.border >= 0 && xf.border < borders.size() && borders.at(xf.border);
        f.look.align = xf.align;
        auto it = parsed.find(xf.numFmt);
        if (it == parsed.end())
            it = parsed.insert(xf.numFmt, NumberFormat(codes.contains(xf.numFmt) ? codes.value(xf.numFmt)
                                                                                  : builtinNumberFormat(xf.numFmt)));
        f.number = *it;
        styles.formats.push_back(f);
    }
}

// "B12" as a column and a row; either is 0 when missing, and counts saturate
// far past the limits.
void parseReference(QStringView ref, qint64 &col, qint64 &row)
{
    col = 0;
    row = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref.at(i).isLetter(); ++i) {
        const char16_t c = ref.at(i).toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return;
        col = std::min<qint64>(col * 26 + (c - u'A' + 1), qint64(1) << 40);
    }
    for (; i < ref.size() && ref.at(i).isDigit(); ++i)
        row = std::min<qint64>(row * 10 + (ref.at(i).unicode() - u'0'), qint64(1) << 40);
}

class XlsxSheetReader
{
public:
    XlsxSheetReader(XmlPart &part, const SharedStrings &strings, const Styles &styles, bool date1904,
                    SpreadsheetSheet &sheet, BookState &state)
        : m_part(part), m_strings(strings), m_styles(styles), m_date1904(date1904), m_builder(sheet, state),
          m_state(state)
    {
    }

    void read()
    {
        while (m_part.next()) {
            if (!m_part.isStart())
                continue;
            const QStringView n = m_part.name();
            if (n == u"sheetData" || n == u"mergeCells" || n == u"cols" || n == u"hyperlinks") {
                if (n == u"hyperlinks")
                    m_builder.leaveOut(LeftOut::links());
                continue;
            } else if (n == u"row") {
                readRow();
            } else if (n == u"mergeCell") {
                readMerge();
            } else if (n == u"col") {
                if (isOn(m_part.attr(u"hidden")) && !m_part.attr(u"hidden").isEmpty())
                    m_hiddenColumns = true;
            } else if (n == u"drawing" || n == u"picture" || n == u"oleObjects") {
                m_builder.leaveOut(LeftOut::pictures());
                m_part.skipElement();
            } else if (n == u"legacyDrawing") {
                m_builder.leaveOut(LeftOut::comments());
            } else if (n == u"conditionalFormatting") {
                m_builder.leaveOut(LeftOut::conditional());
                m_part.skipElement();
            } else if (n == u"dataValidations") {
                m_builder.leaveOut(LeftOut::validation());
                m_part.skipElement();
            } else if (n != u"worksheet" && n != u"chartsheet") {
                m_part.skipElement();
            }
        }
    }

private:
    void readRow()
    {
        bool number = false;
        const qint64 r = m_part.attr(u"r").toLongLong(&number);
        m_row = number && r >= 1 ? std::min<qint64>(r, qint64(1) << 40) : m_row + 1;
        const QStringView hiddenAttr = m_part.attr(u"hidden");
        const bool hidden = !hiddenAttr.isEmpty() && isOn(hiddenAttr);
        m_col = 0;
        const int level = m_part.depth() - 1;
        while (m_part.next() && !(m_part.isEnd() && m_part.depth() == level)) {
            if (m_part.isStart() && m_part.name() == u"c")
                readCell(hidden);
            else if (m_part.isStart())
                m_part.skipElement();
        }
    }

    void readCell(bool hiddenRow)
    {
        qint64 col = 0, row = 0;
        parseReference(m_part.attr(u"r"), col, row);
        m_col = col > 0 ? col : m_col + 1;
        if (row > 0)
            m_row = row;
        const QString type = m_part.attr(u"t").toString();
        bool styled = false;
        const qint64 styleIndex = m_part.attr(u"s").toLongLong(&styled);
        const CellFormat &format = m_styles.at(styled ? styleIndex : 0);
        QString value;
        QString inline_;
        bool inValue = false, formula = false, inlineRich = false;
        const int level = m_part.depth() - 1;
        while (m_part.next() && !(m_part.isEnd() && m_part.depth() == level)) {
            if (m_part.isStart()) {
                const QStringView n = m_part.name();
                if (n == u"v") {
                    inValue = true;
                } else if (n == u"f") {
                    formula = true;
                    m_part.skipElement();
                } else if (n == u"is") {
                    inline_ = readStringItem(m_part, inlineRich);
                } else {
                    m_part.skipElement();
                }
            } else if (m_part.isEnd()) {
                inValue = false;
            } else if (inValue) {
                value += m_part.xml().text();
                if (value.size() > SheetLimits::MaxTextChars) {
                    m_state.tooComplex(SheetLimit::Text);
                    return;
                }
            }
        }
        if (m_state.failed())
            return;

        SheetCell cell;
        cell.col = int(std::min<qint64>(m_col, INT_MAX));
        cell.row = int(std::min<qint64>(m_row, INT_MAX));
        cell.bold = format.look.bold;
        cell.align = format.look.align;
        bool rich = false;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qint64 i = value.trimmed().toLongLong(&ok);
            if (ok && i >= 0 && i < m_strings.texts.size()) {
                cell.text = format.number.formatText(m_strings.texts.at(i));
                rich = m_strings.rich.at(i);
            }
        } else if (type == QLatin1String("inlineStr")) {
            cell.text = format.number.formatText(inline_);
            rich = inlineRich;
        } else if (type == QLatin1String("str")) {
            cell.text = format.number.formatText(decodeEscapes(value));
        } else if (type == QLatin1String("e")) {
            cell.text = value.trimmed();
        } else if (type == QLatin1String("b")) {
            const bool on = value.trimmed() == QLatin1String("1") || value.trimmed() == QLatin1String("true");
            if (!value.trimmed().isEmpty())
                cell.text = format.number.isGeneral() ? (on ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))
                                                      : format.number.format(on ? 1 : 0, m_date1904);
            cell.number = true;
        } else if (type == QLatin1String("d")) {
            // An ISO 8601 date in place of a serial number.
            const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODateWithMs);
            if (when.isValid() && !format.number.isGeneral()) {
                const QDateTime epoch(m_date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30), QTime(0, 0),
                                      when.timeSpec());
                cell.text = format.number.format(double(epoch.msecsTo(when)) / 86400000.0, m_date1904);
            } else {
                cell.text = value.trimmed();
            }
            cell.number = true;
        } else {
            const QString v = value.trimmed();
            bool ok = false;
            const double d = v.toDouble(&ok);
            cell.text = ok ? format.number.format(d, m_date1904) : v;
            cell.number = true;
        }
        if (cell.text.isEmpty())
            return;
        if (formula)
            m_builder.leaveOut(LeftOut::formulas());
        if (rich)
            m_builder.leaveOut(LeftOut::richText());
        if (format.look.background)
            m_builder.leaveOut(LeftOut::background());
        if (format.look.font)
            m_builder.leaveOut(LeftOut::fonts());
        if (format.look.border)
            m_builder.leaveOut(LeftOut::borders());
        if (hiddenRow || m_hiddenColumns)
            m_builder.leaveOut(LeftOut::hiddenRows());
        m_builder.put(cell);
    }

    void readMerge()
    {
        const QStringView ref = m_part.attr(u"ref");
        const qsizetype colon = ref.indexOf(u':');
        if (colon < 0)
            return;
        qint64 c1, r1, c2, r2;
        parseReference(ref.left(colon), c1, r1);
        parseReference(ref.mid(colon + 1), c2, r2);
        if (c1 < 1 || r1 < 1 || c2 < 1 || r2 < 1)
            return;
        if (c2 < c1)
            std::swap(c1, c2);
        if (r2 < r1)
            std::swap(r1, r2);
        if (c1 > TableLimits::MaxCols || r1 > TableLimits::MaxRows)
            return;
        SheetCell anchor;
        anchor.col = int(c1);
        anchor.row = int(r1);
        anchor.colSpan = int(std::min<qint64>(c2 - c1 + 1, TableLimits::MaxCols));
        anchor.rowSpan = int(std::min<qint64>(r2 - r1 + 1, TableLimits::MaxRows));
        m_builder.put(anchor);
    }

    XmlPart &m_part;
    const SharedStrings &m_strings;
    const Styles &m_styles;
    bool m_date1904;
    SheetBuilder m_builder;
    BookState &m_state;
    qint64 m_row = 0;
    qint64 m_col = 0;
    bool m_hiddenColumns = false;
};

} // namespace

void readXlsxPackage(const ZipPackage &package, SpreadsheetBook &book, BookState &state)
{
    const QVector<Relationship> root = readRelationships(package, QString());
    const QString workbookName = targetOf(root, QStringLiteral("officeDocument"), QStringLiteral("xl/workbook.xml"));
    if (state.failed())
        return;
    const QVector<Relationship> rels = readRelationships(package, workbookName);
    if (state.failed())
        return;

    struct SheetEntry {
        QString name;
        QString part;
    };
    QVector<SheetEntry> entries;
    bool date1904 = false;
    {
        XmlPart workbook(package, workbookName, true);
        if (!workbook.found()) {
            state.damaged();
            return;
        }
        while (workbook.next()) {
            if (!workbook.isStart())
                continue;
            if (workbook.name() == u"workbookPr") {
                date1904 = workbook.attr(u"date1904") == u"1" || workbook.attr(u"date1904") == u"true";
            } else if (workbook.name() == u"sheet") {
                if (entries.size() >= SheetLimits::MaxSheets) {
                    state.tooComplex(SheetLimit::Sheets);
                    return;
                }
                QString id;
                const QXmlStreamAttributes attributes = workbook.xml().attributes();
                for (const QXmlStreamAttribute &a : attributes)
                    if (a.name() == u"id" && !a.namespaceUri().isEmpty())
                        id = a.value().toString();
                QString target;
                for (const Relationship &r : rels)
                    if (r.id == id)
                        target = r.target;
                if (target.isEmpty())
                    target = QStringLiteral("xl/worksheets/sheet%1.xml").arg(entries.size() + 1);
                entries.push_back({workbook.attr(u"name").toString(), target});
            }
        }
    }
    if (state.failed())
        return;

    SharedStrings strings;
    readSharedStrings(package, targetOf(rels, QStringLiteral("sharedStrings"), QStringLiteral("xl/sharedStrings.xml")),
                      strings);
    Styles styles;
    readStyles(package, targetOf(rels, QStringLiteral("styles"), QStringLiteral("xl/styles.xml")), styles);
    if (state.failed())
        return;

    for (const SheetEntry &e : entries) {
        XmlPart part(package, e.part, true);
        if (!part.found()) {
            state.damaged();
            return;
        }
        book.sheets.push_back(SpreadsheetSheet());
        SpreadsheetSheet &sheet = book.sheets.last();
        sheet.name = e.name.isEmpty() ? QString::number(book.sheets.size()) : e.name;
        XlsxSheetReader(part, strings, styles, date1904, sheet, state).read();
        if (state.failed())
            return;
    }
}
