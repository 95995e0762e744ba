#include <QtTest>

#include <QMimeData>

#include "core/import/cell_block.h"
#include "support/hostile_pages.h"
#include "core/model/table_edits.h"

namespace {

// Each row of a block as "text|text|...".
QStringList rowsOf(const CellBlock &b)
{
    QStringList rows;
    for (int r = 0; r < b.rows; ++r) {
        QStringList cells;
        for (int c = 0; c < b.cols; ++c)
            cells << b.at(c, r).Text;
        rows << cells.join(u'|');
    }
    return rows;
}

QString readData(const char *name)
{
    QFile f(QStringLiteral(QUORVAN_TEST_DATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", name);
    return QString::fromUtf8(f.readAll());
}

} // namespace

class TstCellBlock : public QObject
{
    Q_OBJECT

private slots:
    void textDecoding_data();
    void textDecoding();
    void htmlTables_data();
    void htmlTables();
    void strangersClipboard_data();
    void strangersClipboard();
    void ownFormRoundTrip();
    void ownFormRejectsDamage_data();
    void ownFormRejectsDamage();
    void copiedFormsReadBack();
    void textFormKeepsEveryCharacter_data();
    void textFormKeepsEveryCharacter();
    void mimePreference_data();
    void mimePreference();
    void pasteGrowsAndClips_data();
    void pasteGrowsAndClips();
    void pasteNeverHidesText_data();
    void pasteNeverHidesText();
};

void TstCellBlock::textDecoding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("tabs between values") << "a\tb" << QStringList{"a|b"};
    QTest::newRow("CR LF lines, trailing break") << "a\tb\r\nc\td\r\n" << QStringList{"a|b", "c|d"};
    QTest::newRow("LF lines, trailing break") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("CR lines") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("quoted tab and line break") << "\"x\ty\"\t\"1\n2\"\n" << QStringList{"x\ty|1<BR>2"};
    QTest::newRow("quoted CR LF is one break") << "\"1\r\n2\"" << QStringList{"1<BR>2"};
    QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""};
    QTest::newRow("quote inside a value is literal") << "5\" disk\tx" << QStringList{"5\" disk|x"};
    QTest::newRow("markup characters escaped") << "<b>&x" << QStringList{"&lt;b&gt;&amp;x"};
    QTest::newRow("ragged rows padded") << "a\tb\tc\nd" << QStringList{"a|b|c", "d||"};
    QTest::newRow("empty value kept") << "\tb\t\n" << QStringList{"|b|"};
    QTest::newRow("blank line before the last break kept") << "a\n\n" << QStringList{"a", ""};
    QTest::newRow("robustness: unclosed quote takes the rest") << "\"abc\ndef" << QStringList{"abc<BR>def"};
    QTest::newRow("robustness: text after a closing quote") << "\"a\"b\tc" << QStringList{"ab|c"};
    // LibreOffice Calc's text of calc_sheet.fods
    // (--convert-to 'csv:Text - txt - csv (StarCalc):9,34,76').
    QTest::newRow("LibreOffice Calc sample")
            << readData("calc_sheet.tsv")
            << QStringList{QStringLiteral("時限|月|火|水"), QStringLiteral("1|国語 &amp; 算数||理科\t実験"),
                           QStringLiteral("2|一行目<BR>二行目|彼は\"はい\"と言った|太字と&lt;タグ&gt;"),
                           QStringLiteral("3|||体育")};
}

void TstCellBlock::textDecoding()
{
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    const CellBlock b = cellBlockFromText(text);
    QCOMPARE(b.source, CellBlock::Source::Text);
    QCOMPARE(rowsOf(b), rows);
    QVERIFY(cellBlockFromText(QString()).isEmpty());
}

