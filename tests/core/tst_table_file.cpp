#include <QtTest>

#include <QBuffer>
#include <QRandomGenerator>

#include "core/io/compression.h"
#include "core/io/table_file.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

// The table text layer: exact bytes, round trips, version check, the older
// layout, and damaged input.
class TestTableFile : public QObject
{
    Q_OBJECT

private slots:
    void defaultTableTextIsExact();
    void specialTextsSurvive_data();
    void specialTextsSurvive();
    void headerIsWrittenAsTrue();
    void versionCheck_data();
    void versionCheck();
    void damagedTextIsRefused_data();
    void damagedTextIsRefused();
    void failedReadLeavesModelAlone();
    void lenientReading_data();
    void lenientReading();
    void recordsNotInFileKeepDefaults();
    void widestTableStopsAtColumn100();
    void unsavableSizeIsWrittenReadable();
    void randomTablesRoundTrip();
    void oldLayoutMapping();
    void oldLayoutDamaged_data();
    void oldLayoutDamaged();
    void fuzzFindingsStayFixed_data();
    void fuzzFindingsStayFixed();
    void fuzzCorpusIsReadSafely();
    void newSettingsChooseTheLayout_data();
    void newSettingsChooseTheLayout();
    void newSettingsRoundTrip();
    void damagedNewSettingsAreRefused_data();
    void damagedNewSettingsAreRefused();
    void wideTablesRoundTrip_data();
    void wideTablesRoundTrip();
    void damagedWideTablesAreRefused_data();
    void damagedWideTablesAreRefused();
    void millionCellsFitTheFile();
    void versionFollowsWhatIsWritten_data();
    void versionFollowsWhatIsWritten();
};

static QByteArray cellLine(int c, int r)
{
    return QByteArray::number(c) + ',' + QByteArray::number(r)
            + ",\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n";
}

static QByteArray header(const QByteArray &settings = "2,2,\"\",1,16777215,1,0")
{
    return "3,0,0\r\n" + settings + "\r\n";
}

void TestTableFile::defaultTableTextIsExact()
{
    const TableModel m;
    const QByteArray expected = "3,0,0\r\n"
                                "2,2,\"\",1,16777215,1,0\r\n"
                                "0,0,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "0,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "0,2,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "1,0,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "1,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "1,2,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "2,0,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "2,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "2,2,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "3,0,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "3,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "3,2,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "4,0,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "4,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n"
                                "4,2,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n";
    QCOMPARE(tableText(m), expected);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(writeTableText(buffer, m));
    QCOMPARE(buffer.data(), expected);
}

void TestTableFile::specialTextsSurvive_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field");     // as written, quotes included
    QTest::addColumn<QString>("readBack");

    QTest::newRow("comma inside") << "a,b" << QByteArray("\"a,b\"") << "a,b";
    QTest::newRow("line break inside") << "a\r\nb" << QByteArray("\"a\r\nb\"") << "a\r\nb";
    QTest::newRow("quote doubled") << "<A href=\"x.html\">" << QByteArray("\"<A href=\"\"x.html\"\">\"")
                                   << "<A href=\"x.html\">";
    QTest::newRow("quote last") << "a\"" << QByteArray("\"a\"\"\"") << "a\"";
    QTest::newRow("only quotes") << "\"\"" << QByteArray("\"\"\"\"\"\"") << "\"\"";
    QTest::newRow("quote comma quote") << "\",\"" << QByteArray("\"\"\",\"\"\"") << "\",\"";
    QTest::newRow("japanese in CP932") << QStringLiteral("表の見出し")
                                       << QByteArray("\"\x95\x5c\x82\xcc\x8c\xa9\x8f\x6f\x82\xb5\"")
                                       << QStringLiteral("表の見出し");
    QTest::newRow("unencodable becomes reference") << QStringLiteral("a😀b")
                                                   << QByteArray("\"a&#128512;b\"")
                                                   << QStringLiteral("a&#128512;b");
    QTest::newRow("spaces kept") << "  x  " << QByteArray("\"  x  \"") << "  x  ";
    // Read a megabyte at a time: a field runs over many pieces, and a run of
    // one-byte kana gives a piece no ASCII byte to end after.
    QTest::newRow("half-width kana over pieces") << QString(1500000, QChar(0xFF76))
                                                 << "\"" + QByteArray(1500000, '\xb6') + "\""
                                                 << QString(1500000, QChar(0xFF76));
    QTest::newRow("quotes and breaks over pieces") << QStringLiteral("x\",\r\n\u30ab").repeated(300000)
                                                   << "\"" + QByteArray("x\"\",\r\n\x83\x4a").repeated(300000) + "\""
                                                   << QStringLiteral("x\",\r\n\u30ab").repeated(300000);
    for (const char *before : {"", "x"}) {
        QTest::newRow(qPrintable(QStringLiteral("double-byte over pieces after '%1'").arg(QLatin1String(before))))
            << QLatin1String(before) + QStringLiteral("\u30ab").repeated(700000)
            << "\"" + QByteArray(before) + QByteArray("\x83\x4a").repeated(700000) + "\""
            << QLatin1String(before) + QStringLiteral("\u30ab").repeated(700000);
    }
}

