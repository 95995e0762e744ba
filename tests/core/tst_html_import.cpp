#include <QtTest>

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "core/io/compression.h"
#include "core/io/table_document_io.h"
#include "core/io/table_export.h"
#include "core/markup/table_markup.h"
#include "core/io/table_file.h"
#include "core/import/html_tables.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

Q_DECLARE_METATYPE(CellRecord)

namespace {

QByteArray readData(const char *name)
{
    QFile f(QStringLiteral(QUORVAN_TEST_DATA "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bytes Quorvan saves for a table as HTML: CR LF, Shift_JIS for HTML 4,
// UTF-8 for HTML5.
QByteArray savedHtml(TableModel model)
{
    return htmlDocumentBytes(buildTableMarkup(model), model.OutputProfile);
}

// The program itself, as the shell runs it; its exit code, -1 when it did not end.
int runQuorvan(const QStringList &args, QByteArray *err)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    *err = p.readAllStandardError();
    return p.exitCode();
}

TableModel table(int cols, int rows)
{
    TableModel m;
    m.TableCols = cols;
    m.TableRows = rows;
    return m;
}

// Well-formed cell texts of every kind the editor produces, and a few a user types.
const char *const Texts[] = {
    "", "Taro", "見出し", "20", "a &amp; b", "&lt;tag&gt;", "line1<BR>line2", "two\r\nlines",
    "one\nbreak", "<B>bold</B> and <I>italic</I>", "<A href=\"x.html\" target=\"_blank\">link</A>",
    "<IMG SRC=\"a b.png\" WIDTH=\"10\">", "<FONT COLOR=\"#FF0000\" SIZE=\"5\">red</FONT>",
    "  spaced  ", "a < b & c", "emoji 😀 ①", "<TABLE BORDER=\"1\"><TR><TD>inner</TD></TR></TABLE>",
    "<!-- note -->x", "<P>para</P>", "ｶﾀｶﾅ", "\"quoted\"", "<UL><LI>one</LI><LI>two</LI></UL>",
    "<H1>Head</H1>", "x<BR>"};
const char *const Titles[] = {"", "T", "料金表", "   ", "<B>表</B>", "\r\nlead", "trail\r\n"};

TableModel randomTable(QRandomGenerator &rng, int maxSize)
{
    auto chance = [&rng](int percent) { return int(rng.bounded(100)) < percent; };
    auto pick = [&rng](const auto &list) {
        return QString::fromUtf8(list[rng.bounded(int(std::size(list)))]);
    };
    TableModel m = table(1 + rng.bounded(maxSize), 1 + rng.bounded(maxSize));
    m.OutputProfile = chance(50) ? MarkupProfile::Html5 : MarkupProfile::Html4;
    m.TableTitle = pick(Titles);
    m.TableBorder = qint16(rng.bounded(11));
    const WidthUnit units[] = {WidthUnit::None, WidthUnit::Pixels, WidthUnit::Percent};
    m.TableWidthUnit = units[rng.bounded(3)];
    m.TableWidth = m.TableWidthUnit == WidthUnit::Percent ? 1 + rng.bounded(100) : 1 + rng.bounded(9999);
    m.TableBackColorNothing = chance(50) ? 1 : 0;
    m.TableBackColor = qint32(rng.bounded(0x1000000));
    m.NetscapeMode = chance(25) ? 1 : 0;
    for (int c = 1; c <= m.TableCols; ++c) {
        for (int r = 1; r <= m.TableRows; ++r) {
            CellRecord &R = m.Cells(c, r);
            R.Text = pick(Texts);
            R.Header = chance(25) ? -1 : 0;
            R.HeightOn = chance(20);
            R.Height = 1 + rng.bounded(9999);
            R.WidthOn = chance(20);
            R.Width = 1 + rng.bounded(9999);
            R.ColSpanOn = chance(12);
            R.ColSpan = chance(5) ? 1 + rng.bounded(99) : 1 + rng.bounded(4);
            R.RowSpanOn = chance(12);
            R.RowSpan = chance(5) ? 1 + rng.bounded(99) : 1 + rng.bounded(4);
            R.HAlign = qint16(rng.bounded(3));
            R.VAlign = qint16(rng.bounded(3));
            R.BackColorNothing = chance(70) ? 1 : 0;
            R.BackColor = qint32(rng.bounded(0x1000000));
        }
    }
    return m;
}

QString fromUtf8(const char *s)
{
    return QString::fromUtf8(s);
}

} // namespace

class TestHtmlImport : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void randomRoundTrip();
    void threeTablesOneNested();
    void brokenMarkupAsTheParserBoundsIt_data();
    void brokenMarkupAsTheParserBoundsIt();
    void cellsOfOtherPages_data();
    void cellsOfOtherPages();
    void tableSettingsOfOtherPages();
    void encodings_data();
    void encodings();
    void ownHtml4ReadAsCp932();
    void longTextsComeBackWhole_data();
    void longTextsComeBackWhole();
    void largestTableReadsBack_data();
    void largestTableReadsBack();
    void sloppyPagesAreRead_data();
    void sloppyPagesAreRead();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void commandLine();
    void keptWholeOrSaid_data();
    void keptWholeOrSaid();
};

void TestHtmlImport::roundTrip_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("profile");
    const auto addRow = [](const char *name, TableModel m) {
        for (MarkupProfile p : {MarkupProfile::Html4, MarkupProfile::Html5}) {
            m.OutputProfile = p;
            QTest::addRow("%s, %s", name, p == MarkupProfile::Html4 ? "HTML 4" : "HTML5")
                    << savedHtml(m) << int(p);
        }
    };

