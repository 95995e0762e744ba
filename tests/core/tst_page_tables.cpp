#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include "core/io/compression.h"
#include "core/io/table_document_io.h"
#include "core/model/table_model.h"
#include "support/headless_run.h"
#include "support/nu_checker.h"

// Tables of real-looking pages and a command line that pipes, run as a user
// runs them: "quorvan --list-tables", "--export" with and without --table, and
// standard input and output in place of files.
class TestPageTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void choosesTheTable_data();
    void choosesTheTable();
    void pipes_data();
    void pipes();
    void longFlatPageReads();
    void cellSizesAndStylesRoundTrip_data();
    void cellSizesAndStylesRoundTrip();
    void wholePagePassesNuChecker();

private:
    HeadlessRun run(const QStringList &args, const QByteArray &input = QByteArray());
    QString make(const QString &name, const QByteArray &bytes);
    QString m_program;
    QTemporaryDir m_dir;
    QList<QByteArray> m_styledPages; // HTML5 pages of styled cells, for the checker
};

namespace {

// As PostgreSQL's manual pages are laid out: a bar of links, the data, a bar
// of links and titles.
const char postgresPage[] =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>9.3. Mathematical Functions</title></head><body>\n"
        "<div class=\"navheader\"><table width=\"100%\" summary=\"Navigation header\"><tr><th colspan=\"5\" "
        "align=\"center\">9.3. Mathematical Functions</th></tr><tr><td width=\"10%\" align=\"left\"><a accesskey=\"p\" "
        "href=\"functions-comparison.html\">Prev</a> </td><td width=\"10%\" align=\"left\"><a accesskey=\"u\" "
        "href=\"functions.html\">Up</a></td><th width=\"60%\" align=\"center\">Chapter 9. Functions</th><td "
        "width=\"10%\" align=\"right\"><a accesskey=\"h\" href=\"index.html\">Home</a></td><td width=\"10%\" "
        "align=\"right\"> <a accesskey=\"n\" href=\"functions-string.html\">Next</a></td></tr></table><hr></div>\n"
        "<div class=\"table\"><p class=\"title\"><strong>Table 9.5. Mathematical Functions</strong></p>\n"
        "<table class=\"table\" border=\"1\"><thead><tr><th>Function</th><th>Description</th></tr></thead>\n"
        "<tbody><tr><td><code>abs</code> ( <em>numeric</em> )</td><td>Absolute value</td></tr>\n"
        "<tr><td><code>cbrt</code> ( <em>double precision</em> )</td><td>Cube root</td></tr></tbody></table></div>\n"
        "<div class=\"navfooter\"><hr><table width=\"100%\" summary=\"Navigation footer\"><tr><td><a "
        "href=\"functions-comparison.html\">Prev</a> </td><td><a href=\"functions.html\">Up</a></td><td> <a "
        "href=\"functions-string.html\">Next</a></td></tr><tr><td>9.2. Comparison Functions </td><td><a "
        "href=\"index.html\">Home</a></td><td> 9.4. String Functions</td></tr></table></div>\n</body></html>\n";

// As generated manuals lay out theirs: a frame table holding a side bar of
// links and the text with its table.
const char layoutPage[] =
        "<html><head><title>Options</title></head><body>\n<table class=\"layout\" width=\"100%\"><tr><td>"
        "<table class=\"nav\"><tr><td><a href=\"index.html\">Home</a></td></tr><tr><td><a href=\"manual.html\">"
        "Manual</a></td></tr></table></td>\n<td><h1>Core options</h1><table id=\"options\"><tr><th>Option</th>"
        "<th>Default</th></tr><tr><td>tool</td><td>memcheck</td></tr><tr><td>quiet</td><td>no</td></tr></table>"
        "</td></tr></table>\n</body></html>\n";

QByteArray bom(const char *csv)
{
    return QByteArray("\xEF\xBB\xBF") + csv;
}

} // namespace

void TestPageTables::initTestCase()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(m_dir.isValid());
}

