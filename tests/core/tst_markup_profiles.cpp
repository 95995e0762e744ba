#include <QtTest>

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/import/html_tables.h"
#include "core/markup/table_markup.h"
#include "core/model/table_model.h"
#include "support/nu_checker.h"

#include <functional>
#include <vector>

namespace {

struct Table {
    TableModel model;

    Table(int cols, int rows)
    {
        model.TableCols = cols;
        model.TableRows = rows;
    }
    CellRecord &cell(int c, int r) { return model.Cells(c, r); }
    void span(int c, int r, int cols, int rows)
    {
        cell(c, r).ColSpanOn = cols > 1;
        cell(c, r).ColSpan = cols;
        cell(c, r).RowSpanOn = rows > 1;
        cell(c, r).RowSpan = rows;
    }
    void fill()
    {
        for (int r = 1; r <= model.TableRows; ++r)
            for (int c = 1; c <= model.TableCols; ++c)
                cell(c, r).Text = QStringLiteral("%1-%2").arg(c).arg(r);
    }
    QString markup(MarkupProfile p)
    {
        model.OutputProfile = p;
        return buildTableMarkup(model);
    }
};

QString lines(std::initializer_list<const char *> parts)
{
    QStringList l;
    for (const char *p : parts)
        l << QString::fromUtf8(p);
    return l.join(QStringLiteral("\r\n"));
}

struct Sample {
    const char *name;
    std::function<Table()> make;
};

// The tables the checker runs over: merges, headers, colours, Netscape mode,
// width, border 0.
const std::vector<Sample> &samples()
{
    static const std::vector<Sample> list = {
        {"default new table", [] { return Table(2, 2); }},
        {"header row and header column", [] {
             Table t(3, 3);
             t.fill();
             for (int c = 1; c <= 3; ++c)
                 t.cell(c, 1).Header = -1;
             t.cell(1, 2).Header = t.cell(1, 3).Header = -1;
             return t;
         }},
        {"merges, past the edge, a wholly covered row", [] {
             Table t(4, 4);
             t.fill();
             t.span(1, 1, 2, 2);
             t.span(3, 1, 9, 1);      // clipped to the table
             t.span(1, 3, 4, 2);      // covers row 4 wholly
             t.cell(2, 2).Header = -1;
             return t;
         }},
        {"head row spanning two rows", [] {
             Table t(3, 3);
             t.fill();
             for (int c = 1; c <= 3; ++c)
                 t.cell(c, 1).Header = t.cell(c, 2).Header = -1;
             t.span(1, 1, 1, 2);
             t.span(2, 1, 2, 1);
             return t;
         }},
        {"colours, sizes, alignment, title", [] {
             Table t(3, 2);
             t.fill();
             t.model.TableTitle = QStringLiteral("<B>価格表</B>");
             t.model.TableBackColorNothing = 0;
             t.model.TableBackColor = 0xC0FFEE;
             t.cell(1, 1).HAlign = 0;
             t.cell(1, 1).VAlign = 0;
             t.cell(2, 1).HAlign = 2;
             t.cell(2, 1).VAlign = 2;
             t.cell(3, 1).Header = -1;
             t.cell(3, 1).HAlign = 0;
             t.cell(1, 2).WidthOn = t.cell(1, 2).HeightOn = 1;
             t.cell(1, 2).BackColorNothing = 0;
             t.cell(1, 2).BackColor = 0x0080FF;
             t.cell(2, 2).Text = QStringLiteral("😀 &amp; <A href=\"x.html\">link</A><BR>next");
             return t;
         }},
        {"Netscape mode", [] {
             Table t(2, 2);
             t.fill();
             t.model.NetscapeMode = 1;
             t.cell(1, 1).HAlign = 2;
             t.cell(2, 2).VAlign = 0;
             return t;
         }},
        {"80 % wide, border 0, blank title", [] {
             Table t(2, 2);
             t.fill();
             t.model.TableBorder = 0;
             t.model.TableWidthUnit = WidthUnit::Percent;
             t.model.TableWidth = 80;
             t.model.TableTitle = QStringLiteral("  ");
             return t;
         }},
        {"one row, the last cell spanning past every column begun", [] {
             Table t(6, 1);
             t.fill();
             t.cell(1, 1).Header = -1;
             t.span(3, 1, 4, 1);
             return t;
         }},
        {"id and classes, border 2", [] {
             Table t(3, 3);
             t.fill();
             t.model.TableBorder = 2;
             t.model.TableId = QStringLiteral(" plans ");
             t.model.TableClass = QStringLiteral("compare  striped");
             t.cell(2, 2).Class = QStringLiteral("num");
             t.cell(3, 3).Class = QStringLiteral("a&b \"c\"");
             for (int c = 1; c <= 3; ++c)
                 t.cell(c, 1).Header = -1;
             return t;
         }},
        {"footer rows, one shortened by a span from above; scopes set", [] {
             Table t(3, 5);
             t.fill();
             t.cell(1, 1).Header = t.cell(2, 1).Header = t.cell(1, 2).Header = t.cell(1, 5).Header = -1;
             t.cell(2, 1).Scope = qint16(CellScope::ColGroup);
             t.cell(1, 2).Scope = qint16(CellScope::RowGroup);
             t.span(3, 2, 1, 2);      // into row 3: of three footer rows two are written
             t.model.FooterRows = 3;
             return t;
         }},
        {"600 px wide, border 5, all header cells", [] {
             Table t(2, 2);
             t.fill();
             t.model.TableBorder = 5;
             t.model.TableWidthUnit = WidthUnit::Pixels;
             t.model.TableWidth = 600;
             for (int c = 1; c <= 2; ++c)
                 t.cell(c, 1).Header = t.cell(c, 2).Header = -1;
             return t;
         }},
    };
    return list;
}

// The patterns of the W3C's tables tutorial as a user lays them out here:
// header cells ticked, merges set, every scope left automatic.
struct HeaderPattern {
    const char *name;
    std::function<Table()> make;
    QStringList written; // what the HTML5 holds, each in turn
};

Table textTable(int cols, std::initializer_list<std::initializer_list<const char *>> rows)
{
    Table t(cols, int(rows.size()));
    int r = 0;
    for (const auto &row : rows) {
        ++r;
        int c = 0;
        for (const char *text : row) {
            ++c;
            // "*" marks a header cell, "-" a cell a merge covers.
            if (text[0] == '-')
                continue;
            t.cell(c, r).Header = text[0] == '*' ? -1 : 0;
            t.cell(c, r).Text = QString::fromUtf8(text[0] == '*' ? text + 1 : text);
        }
    }
    t.model.OutputStyle = PresentationStyle::None;
    return t;
}

const std::vector<HeaderPattern> &headerPatterns()
{
    static const std::vector<HeaderPattern> list = {
        {"price list: a merged title row above the headers", [] {
             Table t = textTable(2, {{"Price list", "-"}, {"*Item", "*Price"}, {"Tea", "3"}, {"Cake", "5"}});
             t.span(1, 1, 2, 1);
             return t;
         }, {"<tr><th scope=\"col\">Item</th><th scope=\"col\">Price</th></tr>", "<td>Tea</td>"}},
        {"header row and header column, an empty corner", [] {
             return textTable(3, {{"", "*Monday", "*Tuesday"}, {"*09:00", "Closed", "Open"}, {"*11:00", "Open", "Closed"}});
         }, {"<th scope=\"col\">Monday</th>", "<tr><th scope=\"row\">09:00</th><td>Closed</td>"}},
        {"row headers only", [] {
             return textTable(2, {{"*Name", "Taro"}, {"*Age", "20"}});
         }, {"<tr><th scope=\"row\">Name</th><td>Taro</td></tr>", "<tr><th scope=\"row\">Age</th>"}},
        {"two tiers: headers over merged columns", [] {
             Table t = textTable(5, {{"", "*Mars", "-", "*Venus", "-"},
                                     {"-", "*Produced", "*Sold", "*Produced", "*Sold"},
                                     {"*Teddy Bears", "50,000", "30,000", "100,000", "80,000"},
                                     {"*Board Games", "10,000", "5,000", "12,000", "9,000"}});
             t.span(1, 1, 1, 2);
             t.span(2, 1, 2, 1);
             t.span(4, 1, 2, 1);
             return t;
         }, {"<col><colgroup span=\"2\"></colgroup><colgroup span=\"2\"></colgroup>", "<thead>",
             "<th scope=\"colgroup\" colspan=\"2\">Mars</th>", "<th scope=\"col\">Produced</th>", "</thead>",
             "<tr><th scope=\"row\">Teddy Bears</th><td>50,000</td>"}},
        {"headers over merged rows: a body group each", [] {
             Table t = textTable(3, {{"*Poster name", "*Color", "*Sizes"},
                                     {"*Zodiac", "*Full color", "A2, A3"}, {"-", "*Black", "A3"},
                                     {"*Angels", "*Full color", "A1"}, {"-", "*Sepia", "A2"}});
             t.span(1, 2, 1, 2);
             t.span(1, 4, 1, 2);
             return t;
         }, {"<th scope=\"col\">Poster name</th>", "<tbody>\r\n<tr><th scope=\"rowgroup\" rowspan=\"2\">Zodiac</th>"
             "<th scope=\"row\">Full color</th>", "</tbody>\r\n<tbody>\r\n<tr><th scope=\"rowgroup\" rowspan=\"2\">Angels</th>"}},
        {"a lone header cell in the body", [] {
             return textTable(3, {{"*A", "*B", "*C"}, {"1", "*two", "3"}});
         }, {"<tr><td>1</td><th scope=\"row\">two</th><td>3</td></tr>"}},
        {"irregular: headers again in the middle of the body", [] {
             return textTable(2, {{"*Item", "*Price"}, {"Tea", "3"}, {"*Set", "*Price"}, {"Lunch", "9"}});
         }, {"id=\"", "scope=\"col\">Item</th>", "<td headers=\"", "-r3c1\" scope=\"col\">Set</th>",
             "<td headers=\"h", "-r3c1\">Lunch</td>"}},
        {"irregular: merged headers that overlap", [] {
             Table t = textTable(3, {{"*North", "-", "*All"}, {"*Q1", "*Both", "-"}, {"1", "2", "3"}});
             t.span(1, 1, 2, 1);
             t.span(2, 2, 2, 1);
             return t;
         }, {"<td headers=\"h", "-r1c3 h", "-r2c2\">3</td>"}},
        {"the cell's own scope wins", [] {
             Table t = textTable(2, {{"*Item", "*Price"}, {"Tea", "3"}});
             t.cell(1, 1).Scope = qint16(CellScope::Row);
             return t;
         }, {"<th scope=\"row\">Item</th><th scope=\"col\">Price</th>"}},
    };
    return list;
}

} // namespace

