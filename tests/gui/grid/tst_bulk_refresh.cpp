// The whole-table refreshes (view switch, open, BuildTableHtml, re-fitting a
// row) run each cell's one refresh and load the pane once. On tables of every
// shape, including values no control produces, they must end with every
// record as the pane writes it, every grid cell showing its record, every row
// as tall as its tallest cell, the pane showing the current cell, and the
// generator's text for the table as it stands.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>

#include <memory>

#include "gui/window/main_window.h"
#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "core/markup/table_markup.h"
#include "support/window_parts.h"
#include "core/model/grid_text.h"
#include "core/model/table_edits.h"

using namespace parts;

namespace {

// What a table holds; every value may also come from a file as it is.
struct TableShape {
    int cols = 9;
    int rows = 12;
    bool netscape = false;
    bool wild = false;        // stored values outside what the controls produce
    quint32 seed = 1;
    QVector<int> colWidths;   // twips per grid column from 1; empty: the default
    int longText = 0;         // characters of words added to every cell
};

class Dice
{
public:
    explicit Dice(quint32 seed) : m_state(seed * 2654435761u + 1) {}
    template<typename T>
    T pick(std::initializer_list<T> values)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return *(values.begin() + (m_state >> 8) % values.size());
    }

private:
    quint32 m_state;
};

void fillTable(TableModel &m, const TableShape &shape)
{
    m.TableCols = shape.cols;
    m.TableRows = shape.rows;
    m.NetscapeMode = shape.netscape ? 1 : 0;
    m.TableBorder = 2;
    m.TableTitle = QStringLiteral("表");
    Dice dice(shape.seed);
    for (int c = 1; c <= shape.cols; ++c) {
        for (int r = 1; r <= shape.rows; ++r) {
            CellRecord &R = m.Cells(c, r);
            R.Text = dice.pick<QString>({QString(), QStringLiteral("東京"), QStringLiteral("a<BR>b<br>c"),
                                         QStringLiteral("一行目<BR>二行目"),
                                         QStringLiteral("A fairly long English text that wraps in the column"),
                                         QStringLiteral("&lt;B&gt; &amp; &copy;2026 x<y"),
                                         QStringLiteral("<B>太字</B>と普通の文字がならぶ長めのセル"),
                                         QStringLiteral("<br><br>"), QStringLiteral("12345")});
            R.Header = dice.pick<qint16>({0, 0, -1});
            R.HAlign = dice.pick<qint16>({0, 1, 2});
            R.VAlign = dice.pick<qint16>({0, 1, 2});
            R.BackColorNothing = dice.pick<qint16>({1, 1, 0});
            R.BackColor = dice.pick<qint32>({0xFFFFFF, 0x00CCFF, 0x123456});
            R.HeightOn = dice.pick<qint16>({0, 0, 1});
            R.Height = dice.pick<qint32>({100, 40});
            R.WidthOn = dice.pick<qint16>({0, 0, 1});
            R.Width = dice.pick<qint32>({100, 250});
            if (shape.wild) {
                R.Header = dice.pick<qint16>({0, -1, 1, -2, 32767});
                R.HAlign = dice.pick<qint16>({-1, 0, 1, 2, 3, 5});
                R.VAlign = dice.pick<qint16>({-7, 0, 1, 2, 9});
                R.HeightOn = dice.pick<qint16>({0, 1, 2, -1});
                R.Height = dice.pick<qint32>({100, 0, -5, 2147483647, -2147483647 - 1});
                R.WidthOn = dice.pick<qint16>({0, 1, 7});
                R.Width = dice.pick<qint32>({100, -1, 99999});
                R.RowSpanOn = dice.pick<qint16>({0, 0, 1, 3});
                R.RowSpan = dice.pick<qint32>({1, 2, 0, -3, 12});
                R.ColSpanOn = dice.pick<qint16>({0, 0, 1, -1});
                R.ColSpan = dice.pick<qint32>({1, 3, 0, -5, 4});
                R.BackColor = dice.pick<qint32>({0xFFFFFF, 0x7FFFFFFF, -1, 0x00FF00});
                R.BackColorNothing = dice.pick<qint16>({0, 1, 2, -1});
            }
            for (int n = 0; n < shape.longText; n += 6)
                R.Text += dice.pick<QString>({QStringLiteral(" word"), QStringLiteral(" table"), QStringLiteral(" x")});
        }
    }
    // Merges: a block, a span past the last row, one switched off with a count
    // left behind (the generator sets it to 1), and one over another's span.
    auto merge = [&m](int c, int r, qint16 colOn, qint32 cols, qint16 rowOn, qint32 rows) {
        if (c > m.TableCols || r > m.TableRows)
            return;
        CellRecord &R = m.Cells(c, r);
        R.ColSpanOn = colOn;
        R.ColSpan = cols;
        R.RowSpanOn = rowOn;
        R.RowSpan = rows;
    };
    merge(2, 2, 1, 2, 1, 2);
    merge(3, 3, 1, 3, 0, 4);
    merge(1, shape.rows, 0, 5, 1, 3);
    merge(shape.cols, 1, 1, 4, 0, 0);
    // The last cell is always emitted; its switched-off count is normalised.
    merge(shape.cols, shape.rows, 1, 1, 0, 6);
    // Two cells of a row equally tall: the rightmost keeps the row.
    if (shape.cols >= 5) {
        m.Cells(1, 1).Text = QStringLiteral("x<BR>y<BR>z");
        m.Cells(4, 1).Text = QStringLiteral("x<BR>y<BR>z");
        m.Cells(1, 1).Header = 0;
        m.Cells(4, 1).Header = 0;
    }
}