void TstCellBlock::htmlTables_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QPoint>("spanned");   // a cell with spans
    QTest::addColumn<QSize>("span");       // its colspan x rowspan
    QTest::addColumn<QList<QPoint>>("headers");

    // LibreOffice Calc's HTML of calc_sheet.fods (soffice --convert-to html);
    // the empty cell it writes as a lone <br> is empty, and the sheet's own
    // <font face> is left out of every cell.
    const QString font = QStringLiteral("%1");
    QTest::newRow("LibreOffice Calc page")
            << readData("calc_sheet.html")
            << QStringList{QStringLiteral("<b>%1</b>|<b>%2</b>|<b>%3</b>|<b>%4</b>")
                                   .arg(font.arg(QStringLiteral("時限")), font.arg(QStringLiteral("月")),
                                        font.arg(QStringLiteral("火")), font.arg(QStringLiteral("水"))),
                           QStringLiteral("1|%1||%2").arg(font.arg(QStringLiteral("国語 &amp; 算数")),
                                                         font.arg(QStringLiteral("理科\t実験"))),
                           QStringLiteral("2|%1|%2|%3")
                                   .arg(font.arg(QStringLiteral("一行目<br>二行目")),
                                        font.arg(QStringLiteral("彼は&quot;はい&quot;と言った")),
                                        font.arg(QStringLiteral("太字と&lt;タグ&gt;"))),
                           QStringLiteral("3|||%1").arg(font.arg(QStringLiteral("体育")))}
            << QPoint(1, 1) << QSize(2, 1) << QList<QPoint>();
    QTest::newRow("browser fragment with header cells")
            << QStringLiteral("<meta charset='utf-8'><table><thead><tr><th>名前</th><th colspan=\"2\">点数</th>"
                              "</tr></thead><tbody><tr><td><a href=\"t.html\">太郎</a></td><td>90</td>"
                              "<td>80</td></tr></tbody></table>")
            << QStringList{QStringLiteral("名前|点数|"), QStringLiteral("<a href=\"t.html\">太郎</a>|90|80")}
            << QPoint(1, 0) << QSize(2, 1) << QList<QPoint>{{0, 0}, {1, 0}};
    QTest::newRow("blanks around a cell's text dropped, ideographic space kept")
            << QStringLiteral("<table>\n <tr>\n  <td>\n   a b\n  </td>\n  <td>\u3000x</td>\n </tr>\n</table>")
            << QStringList{QStringLiteral("a b|\u3000x")} << QPoint(-1, -1) << QSize() << QList<QPoint>();
    QTest::newRow("the outermost table is the selection")
            << QStringLiteral("<table><tr><td><table><tr><td rowspan=2>a</td><td>b</td></tr>"
                              "<tr><td>c</td></tr></table></td></tr></table>")
            << QStringList{QStringLiteral("<table><tr><td rowspan=2>a</td><td>b</td></tr>"
                                          "<tr><td>c</td></tr></table>")}
            << QPoint(-1, -1) << QSize() << QList<QPoint>();
}

void TstCellBlock::htmlTables()
{
    QFETCH(QString, html);
    QFETCH(QStringList, rows);
    QFETCH(QPoint, spanned);
    QFETCH(QSize, span);
    QFETCH(QList<QPoint>, headers);
    const std::optional<CellBlock> b = cellBlockFromHtml(html);
    QVERIFY(b);
    QCOMPARE(b->source, CellBlock::Source::Html);
    QCOMPARE(rowsOf(*b), rows);
    if (spanned.x() >= 0) {
        const CellRecord &r = b->at(spanned.x(), spanned.y());
        QCOMPARE(QSize(r.ColSpanOn ? r.ColSpan : 1, r.RowSpanOn ? r.RowSpan : 1), span);
    }
    for (int r = 0; r < b->rows; ++r)
        for (int c = 0; c < b->cols; ++c)
            QCOMPARE(b->at(c, r).Header != 0, headers.contains(QPoint(c, r)));
}

void TstCellBlock::strangersClipboard_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("lastCell"); // empty: no table taken
    for (const char *kind : {"comment ended by --!>", "made-up name hashed like plaintext",
                             "font without attributes stays in SVG",
                             "annotation-xml without encoding holds MathML", "style inside select is dropped"})
        QTest::newRow(kind) << QString::fromLatin1(kind) << QString();
    QTest::newRow("900 KB of comments in a style") << "900 KB of comments in a style" << "@";
    QTest::newRow("CDATA end inside long text") << "CDATA end inside long text" << "second";
}

// The pages of tst_hostile_export as clipboard HTML: the paste reads them
// under the same bounds (they once took seconds and gigabytes here too).
void TstCellBlock::strangersClipboard()
{
    QFETCH(QString, kind);
    QFETCH(QString, lastCell);
    const std::optional<CellBlock> b = cellBlockFromHtml(QString::fromUtf8(hostile::page(kind)));
    QCOMPARE(bool(b), !lastCell.isEmpty());
    if (b)
        QCOMPARE(b->at(b->cols - 1, b->rows - 1).Text, lastCell);
}