HeadlessRun TestPageTables::run(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(m_program, args);
    p.write(input);
    p.closeWriteChannel();
    HeadlessRun r;
    if (!p.waitForFinished(120000))
        p.kill();
    else if (p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString TestPageTables::make(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

void TestPageTables::choosesTheTable_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("options");  // with "PAGE" for the page's name
    QTest::addColumn<QByteArray>("out");
    const QStringList csv{QStringLiteral("--export"), QStringLiteral("PAGE"), QStringLiteral("-"),
                          QStringLiteral("--to"), QStringLiteral("csv")};
    const QByteArray postgres(postgresPage);
    const QByteArray layout(layoutPage);
    QTest::newRow("manual page: the data, not the bar of links above it")
            << postgres << csv
            << bom("Function,Description\r\nabs ( numeric ),Absolute value\r\ncbrt ( double precision ),Cube root\r\n");
    QTest::newRow("manual page: the bar, asked for by number")
            << postgres << (QStringList{QStringLiteral("--table"), QStringLiteral("1")} + csv)
            << bom("9.3. Mathematical Functions,,,,\r\nPrev ,Up,Chapter 9. Functions,Home, Next\r\n");
    QTest::newRow("manual page: its tables listed")
            << postgres << QStringList{QStringLiteral("--list-tables"), QStringLiteral("PAGE")}
            << QByteArray("1\t2\xC3\x97" "5\t\t9.3. Mathematical Functi\xE2\x80\xA6 | Prev | Up\n"
                          "2\t3\xC3\x97" "2\t\tFunction | Description | abs ( numeric )\n"
                          "3\t2\xC3\x97" "3\t\tPrev | Up | Next\n");
    QTest::newRow("layout page: the table inside the frame, not the frame or the side bar")
            << layout << csv << bom("Option,Default\r\ntool,memcheck\r\nquiet,no\r\n");
    QTest::newRow("layout page: --table 2 counts the side bar where it starts, inside the frame")
            << layout << (QStringList{QStringLiteral("--table"), QStringLiteral("2")} + csv)
            << bom("Home\r\nManual\r\n");
    QTest::newRow("layout page: nested tables listed in document order")
            << layout << QStringList{QStringLiteral("--list-tables"), QStringLiteral("PAGE")}
            << QByteArray("1\t1\xC3\x97" "2\t\tHomeManual | Core optionsOptionDefaul\xE2\x80\xA6\n"
                          "2\t2\xC3\x97" "1\t\tHome | Manual\n"
                          "3\t3\xC3\x97" "2\toptions\tOption | Default | tool\n");
    QTest::newRow("a page with one table: that table, even a bar of links")
            << QByteArray("<table><tr><td><a href=a>Prev</a></td><td><a href=b>Next</a></td></tr></table>")
            << csv << bom("Prev,Next\r\n");
}

void TestPageTables::choosesTheTable()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, out);
    const QString path = make(QStringLiteral("page.html"), page);
    options.replaceInStrings(QStringLiteral("PAGE"), path);
    const HeadlessRun r = run(options);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, out);
}

