#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include "core/io/compression.h"
#include "support/headless_run.h"
#include "core/io/table_file.h"
#include "core/model/table_model.h"
#include "core/text/text_codec.h"

// "quorvan --export/--help/--version" as a user runs them: no display, exit
// status, standard error, and no target left after a failure.
class TestTableExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void versionAndHelp();
    void convertsOldFileToTableFile();
    void failures_data();
    void failures();
    void sourceIsNeverOverwritten_data();
    void sourceIsNeverOverwritten();
    void profileOption_data();
    void profileOption();
    void profileIsKeptInTableFile();
    void badProfileOption_data();
    void badProfileOption();
    void textFormats_data();
    void textFormats();
    void textFromElsewhere_data();
    void textFromElsewhere();
    void formulasGuardedForSpreadsheets_data();
    void formulasGuardedForSpreadsheets();
    void textTooLargeUnderMemoryLimit_data();
    void textTooLargeUnderMemoryLimit();

private:
    using Run = HeadlessRun;
    Run run(const QStringList &args);
    QJsonArray readByPython(const QString &path, const QString &kind);
    QString m_program;
    QTemporaryDir m_dir;
};

void TestTableExport::initTestCase()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(m_dir.isValid());
}

TestTableExport::Run TestTableExport::run(const QStringList &args)
{
    return runHeadless(m_program, args, 60000);
}

void TestTableExport::versionAndHelp()
{
    const Run version = run({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("3.4.0\n"));
    const Run help = run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--export SOURCE TARGET"));
    const Run wrong = run({QStringLiteral("--export"), QStringLiteral("only-one.qvn")});
    QVERIFY(wrong.exitCode != 0);
    QVERIFY(wrong.err.contains("--export SOURCE TARGET"));
    // An unknown option, wherever it stands, is refused with the usage; no window opens.
    for (const QStringList &args : {QStringList{QStringLiteral("--bogus")},
                                    QStringList{QStringLiteral("a.qvn"), QStringLiteral("--bogus")}}) {
        const Run bogus = run(args);
        QCOMPARE(bogus.exitCode, 2);
        QVERIFY(bogus.err.contains("bogus"));
        QVERIFY(bogus.err.contains("Usage:"));
        QCOMPARE(bogus.out, QByteArray());
    }
}

void TestTableExport::convertsOldFileToTableFile()
{
    const QString target = m_dir.filePath(QStringLiteral("converted.qvn"));
    const Run r = run({QStringLiteral("--export"), QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"), target});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QByteArray());
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray text;
    QCOMPARE(gunzipBytes(f.readAll(), text), GunzipStatus::Ok);
    TableModel m;
    QVERIFY(readTableText(text, m).ok());
    QCOMPARE(m.TableCols, 3);
    QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("見出し"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList(QStringLiteral("converted.qvn")));
    QVERIFY(f.remove());
}

void TestTableExport::failures_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    const QString missing = m_dir.filePath(QStringLiteral("missing.qvn"));
    QTest::newRow("missing source") << missing << m_dir.filePath(QStringLiteral("out.html"))
            << QLatin1Char('"') + missing + QStringLiteral("\"は壊れているか、\r\nQuorvanのファイルではないため、開くことができませんでした。");
    QTest::newRow("target folder missing") << QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf")
            << m_dir.filePath(QStringLiteral("no/such/out.qvn"))
            << QStringLiteral("不明なエラーが発生したため、ファイルを保存できませんでした。");
    const QString txt = m_dir.filePath(QStringLiteral("out.txt"));
    QTest::newRow("unknown target extension") << QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf") << txt
            << QLatin1Char('"') + txt + QStringLiteral("\": unknown kind of TARGET. Name it .qvn (a table file), "
                                                       ".html or .htm (the HTML text), .csv, .tsv or .md (the cells' text), "
                                                       ".tex (LaTeX), .wiki (MediaWiki), .adoc (AsciiDoc) or .rst (reStructuredText).");
}

void TestTableExport::failures()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, message);
    const Run r = run({QStringLiteral("--export"), source, target});
    QVERIFY(r.exitCode > 0);
    QCOMPARE(QString::fromUtf8(r.err), message + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList());
}

void TestTableExport::sourceIsNeverOverwritten_data()
{
    // How TARGET names the source: "" the same path, "symlink", "hardlink".
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("refused");
    QTest::newRow("old file over itself") << "t.qvf" << "t.qvf" << "" << true;
    QTest::newRow("html through a symbolic link") << "t.qvf" << "t.html" << "symlink" << true;
    QTest::newRow("html through a hard link") << "t.qvf" << "t.html" << "hardlink" << true;
    QTest::newRow("html over its own table file") << "t.qvn" << "t.qvn.html" << "symlink" << true;
    QTest::newRow("table file over itself") << "t.qvn" << "t.qvn" << "" << false;
}