    TableModel worked = table(2, 2);
    worked.Cells(1, 1).Header = -1;
    worked.Cells(1, 1).Text = QStringLiteral("Name");
    worked.Cells(2, 1).Header = -1;
    worked.Cells(2, 1).Text = QStringLiteral("Age");
    worked.Cells(1, 2).Text = QStringLiteral("Taro");
    worked.Cells(2, 2).Text = QStringLiteral("20");
    worked.Cells(2, 2).HAlign = 2;
    worked.Cells(2, 2).BackColorNothing = 0;
    worked.Cells(2, 2).BackColor = 0x00FFFF;
    addRow("worked example", worked);

    TableModel spanned = worked;
    spanned.TableTitle = QStringLiteral("T");
    spanned.Cells(1, 1).ColSpanOn = 1;
    spanned.Cells(1, 1).ColSpan = 2;
    addRow("span and title", spanned);

    addRow("new table", TableModel());

    TableModel netscape = worked;
    netscape.NetscapeMode = 1;
    netscape.TableBackColorNothing = 0;
    netscape.TableBackColor = 0x0080FF;
    netscape.TableBorder = 7;
    addRow("Netscape mode, table colour", netscape);

    TableModel block = table(4, 4);
    block.Cells(2, 2).ColSpanOn = block.Cells(2, 2).RowSpanOn = 1;
    block.Cells(2, 2).ColSpan = block.Cells(2, 2).RowSpan = 2;
    block.Cells(3, 3).Text = QStringLiteral("covered, not written");
    block.Cells(4, 3).Text = QStringLiteral("right of the block");
    block.Cells(4, 1).RowSpanOn = 1;
    block.Cells(4, 1).RowSpan = 9;  // past the last row
    block.Cells(1, 4).ColSpanOn = 1;
    block.Cells(1, 4).ColSpan = 3;  // into a column covered from above
    block.Cells(1, 1).HeightOn = block.Cells(1, 1).WidthOn = 1;
    block.Cells(1, 1).Height = 9999;
    addRow("spans past the edge and overlapping", block);

    TableModel wide = worked;
    wide.TableBorder = 0;
    wide.TableWidthUnit = WidthUnit::Percent;
    wide.TableWidth = 80;
    addRow("80 % wide, no border", wide);
    wide.TableBorder = 4;
    wide.TableWidthUnit = WidthUnit::Pixels;
    wide.TableWidth = 640;
    addRow("640 px wide, border 4", wide);

    TableModel heads = table(3, 3);
    for (int c = 1; c <= 3; ++c)
        heads.Cells(c, 1).Header = heads.Cells(1, c).Header = -1;
    heads.Cells(1, 1).RowSpanOn = 1;
    heads.Cells(1, 1).RowSpan = 2;
    heads.Cells(2, 3).VAlign = 0;
    heads.Cells(3, 3).HAlign = 0;
    addRow("header rows and a header column", heads);

    TableModel rightColumnCovered = table(3, 2);
    rightColumnCovered.Cells(2, 1).ColSpanOn = rightColumnCovered.Cells(2, 2).ColSpanOn = 1;
    rightColumnCovered.Cells(2, 1).ColSpan = rightColumnCovered.Cells(2, 2).ColSpan = 2;
    addRow("last column covered in every row", rightColumnCovered);

    TableModel full = table(99, 99);
    for (int c = 1; c <= 99; ++c)
        for (int r = 1; r <= 99; ++r)
            full.Cells(c, r).Text = QStringLiteral("%1-%2 表").arg(c).arg(r);
    full.Cells(99, 99).RowSpanOn = 1;
    full.Cells(99, 99).RowSpan = 12;
    addRow("99 x 99", full);
}

