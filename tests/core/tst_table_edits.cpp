// Rows and columns put in and taken out, merges, and the grid's idea of which
// cells are written: always the generator's.
#include <QtTest>

#include <QRandomGenerator>

#include "core/markup/table_markup.h"
#include "core/model/table_edits.h"

namespace {

bool sameCells(const TableModel &a, const TableModel &b)
{
    if (a.Cells != b.Cells)
        return false;
    return a.TableRows == b.TableRows && a.TableCols == b.TableCols;
}

void span(TableModel &m, int c, int r, int cols, int rows)
{
    CellRecord &rec = m.Cells(c, r);
    rec.ColSpanOn = cols > 1;
    rec.ColSpan = cols;
    rec.RowSpanOn = rows > 1;
    rec.RowSpan = rows;
}

} // namespace

class TestTableEdits : public QObject
{
    Q_OBJECT

private slots:
    void linesMoveAndSpansFollow_data();
    void linesMoveAndSpansFollow();
    void writtenCellsAreTheGenerators_data();
    void writtenCellsAreTheGenerators();
};

void TestTableEdits::linesMoveAndSpansFollow_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("size");       // rows and columns before
    QTest::addColumn<QRect>("spanBefore"); // the span of one cell: at x,y, width x height
    QTest::addColumn<bool>("done");
    QTest::addColumn<QRect>("spanAfter");
    QTest::addColumn<QPoint>("textAfter"); // where the text of cell (3, 3) went

    QTest::newRow("row in a span grows it") << "insertRows" << 2 << 1 << 4 << QRect(1, 1, 1, 2) << true << QRect(1, 1, 1, 3) << QPoint(3, 4);
    QTest::newRow("row before a span moves it") << "insertRows" << 1 << 2 << 4 << QRect(1, 1, 1, 2) << true << QRect(1, 3, 1, 2) << QPoint(3, 5);
    QTest::newRow("row after a span leaves it") << "insertRows" << 3 << 1 << 4 << QRect(1, 1, 1, 2) << true << QRect(1, 1, 1, 2) << QPoint(3, 4);
    QTest::newRow("row past the limit") << "insertRows" << 2 << 2 << TableLimits::MaxRows - 1 << QRect(1, 1, 1, 2) << false << QRect(1, 1, 1, 2) << QPoint(3, 3);
    QTest::newRow("rows past 99") << "insertRows" << 2 << 2 << 98 << QRect(1, 1, 1, 2) << true << QRect(1, 1, 1, 4) << QPoint(3, 5);
    QTest::newRow("column in a span grows it") << "insertCols" << 2 << 3 << 4 << QRect(1, 2, 2, 1) << true << QRect(1, 2, 5, 1) << QPoint(6, 3);
    QTest::newRow("column past the limit") << "insertCols" << 1 << 1 << TableLimits::MaxCols << QRect(1, 2, 2, 1) << false << QRect(1, 2, 2, 1) << QPoint(3, 3);
    QTest::newRow("column past 99") << "insertCols" << 1 << 1 << 99 << QRect(1, 2, 2, 1) << true << QRect(2, 2, 2, 1) << QPoint(4, 3);
    QTest::newRow("row in a span shrinks it") << "deleteRows" << 2 << 1 << 4 << QRect(1, 1, 2, 3) << true << QRect(1, 1, 2, 2) << QPoint(3, 2);
    QTest::newRow("span down to one row") << "deleteRows" << 2 << 1 << 4 << QRect(2, 1, 1, 2) << true << QRect(2, 1, 1, 1) << QPoint(3, 2);
    QTest::newRow("span's first row goes, the rest stays") << "deleteRows" << 1 << 1 << 4 << QRect(1, 1, 2, 3) << true << QRect(1, 1, 2, 2) << QPoint(3, 2);
    QTest::newRow("every row") << "deleteRows" << 1 << 4 << 4 << QRect(1, 1, 1, 2) << false << QRect(1, 1, 1, 2) << QPoint(3, 3);
    QTest::newRow("column in a span shrinks it") << "deleteCols" << 4 << 1 << 5 << QRect(1, 4, 4, 1) << true << QRect(1, 4, 3, 1) << QPoint(3, 3);
    QTest::newRow("columns past the table") << "deleteCols" << 4 << 3 << 5 << QRect(1, 4, 4, 1) << false << QRect(1, 4, 4, 1) << QPoint(3, 3);
}