std::unique_ptr<frmMain> newWindow()
{
    auto w = std::make_unique<frmMain>();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->setFileName(newTableName());
    w->show();
    return w;
}

// Column widths stay with the grid through every resize; the grid keeps its size.
void applyColumnWidths(frmMain &w, const TableShape &shape)
{
    const int cols = grid(w)->Cols();
    grid(w)->setCols(GridWidget::MaxCols);
    for (int c = 0; c < shape.colWidths.size(); ++c)
        grid(w)->setColWidth(c + 1, shape.colWidths.at(c));
    grid(w)->setCols(cols);
}

// The table into a window as it comes from a file: Open with a saved copy.
void loadInto(frmMain &w, const TableShape &shape, const QString &path)
{
    TableModel source;
    fillTable(source, shape);
    QVERIFY(saveTableDocument(source, path).ok);
    applyColumnWidths(w, shape);
    w.OpenFile(path);
    QVERIFY(w.isVisible());
}

// What is wrong with the window's end state, readable; empty when nothing is.
// Every table cell of the grid has been refreshed; the pane shows `shown` as
// the record of the current cell.
QString faults(frmMain &w, const CellRecord &shown)
{
    QStringList out;
    auto fault = [&out](const QString &what) {
        if (out.size() < 8)
            out << what;
    };
    const TableModel &m = model(w);
    const GridWidget *g = grid(w);
    for (int c = 1; c < g->Cols(); ++c) {
        for (int r = 1; r < g->Rows(); ++r) {
            const CellRecord &R = m.Cells(c, r);
            CellRecord n = R;
            normalise(n);
            if (n != R)
                fault(QStringLiteral("record %1,%2 not normalised").arg(c).arg(r));
            if (g->text(c, r) != HtmlToGridText(R.Text))
                fault(QStringLiteral("grid %1,%2 text '%3'").arg(c).arg(r).arg(g->text(c, r)));
            if (g->cellBackColor(c, r) != (R.BackColorNothing ? 0xFFFFFF : R.BackColor))
                fault(QStringLiteral("grid %1,%2 colour").arg(c).arg(r));
            if (g->cellBold(c, r) != (R.Header == -1))
                fault(QStringLiteral("grid %1,%2 weight").arg(c).arg(r));
            if (g->cellAlignment(c, r) != placementOf(R.HAlign, R.VAlign))
                fault(QStringLiteral("grid %1,%2 alignment").arg(c).arg(r));
        }
    }
    // The row belongs to a cell that needs its whole height, and no cell needs more.
    auto rowFault = [&](int r) -> QString {
        int tallest = 0;
        for (int c = 1; c < g->Cols(); ++c)
            tallest = qMax(tallest, g->neededHeight(c, r));
        const int holder = gridEditor(w)->RowHeightCol.value(r, -1);
        if (g->rowHeight(r) < tallest)
            return QStringLiteral("row %1 is %2 high, its tallest cell needs %3").arg(r).arg(g->rowHeight(r)).arg(tallest);
        if (holder < 0 || holder >= g->Cols() || g->neededHeight(holder, r) != g->rowHeight(r))
            return QStringLiteral("row %1 held by column %2").arg(r).arg(holder);
        return QString();
    };
    // Paged through, every row in view is fitted the moment it shows.
    if (g->isVisible()) {
        QScrollBar *bar = grid(w)->verticalScrollBar();
        bar->setValue(0);
        for (int page = 0; page <= g->Rows(); ++page) {
            const int first = g->rowAt(0) + 1;
            int last = g->rowAt(g->viewport()->height() - 1) + 1;
            last = last > 0 ? last : g->Rows() - 1;
            for (int r = first; r >= 1 && r <= last; ++r) {
                const QString f = rowFault(r);
                if (!f.isEmpty())
                    fault(QStringLiteral("in view: ") + f);
            }
            if (bar->value() >= bar->maximum())
                break;
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        }
        bar->setValue(0);
    }
    // Rows out of view follow when the program is idle.
    (void)QTest::qWaitFor([&] {
        for (int r = 1; r < g->Rows(); ++r) {
            if (!rowFault(r).isEmpty())
                return false;
        }
        return true;
    }, 10000);
    for (int r = 1; r < g->Rows(); ++r) {
        const QString f = rowFault(r);
        if (!f.isEmpty())
            fault(f);
    }

    // The pane and button 7 show the current cell.
    auto checked = [&w](const char *name) { return part<QCheckBox>(w, name)->isChecked(); };
    auto text = [&w](const char *name) { return box(w, name)->text(); };
    const bool ok = checked("chkSHeight") == (shown.HeightOn != 0) && checked("chkSWidth") == (shown.WidthOn != 0)
            && checked("chkHeight") == (shown.RowSpanOn != 0) && checked("chkWidth") == (shown.ColSpanOn != 0)
            && checked("chkBackColorNothing2") == (shown.BackColorNothing != 0)
            && text("txtSHeight") == QString::number(shown.Height) && text("txtSWidth") == QString::number(shown.Width)
            && text("txtMHeight") == QString::number(shown.RowSpan) && text("txtMWidth") == QString::number(shown.ColSpan)
            && part<QSlider>(w, "SliW")->value() == shown.HAlign && part<QSlider>(w, "SliH")->value() == shown.VAlign
            && part<QSlider>(w, "SliW")->isEnabled() == (shown.Header != -1)
            && part<ColorSwatch>(w, "picBackColor2")->color() == shown.BackColor
            && box(w, "txtSWidth")->isEnabled() == (shown.WidthOn != 0)
            && part<QAbstractButton>(w, "cmdBackColorSet2")->isEnabled() == (shown.BackColorNothing == 0)
            && barAction(w, ToolbarButton::Header)->isChecked() == (shown.Header == -1)
            && part<QGroupBox>(w, "Frame3")->isHidden() == (m.NetscapeMode == 1);
    if (!ok)
        fault(QStringLiteral("the pane does not show cell %1,%2").arg(g->Col()).arg(g->Row()));
    if (!box(w, "txtInsert")->isHidden())
        fault(QStringLiteral("the in-place box is still open"));
    return out.join(QLatin1Char('\n'));
}