void TestPageTables::pipes_data()
{
    // The same conversion through standard input and output as between files:
    // the same bytes on standard output as in the file (table files unpacked),
    // or the same message, nothing on standard output and no file.
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("error");   // a piece of the message; empty: success
    QTest::newRow("CSV in, HTML out") << QByteArray("a,b\r\n1,\xE8\xA1\xA8\r\n") << "csv" << "html"
                                      << QStringList() << "";
    QTest::newRow("UTF-16 TSV with a NUL in, a table file out")
            << QByteArray("\xFF\xFEx\0\t\0\0\0y\0\n\0", 12) << "tsv" << "qvn" << QStringList() << "";
    QTest::newRow("a formula in, guarded in CSV out") << QByteArray("=1+1,b\r\n") << "csv" << "csv"
                                                      << QStringList() << "";
    QTest::newRow("a formula kept by --csv-formulas") << QByteArray("=1+1,b\r\n") << "csv" << "csv"
                                                      << QStringList{QStringLiteral("--csv-formulas")} << "";
    QTest::newRow("a page in, its data table out as TSV") << QByteArray(postgresPage) << "html" << "tsv"
                                                         << QStringList() << "";
    QTest::newRow("a page in, table 3 out as a table file") << QByteArray(postgresPage) << "html" << "qvn"
                                                            << QStringList{QStringLiteral("--table"), QStringLiteral("3")} << "";
    QTest::newRow("a page in, a whole HTML5 page out")
            << QByteArray(layoutPage) << "html" << "html"
            << QStringList{QStringLiteral("--page"), QStringLiteral("--profile"), QStringLiteral("html5")} << "";
    QTest::newRow("no fourth table") << QByteArray(postgresPage) << "html" << "csv"
                                     << QStringList{QStringLiteral("--table"), QStringLiteral("4")} << "4 番目の表がない";
    QTest::newRow("a page nested too deep")
            << QByteArray("<div>").repeated(20000) + "<table><tr><td>x</td></tr></table>" << "html" << "csv"
            << QStringList() << "要素の入れ子が深すぎる";
    QTest::newRow("not a table file") << QByteArray("\x1f\x8b garbage") << "qvn" << "html" << QStringList()
                                      << "不明なエラー";
    QFile calc(QStringLiteral(QUORVAN_TEST_DATA "/sheets/calc_book.xlsx"));
    const QByteArray book = calc.open(QIODevice::ReadOnly) ? calc.readAll() : QByteArray();
    QTest::newRow("a workbook in, its second sheet out") << book << "xlsx" << "csv"
                                                         << QStringList{QStringLiteral("--sheet"), QStringLiteral("2")} << "";
    QTest::newRow("a sheet the workbook lacks") << book << "xlsx" << "tsv"
                                                << QStringList{QStringLiteral("--sheet"), QStringLiteral("年間")}
                                                << "シート「年間」がありません";
}

void TestPageTables::pipes()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, options);
    QFETCH(QString, error);
    const QString source = make(QStringLiteral("source.") + from, input);
    const QString target = m_dir.filePath(QStringLiteral("target.") + to);
    QFile::remove(target);
    const HeadlessRun files = run(options + QStringList{QStringLiteral("--export"), source, target});
    const HeadlessRun piped = run(options + QStringList{QStringLiteral("--from"), from, QStringLiteral("--to"), to,
                                                        QStringLiteral("-"), QStringLiteral("-")},
                                  input);
    if (!error.isEmpty()) {
        QCOMPARE(files.exitCode, 1);
        QCOMPARE(piped.exitCode, 1);
        QCOMPARE(piped.out, QByteArray());
        QVERIFY2(QString::fromUtf8(piped.err).contains(error), piped.err.constData());
        // The message of the file, naming standard input.
        QCOMPARE(QString::fromUtf8(piped.err), QString::fromUtf8(files.err).replace(source, QStringLiteral("標準入力")));
        QVERIFY(!QFileInfo::exists(target));
        return;
    }
    QCOMPARE(files.exitCode, 0);
    QCOMPARE(piped.exitCode, 0);
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QByteArray expected = written.readAll();
    QByteArray out = piped.out;
    if (to == QLatin1String("qvn")) {
        QByteArray a, b;
        QCOMPARE(gunzipBytes(expected, a), GunzipStatus::Ok);
        QCOMPARE(gunzipBytes(out, b), GunzipStatus::Ok);
        expected = a;
        out = b;
    }
    QVERIFY(!out.isEmpty());
    if (input.startsWith('=')) // a formula: guarded for a spreadsheet unless kept
        QCOMPARE(out.contains("'="), !options.contains(QStringLiteral("--csv-formulas")));
    if (options.contains(QStringLiteral("--page")))
        expected.replace("<title>source</title>", "<title>Quorvan</title>"); // standard input has no name
    QCOMPARE(out, expected);
}

