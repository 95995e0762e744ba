#include <QtTest>

#include <QTemporaryDir>

#include "support/headless_run.h"
#include "support/nu_checker.h"

// The looks by class as a user asks for them on the command line: each
// preset with its stylesheet in a <style> block, in a .css file beside the
// page, or left to the site; the responsive option's labels; alignment by
// column in the stylesheet. Pages and sheets go through the Nu checker.
class TestTablePresets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void presetsAndPlacements_data();
    void presetsAndPlacements();
    void responsiveLabels_data();
    void responsiveLabels();
    void keptInTheTableFile();
    void nuCheckerFindsNothing();

private:
    HeadlessRun run(const QStringList &args);
    QString m_program;
    QTemporaryDir m_dir;
    QString m_fruit, m_plain;
    QList<QByteArray> m_pages, m_sheets;
};

namespace {

// A price list as a site would have it: a head, numbers on the right, one
// name centred and one price on the left.
const char fruitPage[] =
        "<table><caption>Fruit</caption><thead><tr><th>Name</th><th>Qty</th><th>Price</th></tr></thead>\n"
        "<tbody><tr><td>Apple</td><td style=\"text-align:right\">3</td><td style=\"text-align:right\">1.20</td></tr>\n"
        "<tr><td>Pear</td><td style=\"text-align:right\">10</td><td style=\"text-align:right\">0.80</td></tr>\n"
        "<tr><td style=\"text-align:center\">Plum</td><td style=\"text-align:right\">7</td>"
        "<td style=\"text-align:left\">2.50</td></tr></tbody></table>\n";

} // namespace

void TestTablePresets::initTestCase()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(m_dir.isValid());
    m_fruit = m_dir.filePath(QStringLiteral("fruit.html"));
    m_plain = m_dir.filePath(QStringLiteral("plain.csv"));
    for (auto [path, bytes] : {std::pair<QString, QByteArray>{m_fruit, fruitPage},
                               {m_plain, "Name,Qty\r\nApple,3\r\nPear,10\r\n"}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
}

HeadlessRun TestTablePresets::run(const QStringList &args)
{
    return runHeadless(m_program, QStringList{QStringLiteral("--profile"), QStringLiteral("html5")} + args, 60000);
}

void TestTablePresets::presetsAndPlacements_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("css");
    QTest::addColumn<QString>("tableTag");
    for (auto [preset, tag] : {std::pair<const char *, const char *>{"plain", "<table class=\"qv-plain qv-right qv-c1-left qv-stack\">"},
                               {"lines", "<table class=\"qv-lines qv-right qv-c1-left qv-stack\">"},
                               {"striped", "<table class=\"qv-striped qv-right qv-c1-left qv-stack\">"},
                               {"compact", "<table class=\"qv-compact qv-right qv-c1-left qv-stack\">"},
                               {"bootstrap", "<table class=\"table table-striped table-bordered text-end qv-stack\">"}})
        for (const char *css : {"block", "file", "none"})
            QTest::addRow("%s, %s", preset, css) << preset << css << tag;
}

// A page with its look: the stylesheet where it was asked for, linked when
// it is a file of its own, absent when the site has it.
void TestTablePresets::presetsAndPlacements()
{
    QFETCH(QString, preset);
    QFETCH(QString, css);
    QFETCH(QString, tableTag);
    const QString target = m_dir.filePath(preset + QLatin1Char('-') + css + QStringLiteral(".html"));
    const QString sheetPath = target.chopped(5) + QStringLiteral(".css");
    const HeadlessRun r = run({QStringLiteral("--preset"), preset, QStringLiteral("--css"), css,
                               QStringLiteral("--responsive"), QStringLiteral("--page"), QStringLiteral("--export"),
                               m_fruit, target});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QFile page(target);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    QVERIFY2(html.contains(tableTag.toUtf8()), html.constData());
    QCOMPARE(html.contains("<style>"), css == QLatin1String("block"));
    QCOMPARE(QFile::exists(sheetPath), css == QLatin1String("file"));
    QCOMPARE(html.contains("<link rel=\"stylesheet\" href=\"" + QFileInfo(sheetPath).fileName().toUtf8() + "\">"),
             css == QLatin1String("file"));
    QVERIFY(!html.contains("style=\"border"));
    m_pages << html;
    QFile sheet(sheetPath);
    if (sheet.open(QIODevice::ReadOnly)) {
        QVERIFY(sheet.readAll().contains("@media (max-width: 599px)"));
        sheet.seek(0);
        m_sheets << sheet.readAll();
    }
}

