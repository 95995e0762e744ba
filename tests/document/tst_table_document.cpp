// The document announces exactly what changed: which cells, which fields.
#include <QSignalSpy>
#include <QtTest>

#include "core/model/table_edits.h"
#include "document/table_document.h"

class TestTableDocument : public QObject
{
    Q_OBJECT

private slots:
    void cellWrites_data();
    void cellWrites();
    void tableWrites();
    void replacingTheTable();
    void undoRestoresTheModel_data();
    void undoRestoresTheModel();
    void gesturesMergeIntoOneStep();
};

namespace {

bool sameModel(const TableModel &a, const TableModel &b)
{
    if (a.Cells != b.Cells)
        return false;
    return a.TableRows == b.TableRows && a.TableCols == b.TableCols && a.TableTitle == b.TableTitle
            && a.TableBorder == b.TableBorder && a.TableBackColor == b.TableBackColor
            && a.TableBackColorNothing == b.TableBackColorNothing && a.NetscapeMode == b.NetscapeMode
            && a.OutputProfile == b.OutputProfile && a.TableWidthUnit == b.TableWidthUnit
            && a.TableWidth == b.TableWidth && a.FileName == b.FileName;
}

using Change = std::function<void(TableDocument &)>;

} // namespace

Q_DECLARE_METATYPE(Change)

void TestTableDocument::cellWrites_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("announced");
    QTest::newRow("a new width") << int(CellField::Width) << 250 << true;
    QTest::newRow("the width it has: nothing") << int(CellField::Width) << 100 << false;
    QTest::newRow("header on") << int(CellField::Header) << -1 << true;
    QTest::newRow("a colour") << int(CellField::BackColor) << 0x123456 << true;
}

void TestTableDocument::cellWrites()
{
    QFETCH(int, field);
    QFETCH(int, value);
    QFETCH(bool, announced);
    TableDocument doc;
    QSignalSpy spy(&doc, &TableDocument::cellsChanged);
    doc.setCellField(3, 4, CellField(field), value);
    QCOMPARE(doc.cellField(3, 4, CellField(field)), value);
    QCOMPARE(spy.size(), announced ? 1 : 0);
    if (announced) {
        QCOMPARE(spy.at(0).at(0).toRect(), QRect(3, 4, 1, 1));
        QCOMPARE(spy.at(0).at(1).value<CellFields>(), CellFields(CellField(field)));
    }
    // Other cells are untouched.
    QCOMPARE(doc.cell(4, 3), CellRecord());
}

void TestTableDocument::tableWrites()
{
    TableDocument doc;
    QSignalSpy cells(&doc, &TableDocument::cellsChanged);
    QSignalSpy table(&doc, &TableDocument::tableChanged);
    doc.setSize(5, 7);
    QCOMPARE(doc.model().TableRows, 5);
    QCOMPARE(doc.model().TableCols, 7);
    doc.setTitle(QStringLiteral("表"));
    doc.setTitle(QStringLiteral("表"));
    doc.setTableField(TableField::Border, 3);
    QCOMPARE(doc.model().TableBorder, qint16(3));
    QCOMPARE(table.size(), 4);
    QCOMPARE(table.at(2).at(0).value<TableFields>(), TableFields(TableField::Title));

    // A whole-table edit takes its records in as the pane writes them, and
    // announces the fields that changed.
    cells.clear();
    doc.editModel(QStringLiteral("edit"), [](TableModel &m) {
        m.Cells(2, 2).WidthOn = 7;
        m.Cells(2, 2).HAlign = 9;
    });
    QCOMPARE(doc.cell(2, 2).WidthOn, qint16(1));
    QCOMPARE(doc.cell(2, 2).HAlign, qint16(2));
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells.at(0).at(1).value<CellFields>(), CellField::WidthOn | CellField::HAlign);
}

void TestTableDocument::replacingTheTable()
{
    TableDocument doc;
    QSignalSpy reset(&doc, &TableDocument::modelReset);
    TableModel m;
    m.Cells(1, 1).Text = QStringLiteral("開いた");
    m.FileName = QStringLiteral("/tmp/a.qvn");
    doc.replaceModel(m);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(doc.cell(1, 1).Text, QStringLiteral("開いた"));
    QCOMPARE(doc.model().FileName, QStringLiteral("/tmp/a.qvn"));
}