// A long reference page, 8 MiB of paragraphs with inline markup after a small
// table: read whole, as browsers read it (it once went past a fixed budget).
void TestPageTables::longFlatPageReads()
{
    QByteArray page("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Reference</title></head><body>\n"
                    "<table><tr><th>Module</th><th>Since</th></tr><tr><td>os</td><td>1.0</td></tr></table>\n");
    for (int i = 0; page.size() < 8 * 1024 * 1024; ++i) {
        const QByteArray n = QByteArray::number(i);
        page += "<div class=\"section\" id=\"s" + n + "\"><h2>Function <code>f" + n + "</code></h2>\n<dl><dt id=\"m.f"
                + n + "\"><code>f" + n + "</code>(<em>arg</em>, <em>key=None</em>)</dt><dd><p>Returns <a href=\"#g" + n
                + "\"><code>g" + n + "()</code></a> of <em>arg</em>. Lorem ipsum dolor sit amet, consectetur "
                  "adipiscing elit, sed do eiusmod tempor incididunt ut labore.</p>\n<p>Changed in version 3."
                + n + ": <strong>key</strong> is optional.</p></dd></dl></div>\n";
    }
    const QString path = make(QStringLiteral("reference.html"), page + "</body></html>\n");
    const HeadlessRun r = run({QStringLiteral("--export"), path, QStringLiteral("-"), QStringLiteral("--to"),
                               QStringLiteral("csv")});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(r.out, bom("Module,Since\r\nos,1.0\r\n"));
}

// A page's cells sized in per cent and styled come in, are saved, reopened
// and written back as they were; what could not be kept is named.
void TestPageTables::cellSizesAndStylesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("written");  // in the HTML5 output, in order
    QTest::addColumn<QStringList>("named");    // in the notice; none when empty
    QTest::addColumn<QByteArray>("html4");     // in the table's own HTML 4 output; empty for an HTML5 table

    QTest::newRow("per cent widths, pixel heights, own CSS")
            << QByteArray("<table border=\"1\"><tr><td width=\"10%\" style=\"color:red; font-weight:bold\">a</td>"
                          "<td style=\"width: 25%; height: 30px; padding: 2px 4px\">b</td></tr><tr><td style=\"height: "
                          "12pt; font-family: 'A; B', serif\">c</td><td height=\"5%\" style=\"margin: 1em\">d</td></tr></table>")
            << QStringList{"width: 10%; color: red; font-weight: bold\">a", "width: 25%; height: 30px; padding: 2px 4px\">b",
                           "height: 16px; font-family: 'A; B', serif\">c", "height: 5%; margin: 1em\">d"}
            << QStringList() << QByteArray();
    QTest::newRow("hostile CSS left out and named")
            << QByteArray("<table><tr><td style=\"background: url(x.png); width: expression(alert(1)); color: blue\">a</td>"
                          "<td style=\"behavior: url(a.htc); font-family: j\\61vascript; color: javascript:x\">b</td>"
                          "<td style=\"width: 99999px; font-family: ") + QByteArray(3000, 'x') + "\">c</td></tr></table>"
            << QStringList{"<td style=\"color: blue\">a", "<td>b", "<td style=\"width: 99999px\">c"}
            << QStringList{"td style: background", "td style: width", "td style: behavior", "td style: font-family",
                           "td style: color"}
            << QByteArray();
    QTest::newRow("HTML 4 table: per cent written, its CSS kept but not")
            << QByteArray("<TABLE BORDER=\"1\"><TR><TD WIDTH=\"10%\" STYLE=\"color: red\">a</TD>"
                          "<TD HEIGHT=\"30\" STYLE=\"height: 50%\">b</TD></TR></TABLE>")
            << QStringList{"width: 10%; color: red\">a", "height: 50%\">b"}
            << QStringList{"HTML 4", "td style: color"}
            << QByteArray("<TD WIDTH=\"10%\">a</TD><TD HEIGHT=\"50%\">b</TD>");
}