// A table Quorvan wrote comes back, and goes out again, byte for byte.
void TestHtmlImport::roundTrip()
{
    QFETCH(QByteArray, html);
    QFETCH(int, profile);
    TableModel imported;
    const ImportResult r = importHtmlTable(html, 0, imported);
    QVERIFY2(r.ok(), qPrintable(r.message));
    QCOMPARE(int(imported.OutputProfile), profile);
    QCOMPARE(savedHtml(imported), html);
}

void TestHtmlImport::randomRoundTrip()
{
    QRandomGenerator rng(20261207);
    for (int i = 0; i < 300; ++i) {
        const QByteArray html = savedHtml(randomTable(rng, i < 290 ? 9 : 40));
        TableModel imported;
        const ImportResult r = importHtmlTable(html, 0, imported);
        QVERIFY2(r.ok(), qPrintable(r.message));
        const QByteArray again = savedHtml(imported);
        if (again != html)
            QFAIL(qPrintable(QStringLiteral("table %1:\n%2\n---\n%3")
                                     .arg(i)
                                     .arg(decodeCp932(html), decodeCp932(again))));
    }
}

void TestHtmlImport::threeTablesOneNested()
{
    const QString nested = fromUtf8("<table><caption>内側</caption><tr><td>n1</td><td>n2</td></tr></table>");
    const QByteArray page = (fromUtf8("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>\n"
                                      "<table border=\"2\"><tr><th>外側</th></tr><tr><td>")
                             + nested
                             + fromUtf8("</td></tr></table>\n<p>text</p>\n"
                                        "<table><tr><td>c1</td><td>c2</td><td>c3</td></tr></table>\n"
                                        "</body></html>"))
                                    .toUtf8();
    // Numbered in the order they start in the page, as the user counts them.
    QCOMPARE(listHtmlTables(page),
             QStringList({fromUtf8("表 1（2 行 × 1 列） 外側"), fromUtf8("表 2（1 行 × 2 列、表 1 の中） 内側"),
                          fromUtf8("表 3（1 行 × 3 列） c1")}));

    TableModel m;
    QVERIFY(importHtmlTable(page, 0, m).ok());
    QCOMPARE(m.TableRows, 2);
    QCOMPARE(m.TableCols, 1);
    QCOMPARE(m.TableBorder, qint16(2));
    QCOMPARE(m.Cells(1, 1).Header, qint16(-1));
    QCOMPARE(m.Cells(1, 2).Text, nested);

    QVERIFY(importHtmlTable(page, 2, m).ok());
    QCOMPARE(m.TableCols, 3);
    QCOMPARE(m.Cells(3, 1).Text, QStringLiteral("c3"));
    QCOMPARE(m.Cells(1, 2).Text, QString()); // nothing left of the table before

    QVERIFY(importHtmlTable(page, 1, m).ok());
    QCOMPARE(m.TableTitle, fromUtf8("内側"));
    QCOMPARE(m.Cells(2, 1).Text, QStringLiteral("n2"));
}

void TestHtmlImport::brokenMarkupAsTheParserBoundsIt_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("unclosed A ends with its cell")
            << "<TD><A href=\"x\">link</TD><TD>next</TD>"
            << QStringList({"<A href=\"x\">link", "next"});
    QTest::newRow("stray end tag kept as written")
            << "<TD>a</FONT>b</TD>" << QStringList({"a</FONT>b"});
    QTest::newRow("missing end tags") << "<TD>a <B>b<TD>c" << QStringList({"a <B>b", "c"});
    QTest::newRow("an end tag of the cell ends it") << "<TD>a</TD>b<TD>c</TD>"
                                                   << QStringList({"a", "c"});
}

void TestHtmlImport::brokenMarkupAsTheParserBoundsIt()
{
    QFETCH(QString, row);
    QFETCH(QStringList, texts);
    TableModel m;
    QVERIFY(importHtmlTable((QStringLiteral("<TABLE><TR>") + row + QStringLiteral("</TR></TABLE>")).toUtf8(), 0, m).ok());
    QCOMPARE(m.TableCols, int(texts.size()));
    for (int c = 1; c <= texts.size(); ++c)
        QCOMPARE(m.Cells(c, 1).Text, texts.at(c - 1));
}