class tst_MarkupProfiles : public QObject
{
    Q_OBJECT

private slots:
    void html5WorkedExample();
    void html5MergesAndRowGroups();
    void html5HeadersFromStructure_data();
    void html5HeadersFromStructure();
    void html5TableAttributes_data();
    void html5TableAttributes();
    void html4TableWidth_data();
    void html4TableWidth();
    void html5PassesTidy_data();
    void html5PassesTidy();
    void randomTablesAreValid();
    void html5PassesNuChecker();
    void pageAndFileEncoding();
    void profileNames();
};

void tst_MarkupProfiles::html5WorkedExample()
{
    Table t(2, 2);
    t.cell(1, 1).Header = t.cell(2, 1).Header = -1;
    t.cell(1, 1).Text = QStringLiteral("Name");
    t.cell(2, 1).Text = QStringLiteral("Age");
    t.cell(1, 2).Text = QStringLiteral("Taro");
    t.cell(2, 2).Text = QStringLiteral("20");
    t.cell(2, 2).HAlign = 2;
    t.cell(2, 2).BackColorNothing = 0;
    t.cell(2, 2).BackColor = 0x00FFFF;
    QCOMPARE(t.markup(MarkupProfile::Html5),
             lines({"<table style=\"border: 1px outset gray; border-spacing: 1px\">",
                    "<thead>",
                    "<tr><th scope=\"col\" style=\"border: 1px inset gray\">Name</th>"
                    "<th scope=\"col\" style=\"border: 1px inset gray\">Age</th></tr>",
                    "</thead>",
                    "<tbody>",
                    "<tr><td style=\"border: 1px inset gray; text-align: center\">Taro</td>"
                    "<td style=\"border: 1px inset gray; text-align: right; background-color: #FFFF00\">20</td></tr>",
                    "</tbody>",
                    "</table>"}));
}

