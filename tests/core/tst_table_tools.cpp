// The data tools on the model: a sort that leaves the table's frame where it
// is, transpose there and back, fills and series, row numbers.
#include <QtTest>

#include "core/model/table_tools.h"

using namespace tabletools;

namespace {

// A table of one text per cell, rows of cells split at '|'.
TableModel tableOf(const QStringList &rows)
{
    TableModel m;
    m.TableRows = int(rows.size());
    m.TableCols = 1;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows.at(r).split(QLatin1Char('|'));
        m.TableCols = std::max<int>(m.TableCols, int(cells.size()));
        for (int c = 0; c < cells.size(); ++c)
            if (!cells.at(c).isEmpty())
                m.Cells(c + 1, r + 1).Text = cells.at(c);
    }
    return m;
}

QStringList rowsOf(const TableModel &m)
{
    QStringList rows;
    for (int r = 1; r <= m.TableRows; ++r) {
        QStringList cells;
        for (int c = 1; c <= m.TableCols; ++c)
            cells << std::as_const(m).Cells(c, r).Text;
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class TestTableTools : public QObject
{
    Q_OBJECT

private slots:
    void sortKeepsTheFrame_data();
    void sortKeepsTheFrame();
    void transposeTwiceGivesTheTableBack_data();
    void transposeTwiceGivesTheTableBack();
    void seriesContinues_data();
    void seriesContinues();
    void fillCopiesTheFirstCell_data();
    void fillCopiesTheFirstCell();
    void rowNumbersNumberTheBody();
};

void TestTableTools::sortKeepsTheFrame_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<int>("headerCellRows");   // rows made of header cells
    QTest::addColumn<int>("footerRows");
    QTest::addColumn<QVector<SortKey>>("keys");
    QTest::addColumn<QStringList>("sorted");

    const QStringList withTotal{"品目|金額", "b|30", "a|100", "c|4", "合計|134"};
    QTest::newRow("numbers under header cells, the total stays last")
            << withTotal << 1 << 1 << QVector<SortKey>{{2, SortKind::Number, false}}
            << QStringList{"品目|金額", "c|4", "b|30", "a|100", "合計|134"};
    QTest::newRow("descending")
            << withTotal << 1 << 1 << QVector<SortKey>{{2, SortKind::Number, true}}
            << QStringList{"品目|金額", "a|100", "b|30", "c|4", "合計|134"};
    QTest::newRow("a CSV's label line of ordinary cells")
            << QStringList{"name|price", "pear|12", "apple|3", "fig|7"} << 0 << 0
            << QVector<SortKey>{{1, SortKind::Text, false}}
            << QStringList{"name|price", "apple|3", "fig|7", "pear|12"};
    QTest::newRow("no label line: the first row sorts too")
            << QStringList{"pear", "apple", "fig"} << 0 << 0 << QVector<SortKey>{{1, SortKind::Text, false}}
            << QStringList{"apple", "fig", "pear"};
    QTest::newRow("natural text")
            << QStringList{"item 10", "item 2", "Item 1"} << 0 << 0 << QVector<SortKey>{{1, SortKind::Natural, false}}
            << QStringList{"Item 1", "item 2", "item 10"};
    QTest::newRow("dates in several forms, text after them, empty last")
            << QStringList{"day|n", "2026年12月8日|1", "|2", "12/1/2026|3", "later|4", "2026-11-30|5"} << 0 << 0
            << QVector<SortKey>{{1, SortKind::Date, false}}
            << QStringList{"day|n", "2026-11-30|5", "12/1/2026|3", "2026年12月8日|1", "later|4", "|2"};
    QTest::newRow("two keys, stable on ties")
            << QStringList{"group|name|no", "b|x|1", "a|y|2", "b|w|3", "a|y|4"} << 0 << 0
            << QVector<SortKey>{{1, SortKind::Text, false}, {2, SortKind::Text, true}}
            << QStringList{"group|name|no", "a|y|2", "a|y|4", "b|x|1", "b|w|3"};
}

void TestTableTools::sortKeepsTheFrame()
{
    QFETCH(QStringList, table);
    QFETCH(int, headerCellRows);
    QFETCH(int, footerRows);
    QFETCH(QVector<SortKey>, keys);
    QFETCH(QStringList, sorted);
    TableModel m = tableOf(table);
    for (int r = 1; r <= headerCellRows; ++r)
        for (int c = 1; c <= m.TableCols; ++c)
            m.Cells(c, r).Header = -1;
    m.FooterRows = footerRows;
    const SortFrame frame = sortFrame(m);
    QCOMPARE(frame.headerRows, headerCellRows);
    QCOMPARE(frame.footerRows, footerRows);
    QCOMPARE(sortRows(m, frame.firstBody(), frame.lastBody(m.TableRows), keys), 0);
    QCOMPARE(rowsOf(m), sorted);
}

void TestTableTools::transposeTwiceGivesTheTableBack_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QRect>("span");     // a cell and how far it spans
    QTest::addColumn<bool>("done");

    QTest::newRow("a span across two columns") << 3 << 4 << QRect(2, 1, 2, 1) << true;
    QTest::newRow("a block of spans") << 5 << 3 << QRect(1, 2, 2, 3) << true;
    QTest::newRow("as many rows as a table has columns") << TableLimits::MaxCols << 2 << QRect(1, 1, 2, 1) << true;
    QTest::newRow("more rows than a table has columns") << TableLimits::MaxCols + 1 << 2 << QRect(1, 1, 2, 1) << false;
}

