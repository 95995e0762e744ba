#include <QtTest>

#include <zip.h>

#include "core/import/spreadsheet_file.h"
#include "core/io/text_table.h"
#include "core/model/table_model.h"

// Workbooks saved by LibreOffice Calc come in as Calc shows them; hostile
// packages are refused with their message, quickly, never a crash.
class TestSpreadsheetImport : public QObject
{
    Q_OBJECT

private slots:
    void calcWorkbooks_data();
    void calcWorkbooks();
    void hostilePackages_data();
    void hostilePackages();
    void exportNamesTheSheet();
};

namespace {

QString dataPath(const QString &name)
{
    return QStringLiteral(QUORVAN_TEST_DATA "/sheets/") + name;
}

QByteArray readData(const QString &name)
{
    QFile f(dataPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A zip package of the entries, through libzip.
QByteArray zipOf(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("p.zip")));
    int error = 0;
    zip_t *z = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto &e : entries)
        zip_file_add(z, e.first.constData(), zip_source_buffer(z, e.second.constData(), zip_uint64_t(e.second.size()), 0),
                     ZIP_FL_ENC_UTF_8);
    zip_close(z);
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray odsOf(const QByteArray &rows, const QByteArray &before = QByteArray(),
                 const QByteArray &styles = QByteArray())
{
    return zipOf({{"content.xml",
                   before + "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                   " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
                   " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
                   " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
                   " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">" + styles + "<office:body><office:spreadsheet>"
                   "<table:table table:name=\"S\">" + rows + "</table:table></office:spreadsheet></office:body>"
                   "</office:document-content>"}});
}

QByteArray xlsxOf(const QByteArray &sheetData)
{
    return zipOf({{"xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
                                      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                      "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
                  {"xl/_rels/workbook.xml.rels",
                   "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\""
                   " Target=\"worksheets/sheet1.xml\"/></Relationships>"},
                  {"xl/worksheets/sheet1.xml", "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                               "<sheetData>" + sheetData + "</sheetData></worksheet>"}});
}

// The package with the inflated size its headers declare for every entry
// set to size: a bomb's word, or a lie the other way.
QByteArray withDeclaredSize(QByteArray zip, quint32 size)
{
    const auto put = [&zip](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    for (qsizetype at = zip.indexOf("PK\x03\x04"); at >= 0; at = zip.indexOf("PK\x03\x04", at + 4))
        put(at + 22, size);
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4))
        put(at + 24, size);
    return zip;
}

// The sheet's merges as "C,R:WxH", in reading order.
QStringList spansOf(const TableModel &m)
{
    QStringList out;
    for (int r = 1; r <= m.TableRows; ++r)
        for (int c = 1; c <= m.TableCols; ++c) {
            const CellRecord &rec = m.Cells(c, r);
            if (rec.ColSpanOn || rec.RowSpanOn)
                out << QStringLiteral("%1,%2:%3x%4").arg(c).arg(r).arg(rec.ColSpanOn ? rec.ColSpan : 1)
                                .arg(rec.RowSpanOn ? rec.RowSpan : 1);
        }
    return out;
}

} // namespace

void TestSpreadsheetImport::calcWorkbooks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("shown");      // Calc's CSV of the sheet, cells as shown
    QTest::addColumn<QStringList>("spans");
    QTest::addColumn<int>("headerRows");
    QTest::addColumn<QString>("aligns");     // HAlign of row 3, L C R
    QTest::addColumn<int>("leftOut");        // how many kinds of thing stayed behind

    const QStringList bookSpans{QStringLiteral("1,1:6x1"), QStringLiteral("6,3:1x2")};
    for (const char *ext : {"ods", "xlsx"}) {
        const QString book = QStringLiteral("calc_book.") + QLatin1String(ext);
        // Title merged and bold, a bold header: both head the table. Formulas,
        // the title's size and the red text, the header's fill and the second
        // sheet stay behind.
        QTest::newRow(qPrintable(QStringLiteral("%1: first sheet").arg(ext)))
                << book << QString() << "calc_book_1.csv" << bookSpans << 2 << "LRLRRR" << 4;
        QTest::newRow(qPrintable(QStringLiteral("%1: --sheet by name").arg(ext)))
                << book << QStringLiteral("メモ") << "calc_book_2.csv" << QStringList() << 0 << "" << 1;
        QTest::newRow(qPrintable(QStringLiteral("%1: --sheet by number").arg(ext)))
                << book << QStringLiteral("2") << "calc_book_2.csv" << QStringList() << 0 << "" << 1;
        // Number formats of every kind, the Japanese era, repeats across and down.
        QTest::newRow(qPrintable(QStringLiteral("%1: formats").arg(ext)))
                << QStringLiteral("calc_formats.") + QLatin1String(ext) << QString() << "calc_formats_1.csv"
                << QStringList() << 0 << "LR" << 0;
    }
}

void TestSpreadsheetImport::calcWorkbooks()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, shown);
    QFETCH(QStringList, spans);
    QFETCH(int, headerRows);
    QFETCH(QString, aligns);
    QFETCH(int, leftOut);