void TestTableFile::specialTextsSurvive()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    QFETCH(QString, readBack);

    TableModel m;
    m.TableTitle = text;
    m.Cells(1, 2).Text = text;
    const QByteArray bytes = tableText(m);
    QVERIFY(bytes.contains("\r\n2,2," + field + ",1,16777215,1,0\r\n"));
    QVERIFY(bytes.contains("\r\n1,2," + field + ",#FALSE#,"));

    TableModel back;
    QVERIFY(readTableText(bytes, back).ok());
    QCOMPARE(back.TableTitle, readBack);
    QCOMPARE(back.Cells(1, 2).Text, readBack);
    QCOMPARE(back.Cells(1, 1).Text, QString());
}

void TestTableFile::headerIsWrittenAsTrue()
{
    TableModel m;
    m.Cells(2, 1).Header = -1;
    QVERIFY(tableText(m).contains("\r\n2,1,\"\",#TRUE#,0,100,"));
    TableModel back;
    QVERIFY(readTableText(tableText(m), back).ok());
    QCOMPARE(back.Cells(2, 1).Header, qint16(-1));
}

void TestTableFile::versionCheck_data()
{
    QTest::addColumn<QByteArray>("versionLine");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same version") << QByteArray("3,0,0") << true;
    QTest::newRow("older revision line") << QByteArray("2,9,9") << true;
    QTest::newRow("older major, big minor") << QByteArray("2,99,99") << true;
    QTest::newRow("older revision, original layout") << QByteArray("3,0,1") << true;
    QTest::newRow("newer revision") << QByteArray("3,4,1") << false;
    QTest::newRow("newer minor") << QByteArray("3,5,0") << false;
    QTest::newRow("newer major") << QByteArray("4,0,0") << false;
}

void TestTableFile::versionCheck()
{
    QFETCH(QByteArray, versionLine);
    QFETCH(bool, accepted);
    QByteArray text = tableText(TableModel());
    text.replace(0, 5, versionLine);
    TableModel m;
    m.Cells(1, 1).Text = QStringLiteral("untouched");
    const ReadResult r = readTableText(text, m);
    QCOMPARE(r.ok(), accepted);
    if (!accepted) {
        QCOMPARE(r.status, ReadStatus::NewerVersion);
        QCOMPARE(QByteArray::number(r.version.major) + ',' + QByteArray::number(r.version.minor) + ','
                         + QByteArray::number(r.version.revision),
                 versionLine);
        QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("untouched"));
    }
}

