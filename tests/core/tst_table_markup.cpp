#include <QtTest>

#include "core/markup/table_markup.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

Q_DECLARE_METATYPE(CellRecord)

namespace {

bool tableEquals(const TableModel &a, const TableModel &b)
{
    if (a.Cells != b.Cells)
        return false;
    return true;
}

// A table of rows x cols cells as a new window would have it, border 1.
struct Table {
    TableModel model;

    Table(int cols, int rows)
    {
        model.TableCols = cols;
        model.TableRows = rows;
    }
    CellRecord &cell(int c, int r) { return model.Cells(c, r); }
    QString markup() const { return buildTableMarkup(model); }
};

QString lines(std::initializer_list<const char *> parts)
{
    QStringList l;
    for (const char *p : parts)
        l << QString::fromUtf8(p);
    return l.join(QStringLiteral("\r\n"));
}

Table workedExample()
{
    Table t(2, 2);
    t.cell(1, 1).Header = -1;
    t.cell(1, 1).Text = QStringLiteral("Name");
    t.cell(2, 1).Header = -1;
    t.cell(2, 1).Text = QStringLiteral("Age");
    t.cell(1, 2).Text = QStringLiteral("Taro");
    t.cell(2, 2).Text = QStringLiteral("20");
    t.cell(2, 2).HAlign = 2;
    t.cell(2, 2).BackColorNothing = 0;
    t.cell(2, 2).BackColor = 0x00FFFF;
    return t;
}

} // namespace

class tst_TableMarkup : public QObject
{
    Q_OBJECT

private slots:
    void colorToHtml_data();
    void colorToHtml();
    void workedExample();
    void workedExampleWithSpanAndTitle();
    void defaultNewTable();
    void netscapeModeDropsAlignment();
    void headerCellWithColour();
    void tableAttributes_data();
    void tableAttributes();
    void cellAttributes_data();
    void cellAttributes();
    void colSpanNormalisesRowSpan();
    void bothSpansCoverBlock();
    void bothSpansWithZeroRowSpan();
    void coveredCellWithOwnSpansIsSkipped();
    void spansPastTheEdge_data();
    void spansPastTheEdge();
    void textPassesThroughUnchanged();
    void everyWrittenCellInOrder();
    void gridLargerThanTableIsClipped();
    void previewPageBytes();
};

void tst_TableMarkup::colorToHtml_data()
{
    QTest::addColumn<qint32>("colour");
    QTest::addColumn<QString>("html");
    QTest::newRow("red first: 0x0080FF is orange") << qint32(0x0080FF) << "#FF8000";
    QTest::newRow("white") << qint32(0xFFFFFF) << "#FFFFFF";
    QTest::newRow("black") << qint32(0) << "#000000";
    QTest::newRow("one-digit parts get a leading zero") << qint32(0x0A0B0C) << "#0C0B0A";
    QTest::newRow("blue only") << qint32(0xFF0000) << "#0000FF";
    QTest::newRow("upper-case digits") << qint32(0xABCDEF) << "#EFCDAB";
    QTest::newRow("robustness: high byte set keeps two digits of blue")
            << qint32(0x12345678) << "#785612";
    QTest::newRow("robustness: negative value still gives seven characters")
            << qint32(-1) << "#FF0000";
}

void tst_TableMarkup::colorToHtml()
{
    QFETCH(qint32, colour);
    QFETCH(QString, html);
    QCOMPARE(ColorToHtml(colour), html);
}

void tst_TableMarkup::workedExample()
{
    Table t = ::workedExample();
    QCOMPARE(t.markup(),
             lines({"<TABLE BORDER=\"1\" CELLSPACING=\"1\">",
                    "<TR><TH>Name</TH><TH>Age</TH></TR>",
                    "<TR><TD ALIGN=\"center\" VALIGN=\"center\">Taro</TD>"
                    "<TD ALIGN=\"right\" VALIGN=\"center\" BGCOLOR=\"#FFFF00\">20</TD></TR>",
                    "</Table>"}));
}

void tst_TableMarkup::workedExampleWithSpanAndTitle()
{
    Table t = ::workedExample();
    t.cell(1, 1).ColSpanOn = 1;
    t.cell(1, 1).ColSpan = 2;
    t.model.TableTitle = QStringLiteral("T");
    QCOMPARE(t.markup(),
             lines({"<TABLE BORDER=\"1\" CELLSPACING=\"1\">",
                    "<CAPTION>", "T", "</CAPTION>",
                    "<TR><TH COLSPAN=\"2\">Name</TH></TR>",
                    "<TR><TD ALIGN=\"center\" VALIGN=\"center\">Taro</TD>"
                    "<TD ALIGN=\"right\" VALIGN=\"center\" BGCOLOR=\"#FFFF00\">20</TD></TR>",
                    "</Table>"}));
}