void TestTableTools::transposeTwiceGivesTheTableBack()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QRect, span);
    QFETCH(bool, done);
    TableModel m;
    m.TableRows = rows;
    m.TableCols = cols;
    m.Cells(1, 1).Header = -1;
    m.Cells(1, 1).Scope = qint16(CellScope::Col);
    m.Cells(cols, rows).Text = QStringLiteral("last");
    m.Cells(cols + 1, 1).Text = QStringLiteral("outside");
    CellRecord &s = m.Cells(span.x(), span.y());
    s.Text = QStringLiteral("spans");
    s.ColSpanOn = s.RowSpanOn = 1;
    s.ColSpan = span.width();
    s.RowSpan = span.height();
    s.WidthOn = 1;
    s.Width = 40;
    const TableModel start = m;

    QCOMPARE(transpose(m), done);
    if (!done) {
        QVERIFY(m.Cells == start.Cells && m.TableRows == rows);
        return;
    }
    QCOMPARE(m.TableRows, cols);
    QCOMPARE(m.TableCols, rows);
    const CellRecord &t = std::as_const(m).Cells(span.y(), span.x());
    QCOMPARE(t.Text, QStringLiteral("spans"));
    QCOMPARE(t.RowSpan, span.width());
    QCOMPARE(t.ColSpan, span.height());
    QCOMPARE(t.HeightOn, qint16(1));
    QCOMPARE(t.Height, 40);
    QCOMPARE(std::as_const(m).Cells(1, 1).Scope, qint16(CellScope::Row));
    QCOMPARE(std::as_const(m).Cells(rows, cols).Text, QStringLiteral("last"));

    QVERIFY(transpose(m));
    QVERIFY(m.Cells == start.Cells);
    QCOMPARE(m.TableRows, rows);
    QCOMPARE(m.TableCols, cols);
}