void TestTableDocument::undoRestoresTheModel_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("steps");
    QTest::newRow("text") << Change([](TableDocument &d) { d.setCellText(2, 3, "<B>x</B>"); }) << 1;
    QTest::newRow("a field") << Change([](TableDocument &d) { d.setCellField(2, 3, CellField::Height, 40); }) << 1;
    QTest::newRow("table settings") << Change([](TableDocument &d) {
        d.setTitle("t");
        d.setTableField(TableField::OutputProfile, 1);
    }) << 2;
    QTest::newRow("shrink and grow back") << Change([](TableDocument &d) {
        d.setSize(1, 1);
        d.setCellText(1, 1, "kept");
        d.setSize(9, 9);
    }) << 3;
    QTest::newRow("a step of many changes") << Change([](TableDocument &d) {
        StepScope step(d, "all");
        for (int c = 1; c <= 9; ++c)
            d.setCellField(c, c, CellField::Header, -1);
        d.setTableField(TableField::Border, 0);
    }) << 1;
    QTest::newRow("a cell written twice in one step undoes to its first state") << Change([](TableDocument &d) {
        StepScope step(d, "twice");
        d.setCellText(4, 4, "middle");
        d.setCellText(4, 4, "last");
        d.editModel("again", [](TableModel &m) { m.Cells(4, 4).Text = "after the edit"; });
    }) << 1;
    QTest::newRow("rows and columns in and out, and a sort, in one step") << Change([](TableDocument &d) {
        d.editModel("lines", [](TableModel &m) {
            tableedits::insertRows(m, 1, 3);
            m.Cells(2, 2).Text = "between the edits";
            tableedits::deleteCols(m, 5, 10);
            tableedits::sortRows(m, 1, m.TableRows, 2, true, tableedits::SortKey::Number);
            tableedits::insertCols(m, 1, 1);
        });
    }) << 1;
    QTest::newRow("grown past the original size and back") << Change([](TableDocument &d) {
        d.setSize(150, 120);
        d.setCellText(150, 120, "far");
        d.editModel("insert", [](TableModel &m) { tableedits::insertRows(m, 100, 2); });
        d.setSize(99, 99);
    }) << 4;
    QTest::newRow("the whole 99 x 99 table") << Change([](TableDocument &d) {
        d.editModel("shift", [](TableModel &m) {
            m.TableRows = m.TableCols = 99;
            for (int c = 99; c >= 1; --c)
                for (int r = 1; r <= 99; ++r)
                    m.Cells(c, r) = c > 1 ? m.Cells(c - 1, r) : CellRecord();
        });
    }) << 1;
}

void TestTableDocument::undoRestoresTheModel()
{
    QFETCH(Change, change);
    QFETCH(int, steps);
    TableDocument doc;
    TableModel start;
    start.TableRows = start.TableCols = 99;
    for (int c = 1; c <= 99; ++c)
        for (int r = 1; r <= 99; ++r)
            start.Cells(c, r).Text = QString::number(c * 100 + r);
    start.FileName = "/tmp/a.qvn";
    doc.replaceModel(start);
    change(doc);
    const TableModel after = doc.model();
    QCOMPARE(doc.undoStack()->count(), steps);
    QSignalSpy applied(&doc, &TableDocument::stepApplied);
    while (doc.undoStack()->canUndo())
        doc.undoStack()->undo();
    QVERIFY(sameModel(doc.model(), start));
    QCOMPARE(applied.size(), steps);
    while (doc.undoStack()->canRedo())
        doc.undoStack()->redo();
    QVERIFY(sameModel(doc.model(), after));
}

void TestTableDocument::gesturesMergeIntoOneStep()
{
    TableDocument doc;
    QUndoStack &stack = *doc.undoStack();
    for (int h = 101; h <= 140; ++h)   // a slider drag
        doc.setCellField(1, 1, CellField::Height, h);
    doc.closeGesture();
    QCOMPARE(stack.count(), 1);
    doc.setCellField(1, 1, CellField::Height, 150);  // a new visit is a new step
    doc.setCellField(1, 2, CellField::Height, 150);  // and so is another cell
    QCOMPARE(stack.count(), 3);
    doc.closeGesture();
    doc.setCellField(1, 2, CellField::Height, 120);
    doc.setCellField(1, 2, CellField::Height, 150);  // back where it began: no step
    QCOMPARE(stack.count(), 3);
    // Reading a record as the panes write it is no change of the user's.
    doc.setCellField(2, 2, CellField::HAlign, 9);
    stack.undo();
    doc.setCellField(2, 2, CellField::HAlign, 9);
    doc.undoStack()->clear();
    doc.replaceModel(doc.model());
    QCOMPARE(stack.count(), 0);
    QCOMPARE(doc.cell(2, 2).HAlign, qint16(2));
    stack.undo();
    QCOMPARE(stack.undoText(), QString());
}

QTEST_GUILESS_MAIN(TestTableDocument)
#include "tst_table_document.moc"