void TestHtmlImport::cellsOfOtherPages_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<CellRecord>("expected");
    auto rec = [](const char *text) {
        CellRecord r;
        r.Text = QString::fromUtf8(text);
        r.HAlign = 0; // a data cell without an alignment is on the left
        return r;
    };
    CellRecord r = rec("x");
    QTest::newRow("plain") << "<td>x</td>" << r;
    r = rec(" a\n b ");
    QTest::newRow("text as written") << "<td> a\n b </td>" << r;
    r = rec("h");
    r.Header = -1;
    r.HAlign = 1;
    QTest::newRow("header") << "<th>h</th>" << r;
    r = rec("");
    r.HAlign = 2;
    r.VAlign = 0;
    QTest::newRow("attributes") << "<td align=RIGHT valign=\"top\"></td>" << r;
    r.HAlign = 1;
    r.VAlign = 2;
    QTest::newRow("inline CSS wins") << "<td align=right style=\"text-align: center; vertical-align:bottom !important\"></td>" << r;
    r = rec("");
    r.WidthOn = r.HeightOn = 1;
    r.Width = 120;
    r.Height = 30;
    QTest::newRow("sizes") << "<td width=\"120\" height=30px></td>" << r;
    QTest::newRow("CSS sizes") << "<td style=\"width:120px;height: 30.2px\"></td>" << r;
    r = rec("");
    r.WidthOn = r.WidthPercent = 1;
    r.Width = 50;
    r.Style = QStringLiteral("height: 3em"); // em follows the font: kept as written
    QTest::newRow("per cent and em sizes") << "<td width=\"50%\" style=\"height:3em\"></td>" << r;
    r = rec("");
    r.BackColorNothing = 0;
    r.BackColor = 0x0080FF;
    QTest::newRow("bgcolor") << "<td bgcolor=\"#ff8000\"></td>" << r;
    QTest::newRow("bgcolor without #") << "<td bgcolor=\"FF8000\"></td>" << r;
    QTest::newRow("CSS rgb") << "<td style=\"background-color: rgb(255, 128, 0)\"></td>" << r;
    r.BackColor = 0xFF0000;
    QTest::newRow("named") << "<td style=\"background:Blue\"></td>" << r;
    r.BackColor = 0xCC88FF;
    QTest::newRow("short hex") << "<td bgcolor=\"#f8c\"></td>" << r;
    r = rec("");
    QTest::newRow("unknown colour") << "<td bgcolor=\"chucknorris-ish\"></td>" << r;
    r.ColSpanOn = r.RowSpanOn = 1;
    r.ColSpan = TableLimits::MaxCols;
    r.RowSpan = 1;
    QTest::newRow("spans kept within the boxes") << "<td colspan=\"5000\" rowspan=\"x\"></td>" << r;
    r.ColSpan = 1;
    r.RowSpan = 2;
    QTest::newRow("rowspan 0 runs to the end of its group")
            << "<td colspan=\"0\" rowspan=\"0\"></td></tr><tr><td>2</td></tr></tbody><tbody><tr><td>3</td>" << r;
}

void TestHtmlImport::cellsOfOtherPages()
{
    QFETCH(QString, cell);
    QFETCH(CellRecord, expected);
    TableModel m;
    const QString page = QStringLiteral("<table><tr>") + cell + QStringLiteral("</tr></table>");
    QVERIFY(importHtmlTable(page.toUtf8(), 0, m).ok());
    QCOMPARE(m.Cells(1, 1), expected);
}

void TestHtmlImport::tableSettingsOfOtherPages()
{
    TableModel m;
    const char *page = "<table border style=\"background-color:#00f; width: 80%\"><caption>\n  Prices\n</caption>"
                       "<tfoot><tr><td>foot</td></tr></tfoot>"
                       "<thead><tr><th colspan=2>head</th></tr></thead>"
                       "<tr><td>a</td><td>b</td></tr></table>";
    QVERIFY(importHtmlTable(QByteArray(page), 0, m).ok());
    QCOMPARE(int(m.OutputProfile), int(MarkupProfile::Html5));
    QCOMPARE(m.TableTitle, QStringLiteral("\n  Prices\n"));
    QCOMPARE(m.TableBorder, qint16(1));
    QCOMPARE(int(m.TableWidthUnit), int(WidthUnit::Percent));
    QCOMPARE(m.TableWidth, 80);
    QCOMPARE(m.TableBackColorNothing, qint16(0));
    QCOMPARE(m.TableBackColor, qint32(0xFF0000));
    QCOMPARE(m.NetscapeMode, qint16(0));
    QCOMPARE(m.TableRows, 3);
    QCOMPARE(m.TableCols, 2);
    QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("head"));
    QCOMPARE(m.Cells(2, 2).Text, QStringLiteral("b"));
    QCOMPARE(m.Cells(1, 3).Text, QStringLiteral("foot")); // footers last

    // Upper-case tables are HTML 4; without any alignment, in Netscape mode.
    QVERIFY(importHtmlTable(QByteArray("<TABLE BORDER=25 WIDTH=300><CAPTION>\r\nT\r\n</CAPTION><TR><TD>a</TD></TR></TABLE>"), 0, m).ok());
    QCOMPARE(int(m.OutputProfile), int(MarkupProfile::Html4));
    QCOMPARE(m.TableTitle, QStringLiteral("T"));
    QCOMPARE(m.TableBorder, qint16(10));
    QCOMPARE(int(m.TableWidthUnit), int(WidthUnit::Pixels));
    QCOMPARE(m.TableWidth, 300);
    QCOMPARE(m.NetscapeMode, qint16(1));
    QCOMPARE(m.TableBackColorNothing, qint16(1));

    QVERIFY(importHtmlTable(QByteArray("<TABLE><TR><TD VALIGN=top>a</TD><TD>b</TD></TR></TABLE>"), 0, m).ok());
    QCOMPARE(m.NetscapeMode, qint16(0));
    QCOMPARE(m.TableBorder, qint16(0)); // none given, none shown
    QCOMPARE(m.TableTitle, QString());
    QCOMPARE(int(m.TableWidthUnit), int(WidthUnit::None));
}

