#include <QtTest>

#include <stdexcept>

#include "core/model/table_model.h"

class TestTableModel : public QObject
{
    Q_OBJECT

private slots:
    void defaultsOfANewTable();
    void index100IsAllZero();
    void resetRestoresDefaultsButKeepsFileName();
    void outOfRangeIndicesThrow_data();
    void outOfRangeIndicesThrow();
    void normaliseReadsAsThePaneWrites_data();
    void normaliseReadsAsThePaneWrites();
    void storageIsIndependentPerCell();
};

void TestTableModel::defaultsOfANewTable()
{
    TableModel m;
    QCOMPARE(m.TableRows, 2);
    QCOMPARE(m.TableCols, 2);
    QVERIFY(m.TableTitle.isEmpty());
    QCOMPARE(m.TableBorder, qint16(1));
    QCOMPARE(m.TableBackColor, 0xFFFFFF);
    QCOMPARE(m.TableBackColorNothing, qint16(1));
    QCOMPARE(m.NetscapeMode, qint16(0));
    QCOMPARE(m.FileName, QStringLiteral("新規テーブル"));

    for (int c : {0, 1, 57, 99}) {
        for (int r : {0, 1, 42, 99}) {
            const CellRecord &rec = m.Cells(c, r);
            QVERIFY(rec.Text.isEmpty());
            QCOMPARE(rec.Header, qint16(0));
            QCOMPARE(rec.HeightOn, qint16(0));
            QCOMPARE(rec.Height, 100);
            QCOMPARE(rec.WidthOn, qint16(0));
            QCOMPARE(rec.Width, 100);
            QCOMPARE(rec.RowSpanOn, qint16(0));
            QCOMPARE(rec.RowSpan, 1);
            QCOMPARE(rec.ColSpanOn, qint16(0));
            QCOMPARE(rec.ColSpan, 1);
            QCOMPARE(rec.VAlign, qint16(1));
            QCOMPARE(rec.HAlign, qint16(1));
            QCOMPARE(rec.BackColor, 0xFFFFFF);
            QCOMPARE(rec.BackColorNothing, qint16(1));
        }
    }
}

void TestTableModel::index100IsAllZero()
{
    // Line 100 is a table's like any other now; only the original file
    // layout writes all-zero records there (see the table file's tests).
    TableModel m;
    for (const auto &[c, r] : {std::pair{100, 0}, {0, 100}, {100, 100}, {100, 50}, {50, 100},
                               {TableLimits::MaxCols, TableLimits::MaxRows}})
        QVERIFY2(std::as_const(m).Cells(c, r) == CellRecord(), qPrintable(QStringLiteral("%1,%2").arg(c).arg(r)));
    QVERIFY(m.Cells.isEmpty());
}

void TestTableModel::resetRestoresDefaultsButKeepsFileName()
{
    TableModel m;
    m.FileName = QStringLiteral("/tmp/a.qvn");
    m.TableRows = 40;
    m.NetscapeMode = 1;
    m.Cells(3, 4).Text = QStringLiteral("x");
    m.Cells(3, 4).Header = -1;
    m.Cells(100, 100).Height = 7;
    m.resetToDefaults();
    QCOMPARE(m.TableRows, 2);
    QCOMPARE(m.NetscapeMode, qint16(0));
    QCOMPARE(m.Cells(3, 4), CellRecord());
    QCOMPARE(std::as_const(m).Cells(100, 100), CellRecord());
    QCOMPARE(m.FileName, QStringLiteral("/tmp/a.qvn"));
}

void TestTableModel::outOfRangeIndicesThrow_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("past the last column") << CellTable::MaxCol + 1 << 1;
    QTest::newRow("past the last row") << 1 << CellTable::MaxRow + 1;
    QTest::newRow("negative column") << -1 << 0;
    QTest::newRow("negative row") << 0 << -1;
    QTest::newRow("far outside") << 5000 << 500000;
}

void TestTableModel::outOfRangeIndicesThrow()
{
    QFETCH(int, col);
    QFETCH(int, row);
    TableModel m;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.Cells(col, row));
    const TableModel &cm = m;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, cm.Cells(col, row));
}

void TestTableModel::normaliseReadsAsThePaneWrites_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("check");   // a check-box field
    QTest::addColumn<int>("align");   // an alignment field
    QTest::addColumn<int>("header");
    QTest::newRow("values the pane writes stay") << 1 << 1 << 1 << -1;
    QTest::newRow("zero stays") << 0 << 0 << 0 << 0;
    QTest::newRow("any other non-zero switch is 1") << 7 << 1 << 2 << 0;
    QTest::newRow("negative switch is 1, alignment below 0 is 0") << -3 << 1 << 0 << 0;
    QTest::newRow("header only -1 is a header") << 32767 << 1 << 2 << 0;
}

void TestTableModel::normaliseReadsAsThePaneWrites()
{
    QFETCH(int, stored);
    QFETCH(int, check);
    QFETCH(int, align);
    QFETCH(int, header);
    CellRecord r;
    r.HeightOn = r.WidthOn = r.RowSpanOn = r.ColSpanOn = r.BackColorNothing = qint16(stored);
    r.HAlign = r.VAlign = qint16(stored);
    r.Header = qint16(stored == 1 ? -1 : stored);
    r.Height = r.Width = r.RowSpan = r.ColSpan = r.BackColor = stored * 1000;
    normalise(r);
    for (qint16 f : {r.HeightOn, r.WidthOn, r.RowSpanOn, r.ColSpanOn, r.BackColorNothing})
        QCOMPARE(f, qint16(check));
    QCOMPARE(r.HAlign, qint16(align));
    QCOMPARE(r.VAlign, qint16(align));
    QCOMPARE(r.Header, qint16(header));
    // Numbers and colours are kept as they are.
    for (qint32 n : {r.Height, r.Width, r.RowSpan, r.ColSpan, r.BackColor})
        QCOMPARE(n, stored * 1000);
}

void TestTableModel::storageIsIndependentPerCell()
{
    // Column-fastest storage must not alias (c, r) with (r, c).
    TableModel m;
    m.Cells(2, 7).Text = QStringLiteral("c2r7");
    QVERIFY(m.Cells(7, 2).Text.isEmpty());
    QCOMPARE(m.Cells(2, 7).Text, QStringLiteral("c2r7"));
}

QTEST_APPLESS_MAIN(TestTableModel)
#include "tst_table_model.moc"