QString faults(frmMain &w)
{
    return faults(w, model(w).Cells(grid(w)->Col(), grid(w)->Row()));
}

// The generator's text for the table as the window holds it, worked out apart
// from the window: records normalised; the last cell it writes.
QString expectedMarkup(frmMain &w, QPoint *lastEmitted = nullptr)
{
    TableModel m = model(w);
    for (int c = 1; c < grid(w)->Cols(); ++c)
        for (int r = 1; r < grid(w)->Rows(); ++r)
            normalise(m.Cells(c, r));
    if (lastEmitted) {
        SpanLayout spans;
        spans.compute(m, m.TableRows, m.TableCols);
        for (int r = 1; r <= m.TableRows; ++r)
            for (int c = 1; c <= m.TableCols; ++c)
                if (spans.isWritten(c, r))
                    *lastEmitted = QPoint(c, r);
    }
    return buildTableMarkup(m);
}

} // namespace

class TestBulkRefresh : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void viewSwitch_data();
    void viewSwitch();
    void open_data();
    void open();
    void buildTableHtml_data();
    void buildTableHtml();
    void rowRefit();
    void refreshReachesTheViewOnce();

private:
    void addTables();
    QTemporaryDir m_dir;
};

void TestBulkRefresh::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setFileMessageHook([](QWidget *, const QString &text) { qWarning("message: %s", qPrintable(text)); });
}