void tst_MarkupProfiles::html5MergesAndRowGroups()
{
    Table t = samples()[2].make();
    QCOMPARE(t.markup(MarkupProfile::Html5),
             lines({"<table style=\"border: 1px outset gray; border-spacing: 1px\">",
                    "<tbody>",
                    "<tr><td rowspan=\"2\" style=\"border: 1px inset gray; text-align: center\">1-1</td>"
                    "<td colspan=\"2\" style=\"border: 1px inset gray; text-align: center\">3-1</td></tr>",
                    "<tr><td style=\"border: 1px inset gray; text-align: center\">3-2</td>"
                    "<td style=\"border: 1px inset gray; text-align: center\">4-2</td></tr>",
                    "<tr><td colspan=\"3\" style=\"border: 1px inset gray; text-align: center\">1-3</td></tr>",
                    "</tbody>",
                    "</table>"}));
    // Column 2 is wholly covered too: left out, and the spans across it shortened.
    // The model is normalised as HTML 4 does it.
    QCOMPARE(t.cell(3, 1).RowSpan, 1);

    // A wholly covered row is left out and the span across it shortened.
    Table c(2, 3);
    c.span(1, 1, 2, 2);
    c.model.OutputStyle = PresentationStyle::None;
    QCOMPARE(c.markup(MarkupProfile::Html5),
             lines({"<table>",
                    "<tbody>",
                    "<tr><td colspan=\"2\"></td></tr>",
                    "<tr><td></td><td></td></tr>",
                    "</tbody>",
                    "</table>"}));

    // A head row whose span reaches a data row cannot close the head.
    Table h(2, 3);
    h.cell(1, 1).Header = h.cell(2, 1).Header = -1;
    h.span(1, 1, 1, 2);
    h.cell(2, 2).Text = QStringLiteral("d");
    h.model.OutputStyle = PresentationStyle::None;
    QVERIFY(!h.markup(MarkupProfile::Html5).contains(QLatin1String("<thead>")));
    // The merged one reaches the data beside it: a row header; the other heads its column.
    QVERIFY(h.markup(MarkupProfile::Html5).contains(QLatin1String("<th scope=\"row\" rowspan=\"2\"></th><th scope=\"col\"></th>")));
}