void TestTableExport::sourceIsNeverOverwritten()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, link);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString src = dir.filePath(source), dst = dir.filePath(target);
    QVERIFY(QFile::copy(QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"), dir.filePath(QStringLiteral("t.qvf"))));
    if (source.endsWith(QLatin1String(".qvn")))
        QCOMPARE(run({QStringLiteral("--export"), dir.filePath(QStringLiteral("t.qvf")), src}).exitCode, 0);
    if (link == QLatin1String("symlink"))
        QVERIFY(QFile::link(src, dst));
    else if (link == QLatin1String("hardlink"))
        QCOMPARE(::link(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData()), 0);
    QFile f(src);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    const Run r = run({QStringLiteral("--export"), src, dst});
    QVERIFY(f.open(QIODevice::ReadOnly));
    if (refused) {
        QVERIFY(r.exitCode > 0);
        QVERIFY2(r.err.contains("are the same file"), r.err.constData());
        QCOMPARE(f.readAll(), before);
    } else {
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(f.readAll(), before); // the same table, the same bytes
    }
}

void TestTableExport::profileOption_data()
{
    QTest::addColumn<QStringList>("args");       // "%1" the old file, "%2" the target
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("heading");     // the first cell's text as encoded
    const QByteArray utf8 = QStringLiteral("見出し").toUtf8();
    const QByteArray sjis = QByteArray::fromHex("8CA98F6F82B5");
    QTest::newRow("no option: HTML 4") << QStringList{"--export", "%1", "%2"} << QByteArray("<TABLE ") << sjis;
    QTest::newRow("html5 before --export")
            << QStringList{"--profile", "html5", "--export", "%1", "%2"} << QByteArray("<table ") << utf8;
    QTest::newRow("html4 after the file names")
            << QStringList{"--export", "%1", "%2", "--profile", "html4"} << QByteArray("<TABLE ") << sjis;
    QTest::newRow("html5, structure only")
            << QStringList{"--profile", "html5", "--style", "none", "--export", "%1", "%2"} << QByteArray("<table>\r\n") << utf8;
}

void TestTableExport::profileOption()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, heading);
    const QString target = m_dir.filePath(QStringLiteral("out.html"));
    args.replaceInStrings(QStringLiteral("%1"), QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"));
    args.replaceInStrings(QStringLiteral("%2"), target);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 0);
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray html = f.readAll();
    QVERIFY2(html.startsWith(start), html.left(40).constData());
    QVERIFY(html.contains(heading));
    QVERIFY(f.remove());
}

void TestTableExport::profileIsKeptInTableFile()
{
    const QString table = m_dir.filePath(QStringLiteral("five.qvn"));
    const QString html = m_dir.filePath(QStringLiteral("five.html"));
    QCOMPARE(run({"--profile", "html5", "--export", QUORVAN_TEST_DATA "/old_layout.qvf", table}).exitCode, 0);
    QCOMPARE(run({"--export", table, html}).exitCode, 0);
    QFile f(html);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("<table "));
    QVERIFY(f.remove());
    QVERIFY(QFile::remove(table));
}

void TestTableExport::badProfileOption_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown profile") << QStringList{"--profile", "xhtml", "--export", "%1", "%2"};
    QTest::newRow("no profile name") << QStringList{"--export", "%1", "%2", "--profile"};
    QTest::newRow("without --export") << QStringList{"--profile", "html5", "%1"};
    QTest::newRow("unknown style") << QStringList{"--style", "css", "--export", "%1", "%2"};
    QTest::newRow("--csv-formulas without --export") << QStringList{"--csv-formulas", "%1"};
}

void TestTableExport::badProfileOption()
{
    QFETCH(QStringList, args);
    const QString target = m_dir.filePath(QStringLiteral("out.html"));
    args.replaceInStrings(QStringLiteral("%1"), QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"));
    args.replaceInStrings(QStringLiteral("%2"), target);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains("--export SOURCE TARGET"));
    QVERIFY(!QFileInfo::exists(target));
}

void TestTableExport::textFormats_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("CSV, read by Python's csv") << "csv";
    QTest::newRow("TSV, read by Python's csv") << "tsv";
    QTest::newRow("GitHub Markdown, read by pandoc") << "md";
}

