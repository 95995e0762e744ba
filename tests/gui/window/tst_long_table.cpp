// A table past the original 99 x 99 as a user works through it: a long CSV
// and a page with a long table opened, worked on, saved, opened again and
// exported.
#include <QtTest>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QTemporaryDir>

#include "core/io/table_document_io.h"
#include "core/io/table_export.h"
#include "gui/grid/grid_model.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/file_commands.h"
#include "support/window_parts.h"

using namespace parts;

class TestLongTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void longTableStory_data();
    void longTableStory();

private:
    QTemporaryDir m_dir;
    QString m_saveAs;
    QStringList m_messages;
};

void TestLongTable::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setFileMessageHook([this](QWidget *, const QString &text) { m_messages << text; });
    CommonDialog::setTestHook([this](const CommonDialog::Request &) {
        CommonDialog::Reply reply;
        reply.accepted = true;
        reply.fileName = m_saveAs;
        return reply;
    });
}

void TestLongTable::longTableStory_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    auto csv = [](int rows) {
        QByteArray out = "item,price,note\r\n";
        for (int r = 2; r <= rows; ++r)
            out += "item " + QByteArray::number(r) + ",\"" + QByteArray::number((r * 7919) % 10000) + "\",ok\r\n";
        return out;
    };
    QTest::newRow("a CSV price list of 150 rows") << "list.csv" << csv(150) << 150 << 3;
    QTest::newRow("a CSV of 10,000 rows") << "data.csv" << csv(10000) << 10000 << 3;
    QByteArray page = "<!DOCTYPE html><html><body><table><tr><td><a href=\"a\">Prev</a><td><a href=\"b\">Next</a></table>"
                      "<table><caption>Functions</caption><tr><th>Name<th>Since<th>Notes";
    for (int r = 2; r <= 392; ++r)
        page += "<tr><td>f" + QByteArray::number(r) + "<td>" + QByteArray::number(r % 17) + "<td>&amp; more";
    page += "</table></body></html>";
    QTest::newRow("a page whose data table has 392 rows") << "reference.html" << page << 392 << 3;
    QTest::newRow("a CSV of 1,000 columns")
            << "wide.csv" << (QByteArray("x,").repeated(999) + "last\r\n" + QByteArray("1,").repeated(999) + "2\r\n")
            << 2 << TableLimits::MaxCols;
}

void TestLongTable::longTableStory()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(int, rows);
    QFETCH(int, cols);
    const QString source = m_dir.filePath(name);
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    m_messages.clear();

    auto w = shownWindow();
    // A page of two tables asks which: the data table is the one proposed.
    QTimer chooser;
    connect(&chooser, &QTimer::timeout, this, [] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            d->accept();
    });
    chooser.start(20);
    w->OpenFile(source);
    chooser.stop();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QCOMPARE(model(*w).TableRows, rows);
    QCOMPARE(model(*w).TableCols, cols);
    clickBar(*w, ToolbarButton::CellView);
    GridWidget *g = grid(*w);
    // The grid shows the document itself: its only model reads it.
    QVERIFY(qobject_cast<GridModel *>(g->model()));
    QCOMPARE(g->Rows(), rows + 1);

    // Far down the table: typed over, and the view switched away and back.
    g->moveCurrentTo(2, rows - 1);
    g->setFocus();
    QTest::keyClicks(g, QStringLiteral("9"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(model(*w).Cells(2, rows - 1).Text, QStringLiteral("9"));
    QCOMPARE(QPoint(g->Col(), g->Row()), QPoint(2, rows));
    g->selectCells(QRect(1, rows - 1, 2, 2));
    clickBar(*w, ToolbarButton::TableView);
    clickBar(*w, ToolbarButton::CellView);
    QCOMPARE(QPoint(g->Col(), g->Row()), QPoint(2, rows));
    QCOMPARE(g->selectedCells(), QRect(1, rows - 1, 2, 2));

    // A row put in at the top moves the whole table down, and undoes in one step.
    const TableModel before = model(*w);
    g->moveCurrentTo(1, 1);
    item(*w, "mnuInsertRowAbove")->trigger();
    QCOMPARE(model(*w).TableRows, rows + 1);
    QCOMPARE(model(*w).Cells(2, rows), before.Cells(2, rows - 1));
    QCOMPARE(g->text(2, rows), QStringLiteral("9"));
    item(*w, "mnuUndo")->trigger();
    QVERIFY(model(*w).Cells == before.Cells);
    QCOMPARE(g->Rows(), rows + 1);

    // Saved as a table file, opened again, the same.
    m_saveAs = m_dir.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".qvn"));
    QVERIFY(w->document().model().FileName == newTableName());
    item(*w, "mnuSave")->trigger();
    QVERIFY2(QFileInfo::exists(m_saveAs), qPrintable(m_messages.join('\n')));
    TableModel reopened;
    QVERIFY(openTableDocument(m_saveAs, reopened).ok());
    QVERIFY(reopened.Cells == model(*w).Cells);
    QCOMPARE(reopened.TableRows, rows);

    // And out in every format the command line writes.
    for (const char *ext : {"html", "csv", "tsv", "md"}) {
        const QString target = m_dir.filePath(QStringLiteral("out.") + QLatin1String(ext));
        const ExportResult r = exportTable(m_saveAs, target);
        QVERIFY2(r.ok, qPrintable(r.message));
        QVERIFY(QFileInfo(target).size() > rows);
    }
}

QTEST_MAIN(TestLongTable)
#include "tst_long_table.moc"