void TstCellBlock::ownFormRoundTrip()
{
    CellBlock b;
    b.resize(2, 1);
    // Every field away from its default.
    b.at(0, 0) = {QStringLiteral("一<BR>\t\"二\"&amp;"), -1, 1, 41, 1, 121, 1, 3, 1, 2, 2, 0, 0x123457, 0,
                  QStringLiteral("num total"), qint16(CellScope::ColGroup), 1, 1,
                  QStringLiteral("color: red; font-family: \"A; B\"")};
    b.at(1, 0) = {QString(), 0, 1, 9999, 1, 1, 0, 1, 1, 99, 0, 2, 0xFFFFFF, 1, QString(), 0, 0, 0, QString()};
    const std::optional<CellBlock> back = decodeCellBlock(encodeCellBlock(b));
    QVERIFY(back);
    QCOMPARE(back->source, CellBlock::Source::Quorvan);
    QCOMPARE(QSize(back->cols, back->rows), QSize(2, 1));
    QVERIFY(back->cells == b.cells);

    // A block of version 2 (no sizes in per cent, no style) still reads.
    QByteArray v2;
    QDataStream out(&v2, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    const CellRecord &r = b.at(0, 0);
    out << quint32(0x51564342) << quint16(2) << qint32(1) << qint32(1) << r.Text << r.Header << r.HeightOn
        << r.Height << r.WidthOn << r.Width << r.RowSpanOn << r.RowSpan << r.ColSpanOn << r.ColSpan << r.VAlign
        << r.HAlign << r.BackColor << r.BackColorNothing << r.Class << r.Scope;
    const std::optional<CellBlock> older = decodeCellBlock(v2);
    QVERIFY(older);
    CellRecord expected = r;
    expected.WidthPercent = expected.HeightPercent = 0;
    expected.Style.clear();
    QVERIFY(older->cells.front() == expected);
}

void TstCellBlock::ownFormRejectsDamage_data()
{
    CellBlock b;
    b.resize(3, 2);
    const QByteArray good = encodeCellBlock(b);
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << good.left(good.size() - 1);
    QByteArray later = good;
    later[5] = 4; // version 4
    QTest::newRow("a later version") << later;
    QByteArray huge = good;
    huge[9] = 100; // 100 columns
    QTest::newRow("more columns than a table holds") << huge;
    QByteArray otherMagic = good;
    otherMagic[0] = 'x';
    QTest::newRow("not ours") << otherMagic;
}

void TstCellBlock::ownFormRejectsDamage()
{
    QFETCH(QByteArray, data);
    QVERIFY(!decodeCellBlock(data));
}

// What a copy puts on the clipboard reads back as the grid shows it.
void TstCellBlock::copiedFormsReadBack()
{
    CellBlock b;
    b.resize(3, 2);
    b.at(0, 0).Text = QStringLiteral("見出し");
    b.at(0, 0).Header = -1;
    b.at(0, 0).ColSpanOn = 1;
    b.at(0, 0).ColSpan = 2;
    b.at(1, 0).Text = QStringLiteral("covered"); // under the span: left out
    b.at(2, 0).Text = QStringLiteral("<B>a</B> &amp; \"b\"");
    b.at(0, 1).Text = QStringLiteral("一行目<BR>二行目");
    b.at(1, 1).Text = QStringLiteral("x\ty");
    QCOMPARE(cellBlockToText(b),
             QStringLiteral("見出し\t\t\"a & \"\"b\"\"\"\n\"一行目\n二行目\"\t\"x\ty\"\t\n"));
    QCOMPARE(rowsOf(cellBlockFromText(cellBlockToText(b))),
             (QStringList{QStringLiteral("見出し||a &amp; \"b\""),
                          QStringLiteral("一行目<BR>二行目|x\ty|")}));

    const std::optional<CellBlock> html = cellBlockFromHtml(cellBlockToHtml(b));
    QVERIFY(html);
    QCOMPARE(rowsOf(*html), (QStringList{QStringLiteral("見出し||<B>a</B> &amp; \"b\""),
                                         QStringLiteral("一行目<BR>二行目|x\ty|")}));
    QCOMPARE(html->at(0, 0).Header, qint16(-1));
    QCOMPARE(html->at(0, 0).ColSpan, 2);
}

// The text flavour is for text editors: what the cell's text stands for, no
// character dropped.
void TstCellBlock::textFormKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("semicolon") << "a;b" << "a;b";
    QTest::newRow("numeric reference") << "caf&#233;" << u"café"_qs;
    QTest::newRow("named reference outside the grid's few") << "x&nbsp;y" << u"x\u00A0y"_qs;
    QTest::newRow("lone greater-than") << "A > B" << "A > B";
    QTest::newRow("character outside CP932, as stored") << "&#128512;" << u"😀"_qs;
    QTest::newRow("character outside CP932, as typed") << u"😀 한글"_qs << u"😀 한글"_qs;
    QTest::newRow("less-than starting no tag") << "1 < 2 &lt;3&gt;" << "1 < 2 <3>";
}

