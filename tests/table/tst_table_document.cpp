// The document announces exactly what changed: which cells, which fields.
#include <QSignalSpy>
#include <QtTest>

#include "table/table_document.h"

class TestTableDocument : public QObject
{
    Q_OBJECT

private slots:
    void cellWrites_data();
    void cellWrites();
    void tableWrites();
    void replacingTheTable();
};

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

    // Normalising announces only the fields it changed.
    doc.setCellField(2, 2, CellField::WidthOn, 7);
    doc.setCellField(2, 2, CellField::HAlign, 9);
    cells.clear();
    doc.normaliseCell(2, 2);
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells.at(0).at(1).value<CellFields>(), CellField::WidthOn | CellField::HAlign);
    doc.normaliseCell(2, 2);
    QCOMPARE(cells.size(), 1);
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

QTEST_GUILESS_MAIN(TestTableDocument)
#include "tst_table_document.moc"