void TestTableFile::damagedTextIsRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = cellLine(1, 1);

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("blank lines only") << QByteArray("\r\n\r\n");
    QTest::newRow("version line only") << QByteArray("3,0,0\r\n");
    QTest::newRow("version cut short") << QByteArray("3,0");
    QTest::newRow("settings cut short") << QByteArray("3,0,0\r\n2,2,\"\",1");
    QTest::newRow("record cut short") << header() + "1,1,\"\",#FALSE#,0,100\r\n";
    QTest::newRow("record ends inside text") << header() + "1,1,\"abc";
    QTest::newRow("unterminated quote") << header() + "1,1,\"abc,#FALSE#,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("not a number") << header() + "1,x,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("number with junk") << header() + "1,1,\"\",#FALSE#,0,1e2,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("empty number field") << header() + "1,1,\"\",#FALSE#,,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("16-bit overflow") << header() + "1,1,\"\",#FALSE#,32768,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("32-bit overflow") << header() + "1,1,\"\",#FALSE#,0,2147483648,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("huge digit run") << header() + "1,1,\"\",#FALSE#,0,99999999999999999999999,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("column 101") << header() + "101,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("row 101") << header() + "1,101,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("negative column") << header() + "-1,1,\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("boolean as number") << header() + "1,1,\"\",1,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("quoted number") << header() + "1,\"1\",\"\",#FALSE#,0,100,0,100,0,1,0,1,1,1,0,1\r\n";
    QTest::newRow("rows 0") << header("0,2,\"\",1,16777215,1,0") + good;
    QTest::newRow("rows 100") << header("100,2,\"\",1,16777215,1,0") + good;
    QTest::newRow("cols 0") << header("2,0,\"\",1,16777215,1,0") + good;
    QTest::newRow("cols 100") << header("2,100,\"\",1,16777215,1,0") + good;
    QTest::newRow("binary junk") << QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\xff\xfe", 12);
    QTest::newRow("html, not a table") << QByteArray("<TABLE BORDER=\"1\">\r\n</Table>");
    QTest::newRow("one field too many") << header() + good.left(good.size() - 2) + ",1\r\n";
}

void TestTableFile::damagedTextIsRefused()
{
    QFETCH(QByteArray, text);
    TableModel m;
    const ReadResult r = readTableText(text, m);
    QCOMPARE(r.status, ReadStatus::Damaged);

    QBuffer device(&text);
    device.open(QIODevice::ReadOnly);
    QCOMPARE(readTableText(device, m).status, ReadStatus::Damaged);
}

void TestTableFile::failedReadLeavesModelAlone()
{
    TableModel m;
    m.TableTitle = QStringLiteral("before");
    const QByteArray text = header("5,5,\"after\",3,0,0,1") + cellLine(1, 1) + "1,1,\"x\",#FALSE#,oops\r\n";
    QCOMPARE(readTableText(text, m).status, ReadStatus::Damaged);
    QCOMPARE(m.TableTitle, QStringLiteral("before"));
    QCOMPARE(m.TableRows, 2);
    QCOMPARE(m.NetscapeMode, qint16(0));
}

void TestTableFile::lenientReading_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("cellText");

    const QByteArray tail = ",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1";
    QTest::newRow("trailing blank lines") << header() + "1,1,\"a\"" + tail + "\r\n\r\n\r\n" << "a";
    QTest::newRow("no final line break") << header() + "1,1,\"a\"" + tail << "a";
    QTest::newRow("LF line ends") << QByteArray("3,0,0\n2,2,\"\",1,16777215,1,0\n1,1,\"a\"") + tail + "\n"
                                  << "a";
    QTest::newRow("spaces around numbers") << header() + " 1 , 1 ,\"a\"" + tail + "\r\n" << "a";
    QTest::newRow("record over two lines") << header() + "1,1,\"a\"\r\n" + tail.mid(1) + "\r\n" << "a";
    QTest::newRow("inner quotes of older files") << header() + "1,1,\"<A href=\"x.html\">x</A>\"" + tail + "\r\n"
                                                 << "<A href=\"x.html\">x</A>";
    QTest::newRow("undecodable bytes") << header() + "1,1,\"a\x81\"" + tail + "\r\n"
                                       << QStringLiteral("a\uFFFD");
    QTest::newRow("unassigned double byte") << header() + "1,1,\"\x85\x40\"" + tail + "\r\n"
                                            << QStringLiteral("\uFFFD");
}

void TestTableFile::lenientReading()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, cellText);
    TableModel m;
    QVERIFY(readTableText(text, m).ok());
    QCOMPARE(m.Cells(1, 1).Text, cellText);
}