void TestHtmlImport::encodings_data()
{
    QTest::addColumn<QByteArray>("page");
    const QString table = fromUtf8("<table><tr><td>表①&amp;</td></tr></table>");
    QTest::newRow("UTF-8 by default") << table.toUtf8();
    QTest::newRow("UTF-8 with a byte order mark") << QByteArray("\xEF\xBB\xBF") + table.toUtf8();
    QTest::newRow("meta charset Shift_JIS")
            << QByteArray("<html><head><meta charset=\"Shift_JIS\"></head><body>") + encodeCp932(table);
    QTest::newRow("meta http-equiv windows-31j")
            << QByteArray("<meta http-equiv=\"content-type\" content=\"text/html; charset='windows-31j'\">")
                    + encodeCp932(table);
    QTest::newRow("saved by Quorvan, no charset") << encodeCp932(table);
    QTest::newRow("meta charset EUC-JP")
            << QByteArray("<meta charset=euc-jp>") + QStringEncoder("EUC-JP").encode(table);
}

// Half-width katakana in CP932 can happen to be valid UTF-8 ("ﾃｽ" is C3 BD).
void TestHtmlImport::ownHtml4ReadAsCp932()
{
    TableModel m = table(1, 1);
    m.Cells(1, 1).Text = fromUtf8("ﾃｽ");
    const QByteArray saved = savedHtml(m);
    QVERIFY(QString::fromUtf8(saved).toUtf8() == saved); // valid UTF-8 all the same
    TableModel imported;
    QVERIFY(importHtmlTable(saved, 0, imported).ok());
    QCOMPARE(imported.Cells(1, 1).Text, fromUtf8("ﾃｽ"));
}

void TestHtmlImport::encodings()
{
    QFETCH(QByteArray, page);
    TableModel m;
    QVERIFY(importHtmlTable(page, 0, m).ok());
    QCOMPARE(m.Cells(1, 1).Text, fromUtf8("表①&amp;"));
}

// The parser is given long texts without their middles; the cells still
// hold the page's own text, whatever stands around and inside the texts.
void TestHtmlImport::longTextsComeBackWhole_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("between"); // between the two rows
    const QString words = QStringLiteral("ab 表\t").repeated(2000);
    const QString blanks = QStringLiteral(" \t").repeated(5000);
    QTest::newRow("plain text") << words << QStringLiteral("b") << QString();
    QTest::newRow("references and line ends")
            << words + QStringLiteral("&amp;\r\n") + words + QStringLiteral("&#12354;") + words
            << words + QStringLiteral("\r") + words << QString();
    QTest::newRow("blanks, then text") << blanks + QStringLiteral("x") + blanks << QStringLiteral("b")
                                       << blanks;
    QTest::newRow("markup inside") << words + QStringLiteral("<b>") + words + QStringLiteral("</b>")
                                   << words + QStringLiteral("<table><tr><td>") + words
                                           + QStringLiteral("</td></tr></table>")
                                   << QStringLiteral("x") + words;
}