// Each pattern's headers say in HTML5 what they look like, in order; the
// HTML 4 text leaves scopes out as it always has.
void tst_MarkupProfiles::html5HeadersFromStructure_data()
{
    QTest::addColumn<int>("pattern");
    for (std::size_t i = 0; i < headerPatterns().size(); ++i)
        QTest::newRow(headerPatterns()[i].name) << int(i);
}

void tst_MarkupProfiles::html5HeadersFromStructure()
{
    QFETCH(int, pattern);
    const HeaderPattern &p = headerPatterns()[std::size_t(pattern)];
    Table t = p.make();
    const QString html = t.markup(MarkupProfile::Html5);
    qsizetype at = 0;
    for (const QString &part : p.written) {
        const qsizetype found = html.indexOf(part, at);
        QVERIFY2(found >= 0, qPrintable(part + QStringLiteral("\n  not in\n") + html));
        at = found + part.size();
    }
    // Read back as a page, every scope is the automatic one again, and the
    // table writes the same text.
    TableModel back;
    QVERIFY(importHtmlTable(html.toUtf8(), 0, back).ok());
    const bool own = QByteArray(p.name).contains("own scope");
    back.Cells.forEachHeld(back.tableCells(), [&](int, int, const CellRecord &R) { QVERIFY(own || R.Scope == 0); });
    back.OutputProfile = MarkupProfile::Html5;
    QCOMPARE(buildTableMarkup(back), html);
    if (own)
        return;
    QVERIFY(!t.markup(MarkupProfile::Html4).contains(QLatin1String("scope"), Qt::CaseInsensitive));
}

void tst_MarkupProfiles::html5TableAttributes_data()
{
    QTest::addColumn<QString>("border");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("backNothing");
    QTest::addColumn<QString>("start");
    QTest::newRow("border 0") << "0" << 0 << 0 << 1 << "<table style=\"border-spacing: 0px\">";
    QTest::newRow("border 3, per cent, colour")
            << "3" << 2 << 80 << 0
            << "<table style=\"border: 3px outset gray; border-spacing: 3px; width: 80%; "
               "background-color: #FF8000\">";
    QTest::newRow("pixels") << "1" << 1 << 640 << 1
                            << "<table style=\"border: 1px outset gray; border-spacing: 1px; width: 640px\">";
}

void tst_MarkupProfiles::html5TableAttributes()
{
    QFETCH(QString, border);
    QFETCH(int, unit);
    QFETCH(int, width);
    QFETCH(int, backNothing);
    QFETCH(QString, start);
    Table t(1, 1);
    t.model.TableBorder = qint16(border.toInt());
    t.model.TableWidthUnit = WidthUnit(unit);
    t.model.TableWidth = width;
    t.model.TableBackColorNothing = qint16(backNothing);
    t.model.TableBackColor = 0x0080FF;
    QCOMPARE(t.markup(MarkupProfile::Html5).section(QStringLiteral("\r\n"), 0, 0), start);
}