void TestTableFile::recordsNotInFileKeepDefaults()
{
    TableModel m;
    m.NetscapeMode = 0;
    const QByteArray text = header("3,4,\"cap\",2,255,0,1")
            + "4,3,\"x\",#TRUE#,1,20,1,30,1,2,1,3,0,2,65280,0\r\n"
            + "50,60,\"far\",#FALSE#,0,100,0,100,0,1,0,1,1,1,16777215,1\r\n";
    QVERIFY(readTableText(text, m).ok());
    QCOMPARE(m.TableRows, 3);
    QCOMPARE(m.TableCols, 4);
    QCOMPARE(m.TableTitle, QStringLiteral("cap"));
    QCOMPARE(m.TableBorder, qint16(2));
    QCOMPARE(m.TableBackColor, 255);
    QCOMPARE(m.TableBackColorNothing, qint16(0));
    QCOMPARE(m.NetscapeMode, qint16(1));

    const CellRecord &R = m.Cells(4, 3);
    CellRecord expected;
    expected.Text = QStringLiteral("x");
    expected.Header = -1;
    expected.HeightOn = 1;
    expected.Height = 20;
    expected.WidthOn = 1;
    expected.Width = 30;
    expected.RowSpanOn = 1;
    expected.RowSpan = 2;
    expected.ColSpanOn = 1;
    expected.ColSpan = 3;
    expected.VAlign = 0;
    expected.HAlign = 2;
    expected.BackColor = 65280;
    expected.BackColorNothing = 0;
    QVERIFY(R == expected);
    QCOMPARE(m.Cells(50, 60).Text, QStringLiteral("far"));
    QVERIFY(m.Cells(1, 1) == CellRecord());
    QVERIFY(m.Cells(100, 100) == CellRecord());
}

void TestTableFile::widestTableStopsAtColumn100()
{
    TableModel m;
    m.TableRows = 99;
    m.TableCols = 99;
    // As a file of the original layout holds it.
    m.Cells(100, 99) = CellRecord::zero();
    m.Cells(100, 99).Text = QStringLiteral("edge");
    const QByteArray text = tableText(m);
    QCOMPARE(text.count("\r\n"), 2 + 101 * 100);
    QVERIFY(text.endsWith("\r\n100,99,\"edge\",#FALSE#,0,0,0,0,0,0,0,0,0,0,0,0\r\n"));

    TableModel back;
    QVERIFY(readTableText(text, back).ok());
    QCOMPARE(back.Cells(100, 99).Text, QStringLiteral("edge"));
    QCOMPARE(tableText(back), text);
}

void TestTableFile::unsavableSizeIsWrittenReadable()
{
    // A number box can hold 0 until it loses the focus.
    TableModel m;
    m.TableRows = 0;
    TableModel back;
    QVERIFY(readTableText(tableText(m), back).ok());
    QCOMPARE(back.TableRows, 1);
}

static QString randomText(QRandomGenerator &rng)
{
    static const QString pieces[] = {QStringLiteral("a"), QStringLiteral(","), QStringLiteral("\""),
                                     QStringLiteral("\r\n"), QStringLiteral(" "), QStringLiteral("表"),
                                     QStringLiteral("ｱ"), QStringLiteral("<BR>"), QStringLiteral("&amp;"),
                                     QStringLiteral("#TRUE#"), QStringLiteral("\t"), QStringLiteral("～")};
    QString s;
    const int n = rng.bounded(8);
    for (int i = 0; i < n; ++i)
        s += pieces[rng.bounded(int(std::size(pieces)))];
    return s;
}