void TstCellBlock::textFormKeepsEveryCharacter()
{
    QFETCH(QString, stored);
    QFETCH(QString, text);
    CellBlock b;
    b.resize(2, 1);
    b.at(0, 0).Text = stored;
    b.at(1, 0).Text = stored;
    QCOMPARE(cellBlockToText(b), text + u'\t' + text + u'\n');
}

void TstCellBlock::mimePreference_data()
{
    QTest::addColumn<bool>("own");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("source"); // -1: nothing to paste
    QTest::newRow("own form first") << true << "<table><tr><td>h</td></tr></table>" << "t"
                                    << int(CellBlock::Source::Quorvan);
    QTest::newRow("HTML table before text") << false << "<table><tr><td>h</td></tr></table>" << "t"
                                            << int(CellBlock::Source::Html);
    QTest::newRow("HTML without a table: text") << false << "<p>h</p>" << "t" << int(CellBlock::Source::Text);
    QTest::newRow("text only") << false << QString() << "t" << int(CellBlock::Source::Text);
    QTest::newRow("nothing usable") << false << "<p>h</p>" << QString() << -1;
}

void TstCellBlock::mimePreference()
{
    QFETCH(bool, own);
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(int, source);
    QMimeData data;
    if (own) {
        CellBlock b;
        b.resize(1, 1);
        data.setData(QLatin1String(CellBlockMimeType), encodeCellBlock(b));
    }
    if (!html.isNull())
        data.setHtml(html);
    if (!text.isNull())
        data.setText(text);
    const std::optional<CellBlock> b = cellBlockFromMimeData(data);
    QCOMPARE(b ? int(b->source) : -1, source);
}

void TstCellBlock::pasteGrowsAndClips_data()
{
    QTest::addColumn<QSize>("table");   // columns x rows
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QSize>("grown");
    QTest::addColumn<QRect>("pasted");
    QTest::addColumn<bool>("clipped");
    QTest::newRow("inside the table") << QSize(5, 5) << "a\tb\nc\td" << QPoint(1, 1) << QSize(5, 5)
                                      << QRect(1, 1, 2, 2) << false;
    QTest::newRow("grows right and down") << QSize(2, 2) << "a\tb\tc\nd" << QPoint(2, 2) << QSize(4, 3)
                                          << QRect(2, 2, 3, 2) << false;
    QTest::newRow("grows past 99") << QSize(99, 99) << "a\tb\tc\nd\te\tf" << QPoint(98, 99) << QSize(100, 100)
                                   << QRect(98, 99, 3, 2) << false;
    const int lastCol = TableLimits::MaxCols, lastRow = TableLimits::MaxRows;
    QTest::newRow("clips at the last column and row") << QSize(lastCol, lastRow) << "a\tb\tc\nd\te\tf"
                                                      << QPoint(lastCol - 1, lastRow) << QSize(lastCol, lastRow)
                                                      << QRect(lastCol - 1, lastRow, 2, 1) << true;
    QString tall;
    for (int i = 0; i < 150; ++i)
        tall += QStringLiteral("%1\n").arg(i);
    QTest::newRow("150 lines") << QSize(2, 2) << tall << QPoint(1, 1) << QSize(2, 150)
                               << QRect(1, 1, 1, 150) << false;
}