// A page with a joined cell and texts that each format must quote or escape
// goes to a table file and out as CSV, TSV or Markdown; other programs read
// the cells the grid shows. CSV and TSV come back in as the same table.
void TestTableExport::textFormats()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.html"));
    QFile f(page);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<!DOCTYPE html><meta charset=\"utf-8\"><table>"
            "<tr><th>名前</th><th>記号</th><th>値</th></tr>"
            "<tr><td colspan=\"2\">a|b *c* _d_ `e` [f](g) \\h</td><td>\"1,5\" &amp; &lt;i&gt;</td></tr>"
            "<tr><td>表</td><td>#1</td><td>~x~ !y $z$</td></tr></table>");
    f.close();
    const QString table = dir.filePath(QStringLiteral("t.qvn"));
    const QString out = dir.filePath(QStringLiteral("t.") + kind);
    QCOMPARE(run({QStringLiteral("--export"), page, table}).exitCode, 0);
    const Run written = run({QStringLiteral("--export"), table, out});
    QCOMPARE(written.exitCode, 0);
    // In the interface's language, Japanese unless told otherwise.
    QVERIFY2(written.err.contains("結合したセル"), written.err.constData());

    // python3 and pandoc come with scripts/deps.sh.
    QProcess reader;
    reader.start(QStringLiteral("python3"), {QStringLiteral(QUORVAN_TEST_DATA "/../support/text_table_cells.py"), out, kind});
    QVERIFY(reader.waitForFinished(60000) && reader.exitCode() == 0);
    const QJsonArray expected{QJsonArray{"名前", "記号", "値"},
                              QJsonArray{"a|b *c* _d_ `e` [f](g) \\h", "", "\"1,5\" & <i>"},
                              QJsonArray{"表", "#1", "~x~ !y $z$"}};
    QCOMPARE(QJsonDocument::fromJson(reader.readAllStandardOutput()).array(), expected);

    if (kind == QLatin1String("md"))
        return;
    const QString back = dir.filePath(QStringLiteral("back.qvn")), again = dir.filePath(QStringLiteral("again.") + kind);
    QCOMPARE(run({QStringLiteral("--export"), out, back}).exitCode, 0);
    const Run rewritten = run({QStringLiteral("--export"), back, again});
    QCOMPARE(rewritten.exitCode, 0);
    QCOMPARE(rewritten.err, QByteArray()); // nothing joined any more
    QFile first(out), second(again);
    QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), first.readAll());
}

QJsonArray TestTableExport::readByPython(const QString &path, const QString &kind)
{
    QProcess reader;
    reader.start(QStringLiteral("python3"), {QStringLiteral(QUORVAN_TEST_DATA "/../support/text_table_cells.py"), path, kind});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

void TestTableExport::textFromElsewhere_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("note");  // on standard error, "" for none
    const QString text = QStringLiteral("名前\t値\r\n東京\t1\r\n");
    auto utf16 = [&](QSysInfo::Endian order) {
        QByteArray b;
        for (const QChar ch : QStringLiteral("\uFEFF") + text) {
            const char hi = char(ch.unicode() >> 8), lo = char(ch.unicode() & 0xFF);
            b.append(order == QSysInfo::BigEndian ? hi : lo).append(order == QSysInfo::BigEndian ? lo : hi);
        }
        return b;
    };
    QTest::newRow("UTF-8 with one stray Latin-1 byte keeps its Japanese")
            << "a.csv" << QByteArray("名前,値\r\n東京,1\xe9\r\n") << "の 1 か所は UTF-8 として読めず、\uFFFDに置き換えました。";
    QTest::newRow("UTF-16 LE with a byte order mark (a spreadsheet's Unicode text)")
            << "a.tsv" << utf16(QSysInfo::LittleEndian) << "";
    QTest::newRow("UTF-16 BE with a byte order mark") << "a.tsv" << utf16(QSysInfo::BigEndian) << "";
    QTest::newRow("UTF-16 LE without a mark, by its NUL bytes") << "a.tsv" << utf16(QSysInfo::LittleEndian).mid(2) << "";
    QTest::newRow("CP932 from an old spreadsheet") << "a.tsv" << encodeCp932(text) << "";
    QTest::newRow("NUL characters are left out, and said")
            << "a.csv" << QByteArray("名前,値\r\n東").append('\0').append("京,1").append('\0').append("\r\n") << "にあった NUL 文字 2 個を取り除きました。";
}