void TestTableFile::randomTablesRoundTrip()
{
    QRandomGenerator rng(20240607);
    for (int round = 0; round < 20; ++round) {
        TableModel m;
        m.TableRows = 1 + rng.bounded(99);
        m.TableCols = 1 + rng.bounded(99);
        m.TableTitle = randomText(rng);
        m.TableBorder = qint16(rng.bounded(-32768, 32768));
        m.TableBackColor = qint32(rng.generate());
        m.TableBackColorNothing = qint16(rng.bounded(2));
        m.NetscapeMode = qint16(rng.bounded(2));
        for (int i = 0; i < 200; ++i) {
            CellRecord &R = m.Cells(rng.bounded(101), rng.bounded(101));
            R.Text = randomText(rng);
            R.Header = rng.bounded(2) ? -1 : 0;
            R.HeightOn = qint16(rng.bounded(2));
            R.Height = qint32(rng.generate());
            R.WidthOn = qint16(rng.bounded(2));
            R.Width = qint32(rng.bounded(10000));
            R.RowSpanOn = qint16(rng.bounded(2));
            R.RowSpan = qint32(rng.bounded(100));
            R.ColSpanOn = qint16(rng.bounded(2));
            R.ColSpan = qint32(rng.bounded(100));
            R.VAlign = qint16(rng.bounded(3));
            R.HAlign = qint16(rng.bounded(3));
            R.BackColor = qint32(rng.generate());
            R.BackColorNothing = qint16(rng.bounded(2));
        }
        TableModel back;
        QVERIFY(readTableText(tableText(m), back).ok());
        QCOMPARE(back.TableRows, m.TableRows);
        QCOMPARE(back.TableCols, m.TableCols);
        QCOMPARE(back.TableTitle, m.TableTitle);
        QCOMPARE(back.TableBorder, m.TableBorder);
        QCOMPARE(back.TableBackColor, m.TableBackColor);
        QCOMPARE(back.TableBackColorNothing, m.TableBackColorNothing);
        QCOMPARE(back.NetscapeMode, m.NetscapeMode);
        for (int c = 0; c <= qMin(m.TableCols + 2, 100); ++c)
            for (int r = 0; r <= m.TableRows; ++r)
                QVERIFY2(back.Cells(c, r) == m.Cells(c, r), qPrintable(QStringLiteral("cell %1,%2").arg(c).arg(r)));
    }
}

void TestTableFile::oldLayoutMapping()
{
    QFile file(QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    TableModel m;
    m.NetscapeMode = 1;
    QVERIFY(readOldTableText(file, m).ok());
    QCOMPARE(m.TableCols, 3);
    QCOMPARE(m.TableRows, 2);
    QCOMPARE(m.TableTitle, QStringLiteral("旧形式の表"));
    QCOMPARE(m.TableBorder, qint16(2));
    QCOMPARE(m.TableBackColor, 255 + 256 * 128 + 65536 * 255); // blue part 300 counts as 255
    QCOMPARE(m.TableBackColorNothing, qint16(0));
    QCOMPARE(m.NetscapeMode, qint16(1));

    // "0,0" is the first table cell; 7 is a header; horizontal before vertical.
    const CellRecord &first = m.Cells(1, 1);
    QCOMPARE(first.Text, QStringLiteral("見出し"));
    QCOMPARE(first.Header, qint16(-1));
    QCOMPARE(first.RowSpanOn, qint16(1));
    QCOMPARE(first.RowSpan, 2);
    QCOMPARE(first.ColSpanOn, qint16(0));
    QCOMPARE(first.ColSpan, 1);
    QCOMPARE(first.HAlign, qint16(2));
    QCOMPARE(first.VAlign, qint16(0));
    QCOMPARE(first.Height, 100);
    QCOMPARE(first.BackColorNothing, qint16(1));

    const CellRecord &last = m.Cells(3, 2);
    QCOMPARE(last.Text, QStringLiteral("a,b"));
    QCOMPARE(last.Header, qint16(0));
    QCOMPARE(last.HAlign, qint16(0));
    QCOMPARE(last.VAlign, qint16(2));
}

void TestTableFile::oldLayoutDamaged_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray first = "2,2,\"t\",1,0,255,255,255\r\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("first line cut short") << QByteArray("2,2,\"t\",1,0,255\r\n");
    QTest::newRow("columns 0") << QByteArray("0,2,\"t\",1,0,255,255,255\r\n");
    QTest::newRow("rows 100") << QByteArray("2,100,\"t\",1,0,255,255,255\r\n");
    QTest::newRow("stored index 100") << first + "100,0,\"x\",0,0,1,0,1,1,1\r\n";
    QTest::newRow("stored index -2") << first + "0,-2,\"x\",0,0,1,0,1,1,1\r\n";
    QTest::newRow("cell cut short") << first + "0,0,\"x\",0,0,1\r\n";
    QTest::newRow("span over 16 bits") << first + "0,0,\"x\",0,0,40000,0,1,1,1\r\n";
}

void TestTableFile::oldLayoutDamaged()
{
    QFETCH(QByteArray, text);
    TableModel m;
    QCOMPARE(readOldTableText(text, m).status, ReadStatus::Damaged);
}