void TestPageTables::cellSizesAndStylesRoundTrip()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, written);
    QFETCH(QStringList, named);
    QFETCH(QByteArray, html4);
    const QString page = make(QStringLiteral("styled.html"), "<body>" + table + "</body>");
    const QString saved = m_dir.filePath(QStringLiteral("styled.qvn"));
    const HeadlessRun in = run({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--export"), page, saved});
    QCOMPARE(in.exitCode, 0);
    for (const QString &n : std::as_const(named))
        QVERIFY2(QString::fromUtf8(in.err).contains(n), in.err.constData());
    if (named.isEmpty())
        QCOMPARE(in.err, QByteArray());

    // The table's own output; then the HTML5 one, read back and written again.
    const HeadlessRun own = run({QStringLiteral("--to"), QStringLiteral("html"), saved, QStringLiteral("-")});
    QCOMPARE(own.exitCode, 0);
    if (!html4.isEmpty()) {
        QVERIFY2(own.out.contains(html4), own.out.constData());
        QVERIFY(!own.out.contains("color"));
    }
    const QStringList html5{QStringLiteral("--profile"), QStringLiteral("html5"), QStringLiteral("--to"),
                            QStringLiteral("html")};
    const HeadlessRun out = run(html5 + QStringList{saved, QStringLiteral("-")});
    QCOMPARE(out.exitCode, 0);
    qsizetype at = 0;
    for (const QString &w : std::as_const(written)) {
        at = out.out.indexOf(w.toUtf8(), at);
        QVERIFY2(at >= 0, qPrintable(w + QStringLiteral(" not in ") + QString::fromUtf8(out.out)));
    }
    for (const char *never : {"url(", "expression", "javascript", "behavior", "\\"})
        QVERIFY2(!out.out.contains(never), never);
    const QString back = make(QStringLiteral("back.html"), out.out);
    const QString resaved = m_dir.filePath(QStringLiteral("back.qvn"));
    QCOMPARE(run({QStringLiteral("--export"), back, resaved}).exitCode, 0);
    QCOMPARE(run(html5 + QStringList{resaved, QStringLiteral("-")}).out, out.out);
    m_styledPages << run(html5 + QStringList{QStringLiteral("--page"), saved, QStringLiteral("-")}).out;
}

// "--page" writes a page a browser opens as it is: the Nu checker finds
// nothing to say of it, its encoding declared included.
void TestPageTables::wholePagePassesNuChecker()
{
    QList<QByteArray> pages;
    for (const char *caption : {"<B>売上</B> &amp; 利益", ""}) {
        TableModel m;
        m.OutputProfile = MarkupProfile::Html5;
        m.TableTitle = QString::fromUtf8(caption);
        m.Cells(1, 1).Text = QStringLiteral("表 😀 – ’");
        m.Cells(2, 2).Text = QStringLiteral("<A href=\"a.html\">x</A>");
        const QString source = m_dir.filePath(QStringLiteral("t.qvn"));
        QVERIFY(saveTableDocument(m, source).ok);
        const HeadlessRun r = run({QStringLiteral("--page"), QStringLiteral("--export"), source, QStringLiteral("-"),
                                   QStringLiteral("--to"), QStringLiteral("html")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("<!DOCTYPE html>\r\n"));
        QVERIFY(r.out.contains(*caption ? "<title>売上 &amp; 利益</title>" : "<title>t</title>"));
        pages << r.out;
    }
    pages << m_styledPages;
    const NuRun nu = runNuChecker(pages);
    if (!nu.java)
        QSKIP("Java is not installed: the Nu checker cannot run");
    QVERIFY2(nu.missing.isEmpty(), qPrintable(nu.missing));
    QVERIFY2(nu.report.isEmpty(), qPrintable(nu.report));
}

QTEST_GUILESS_MAIN(TestPageTables)
#include "tst_page_tables.moc"