void tst_MarkupProfiles::html4TableWidth_data()
{
    QTest::addColumn<QString>("border");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("backNothing");
    QTest::addColumn<QString>("start");
    QTest::newRow("no width, border 0") << "0" << 0 << 1 << "<TABLE BORDER=\"0\" CELLSPACING=\"0\">";
    QTest::newRow("per cent, border 0")
            << "0" << 2 << 1 << "<TABLE BORDER=\"0\" CELLSPACING=\"0\" WIDTH=\"80%\">";
    QTest::newRow("pixels before the colour")
            << "2" << 1 << 0 << "<TABLE BORDER=\"2\" CELLSPACING=\"2\" WIDTH=\"80\" BGCOLOR=\"#FFFFFF\">";
}

void tst_MarkupProfiles::html4TableWidth()
{
    QFETCH(QString, border);
    QFETCH(int, unit);
    QFETCH(int, backNothing);
    QFETCH(QString, start);
    Table t(1, 1);
    t.model.TableBorder = qint16(border.toInt());
    t.model.TableWidthUnit = WidthUnit(unit);
    t.model.TableWidth = 80;
    t.model.TableBackColorNothing = qint16(backNothing);
    QCOMPARE(t.markup(MarkupProfile::Html4),
             start + QStringLiteral("\r\n<TR><TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>\r\n</Table>"));
}

void tst_MarkupProfiles::html5PassesTidy_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < samples().size(); ++i)
        QTest::newRow(samples()[i].name) << int(i);
}

// The HTML5 text in its own preview page: no errors and no warnings from tidy.
void tst_MarkupProfiles::html5PassesTidy()
{
    QFETCH(int, index);
    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty())
        QFAIL("tidy is not installed (scripts/deps.sh installs it)");
    Table t = samples()[std::size_t(index)].make();
    const QString page = previewPageText(t.markup(MarkupProfile::Html5), MarkupProfile::Html5);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("page.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(markupFileBytes(page, MarkupProfile::Html5));
    file.close();

    QProcess p;
    p.start(tidy, {QStringLiteral("-q"), QStringLiteral("-e"), file.fileName()});
    QVERIFY(p.waitForFinished(60000));
    const QString report = QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput());
    if (p.exitCode() != 0 || !report.isEmpty())
        qWarning().noquote() << page << "\n" << report;
    QCOMPARE(report, QString());
    QCOMPARE(p.exitCode(), 0);
}

namespace {

// Lays the cells of an HTML5 table text out as a browser does; "" when every
// slot of a rectangle is filled by exactly one cell, no row is empty and no
// span passes the table, else what is wrong.
QString tableModelFault(const QString &html)
{
    static const QRegularExpression rowRe(QStringLiteral("<tr>(.*?)</tr>"));
    static const QRegularExpression cellRe(QStringLiteral("<t[hd]([^>]*)>"));
    static const QRegularExpression spanRe(QStringLiteral("(col|row)span=\"(\\d+)\""));
    QVector<QVector<int>> grid; // [row][col] -> fill count
    int width = -1;
    int y = 0;
    for (auto row = rowRe.globalMatch(html); row.hasNext(); ++y) {
        const QString cells = row.next().captured(1);
        if (grid.size() <= y)
            grid.resize(y + 1);
        int x = 0;
        int anchors = 0;
        for (auto cell = cellRe.globalMatch(cells); cell.hasNext(); ++anchors) {
            int cs = 1, rs = 1;
            for (auto sp = spanRe.globalMatch(cell.next().captured(1)); sp.hasNext();) {
                const auto m = sp.next();
                (m.captured(1) == QLatin1String("col") ? cs : rs) = m.captured(2).toInt();
            }
            while (x < grid[y].size() && grid[y][x] > 0)
                ++x;
            for (int dy = 0; dy < rs; ++dy) {
                if (grid.size() <= y + dy)
                    grid.resize(y + dy + 1);
                QVector<int> &line = grid[y + dy];
                if (line.size() < x + cs)
                    line.resize(x + cs);
                for (int dx = 0; dx < cs; ++dx)
                    ++line[x + dx];
            }
            x += cs;
        }
        if (anchors == 0)
            return QStringLiteral("row %1 is empty").arg(y + 1);
        if (width < 0)
            width = int(grid[y].size());
    }
    if (grid.size() != y)
        return QStringLiteral("a span passes the last row");
    for (int r = 0; r < y; ++r) {
        if (grid[r].size() != width || grid[r].count(1) != width)
            return QStringLiteral("row %1 is not %2 grid filled once").arg(r + 1).arg(width);
    }
    return QString();
}

Table randomTable(QRandomGenerator &rng)
{
    Table t(1 + rng.bounded(6), 1 + rng.bounded(6));
    t.fill();
    for (int i = 0; i < 8; ++i) {
        const int c = 1 + rng.bounded(t.model.TableCols);
        const int r = 1 + rng.bounded(t.model.TableRows);
        t.span(c, r, 1 + rng.bounded(4), 1 + rng.bounded(4));
    }
    for (int i = 0; i < 12; ++i)
        t.cell(1 + rng.bounded(t.model.TableCols), 1 + rng.bounded(t.model.TableRows)).Header = -1;
    if (rng.bounded(2))
        for (int c = 1; c <= t.model.TableCols; ++c)
            t.cell(c, 1).Header = -1;
    return t;
}

} // namespace