// Replays one input of fuzz/fuzz_table_reader.cpp: the first byte picks the
// reader. Nothing may crash, and what a reader accepts must survive a write
// and a second read.
static void replayFuzzInput(const QByteArray &input)
{
    QVERIFY(!input.isEmpty());
    QByteArray body = input.mid(1);
    const int mode = uchar(input.at(0)) % 4;
    if (mode == 3) {
        const QString once = decodeCp932(encodeCp932(decodeCp932(body)));
        QCOMPARE(decodeCp932(encodeCp932(once)), once);
        return;
    }
    if (mode == 2) {
        QByteArray text;
        if (gunzipBytes(body, text, 1 << 20) != GunzipStatus::Ok)
            return;
        body = text;
    }
    TableModel m;
    const ReadResult r = mode == 1 ? readOldTableText(body, m) : readTableText(body, m);
    if (r.ok()) {
        const QByteArray written = tableText(m);
        TableModel back;
        QVERIFY(readTableText(written, back).ok());
        QCOMPARE(tableText(back), written);
    }
}

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Inputs that once broke something.
void TestTableFile::fuzzFindingsStayFixed_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(QUORVAN_TEST_DATA "/fuzz"));
    for (const QString &name : dir.entryList(QDir::Files))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void TestTableFile::fuzzFindingsStayFixed()
{
    QFETCH(QString, path);
    replayFuzzInput(readAll(path));
}

// The fuzzer's minimised corpus: inputs that reach every branch it found.
void TestTableFile::fuzzCorpusIsReadSafely()
{
    const QDir dir(QStringLiteral(QUORVAN_TEST_DATA "/fuzz-corpus"));
    const QStringList names = dir.entryList(QDir::Files);
    QVERIFY(names.size() > 100);
    for (const QString &name : names) {
        replayFuzzInput(readAll(dir.filePath(name)));
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(name));
    }
}

void TestTableFile::newSettingsChooseTheLayout_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("border");
    QTest::addColumn<QByteArray>("start");
    const QByteArray original("3,0,0\r\n2,2,\"\",%1,16777215,1,0\r\n0,0,");
    QTest::newRow("all at defaults") << 0 << 0 << 100 << 1 << QByteArray(original).replace("%1", "1");
    QTest::newRow("border 0 fits the original layout")
            << 0 << 0 << 100 << 0 << QByteArray(original).replace("%1", "0");
    QTest::newRow("HTML5") << 1 << 0 << 100 << 1
                           << QByteArray("3,1,0\r\n2,2,\"\",1,16777215,1,0,1,0,100\r\n0,0,");
    QTest::newRow("per cent") << 0 << 2 << 80 << 0
                              << QByteArray("3,1,0\r\n2,2,\"\",0,16777215,1,0,0,2,80\r\n0,0,");
    QTest::newRow("a width kept while switched off")
            << 0 << 0 << 640 << 1 << QByteArray("3,1,0\r\n2,2,\"\",1,16777215,1,0,0,0,640\r\n0,0,");
}

void TestTableFile::newSettingsChooseTheLayout()
{
    QFETCH(int, profile);
    QFETCH(int, unit);
    QFETCH(int, width);
    QFETCH(int, border);
    QFETCH(QByteArray, start);
    TableModel m;
    m.OutputProfile = MarkupProfile(profile);
    m.TableWidthUnit = WidthUnit(unit);
    m.TableWidth = width;
    m.TableBorder = qint16(border);
    const QByteArray text = tableText(m);
    QVERIFY2(text.startsWith(start), text.left(60).constData());
    // The cell lines are the same in both layouts.
    TableModel plain;
    plain.TableBorder = m.TableBorder;
    const QByteArray plainText = tableText(plain);
    QCOMPARE(text.mid(text.indexOf("\r\n0,0,")), plainText.mid(plainText.indexOf("\r\n0,0,")));

    // Read back losslessly, over a model holding other values; an original
    // file means the defaults.
    TableModel back;
    back.OutputProfile = MarkupProfile(1 - profile);
    back.TableWidthUnit = WidthUnit((unit + 1) % 3);
    back.TableWidth = 7;
    QVERIFY(readTableText(text, back).ok());
    QCOMPARE(back.OutputProfile, m.OutputProfile);
    QCOMPARE(back.TableWidthUnit, m.TableWidthUnit);
    QCOMPARE(back.TableWidth, m.TableWidth);
    QCOMPARE(back.TableBorder, m.TableBorder);
}