void TestHtmlImport::longTextsComeBackWhole()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, between);
    const QString page = QStringLiteral("<table><caption>") + a + QStringLiteral("</caption><tr><td>")
            + a + QStringLiteral("</td><td>") + b + QStringLiteral("</td></tr>") + between
            + QStringLiteral("<tr><td>") + b + QStringLiteral("</td><td>") + a
            + QStringLiteral("</td></tr></table>") + a;
    const QVector<HtmlTable> tables = parseHtmlTables(page.toUtf8());
    QVERIFY(!tables.isEmpty());
    const HtmlTable &t = tables.first();
    QCOMPARE(t.caption, a);
    QCOMPARE(t.cells.size(), 4);
    QCOMPARE(t.cells.at(0).record.Text, a);
    QCOMPARE(t.cells.at(1).record.Text, b);
    QCOMPARE(t.cells.at(2).record.Text, b);
    QCOMPARE(t.cells.at(3).record.Text, a);
}

// The program's HTML of a table just under what a table file may hold, saved
// and opened as a page, gives every cell back.
void TestHtmlImport::largestTableReadsBack_data()
{
    QTest::addColumn<QString>("unit"); // what every cell is made of, over and over
    QTest::addColumn<int>("profile");
    QTest::newRow("words, HTML 4") << QStringLiteral("lorem ipsum dolor sit amet ") << int(MarkupProfile::Html4);
    // Japanese grows by half in UTF-8.
    QTest::newRow("markup and Japanese, HTML5")
            << fromUtf8("<B>表</B>x<BR>&amp;<I>い</I>&#233;<FONT COLOR=\"#F00\">a</FONT>") << int(MarkupProfile::Html5);
}

void TestHtmlImport::largestTableReadsBack()
{
    QFETCH(QString, unit);
    QFETCH(int, profile);
    // The most text a table file holds, in the largest table of the original size.
    TableModel m = table(TableLimits::ClassicLines, TableLimits::ClassicLines);
    m.OutputProfile = MarkupProfile(profile);
    const qint64 cells = qint64(m.TableCols) * m.TableRows;
    const qint64 perCell = (MaxTableTextBytes - tableText(m).size()) / cells;
    const qint64 unitBytes = encodeCp932(unit).size() + unit.count(u'"'); // quotes are doubled
    const QString text = unit.repeated(perCell / unitBytes);
    for (int c = 1; c <= m.TableCols; ++c)
        for (int r = 1; r <= m.TableRows; ++r)
            m.Cells(c, r).Text = text;
    const qint64 size = tableText(m).size();
    QVERIFY(size <= MaxTableTextBytes && size > MaxTableTextBytes - cells * unitBytes);

    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("largest.html"));
    const SaveResult saved = saveHtmlDocument(buildTableMarkup(m), page, m.OutputProfile);
    QVERIFY2(saved.ok, qPrintable(saved.message));
    TableModel back;
    const ImportResult r = importHtmlFile(page, 0, back);
    QVERIFY2(r.ok(), qPrintable(r.message));
    QCOMPARE(back.TableCols, m.TableCols);
    QCOMPARE(back.TableRows, m.TableRows);
    for (int c = 1; c <= m.TableCols; ++c)
        for (int r = 1; r <= m.TableRows; ++r)
            if (back.Cells(c, r).Text != text)
                QFAIL(qPrintable(QStringLiteral("cell %1, %2 differs").arg(c).arg(r)));
}

// The scan in front of the parser refuses pages that would stall it; old
// hand-written pages that leave much open, and big ones, are read.
void TestHtmlImport::sloppyPagesAreRead_data()
{
    QTest::addColumn<QByteArray>("page");
    const QByteArray table("<table><tr><td>last</td></tr></table>");
    auto repeated = [](const char *pattern, int n) {
        QByteArray page;
        for (int i = 0; i < n; ++i)
            page += QByteArray(pattern).replace("%d", QByteArray::number(i));
        return page;
    };
    QTest::newRow("99 x 99 cells of unclosed td and b")
            << "<table>" + QByteArray("<tr>" + QByteArray("<td><b>x").repeated(99)).repeated(99)
                    + "</table>" + table;
    QTest::newRow("500 unclosed font") << repeated("<font size=2>text %d<br>", 500) + table;
    QTest::newRow("5 000 list items with unclosed b") << "<ul>" + repeated("<li><b>item %d", 5000) + "</ul>" + table;
    QTest::newRow("5 000 definitions with unclosed formatting") << "<dl>" + repeated("<dt><b>t%d<dd><i>d", 5000) + "</dl>" + table;
    QTest::newRow("20 000 paragraphs of font") << repeated("<p><font size=2>text %d</p>", 20000) + table;
    QTest::newRow("20 000 unclosed a name") << repeated("<a name=\"n%d\">entry<br>", 20000) + table;
    QTest::newRow("SVG of 50 000 paths") << "<svg>" + repeated("<path d=\"M0 0L%d 1\"/>", 50000) + "</svg>" + table;
    QTest::newRow("20 000 options") << "<select>" + repeated("<option>o%d", 20000) + "</select>" + table;
    QTest::newRow("300 nested div, 30 times")
            << (QByteArray("<div>").repeated(300) + "<span>s</span>" + QByteArray("</div>").repeated(300))
                       .repeated(30) + table;
}