    TableModel model;
    const ImportResult r = importSpreadsheetFile(dataPath(file), sheet, model);
    QVERIFY2(r.ok(), qPrintable(r.message));
    // The grid's text as CSV, against Calc's own: same cells, same values
    // (kept as they are: Calc's CSV has no guard before "-3.2%").
    QByteArray csv = writeTextTable(model, TextTableFormat::Csv, TextTableOptions{true}).bytes.mid(3);
    csv.replace("\r\n", "\n");
    QCOMPARE(QString::fromUtf8(csv), QString::fromUtf8(readData(shown)));
    QCOMPARE(spansOf(model), spans);
    for (int row = 1; row <= model.TableRows; ++row)
        QCOMPARE(model.Cells(2, row).Header == -1, row <= headerRows);
    QString row3;
    for (int col = 1; col <= aligns.size(); ++col)
        row3 += QLatin1Char("LCR"[model.Cells(col, 3).HAlign]);
    QCOMPARE(row3, aligns);
    QCOMPARE(r.leftOut.size(), leftOut);
}

void TestSpreadsheetImport::hostilePackages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ods");
    QTest::addColumn<int>("status");   // SpreadsheetStatus, or -1: read, the sheet refused as too large
    QTest::addColumn<QString>("said"); // a part of the message

    const int ok = int(SpreadsheetStatus::Ok);
    const int damaged = int(SpreadsheetStatus::Damaged);
    const int tooComplex = int(SpreadsheetStatus::TooComplex);
    const QByteArray cell = "<table:table-cell><text:p>x</text:p></table:table-cell>";
    const QByteArray ten = odsOf(QByteArray("<table:table-row>") + QByteArray(cell).repeated(10) + "</table:table-row>");

    QTest::newRow("zip bomb: a part declaring 4 GiB") << withDeclaredSize(ten, 0xFFFFFFF0u) << true << tooComplex
                                                      << "展開すると";
    QTest::newRow("a part inflating past what it declares") << withDeclaredSize(ten, 40) << true << damaged << "壊れている";
    QTest::newRow("repeats past the limits: refused by size, never expanded")
            << odsOf("<table:table-row table:number-rows-repeated=\"1000000000\"><table:table-cell "
                     "table:number-columns-repeated=\"1000000\"><text:p>x</text:p></table:table-cell></table:table-row>")
            << true << -1 << "1000000000 行 × 1000000 列";
    QTest::newRow("100 001 rows: a table holds them")
            << odsOf("<table:table-row table:number-rows-repeated=\"100001\">" + cell + "</table:table-row>")
            << true << ok << "";
    // Every cell of a head row gets a record: 200 000 bold rows as the head
    // of a table 1 000 wide would be 200 million.
    QTest::newRow("bold far down: the first row alone heads it")
            << odsOf("<table:table-row table:number-rows-repeated=\"200000\"><table:table-cell table:style-name=\"b\">"
                     "<text:p>x</text:p></table:table-cell></table:table-row><table:table-row>"
                     "<table:table-cell table:number-columns-repeated=\"999\"/>" + cell + "</table:table-row>",
                     QByteArray(), "<office:automatic-styles><style:style style:name=\"b\" style:family=\"table-cell\">"
                     "<style:text-properties fo:font-weight=\"bold\"/></style:style></office:automatic-styles>")
            << true << ok << "";
    QTest::newRow("the empty tail a spreadsheet writes is not counted")
            << odsOf(QByteArray("<table:table-row>") + cell + "<table:table-cell table:number-columns-repeated=\"16383\"/>"
                     "</table:table-row><table:table-row table:number-rows-repeated=\"1048575\">"
                     "<table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>")
            << true << ok << "";
    QTest::newRow("a merge spanning a billion rows") << xlsxOf("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>"
                                                               "</sheetData><mergeCells><mergeCell ref=\"A1:XFD1048576\"/></mergeCells><sheetData>")
                                                     << false << ok << "";
    QTest::newRow("damaged zip: cut in half") << readData(QStringLiteral("calc_book.xlsx")).left(3500) << false << damaged
                                              << "壊れている";
    QTest::newRow("not a spreadsheet: text") << QByteArray("name,price\napple,100\n") << false << damaged << "壊れている";
    QTest::newRow("not a spreadsheet: a zip without a workbook")
            << zipOf({{"readme.txt", "hello"}}) << false << damaged << "壊れている";
    QTest::newRow("not a spreadsheet: a text document")
            << zipOf({{"content.xml", "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\">"
                                      "<office:body><office:text/></office:body></office:document-content>"}})
            << true << damaged << "壊れている";
    QTest::newRow("XML nested 100 000 deep")
            << odsOf(QByteArray("<table:table-row><table:table-cell><text:p>") + QByteArray("<text:span>").repeated(100000))
            << true << tooComplex << "入れ子";
    QTest::newRow("entities: a DTD is refused")
            << odsOf(cell, "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>")
            << true << damaged << "壊れている";
    QList<QPair<QByteArray, QByteArray>> many;
    for (int i = 0; i < 10001; ++i)
        many.append({"f" + QByteArray::number(i), QByteArray()});
    QTest::newRow("10 001 entries") << zipOf(many) << false << tooComplex << "ファイルの数";
    QTest::newRow("a workbook naming a sheet it does not hold")
            << zipOf({{"xl/workbook.xml", "<workbook><sheets><sheet name=\"A\"/></sheets></workbook>"}})
            << false << damaged << "壊れている";
}