void TestTableFile::newSettingsRoundTrip()
{
    // Random tables with the new settings read back to the same text.
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 10; ++round) {
        TableModel m;
        m.TableRows = 1 + rng.bounded(20);
        m.TableCols = 1 + rng.bounded(20);
        m.TableTitle = randomText(rng);
        m.TableBorder = qint16(rng.bounded(11));
        m.OutputProfile = MarkupProfile(rng.bounded(2));
        m.TableWidthUnit = WidthUnit(rng.bounded(3));
        m.TableWidth = qint32(rng.generate());
        for (int i = 0; i < 30; ++i) {
            CellRecord &R = m.Cells(rng.bounded(m.TableCols + 1), rng.bounded(m.TableRows + 1));
            R.Text = randomText(rng);
            R.Header = rng.bounded(2) ? -1 : 0;
            R.ColSpanOn = qint16(rng.bounded(2));
            R.ColSpan = qint32(rng.bounded(5));
            R.HAlign = qint16(rng.bounded(3));
        }
        TableModel back;
        QVERIFY(readTableText(tableText(m), back).ok());
        QCOMPARE(tableText(back), tableText(m));
        QCOMPARE(back.OutputProfile, m.OutputProfile);
        QCOMPARE(back.TableWidthUnit, m.TableWidthUnit);
        QCOMPARE(back.TableWidth, m.TableWidth);
    }
}

void TestTableFile::damagedNewSettingsAreRefused_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("fields missing") << QByteArray("2,2,\"\",1,16777215,1,0");
    QTest::newRow("unknown profile") << QByteArray("2,2,\"\",1,16777215,1,0,2,0,100");
    QTest::newRow("unknown width unit") << QByteArray("2,2,\"\",1,16777215,1,0,0,3,100");
    QTest::newRow("width not a number") << QByteArray("2,2,\"\",1,16777215,1,0,0,1,\"80\"");
    QTest::newRow("width past 32 bits") << QByteArray("2,2,\"\",1,16777215,1,0,0,1,4294967296");
}

void TestTableFile::damagedNewSettingsAreRefused()
{
    QFETCH(QByteArray, settings);
    QByteArray text = tableText(TableModel());
    text.replace(0, text.indexOf("\r\n0,0,"), "3,1,0\r\n" + settings);
    TableModel m;
    m.Cells(1, 1).Text = QStringLiteral("untouched");
    QCOMPARE(readTableText(text, m).status, ReadStatus::Damaged);
    QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("untouched"));
    QCOMPARE(m.OutputProfile, MarkupProfile::Html4);
}

void TestTableFile::wideTablesRoundTrip_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("150 rows") << 150 << 3 << QString() << QByteArray("3,4,0\r\n150,3,\"\",1,16777215,1,0,0,0,100,0,\"\",\"\",0,");
    QTest::newRow("1,000 columns") << 2 << TableLimits::MaxCols << QString() << QByteArray("3,4,0\r\n2,1000,");
    QTest::newRow("the most rows") << TableLimits::MaxRows << 1 << QString() << QByteArray("3,4,0\r\n1000000,1,");
    // Classes and ids keep every character, in the original size too.
    QTest::newRow("a class outside CP932, 3.2") << 5 << 5 << QStringLiteral("café 😀 a&b") << QByteArray("3,2,0\r\n5,5,");
    QTest::newRow("a class outside CP932, 3.4") << 120 << 5 << QStringLiteral("café &#233;") << QByteArray("3,4,0\r\n120,5,");
}

void TestTableFile::wideTablesRoundTrip()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QString, cls);
    QFETCH(QByteArray, start);
    TableModel m;
    m.TableRows = rows;
    m.TableCols = cols;
    m.TableId = cls;
    m.Cells(1, 1).Text = QStringLiteral("見出し");
    m.Cells(1, 1).Header = -1;
    m.Cells(cols, rows).Text = QStringLiteral("last, \"quoted\"\r\nline");
    m.Cells(1, rows / 2).RowSpanOn = 1;
    m.Cells(cols, 1).Class = cls;
    m.Cells(cols, 1).HAlign = 2;
    m.Cells(std::min(cols + 2, CellTable::MaxCol), 0).Text = QStringLiteral("past the last column");
    const QByteArray text = tableText(m);
    QVERIFY2(text.startsWith(start), text.left(80).constData());
    TableModel back;
    QVERIFY(readTableText(text, back).ok());
    QCOMPARE(back.TableRows, rows);
    QCOMPARE(back.TableCols, cols);
    QCOMPARE(back.TableId, cls);
    QVERIFY(back.Cells == m.Cells);
    // Written again, the file is the same: the version comes from what it holds.
    QCOMPARE(tableText(back), text);
    if (start.startsWith("3,4")) {
        // A record whose text alone differs takes four fields.
        QVERIFY(text.contains("\r\n" + QByteArray::number(cols) + ',' + QByteArray::number(rows) + ",0,\"last,"));
    }
}