void tst_TableMarkup::defaultNewTable()
{
    Table t(2, 2);
    const char *row = "<TR><TD ALIGN=\"center\" VALIGN=\"center\"></TD>"
                      "<TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>";
    QCOMPARE(t.markup(), lines({"<TABLE BORDER=\"1\" CELLSPACING=\"1\">", row, row, "</Table>"}));
}

void tst_TableMarkup::netscapeModeDropsAlignment()
{
    Table t = ::workedExample();
    t.model.NetscapeMode = 1;
    const QString out = t.markup();
    QVERIFY(!out.contains(QLatin1String("ALIGN")));
    QVERIFY(out.contains(QLatin1String("<TD>Taro</TD><TD BGCOLOR=\"#FFFF00\">20</TD>")));
}

void tst_TableMarkup::headerCellWithColour()
{
    Table t(1, 1);
    t.cell(1, 1).Header = -1;
    t.cell(1, 1).BackColorNothing = 0;
    t.cell(1, 1).BackColor = 0x0000FF;
    t.cell(1, 1).HAlign = 0;
    QCOMPARE(t.markup(), lines({"<TABLE BORDER=\"1\" CELLSPACING=\"1\">",
                                "<TR><TH BGCOLOR=\"#FF0000\"></TH></TR>", "</Table>"}));
}

void tst_TableMarkup::tableAttributes_data()
{
    QTest::addColumn<qint16>("border");
    QTest::addColumn<qint16>("backNothing");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("head");

    QTest::newRow("border doubles as spacing")
            << qint16(3) << qint16(1) << "" << "<TABLE BORDER=\"3\" CELLSPACING=\"3\">";
    QTest::newRow("table colour")
            << qint16(0) << qint16(0) << ""
            << "<TABLE BORDER=\"0\" CELLSPACING=\"0\" BGCOLOR=\"#00FF00\">";
    QTest::newRow("a title of spaces is not empty")
            << qint16(1) << qint16(1) << "   "
            << "<TABLE BORDER=\"1\" CELLSPACING=\"1\">\r\n<CAPTION>\r\n   \r\n</CAPTION>";
    QTest::newRow("title markup goes in as typed")
            << qint16(1) << qint16(1) << "<B>a&b</B>"
            << "<TABLE BORDER=\"1\" CELLSPACING=\"1\">\r\n<CAPTION>\r\n<B>a&b</B>\r\n</CAPTION>";
    QTest::newRow("an empty title means no caption")
            << qint16(1) << qint16(1) << ""
            << "<TABLE BORDER=\"1\" CELLSPACING=\"1\">";
}

void tst_TableMarkup::tableAttributes()
{
    QFETCH(qint16, border);
    QFETCH(qint16, backNothing);
    QFETCH(QString, title);
    QFETCH(QString, head);

    Table t(1, 1);
    t.model.TableBorder = border;
    t.model.TableBackColor = 0x00FF00;
    t.model.TableBackColorNothing = backNothing;
    t.model.TableTitle = title;
    const QString expected = head + QStringLiteral("\r\n<TR><TD ALIGN=\"center\" VALIGN=\"center\">"
                                                   "</TD></TR>\r\n</Table>");
    QCOMPARE(t.markup(), expected);
}