void TestTablePresets::responsiveLabels_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("inline CSS, no preset")
            << m_fruit << QStringList{QStringLiteral("--responsive")}
            << QStringList{"<div class=\"qv-scroll\" style=\"overflow-x: auto\">\r\n<table class=\"qv-stack\" style=",
                           "<td data-label=\"Name\">Apple</td>",
                           "<td data-label=\"Price\" style=\"text-align: right\">1.20</td>",
                           "@media (max-width: 599px)", "</table>\r\n</div>"}
            << QStringList{"<th scope=\"col\" data-label"};
    QTest::newRow("a preset aligns by column")
            << m_fruit << QStringList{QStringLiteral("--preset"), QStringLiteral("lines")}
            << QStringList{"table.qv-right > * > tr > td { text-align: right; }",
                           "table.qv-c1-left > * > tr > td:nth-child(1) { text-align: left; }",
                           "<td>Apple</td><td>3</td>", "<td class=\"qv-center\">Plum</td>",
                           "<td class=\"qv-left\">2.50</td>"}
            << QStringList{"data-label", "text-align: right\"", "<div"};
    QTest::newRow("an all-centred table under a preset")
            << m_plain << QStringList{QStringLiteral("--preset"), QStringLiteral("plain")}
            << QStringList{"table.qv-center > * > tr > td { text-align: center; }", "<tr><td>Apple</td><td>3</td></tr>"}
            << QStringList{"style=\"", "class=\"qv-center\""};
    QTest::newRow("no head, no labels")
            << m_plain << QStringList{QStringLiteral("--responsive"), QStringLiteral("--style"), QStringLiteral("none")}
            << QStringList{"<style>\r\n.qv-scroll { overflow-x: auto; }\r\n</style>\r\n<div class=\"qv-scroll\">\r\n<table>"}
            << QStringList{"data-label", "@media", "qv-stack"};
}

void TestTablePresets::responsiveLabels()
{
    QFETCH(QString, source);
    QFETCH(QStringList, options);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const HeadlessRun r = run(options + QStringList{QStringLiteral("--page"), QStringLiteral("--to"), QStringLiteral("html"),
                                                    QStringLiteral("--export"), source, QStringLiteral("-")});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    m_pages << r.out;
    for (const QString &s : present)
        QVERIFY2(r.out.contains(s.toUtf8()), qPrintable(s + QStringLiteral(" not in\n") + QString::fromUtf8(r.out)));
    for (const QString &s : absent)
        QVERIFY2(!r.out.contains(s.toUtf8()), qPrintable(s + QStringLiteral(" in\n") + QString::fromUtf8(r.out)));
}

// Chosen once, the look stays with the table: its file gives the same HTML.
void TestTablePresets::keptInTheTableFile()
{
    const QStringList look{QStringLiteral("--preset"), QStringLiteral("striped"), QStringLiteral("--css"),
                           QStringLiteral("none"), QStringLiteral("--responsive")};
    const QString table = m_dir.filePath(QStringLiteral("fruit.qvn"));
    HeadlessRun r = run(look + QStringList{QStringLiteral("--export"), m_fruit, table});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const HeadlessRun direct = run(look + QStringList{QStringLiteral("--to"), QStringLiteral("html"),
                                                      QStringLiteral("--export"), m_fruit, QStringLiteral("-")});
    r = run({QStringLiteral("--to"), QStringLiteral("html"), QStringLiteral("--export"), table, QStringLiteral("-")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("<div class=\"qv-scroll\" style=\"overflow-x: auto\">\r\n<table class=\"qv-striped"));
    QCOMPARE(r.out, direct.out);
}

void TestTablePresets::nuCheckerFindsNothing()
{
    QVERIFY(!m_pages.isEmpty());
    const NuRun nu = runNuChecker(m_pages, m_sheets);
    if (!nu.java)
        QSKIP("Java is not installed: the Nu checker cannot run");
    QVERIFY2(nu.missing.isEmpty(), qPrintable(nu.missing));
    QVERIFY2(nu.report.isEmpty(), qPrintable(nu.report));
}

QTEST_GUILESS_MAIN(TestTablePresets)
#include "tst_table_presets.moc"