void TestTableFile::damagedWideTablesAreRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray wide = "3,4,0\r\n150,2,\"\",1,16777215,1,0,0,0,100,0,\"\",\"\",0,";
    QTest::newRow("past 99 rows in the original layout") << "3,3,0\r\n150,2,\"\",1,16777215,1,0,0,0,100,0,\"\",\"\",0\r\n" + cellLine(1, 1);
    QTest::newRow("fewer records than said") << wide + "2\r\n1,1,0,\"a\"\r\n";
    QTest::newRow("more records than said") << wide + "1\r\n1,1,0,\"a\"\r\n1,2,0,\"b\"\r\n";
    QTest::newRow("records out of order") << wide + "2\r\n1,2,0,\"b\"\r\n1,1,0,\"a\"\r\n";
    QTest::newRow("a record twice") << wide + "2\r\n1,1,0,\"a\"\r\n1,1,0,\"a\"\r\n";
    QTest::newRow("a kind that is not 0 or 1") << wide + "1\r\n1,1,2,\"a\"\r\n";
    QTest::newRow("a row past the limit") << wide + "1\r\n1,1000002,0,\"a\"\r\n";
    QTest::newRow("more rows than a table has") << QByteArray("3,4,0\r\n1000001,2,\"\",1,16777215,1,0,0,0,100,0,\"\",\"\",0,0\r\n");
    QTest::newRow("a whole record cut short") << wide + "1\r\n1,1,1,\"a\",#TRUE#,0,100\r\n";
}

void TestTableFile::damagedWideTablesAreRefused()
{
    QFETCH(QByteArray, text);
    TableModel m;
    m.Cells(1, 1).Text = QStringLiteral("kept");
    QCOMPARE(readTableText(text, m).status, ReadStatus::Damaged);
    QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("kept"));
    QCOMPARE(m.TableRows, 2);
}

void TestTableFile::millionCellsFitTheFile()
{
    // A million cells of short values, as a long CSV gives them.
    TableModel m;
    m.TableRows = 100000;
    m.TableCols = 10;
    for (int r = 1; r <= m.TableRows; ++r)
        for (int c = 1; c <= m.TableCols; ++c)
            m.Cells(c, r).Text = QStringLiteral("v%1").arg(r % 1000);
    const QByteArray text = tableText(m);
    QVERIFY2(text.size() < MaxTableTextBytes / 2, QByteArray::number(text.size()).constData());
    TableModel back;
    QVERIFY(readTableText(text, back).ok());
    QVERIFY(back.Cells == m.Cells);
}

void TestTableFile::versionFollowsWhatIsWritten_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<QByteArray>("version");
    // A scope and a class on column 5: a table of 2 columns writes columns up to 4.
    QTest::newRow("shrunk past them") << 2 << QByteArray("3,0,0\r\n");
    QTest::newRow("written with column 5") << 3 << QByteArray("3,3,0\r\n");
}

void TestTableFile::versionFollowsWhatIsWritten()
{
    QFETCH(int, cols);
    QFETCH(QByteArray, version);
    TableModel m;
    m.TableCols = cols;
    m.Cells(5, 1).Scope = qint16(CellScope::Row);
    m.Cells(5, 2).Class = QStringLiteral("x");
    const QByteArray text = tableText(m);
    QVERIFY(text.startsWith(version));
    TableModel back;
    QVERIFY(readTableText(text, back).ok());
    QCOMPARE(tableText(back), text);
}

QTEST_GUILESS_MAIN(TestTableFile)

#include "tst_table_file.moc"