void TestHtmlImport::sloppyPagesAreRead()
{
    QFETCH(QByteArray, page);
    bool refused = true;
    const QVector<HtmlTable> tables = parseHtmlTables(page, &refused);
    QVERIFY(!refused);
    QVERIFY(!tables.isEmpty());
    QCOMPARE(tables.last().cells.last().record.Text, QStringLiteral("last"));
}

void TestHtmlImport::failuresChangeNothing_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("no table") << QByteArray("<p>just text</p>") << 0 << int(ImportStatus::NoTable)
                              << fromUtf8("このページには表（TABLE 要素）がないため、読み込めませんでした。");
    QTest::newRow("not even HTML") << QByteArray("\x00\xFF\x81 binary", 11) << 0 << int(ImportStatus::NoTable)
                                   << fromUtf8("このページには表（TABLE 要素）がないため、読み込めませんでした。");
    QTest::newRow("no such table") << QByteArray("<table><tr><td>x</table>") << 1 << int(ImportStatus::NoSuchTable)
                                   << fromUtf8("このページには 2 番目の表がないため、読み込めませんでした。");
    QTest::newRow("no cells") << QByteArray("<table><tr></tr></table>") << 0 << int(ImportStatus::Empty)
                              << fromUtf8("このページの表 1 にはセルがないため、読み込めませんでした。");
    // A page with more rows than a table holds needs more memory for its
    // size than a page is given: it is refused before its rows are counted.
    QTest::newRow("a row too many") << QByteArray("<table>") + QByteArray("<tr><td>x").repeated(TableLimits::MaxRows + 1) << 0
                                    << int(ImportStatus::TooComplex)
                                    << fromUtf8("このページは大きさの割に読み取りに必要なメモリーが多すぎるため、読み込めませんでした。");
    QTest::newRow("a column too many") << QByteArray("<table><tr><td colspan=500><td colspan=500><td>") << 0
                                       << int(ImportStatus::TooLarge)
                                       << fromUtf8("このページの表 1 は 1 行 × %1 列あり、表の大きさの上限（%2 行 × %3 列）を超えるため、読み込めませんでした。")
                                                  .arg(TableLimits::MaxCols + 1).arg(TableLimits::MaxRows).arg(TableLimits::MaxCols);
    QTest::newRow("nested 5 000 deep") << QByteArray("<div>").repeated(5000) + "<table><tr><td>x"
                                       << 0 << int(ImportStatus::TooComplex)
                                       << fromUtf8("このページは要素の入れ子が深すぎるため、読み込めませんでした。");
}

void TestHtmlImport::failuresChangeNothing()
{
    QFETCH(QByteArray, page);
    QFETCH(int, index);
    QFETCH(int, status);
    QFETCH(QString, message);
    TableModel m;
    m.TableTitle = QStringLiteral("before");
    m.Cells(1, 1).Text = QStringLiteral("kept");
    const ImportResult r = importHtmlTable(page, index, m);
    QCOMPARE(int(r.status), status);
    QCOMPARE(r.message, message);
    QCOMPARE(m.TableTitle, QStringLiteral("before"));
    QCOMPARE(m.TableRows, 2);
    QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("kept"));
}