void TestSpreadsheetImport::hostilePackages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ods);
    QFETCH(int, status);
    QFETCH(QString, said);
    QElapsedTimer clock;
    clock.start();
    const SpreadsheetBook book = readSpreadsheetBytes(bytes, ods ? SpreadsheetKind::Ods : SpreadsheetKind::Xlsx,
                                                      QStringLiteral("book"));
    TableModel model;
    model.Cells(1, 1).Text = QStringLiteral("before");
    const ImportResult r = importSheet(book, 0, model, QStringLiteral("book"));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(int(book.status), std::max(0, status));
    QCOMPARE(r.ok(), status == int(SpreadsheetStatus::Ok));
    if (!r.ok())
        QCOMPARE(model.Cells(1, 1).Text, QStringLiteral("before")); // nothing taken from a refused file
    QVERIFY2(r.message.contains(said), qPrintable(r.message));
    if (r.ok())
        QCOMPARE(model.Cells(1, 1).Text, QStringLiteral("x"));
}

// The real program: a sheet that is not there is named with those that are.
void TestSpreadsheetImport::exportNamesTheSheet()
{
    QTemporaryDir dir;
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan"),
            {QStringLiteral("--export"), dataPath(QStringLiteral("calc_book.xlsx")), dir.filePath(QStringLiteral("t.html")),
             QStringLiteral("--sheet"), QStringLiteral("年間")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("年間")) && err.contains(QStringLiteral("売上, メモ")), qPrintable(err));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("t.html"))));
}

QTEST_GUILESS_MAIN(TestSpreadsheetImport)
#include "tst_spreadsheet_import.moc"