void TstCellBlock::pasteGrowsAndClips()
{
    QFETCH(QSize, table);
    QFETCH(QString, text);
    QFETCH(QPoint, at);
    QFETCH(QSize, grown);
    QFETCH(QRect, pasted);
    QFETCH(bool, clipped);
    TableModel m;
    m.TableCols = table.width();
    m.TableRows = table.height();
    m.Cells(at.x(), at.y()).HAlign = 2; // a paste of text keeps the rest of the record
    const PasteResult r = pasteCellBlock(m, cellBlockFromText(text), at.x(), at.y());
    QCOMPARE(QSize(m.TableCols, m.TableRows), grown);
    QCOMPARE(r.cells, pasted);
    QCOMPARE(r.clipped, clipped);
    QCOMPARE(r.message.contains(QStringLiteral("%1 行 × %2 列").arg(TableLimits::MaxRows).arg(TableLimits::MaxCols)),
             clipped);
    QCOMPARE(m.Cells(at.x(), at.y()).Text, text.left(1));
    QCOMPARE(m.Cells(at.x(), at.y()).HAlign, qint16(2));
}

void TstCellBlock::pasteNeverHidesText_data()
{
    QTest::addColumn<QString>("format"); // the clipboard's best form
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("unmerged");
    QTest::newRow("TSV block under an existing merge")
            << "text" << QByteArray("a\tb\nc\td") << QPoint(2, 2) << true;
    QTest::newRow("browser's copy of one row of a rowspan")
            << "html" << QByteArray("<table><tr><td rowspan=3>h</td><td colspan=4>i</td></tr></table>")
            << QPoint(2, 3) << false;
    CellBlock own;
    own.resize(1, 1);
    CellRecord &o = own.at(0, 0);
    o.Text = QStringLiteral("o");
    o.Height = o.Width = 0;
    o.RowSpanOn = o.ColSpanOn = 1;
    o.RowSpan = 3;
    o.ColSpan = 5;
    QTest::newRow("own copy of a span past the table's edge")
            << "own" << encodeCellBlock(own) << QPoint(4, 4) << false;
}

// Every pasted text and every text shown before stays shown, in the grid and
// the output alike (both draw what SpanLayout says), and no span reaches past
// the table.
void TstCellBlock::pasteNeverHidesText()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, data);
    QFETCH(QPoint, at);
    QFETCH(bool, unmerged);
    TableModel m;
    m.TableCols = m.TableRows = 4;
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            m.Cells(c, r).Text = QStringLiteral("t%1%2").arg(c).arg(r);
    tableedits::mergeCells(m, QRect(1, 1, 2, 2));
    SpanLayout before;
    before.compute(m, m.TableRows, m.TableCols);

    QMimeData mime;
    if (format == QLatin1String("own"))
        mime.setData(QLatin1String(CellBlockMimeType), data);
    else if (format == QLatin1String("html"))
        mime.setHtml(QString::fromUtf8(data));
    else
        mime.setText(QString::fromUtf8(data));
    const std::optional<CellBlock> block = cellBlockFromMimeData(mime);
    QVERIFY(block);
    const TableModel old = m;
    const PasteResult r = pasteCellBlock(m, *block, at.x(), at.y());
    QCOMPARE(r.unmerged, unmerged);
    QCOMPARE(r.message.isEmpty(), !unmerged);

    SpanLayout after;
    after.compute(m, m.TableRows, m.TableCols);
    for (int y = 1; y <= m.TableRows; ++y)
        for (int x = 1; x <= m.TableCols; ++x) {
            const QPoint p(x, y);
            const bool pasted = QRect(at, QSize(block->cols, block->rows)).contains(p);
            const QString &text = pasted ? block->at(x - at.x(), y - at.y()).Text : old.Cells(x, y).Text;
            const bool shownBefore = pasted || (p.x() <= 4 && p.y() <= 4 && before.isWritten(x, y));
            if (!text.isEmpty() && shownBefore) {
                QVERIFY2(after.isWritten(x, y), qPrintable(text));
                QCOMPARE(m.Cells(x, y).Text, text);
            }
            const CellRecord &c = m.Cells(x, y);
            QVERIFY(!c.ColSpanOn || x + c.ColSpan - 1 <= m.TableCols);
            QVERIFY(!c.RowSpanOn || y + c.RowSpan - 1 <= m.TableRows);
        }
}

QTEST_APPLESS_MAIN(TstCellBlock)
#include "tst_cell_block.moc"