// "quorvan --export page.html table.qvn" from the shell, both ways round.
void TestHtmlImport::keptWholeOrSaid_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("kept");      // pieces of the HTML written back after an edit
    QTest::addColumn<QStringList>("leftOut");
    QTest::newRow("id, classes, colgroup, tfoot, scope=colgroup")
            << QByteArray("<table id=\"plans\" class=\"compare  striped\"><colgroup><col><col span=\"2\"></colgroup>"
                          "<thead><tr><th scope=\"col\">Plan</th><th scope=\"colgroup\" colspan=\"2\">Price</th></tr></thead>"
                          "<tbody><tr><th scope=\"row\">Basic</th><td class=\"num\">10</td><td class=\"num\">100</td></tr></tbody>"
                          "<tfoot><tr><td>Total</td><td class=\"num\">10</td><td class=\"num\">100</td></tr></tfoot></table>")
            << QStringList{"<table id=\"plans\" class=\"compare striped\">\r\n<col><colgroup span=\"2\"></colgroup>\r\n<thead>",
                           "<td class=\"num\">edited</td>",
                           "<th scope=\"row\">Basic</th>", "<th scope=\"colgroup\" colspan=\"2\">Price</th>",
                           "</tbody>\r\n<tfoot>\r\n<tr><td>Total</td>"}
            << QStringList{"colgroup"};
    QTest::newRow("HTML 4 page: footer rows in order, SCOPE kept")
            << QByteArray("<TABLE><TFOOT><TR><TD>Sum</TD></TR></TFOOT><TR><TH SCOPE=\"rowgroup\">A</TH><TH>B</TH></TR></TABLE>")
            << QStringList{"<TR><TH SCOPE=\"rowgroup\">A</TH><TH>B</TH></TR>\r\n<TR><TD>Sum</TD><TD"} << QStringList();
    QTest::newRow("LibreOffice Calc page: its own attributes named")
            << readData("calc_sheet.html")
            << QStringList{"<table style=\"border-spacing: 0px\">"}
            << QStringList{"colgroup", "td sdval", "td sdnum"};
    QTest::newRow("a plain table: nothing left out, nothing added")
            << QByteArray("<table><tr><th>a</th><th>b</th></tr><tr><td>1</td><td>2</td></tr></table>")
            << QStringList{"<table>\r\n<thead>\r\n<tr><th scope=\"col\">a</th><th scope=\"col\">b</th></tr>"}
            << QStringList();
}

// Back whole after an edit, in the HTML and the table file, or named.
void TestHtmlImport::keptWholeOrSaid()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, leftOut);
    TableModel m;
    const ImportResult r = importHtmlTable(page, 0, m);
    QVERIFY(r.ok());
    QCOMPARE(r.leftOut, leftOut);
    if (m.Cells(2, 2).Class == QLatin1String("num"))
        m.Cells(2, 2).Text = QStringLiteral("edited");
    const QString html = QString::fromUtf8(savedHtml(m));
    for (const QString &piece : kept)
        QVERIFY2(html.contains(piece), qPrintable(piece + QStringLiteral("\n") + html));
    // The table file keeps what the model took.
    TableModel back;
    QVERIFY(readTableText(tableText(m), back).ok());
    QCOMPARE(QString::fromUtf8(savedHtml(back)), html);

    // --export names the same on standard error, and nothing else.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.html"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(page) == page.size());
    f.close();
    QByteArray err;
    QCOMPARE(runQuorvan({QStringLiteral("--export"), file, dir.filePath(QStringLiteral("out.html"))}, &err), 0);
    const QString said = QString::fromUtf8(err).trimmed();
    QCOMPARE(said.isEmpty() ? QStringList() : said.mid(said.lastIndexOf(QLatin1String(": ")) + 2).split(QStringLiteral(", ")),
             leftOut);
}

void TestHtmlImport::commandLine()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto run = runQuorvan;
    QRandomGenerator rng(7);
    TableModel model = randomTable(rng, 6);
    model.OutputProfile = MarkupProfile::Html5;
    model.TableWidthUnit = WidthUnit::Percent;
    model.TableWidth = 80;
    model.TableBorder = 0;
    const QByteArray html = savedHtml(model);
    const QString page = dir.filePath(QStringLiteral("page.HTM"));
    QFile f(page);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(html) == html.size());
    f.close();

    QByteArray err;
    const QString qvn = dir.filePath(QStringLiteral("table.qvn"));
    const QString again = dir.filePath(QStringLiteral("again.html"));
    QCOMPARE(run({QStringLiteral("--export"), page, qvn}, &err), 0);
    QCOMPARE(err, QByteArray());
    // Straight from page to page: a table file would keep an emoji as a reference.
    QCOMPARE(run({QStringLiteral("--export"), page, again}, &err), 0);
    QFile a(again);
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), html);
    a.close();
    QCOMPARE(run({QStringLiteral("--export"), qvn, again}, &err), 0);
    QVERIFY(a.open(QIODevice::ReadOnly));
    QVERIFY(a.readAll().startsWith("<table style=\"border-spacing: 0px; width: 80%;")); // still HTML5

    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write("<p>no table</p>") > 0);
    f.close();
    const QString target = dir.filePath(QStringLiteral("none.qvn"));
    QVERIFY(run({QStringLiteral("--export"), page, target}, &err) > 0);
    QCOMPARE(QString::fromUtf8(err),
             QLatin1Char('"') + page + fromUtf8("\"には表（TABLE 要素）がないため、読み込めませんでした。\n"));
    QVERIFY(!QFileInfo::exists(target));
}

QTEST_GUILESS_MAIN(TestHtmlImport)
#include "tst_html_import.moc"