// Files other programs saved open as the same table: 名前 値 / 東京 1.
void TestTableExport::textFromElsewhere()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, note);
    QTemporaryDir dir;
    const QString source = dir.filePath(name), target = dir.filePath(QStringLiteral("t.qvn"));
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    const Run r = run({QStringLiteral("--export"), source, target});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(QString::fromUtf8(r.err), note.isEmpty() ? QString() : QLatin1Char('"') + source + QLatin1Char('"') + note + QLatin1Char('\n'));
    QFile t(target);
    QVERIFY(t.open(QIODevice::ReadOnly));
    QByteArray text;
    QCOMPARE(gunzipBytes(t.readAll(), text), GunzipStatus::Ok);
    TableModel m;
    QVERIFY(readTableText(text, m).ok());
    QCOMPARE(QStringList({m.Cells(1, 1).Text, m.Cells(2, 1).Text, m.Cells(1, 2).Text, m.Cells(2, 2).Text}),
             QStringList({"名前", "値", "東京", name.endsWith(QLatin1String(".csv")) && !note.contains(QLatin1String("NUL")) ? "1&#65533;" : "1"}));
    QCOMPARE(m.TableRows * 10 + m.TableCols, 22);
}

void TestTableExport::formulasGuardedForSpreadsheets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("cells");  // one row, as Python's csv reads it back
    const QString link = QStringLiteral("=HYPERLINK(\"http://example.com/?q=1\",\"x\")");
    const QString dde = QStringLiteral("=cmd|' /C calc'!A0");
    QTest::newRow("=HYPERLINK written after a quote") << "csv" << QStringList() << QStringList{"'" + link, "b"};
    QTest::newRow("live with --csv-formulas") << "csv" << QStringList{"--csv-formulas"} << QStringList{link, "b"};
    QTest::newRow("a DDE command in TSV") << "tsv" << QStringList() << QStringList{"'" + dde, "b"};
    QTest::newRow("+, -, @; a plain number stays") << "csv" << QStringList()
            << QStringList{"'+1+2", "'-A1", "'@SUM(A1)", "-5", "+1.5"};
    QTest::newRow("a line break inside a cell is LF") << "csv" << QStringList() << QStringList{"x\ny", "z"};
}

// A stranger's cells go out as text a spreadsheet shows, never runs.
void TestTableExport::formulasGuardedForSpreadsheets()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, options);
    QFETCH(QStringList, cells);
    QTemporaryDir dir;
    // The cells as they came: the guard's quote taken off, every value quoted.
    QStringList fields;
    for (QString c : cells)
        fields << QLatin1Char('"') + (c.startsWith(QLatin1Char('\'')) ? c.mid(1) : c).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    const QString source = dir.filePath(QStringLiteral("in.csv")), target = dir.filePath(QStringLiteral("out.") + kind);
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(fields.join(QLatin1Char(',')).replace(QLatin1String("\n"), QLatin1String("\r\n")).toUtf8() + "\r\n");
    f.close();
    const Run r = run(options + QStringList{QStringLiteral("--export"), source, target});
    QCOMPARE(r.exitCode, 0);
    QJsonArray row;
    for (const QString &c : cells)
        row << c;
    QCOMPARE(readByPython(target, kind), QJsonArray{row});
    QFile out(target);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(!out.readAll().contains("\r\ny")); // rows end in CR LF, a cell's lines in LF
}

void TestTableExport::textTooLargeUnderMemoryLimit_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("message");  // "%1" the file
    QTest::newRow("64 MiB of blank lines") << QByteArray("\n") << (64 << 20)
            << QStringLiteral("\"%1\"は67108864 行 × 1 列あり、表に収まりません（%2 行 × %3 列まで）。");
    QTest::newRow("past the 64 MiB a table holds") << QByteArray("\"").append(1023, 'x') << (64 << 10) + 1
            << QStringLiteral("\"%1\"は大きすぎるため、開くことができませんでした（%2 行 × %3 列、64 MB まで）。");
}

// Under a 2 GB address-space limit the program says no and ends on its own.
void TestTableExport::textTooLargeUnderMemoryLimit()
{
    QFETCH(QByteArray, line);
    QFETCH(int, lines);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.csv")), target = dir.filePath(QStringLiteral("big.html"));
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.write(line.repeated(lines)) == qint64(line.size()) * lines);
    f.close();
    const Run r = runHeadless(QStringLiteral("prlimit"), {QStringLiteral("--as=2147483648"), m_program,
                                                          QStringLiteral("--export"), source, target}, 120000);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QString::fromUtf8(r.err), message.arg(source).arg(TableLimits::MaxRows).arg(TableLimits::MaxCols) + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(target));
}

QTEST_GUILESS_MAIN(TestTableExport)
#include "tst_table_export.moc"
