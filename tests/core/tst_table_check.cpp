#include <QtTest>

#include "core/markup/table_check.h"
#include "core/model/table_model.h"
#include "support/headless_run.h"

#include <functional>

// The accessibility check: what it finds in tables laid out as users lay them
// out, what its fixes leave, and "quorvan --check" as a script runs it.
class TestTableCheck : public QObject
{
    Q_OBJECT

private slots:
    void findingsAndFixes_data();
    void findingsAndFixes();
    void commandLine_data();
    void commandLine();
};

namespace {

using Build = std::function<void(TableModel &)>;

// Rows of cell texts: "*" marks a header cell.
TableModel table(std::initializer_list<std::initializer_list<const char *>> rows, const Build &more = {})
{
    TableModel m;
    m.TableRows = int(rows.size());
    m.TableCols = int(rows.begin()->size());
    int r = 0;
    for (const auto &row : rows) {
        ++r;
        int c = 0;
        for (const char *text : row) {
            ++c;
            m.Cells(c, r).Header = text[0] == '*' ? -1 : 0;
            m.Cells(c, r).Text = QString::fromUtf8(text[0] == '*' ? text + 1 : text);
        }
    }
    if (more)
        more(m);
    return m;
}

QStringList codes(const CheckReport &report)
{
    QStringList out;
    for (const CheckFinding &f : report.findings) {
        static const char *names[] = {"caption", "headers", "empty", "ambiguous", "contrast", "layout"};
        QString code = QLatin1String(names[int(f.issue)]);
        if (f.col > 0)
            code += QStringLiteral(" %1,%2").arg(f.col).arg(f.row);
        if (f.issue == CheckIssue::LayoutTable)
            code += QLatin1Char(' ') + QString::number(int(f.sign));
        out << code;
    }
    return out;
}

Build caption = [](TableModel &m) { m.TableTitle = QStringLiteral("Prices"); };

} // namespace

Q_DECLARE_METATYPE(TableModel)

void TestTableCheck::findingsAndFixes_data()
{
    QTest::addColumn<TableModel>("model");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("afterFixes");
    const QString one = QString::number(int(LayoutSign::OneRow)), links = QString::number(int(LayoutSign::LinksOnly)),
                  nested = QString::number(int(LayoutSign::NestedTable));

    QTest::newRow("pasted plain text: no caption, no header row")
            << table({{"Item", "Price"}, {"Tea", "3"}}) << QStringList{"caption", "headers"} << QStringList{};
    QTest::newRow("merged title row: the row below it becomes the head")
            << table({{"Price list", ""}, {"Item", "Price"}, {"Tea", "3"}},
                     [](TableModel &m) { m.Cells(1, 1).ColSpanOn = 1, m.Cells(1, 1).ColSpan = 2; caption(m); })
            << QStringList{"headers"} << QStringList{};
    QTest::newRow("a laid-out price list has nothing to find")
            << table({{"*Item", "*Price"}, {"Tea", "3"}}, caption) << QStringList{} << QStringList{};
    QTest::newRow("empty header cells, a no-break space too")
            << table({{"*", "*&nbsp;", "*Price"}, {"*Tea", "x", "3"}}, caption)
            << QStringList{"empty 1,1", "empty 2,1"} << QStringList{"empty 1,1", "empty 2,1"};
    QTest::newRow("a column header merged down beside the data")
            << table({{"*Item", "*Price"}, {"", "3"}, {"", "5"}},
                     [](TableModel &m) { m.Cells(1, 1).RowSpanOn = 1, m.Cells(1, 1).RowSpan = 3; caption(m); })
            << QStringList{"ambiguous 1,1"} << QStringList{};
    QTest::newRow("contrast: grey text, white on yellow, black on navy; dark grey and a fill colour pass")
            << table({{"*Item", "*Price"},
                      {"<FONT COLOR=\"#999999\">Tea</FONT>", "<span style=\"color: white\">3</span>"},
                      {"Cake", "<font color=#333>5</font>"},
                      {"<span style=\"background-color: #eee\">Pie</span>", "6"}},
                     [](TableModel &m) {
                         caption(m);
                         m.Cells(2, 2).BackColorNothing = 0, m.Cells(2, 2).BackColor = 0x00FFFF;
                         m.Cells(1, 3).BackColorNothing = 0, m.Cells(1, 3).BackColor = 0x800000;
                     })
            << QStringList{"contrast 1,2", "contrast 2,2", "contrast 1,3"}
            << QStringList{"contrast 1,2", "contrast 2,2", "contrast 1,3"};
    QTest::newRow("layout: one row of links")
            << table({{"<a href=\"a.html\">Home</a>", "<A HREF=\"b.html\">Next</A> "}})
            << QStringList{"caption", "headers", "layout " + one, "layout " + links}
            << QStringList{"layout " + one, "layout " + links};
    QTest::newRow("layout: a table inside a cell")
            << table({{"*Menu", "*Text"}, {"<table><tr><td>x</td></tr></table>", "Body"}}, caption)
            << QStringList{"layout 1,2 " + nested} << QStringList{"layout 1,2 " + nested};
}

// Every mechanical fix, as the dialog's "直す" applies it, clears its finding
// and leaves the others.
void TestTableCheck::findingsAndFixes()
{
    QFETCH(TableModel, model);
    QFETCH(QStringList, found);
    QFETCH(QStringList, afterFixes);
    const CheckReport report = checkTable(model);
    QCOMPARE(codes(report), found);
    for (const CheckFinding &f : report.findings) {
        QVERIFY(!findingText(f).isEmpty());
        if (f.fix != CheckFix::None) {
            QVERIFY(applyFix(model, f, QStringLiteral("Prices")));
            QVERIFY(!applyFix(model, f, QStringLiteral("Prices"))); // done once is done
        }
    }
    QCOMPARE(codes(checkTable(model)), afterFixes);
}

void TestTableCheck::commandLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("pasted plain text") << "pasted.csv" << QByteArray("Item,Price\r\nTea,3\r\n") << 1
                                       << QStringList{"Table: No caption", "Table: No header cells"};
    QTest::newRow("the same with its caption and header row")
            << "fixed.html"
            << QByteArray("<table><caption>Prices</caption><tr><th>Item</th><th>Price</th></tr>"
                          "<tr><td>Tea</td><td>3</td></tr></table>")
            << 0 << QStringList{};
    QTest::newRow("a source that cannot be read") << "missing.qvn" << QByteArray() << 2 << QStringList{};
}

void TestTableCheck::commandLine()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!bytes.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    const HeadlessRun r = runHeadless(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan"),
                                      {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--check"), path},
                                      60000);
    QCOMPARE(r.exitCode, exitCode);
    const QStringList out = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(out.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(out.at(i).startsWith(path + QStringLiteral(": ") + lines.at(i)), qPrintable(out.at(i)));
    QCOMPARE(r.err.isEmpty(), exitCode != 2);
}

QTEST_GUILESS_MAIN(TestTableCheck)
#include "tst_table_check.moc"