void tst_TableMarkup::cellAttributes_data()
{
    QTest::addColumn<CellRecord>("cell");
    QTest::addColumn<QString>("td");

    CellRecord r;
    r.HeightOn = 1;
    r.Height = 40;
    r.WidthOn = 1;
    r.Width = 250;
    QTest::newRow("height before width")
            << r << "<TD HEIGHT=\"40\" WIDTH=\"250\" ALIGN=\"center\" VALIGN=\"center\"></TD>";

    r = CellRecord();
    r.Height = 40;
    r.Width = 250;
    QTest::newRow("sizes switched off are not written")
            << r << "<TD ALIGN=\"center\" VALIGN=\"center\"></TD>";

    r = CellRecord();
    r.HAlign = 0;
    r.VAlign = 0;
    QTest::newRow("left top") << r << "<TD ALIGN=\"left\" VALIGN=\"top\"></TD>";
    r.VAlign = 2;
    QTest::newRow("bottom") << r << "<TD ALIGN=\"left\" VALIGN=\"bottom\"></TD>";
    r.HAlign = 7;
    r.VAlign = -1;
    QTest::newRow("robustness: alignment out of range leaves values empty")
            << r << "<TD ALIGN=\"\" VALIGN=\"\"></TD>";

    r = CellRecord();
    r.Header = -1;
    r.HeightOn = 1;
    r.Height = 20;
    r.HAlign = 2;
    QTest::newRow("header: size yes, alignment never") << r << "<TH HEIGHT=\"20\"></TH>";

    r = CellRecord();
    r.ColSpanOn = 1;
    r.ColSpan = 1;
    r.BackColorNothing = 0;
    r.BackColor = 0x336699;
    QTest::newRow("span before colour")
            << r << "<TD ALIGN=\"center\" VALIGN=\"center\" COLSPAN=\"1\" BGCOLOR=\"#996633\"></TD>";
}

void tst_TableMarkup::cellAttributes()
{
    QFETCH(CellRecord, cell);
    QFETCH(QString, td);
    Table t(1, 1);
    t.cell(1, 1) = cell;
    const QString out = t.markup();
    QCOMPARE(out.section(QStringLiteral("\r\n"), 1, 1), QStringLiteral("<TR>") + td + "</TR>");
}

void tst_TableMarkup::colSpanNormalisesRowSpan()
{
    Table t(2, 2);
    CellRecord &a = t.cell(1, 1);
    a.ColSpanOn = 1;
    a.ColSpan = 2;
    a.RowSpanOn = 0;
    a.RowSpan = 4;
    const QString out = t.markup();
    QVERIFY(out.contains(QLatin1String("<TR><TD ALIGN=\"center\" VALIGN=\"center\" COLSPAN=\"2\"></TD></TR>")));
    QVERIFY(!out.contains(QLatin1String("ROWSPAN")));
    // Only one row is covered: row 2 keeps both cells.
    QCOMPARE(out.count(QLatin1String("<TD")), 3);
    // The switched-off count stays in the table for when it is switched on.
    QCOMPARE(t.cell(1, 1).RowSpan, 4);
    QCOMPARE(t.cell(1, 1).ColSpan, 2);
}

void tst_TableMarkup::bothSpansCoverBlock()
{
    Table t(3, 3);
    CellRecord &a = t.cell(2, 2);
    a.ColSpanOn = 1;
    a.ColSpan = 2;
    a.RowSpanOn = 1;
    a.RowSpan = 2;
    a.Text = QStringLiteral("X");
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            if (c != 2 || r != 2)
                t.cell(c, r).Text = QStringLiteral("%1%2").arg(c).arg(r);
    const QString out = t.markup();
    QVERIFY(out.contains(QLatin1String("COLSPAN=\"2\" ROWSPAN=\"2\">X</TD>")));
    for (const char *gone : {">32<", ">23<", ">33<"})
        QVERIFY2(!out.contains(QLatin1String(gone)), gone);
    QCOMPARE(out.count(QLatin1String("<TD")), 6);
    QVERIFY(out.contains(QLatin1String(">13</TD></TR>")));
}

void tst_TableMarkup::bothSpansWithZeroRowSpan()
{
    // A count of 0 is written as stored and covers one row.
    Table t(2, 2);
    CellRecord &a = t.cell(1, 1);
    a.ColSpanOn = 1;
    a.ColSpan = 2;
    a.RowSpanOn = 1;
    a.RowSpan = 0;
    const QString out = t.markup();
    QVERIFY(out.contains(QLatin1String("COLSPAN=\"2\" ROWSPAN=\"0\"></TD></TR>")));
    QCOMPARE(t.cell(1, 1).RowSpan, 0);
    QCOMPARE(out.count(QLatin1String("<TD")), 3); // one row covered
}

void tst_TableMarkup::coveredCellWithOwnSpansIsSkipped()
{
    Table t(3, 2);
    CellRecord &a = t.cell(1, 1);
    a.ColSpanOn = 1;
    a.ColSpan = 2;
    CellRecord &inner = t.cell(2, 1);
    inner.RowSpanOn = 1;
    inner.RowSpan = 2;
    inner.ColSpanOn = 0;
    inner.ColSpan = 5;
    inner.Text = QStringLiteral("hidden");
    const CellRecord before = inner;
    const QString out = t.markup();
    QVERIFY(!out.contains(QLatin1String("hidden")));
    QVERIFY(!out.contains(QLatin1String("ROWSPAN")));
    // Its span never took effect: row 2 still has all three cells.
    QCOMPARE(out.section(QStringLiteral("\r\n"), 2, 2).count(QLatin1String("<TD")), 3);
    QVERIFY(t.cell(2, 1) == before);
}