// Random merges and header cells: the table model stays a filled rectangle,
// and tidy finds nothing in any of the tables.
void tst_MarkupProfiles::randomTablesAreValid()
{
    QRandomGenerator rng(20261207);
    QString body;
    for (int round = 0; round < 60; ++round) {
        Table t = randomTable(rng);
        const QString html = t.markup(MarkupProfile::Html5);
        const QString fault = tableModelFault(html);
        QVERIFY2(fault.isEmpty(), qPrintable(fault + QLatin1Char('\n') + html));
        body += html + QStringLiteral("\r\n");
    }
    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty())
        QFAIL("tidy is not installed (scripts/deps.sh installs it)");
    QProcess p;
    p.start(tidy, {QStringLiteral("-q"), QStringLiteral("-e")});
    p.write(markupFileBytes(previewPageText(body, MarkupProfile::Html5), MarkupProfile::Html5));
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput()), QString());
    QCOMPARE(p.exitCode(), 0);
}

// The sample tables and random ones, in both presentations, each in its own
// preview page: the Nu checker reports nothing at all.
void tst_MarkupProfiles::html5PassesNuChecker()
{
    QList<QByteArray> pages; // page<2n> inline, page<2n+1> structure only
    auto add = [&](Table t) {
        for (PresentationStyle style : {PresentationStyle::Inline, PresentationStyle::None}) {
            t.model.OutputStyle = style;
            pages << previewPageText(t.markup(MarkupProfile::Html5), MarkupProfile::Html5).toUtf8();
        }
    };
    for (const Sample &s : samples())
        add(s.make());
    for (const HeaderPattern &h : headerPatterns())
        add(h.make());
    QRandomGenerator rng(7122026);
    for (int round = 0; round < 40; ++round)
        add(randomTable(rng));
    const NuRun run = runNuChecker(pages);
    if (!run.java)
        QSKIP("Java is not installed: the Nu checker cannot run");
    QVERIFY2(run.missing.isEmpty(), qPrintable(run.missing));
    QVERIFY2(run.report.isEmpty(), qPrintable(run.report));
}

void tst_MarkupProfiles::pageAndFileEncoding()
{
    const QString table = QStringLiteral("<table>\r\n<tr><td>表 😀</td></tr>\r\n</table>");
    const QString page = previewPageText(table, MarkupProfile::Html5);
    QVERIFY(page.startsWith(QLatin1String("<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\">")));
    QVERIFY(page.endsWith(QLatin1String("\r\n\r\n") + table + QLatin1String("\r\n\r\n</body></html>\r\n")));
    QCOMPARE(markupFileBytes(page, MarkupProfile::Html5), page.toUtf8());
    // HTML 4 keeps Shift_JIS, with a numeric reference for what it cannot hold.
    QVERIFY(markupFileBytes(table, MarkupProfile::Html4).contains("&#128512;"));
}

void tst_MarkupProfiles::profileNames()
{
    QCOMPARE(markupProfileFromName(QStringLiteral("html5")), std::optional(MarkupProfile::Html5));
    QCOMPARE(markupProfileFromName(QStringLiteral("HTML4")), std::optional(MarkupProfile::Html4));
    QVERIFY(!markupProfileFromName(QStringLiteral("xhtml")).has_value());
}

QTEST_APPLESS_MAIN(tst_MarkupProfiles)
#include "tst_markup_profiles.moc"