void TestBulkRefresh::addTables()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("netscape");
    QTest::addColumn<bool>("wild");
    QTest::addColumn<int>("seed");
    QTest::addColumn<QVector<int>>("colWidths");
    QTest::addColumn<int>("longText");

    QTest::newRow("merges, headers and multi-line cells") << 9 << 12 << false << false << 1 << QVector<int>() << 0;
    QTest::newRow("stored values out of range") << 8 << 10 << false << true << 2 << QVector<int>() << 0;
    QTest::newRow("Netscape mode hides the alignment") << 7 << 9 << true << true << 3 << QVector<int>() << 0;
    QTest::newRow("narrow and wide columns") << 6 << 8 << false << true << 4
                                            << QVector<int>{300, 3000, 45, 1200, 600, 15} << 0;
    QTest::newRow("full width") << 99 << 3 << false << true << 5 << QVector<int>() << 0;
    QTest::newRow("smallest table") << 1 << 1 << false << true << 6 << QVector<int>() << 0;
    // Too much text to measure at once: rows are fitted as they come into view.
    QTest::newRow("long texts") << 6 << 40 << false << false << 7 << QVector<int>() << 5000;
}

#define FETCH_SHAPE()                                           \
    TableShape shape;                                           \
    QFETCH(int, cols);                                          \
    QFETCH(int, rows);                                          \
    QFETCH(bool, netscape);                                     \
    QFETCH(bool, wild);                                         \
    QFETCH(int, seed);                                          \
    QFETCH(QVector<int>, colWidths);                            \
    QFETCH(int, longText);                                      \
    shape.longText = longText;                                  \
    shape.cols = cols;                                          \
    shape.rows = rows;                                          \
    shape.netscape = netscape;                                  \
    shape.wild = wild;                                          \
    shape.seed = quint32(seed);                                 \
    shape.colWidths = colWidths

void TestBulkRefresh::viewSwitch_data()
{
    addTables();
}

void TestBulkRefresh::viewSwitch()
{
    FETCH_SHAPE();
    auto w = newWindow();
    loadInto(*w, shape, m_dir.filePath(QStringLiteral("v.qvn")));
    w->Bar_ButtonClick(ToolbarButton::CellView);
    QCOMPARE(grid(*w)->Cols(), cols + 1);
    QCOMPARE(grid(*w)->Col(), 1);
    QCOMPARE(grid(*w)->Row(), 1);
    QCOMPARE(faults(*w), QString());

    // Once more over the grid as the first switch left it, with an edit open
    // over a cell other than the first: the box goes to its own cell first.
    const int c = qMin(2, grid(*w)->Cols() - 1);
    const int r = qMin(2, grid(*w)->Rows() - 1);
    if (c == 1 && r == 1)
        return;
    grid(*w)->setCol(c);
    grid(*w)->setRow(r);
    gridEditor(*w)->Grid_Click();
    gridEditor(*w)->Grid_DblClick();
    box(*w, "txtInsert")->setText(QStringLiteral("新しい<BR>二行目<BR>三行目"));
    box(*w, "txtInsert")->setModified(true);
    w->Bar_ButtonClick(ToolbarButton::TableView);
    w->Bar_ButtonClick(ToolbarButton::CellView);
    QCOMPARE(model(*w).Cells(c, r).Text, QStringLiteral("新しい<BR>二行目<BR>三行目"));
    QCOMPARE(faults(*w), QString());
}

void TestBulkRefresh::open_data()
{
    addTables();
}