void tst_TableMarkup::spansPastTheEdge_data()
{
    QTest::addColumn<qint32>("rowSpan");
    QTest::addColumn<qint32>("colSpan");
    QTest::newRow("last row, ROWSPAN 12 reaches the end of the map") << 12 << 1;
    QTest::newRow("fault mended: ROWSPAN 13 still gives the table") << 13 << 1;
    QTest::newRow("robustness: huge counts do not wrap around") << 2147483647 << 2147483647;
    QTest::newRow("robustness: negative counts cover nothing") << -5 << -5;
}

void tst_TableMarkup::spansPastTheEdge()
{
    QFETCH(qint32, rowSpan);
    QFETCH(qint32, colSpan);
    Table t(99, 99);
    CellRecord &a = t.cell(99, 99);
    a.RowSpanOn = 1;
    a.RowSpan = rowSpan;
    a.ColSpanOn = 1;
    a.ColSpan = colSpan;
    a.Text = QStringLiteral("last");
    t.cell(1, 99).RowSpanOn = 1;
    t.cell(1, 99).RowSpan = rowSpan;
    const QString out = t.markup();
    QVERIFY(out.endsWith(QLatin1String("\r\n</Table>")));
    QVERIFY(out.contains(QStringLiteral(" COLSPAN=\"%1\" ROWSPAN=\"%2\">last</TD></TR>")
                                 .arg(colSpan)
                                 .arg(rowSpan)));
    QCOMPARE(out.count(QLatin1String("<TR>")), 99);
    QCOMPARE(out.count(QLatin1String("<TD")), 99 * 99);
}

void tst_TableMarkup::textPassesThroughUnchanged()
{
    Table t(1, 1);
    t.cell(1, 1).Text = QStringLiteral("a<BR>b & c < d\r\n\"日本語\"");
    QVERIFY(t.markup().contains(QStringLiteral(">a<BR>b & c < d\r\n\"日本語\"</TD>")));
}

void tst_TableMarkup::everyWrittenCellInOrder()
{
    Table t(3, 2);
    t.cell(2, 1).ColSpanOn = 1;
    t.cell(2, 1).ColSpan = 2;
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c)
            t.cell(c, r).Text = QStringLiteral("v%1%2").arg(c).arg(r);
    const TableModel before = t.model;
    const QString out = t.markup();
    QStringList seen;
    for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("v\\d\\d")).globalMatch(out))
        seen << m.captured();
    QCOMPARE(seen, QStringList({"v11", "v21", "v12", "v22", "v32"}));
    // Reading the table leaves it as it was.
    QCOMPARE(tableEquals(t.model, before), true);
}

void tst_TableMarkup::gridLargerThanTableIsClipped()
{
    // A size the cells cannot back is walked only as far as a table goes.
    Table t(2, 2);
    t.model.TableCols = TableLimits::MaxCols + 500;
    t.model.TableRows = 3;
    const QString out = t.markup();
    QCOMPARE(out.count(QLatin1String("<TR>")), 3);
    QCOMPARE(out.count(QLatin1String("<TD")), 3 * TableLimits::MaxCols);
}

void tst_TableMarkup::previewPageBytes()
{
    Table t(1, 1);
    t.cell(1, 1).Text = QStringLiteral("日本語～①😀");
    const QByteArray bytes = encodeCp932(previewPageText(t.markup()));
    QByteArray expected =
            "<HTML LANG=\"ja\"><HEAD><meta http-equiv=\"Content-Type\" "
            "content=\"text/html; charset=Shift_JIS\"></HEAD><BODY>\r\n"
            "\r\n"
            "<TABLE BORDER=\"1\" CELLSPACING=\"1\">\r\n"
            "<TR><TD ALIGN=\"center\" VALIGN=\"center\">"
            "\x93\xfa\x96\x7b\x8c\xea\x81\x60\x87\x40&#128512;"
            "</TD></TR>\r\n"
            "</Table>\r\n"
            "\r\n"
            "</BODY></HTML>\r\n";
    QCOMPARE(bytes, expected);
}

QTEST_APPLESS_MAIN(tst_TableMarkup)
#include "tst_table_markup.moc"