void TestTableEdits::linesMoveAndSpansFollow()
{
    QFETCH(QString, op);
    QFETCH(int, at);
    QFETCH(int, count);
    QFETCH(int, size);
    QFETCH(QRect, spanBefore);
    QFETCH(bool, done);
    QFETCH(QRect, spanAfter);
    QFETCH(QPoint, textAfter);

    TableModel m;
    m.TableRows = size;
    m.TableCols = std::min(size, TableLimits::MaxCols);
    span(m, spanBefore.x(), spanBefore.y(), spanBefore.width(), spanBefore.height());
    // Past the original largest table a file holds records too.
    m.Cells(100, 2).Text = QStringLiteral("line 100");
    m.Cells(3, 3).Text = QStringLiteral("moved");
    m.Cells(3, 3).BackColor = 0x123456;
    const TableModel before = m;

    bool ok = false;
    if (op == QLatin1String("insertRows"))
        ok = tableedits::insertRows(m, at, count);
    else if (op == QLatin1String("insertCols"))
        ok = tableedits::insertCols(m, at, count);
    else if (op == QLatin1String("deleteRows"))
        ok = tableedits::deleteRows(m, at, count);
    else
        ok = tableedits::deleteCols(m, at, count);
    QCOMPARE(ok, done);
    if (!done) {
        QVERIFY(sameCells(m, before)); // nothing half-done
        return;
    }
    const int grown = op.startsWith(QLatin1String("insert")) ? count : -count;
    QCOMPARE(m.TableRows, op.endsWith(QLatin1String("Rows")) ? size + grown : size);
    QCOMPARE(m.TableCols, op.endsWith(QLatin1String("Cols")) ? size + grown : std::min(size, TableLimits::MaxCols));
    const CellRecord &s = m.Cells(spanAfter.x(), spanAfter.y());
    QCOMPARE(s.ColSpanOn != 0 ? s.ColSpan : 1, spanAfter.width());
    QCOMPARE(s.RowSpanOn != 0 ? s.RowSpan : 1, spanAfter.height());
    if (textAfter.x() >= 1 && m.Cells(textAfter.x(), textAfter.y()).Text == QLatin1String("moved"))
        QCOMPARE(m.Cells(textAfter.x(), textAfter.y()).BackColor, 0x123456);
    else
        QFAIL("the cell's text and settings did not move with it");
    // Columns of a table within 99 x 99 move within the first 99, as they
    // always have: column 100 stays where the file put it.
    if (op.endsWith(QLatin1String("Cols")) && size + grown <= TableLimits::ClassicLines)
        QCOMPARE(m.Cells(100, 2).Text, QStringLiteral("line 100"));
}

void TestTableEdits::writtenCellsAreTheGenerators_data()
{
    QTest::addColumn<bool>("html5");
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 60; ++seed) {
        QTest::addRow("html4 %u", seed) << false << seed;
        QTest::addRow("html5 %u", seed) << true << seed;
    }
}

// Random spans, overlapping ones, switched-off counts and counts past the
// edge: the grid takes the cells the generator writes, no more, no fewer.
void TestTableEdits::writtenCellsAreTheGenerators()
{
    QFETCH(bool, html5);
    QFETCH(quint32, seed);
    QRandomGenerator rnd(seed);
    TableModel m;
    m.OutputProfile = html5 ? MarkupProfile::Html5 : MarkupProfile::Html4;
    m.TableRows = 2 + rnd.bounded(8);
    m.TableCols = 2 + rnd.bounded(8);
    for (int i = 0; i < 10; ++i) {
        CellRecord &rec = m.Cells(1 + rnd.bounded(m.TableCols), 1 + rnd.bounded(m.TableRows));
        rec.ColSpanOn = qint16(rnd.bounded(2));
        rec.ColSpan = rnd.bounded(-1, 12);
        rec.RowSpanOn = qint16(rnd.bounded(2));
        rec.RowSpan = rnd.bounded(-1, 12);
    }
    SpanLayout layout;
    layout.compute(m, m.TableRows, m.TableCols);
    // Each cell says where it stands; the text shows which cells are written.
    TableModel copy = m;
    for (int r = 1; r <= m.TableRows; ++r)
        for (int c = 1; c <= m.TableCols; ++c)
            copy.Cells(c, r).Text = QStringLiteral("@%1_%2@").arg(c).arg(r);
    QSet<QPair<int, int>> written;
    const QString out = buildTableMarkup(copy);
    for (const QRegularExpressionMatch &x : QRegularExpression(QStringLiteral("@(\\d+)_(\\d+)@")).globalMatch(out))
        written.insert({x.captured(1).toInt(), x.captured(2).toInt()});
    for (int r = 1; r <= m.TableRows; ++r)
        for (int c = 1; c <= m.TableCols; ++c) {
            QCOMPARE(layout.isWritten(c, r), written.contains({c, r}));
            // A skipped cell belongs to a written one above or left of it.
            const QPoint o = layout.owner(c, r);
            QVERIFY(written.contains({o.x(), o.y()}) && o.x() <= c && o.y() <= r);
        }
    // Areas never overlap and stay in the table.
    QSet<QPair<int, int>> drawn;
    for (const QRect &a : layout.spans()) {
        QVERIFY(QRect(1, 1, m.TableCols, m.TableRows).contains(a));
        for (int r = a.top(); r <= a.bottom(); ++r)
            for (int c = a.left(); c <= a.right(); ++c) {
                QVERIFY(!drawn.contains({c, r}));
                drawn.insert({c, r});
            }
    }
}

QTEST_APPLESS_MAIN(TestTableEdits)
#include "tst_table_edits.moc"