void TestTableTools::seriesContinues_data()
{
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<QStringList>("next");   // the two cells after the seed

    QTest::newRow("a number counts by one") << QStringList{"1"} << QStringList{"2", "3"};
    QTest::newRow("by the step of the first two") << QStringList{"10", "25"} << QStringList{"40", "55"};
    QTest::newRow("decimals") << QStringList{"1.5", "2"} << QStringList{"2.5", "3.0"};
    QTest::newRow("the last number of a text") << QStringList{"Item 1"} << QStringList{"Item 2", "Item 3"};
    QTest::newRow("leading zeros kept") << QStringList{"No.008"} << QStringList{"No.009", "No.010"};
    QTest::newRow("inside markup") << QStringList{"<B>第9回</B>"} << QStringList{"<B>第10回</B>", "<B>第11回</B>"};
    QTest::newRow("ISO dates by a day") << QStringList{"2026-12-31"} << QStringList{"2027-01-01", "2027-01-02"};
    QTest::newRow("dates by a week") << QStringList{"2026/12/8", "2026/12/15"} << QStringList{"2026/12/22", "2026/12/29"};
    QTest::newRow("Japanese dates") << QStringList{"2026年2月27日"} << QStringList{"2026年2月28日", "2026年3月1日"};
    QTest::newRow("month ends") << QStringList{"2026-01-31", "2026-02-28"} << QStringList{"2026-03-31", "2026-04-30"};
    QTest::newRow("month first") << QStringList{"12/30/2026"} << QStringList{"12/31/2026", "1/1/2027"};
    QTest::newRow("other text is copied") << QStringList{"東京"} << QStringList{"東京", "東京"};
}

void TestTableTools::seriesContinues()
{
    QFETCH(QStringList, seed);
    QFETCH(QStringList, next);
    // Down a column and right along a row alike.
    for (const bool down : {true, false}) {
        const int n = int(seed.size() + next.size());
        TableModel m;
        m.TableRows = down ? n : 1;
        m.TableCols = down ? 1 : n;
        for (int i = 0; i < seed.size(); ++i)
            m.Cells(down ? 1 : i + 1, down ? i + 1 : 1).Text = seed.at(i);
        QCOMPARE(fillSeries(m, QRect(1, 1, m.TableCols, m.TableRows), down), FillStatus::Done);
        for (int i = 0; i < next.size(); ++i) {
            const int at = int(seed.size()) + i + 1;
            QCOMPARE(std::as_const(m).Cells(down ? 1 : at, down ? at : 1).Text, next.at(i));
        }
    }
}

void TestTableTools::fillCopiesTheFirstCell_data()
{
    QTest::addColumn<QRect>("range");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QStringList>("after");

    const QStringList table{"a|b|c", "d|e|f", "g|h|i"};
    QTest::newRow("down") << QRect(1, 1, 2, 3) << true << QStringList{"a|b|c", "a|b|f", "a|b|i"};
    QTest::newRow("right") << QRect(1, 2, 3, 2) << false << QStringList{"a|b|c", "d|d|d", "g|g|g"};
    QTest::newRow("one row takes the row above") << QRect(2, 3, 2, 1) << true << QStringList{"a|b|c", "d|e|f", "g|e|f"};
    QTest::newRow("one column takes the column left of it") << QRect(3, 1, 1, 2) << false << QStringList{"a|b|b", "d|e|e", "g|h|i"};
    QTest::newRow("the first row: nothing above") << QRect(1, 1, 3, 1) << true << table;
}

void TestTableTools::fillCopiesTheFirstCell()
{
    QFETCH(QRect, range);
    QFETCH(bool, down);
    QFETCH(QStringList, after);
    TableModel m = tableOf({"a|b|c", "d|e|f", "g|h|i"});
    fill(m, range, down);
    QCOMPARE(rowsOf(m), after);
}

void TestTableTools::rowNumbersNumberTheBody()
{
    TableModel m = tableOf({"品目", "a", "b", "合計"});
    m.Cells(1, 1).Header = -1;
    m.FooterRows = 1;
    QCOMPARE(insertRowNumbers(m, QStringLiteral("番号")), NumberStatus::Done);
    QCOMPARE(rowsOf(m), (QStringList{"番号|品目", "1|a", "2|b", "|合計"}));
}

QTEST_APPLESS_MAIN(TestTableTools)
#include "tst_table_tools.moc"
