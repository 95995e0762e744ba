#include <QtTest>

#include <QComboBox>
#include <QInputDialog>

#include "core/io/table_document_io.h"
#include "core/model/grid_text.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/file_commands.h"
#include "gui/window/document_manager.h"
#include "support/window_parts.h"

using namespace parts;

// A user opens a workbook Calc saved: the Open command, the sheet chooser,
// the sheet in the grid, then a save as a table file that opens again the same.
class TestOpenSpreadsheet : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void openWorkbook_data();
    void openWorkbook();
};

void TestOpenSpreadsheet::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setFileMessageHook({});
    CommonDialog::setTestHook({});
}

void TestOpenSpreadsheet::openWorkbook_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("downs");      // presses of Down in the chooser, -1 to cancel it
    QTest::addColumn<QString>("corner"); // the grid's cell (1, 1), empty when nothing opened
    QTest::addColumn<QString>("last");   // its last cell
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("xlsx, the first sheet as offered") << "calc_book.xlsx" << 0 << "2024年度 支店別売上" << "TRUE" << 7 << 6;
    QTest::newRow("xlsx, the second sheet") << "calc_book.xlsx" << 1 << "作成者" << "3" << 3 << 2;
    QTest::newRow("ods, the first sheet") << "calc_book.ods" << 0 << "2024年度 支店別売上" << "TRUE" << 7 << 6;
    QTest::newRow("chooser cancelled: the start window stays") << "calc_book.xlsx" << -1 << "" << "" << 2 << 2;
}

void TestOpenSpreadsheet::openWorkbook()
{
    QFETCH(QString, file);
    QFETCH(int, downs);
    QFETCH(QString, corner);
    QFETCH(QString, last);
    QFETCH(int, rows);
    QFETCH(int, cols);
    const QString path = QStringLiteral(QUORVAN_TEST_DATA "/sheets/") + file;
    QString filter;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        filter = r.filter;
        return CommonDialog::Reply{true, path, 0};
    });
    QStringList messages;
    setFileMessageHook([&](QWidget *, const QString &text) { messages << text; });
    QStringList offered;
    QString preselected;
    QTimer answer;
    answer.setInterval(10);
    connect(&answer, &QTimer::timeout, this, [&]() {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        answer.stop();
        auto *combo = dialog->findChild<QComboBox *>();
        for (int i = 0; i < combo->count(); ++i)
            offered << combo->itemText(i);
        preselected = combo->currentText();
        if (downs < 0) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(dialog, Qt::Key_Return);
    });

    auto start = shownWindow();
    answer.start();
    start->mnuOpen_Click();
    answer.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(filter.contains(QStringLiteral("|*.ods;*.xlsx")));
    QCOMPARE(offered, QStringList({QStringLiteral("1: 売上（7 行 × 6 列）"), QStringLiteral("2: メモ（3 行 × 2 列）")}));
    QCOMPARE(preselected, offered.first());
    frmMain *w = frmMain::loadedWindows().last();
    QCOMPARE(model(*w).TableRows, rows);
    QCOMPARE(model(*w).TableCols, cols);
    if (corner.isEmpty()) {
        QCOMPARE(caption(*w), QStringLiteral("Quorvan - 新規テーブル"));
        QVERIFY(messages.isEmpty());
        return;
    }
    // What stayed behind is said once, over the shown table; the table is named after the workbook.
    QTRY_COMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(QStringLiteral("ほかのシート")), qPrintable(messages.first()));
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - calc_book"));
    clickBar(*w, ToolbarButton::CellView);
    QCOMPARE(grid(*w)->text(1, 1), corner);
    QCOMPARE(grid(*w)->text(cols, rows), last);

    // Saved as a table file and opened again, it is the same table.
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("book.qvn"));
    CommonDialog::setTestHook([&](const CommonDialog::Request &) { return CommonDialog::Reply{true, saved, 0}; });
    QVERIFY(w->documents().saveAs());
    TableModel back;
    QVERIFY(openTableDocument(saved, back).ok());
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) {
            // Shift_JIS has no "¥": the table file keeps it as a character reference.
            CellRecord a = back.Cells(c, r), b = model(*w).Cells(c, r);
            QCOMPARE(HtmlToGridText(a.Text), HtmlToGridText(b.Text));
            a.Text = b.Text;
            QVERIFY(a == b);
        }
}

QTEST_MAIN(TestOpenSpreadsheet)
#include "tst_open_spreadsheet.moc"