void TestBulkRefresh::open()
{
    FETCH_SHAPE();
    auto w = std::make_unique<frmMain>();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    loadInto(*w, shape, m_dir.filePath(QStringLiteral("o.qvn")));
    // The grid takes the opened size at once, every cell refreshed.
    QCOMPARE(grid(*w)->Cols(), cols + 1);
    QCOMPARE(grid(*w)->Rows(), rows + 1);
    QCOMPARE(faults(*w), QString());
    w->Bar_ButtonClick(ToolbarButton::CellView);
    QCOMPARE(faults(*w), QString());
}

void TestBulkRefresh::buildTableHtml_data()
{
    addTables();
}

void TestBulkRefresh::buildTableHtml()
{
    FETCH_SHAPE();
    auto w = newWindow();
    loadInto(*w, shape, m_dir.filePath(QStringLiteral("b.qvn")));
    w->Bar_ButtonClick(ToolbarButton::CellView);

    // Twice in a row: the second run starts from the row holders the first left.
    for (int run = 0; run < 2; ++run) {
        QPoint lastEmitted;
        const QString expected = expectedMarkup(*w, &lastEmitted);
        // The pane ends on the last emitted cell.
        const int lastCol = lastEmitted.x();
        const int lastRow = lastEmitted.y();
        CellRecord last = model(*w).Cells(lastCol, lastRow);
        normalise(last);
        const QString html = w->BuildTableHtml();
        QVERIFY(!html.isEmpty());
        QCOMPARE(html, expected);
        QCOMPARE(grid(*w)->Col(), lastCol);
        QCOMPARE(grid(*w)->Row(), lastRow);
        QCOMPARE(faults(*w, last), QString());
    }

    // The tag view runs the same generator.
    const QString expected = expectedMarkup(*w);
    w->Bar_ButtonClick(ToolbarButton::TagView);
    // The view keeps its lines apart with LF.
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->toPlainText(),
             QString(expected).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void TestBulkRefresh::rowRefit()
{
    TableShape shape;
    shape.cols = 12;
    shape.rows = 6;
    shape.wild = true;
    shape.seed = 7;
    auto w = newWindow();
    loadInto(*w, shape, m_dir.filePath(QStringLiteral("r.qvn")));
    w->Bar_ButtonClick(ToolbarButton::CellView);

    // SettingText grows a row and shrinks it again; an in-place commit does the same.
    const QStringList texts = {QStringLiteral("一<BR>二<BR>三<BR>四<BR>五"), QStringLiteral("a"),
                               QString(), QStringLiteral("x<BR>y<BR>z")};
    for (const QString &text : texts) {
        grid(*w)->setCol(3);
        grid(*w)->setRow(2);
        gridEditor(*w)->Grid_Click();
        w->SettingText(text);
        QCOMPARE(model(*w).Cells(3, 2).Text, text);
        QCOMPARE(faults(*w), QString());
    }
    grid(*w)->setCol(5);
    grid(*w)->setRow(4);
    gridEditor(*w)->Grid_Click();
    gridEditor(*w)->Grid_DblClick();
    box(*w, "txtInsert")->setText(QStringLiteral("長い長い長い長い長い長いテキスト"));
    box(*w, "txtInsert")->setModified(true);
    QTest::keyClick(box(*w, "txtInsert"), Qt::Key_Return);
    QCOMPARE(model(*w).Cells(5, 4).Text, QStringLiteral("長い長い長い長い長い長いテキスト"));
    QCOMPARE(faults(*w), QString());
}

void TestBulkRefresh::refreshReachesTheViewOnce()
{
    // A refresh of every cell reaches the view once: no cell of a large table
    // is repainted on its own while the loop runs.
    TableShape shape;
    shape.cols = 40;
    shape.rows = 40;
    auto w = newWindow();
    loadInto(*w, shape, m_dir.filePath(QStringLiteral("f.qvn")));
    int changes = 0;
    connect(grid(*w)->model(), &QAbstractItemModel::dataChanged, w.get(), [&changes] { ++changes; });
    w->Bar_ButtonClick(ToolbarButton::CellView);
    QVERIFY2(changes < 10, qPrintable(QString::number(changes)));
    QVERIFY(!grid(*w)->inBulkUpdate());
}

QTEST_MAIN(TestBulkRefresh)
#include "tst_bulk_refresh.moc"
