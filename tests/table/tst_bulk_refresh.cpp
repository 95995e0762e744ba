// The whole-table refreshes (view switch, open, BuildTableHtml, re-fitting a
// row) take a fast path that writes each cell's record and grid cell directly
// and loads the pane once. These tests run every action twice, once on a window
// that refreshes one Grid_Click at a time, and require the two to end alike:
// records, grid cells, row heights, RowHeightCol, current cell, pane and output.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>

#include <memory>

#include "app/main_window.h"
#include "files/compression.h"
#include "files/file_commands.h"
#include "files/table_document_io.h"
#include "platform/color_swatch.h"
#include "table/grid_widget.h"

namespace {

// What a table holds; every value may also come from a file as it is.
struct TableShape {
    int cols = 9;
    int rows = 12;
    bool netscape = false;
    bool wild = false;        // stored values outside what the controls produce
    quint32 seed = 1;
    QVector<int> colWidths;   // twips per grid column from 1; empty: the default
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

std::unique_ptr<frmMain> newWindow(bool stepByStep)
{
    auto w = std::make_unique<frmMain>();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->FileName = newTableName();
    w->stepByStepRefresh = stepByStep;
    w->show();
    return w;
}

// Column widths stay with the grid through every resize; the grid keeps its size.
void applyColumnWidths(frmMain &w, const TableShape &shape)
{
    const int cols = w.Grid->Cols();
    w.Grid->setCols(GridWidget::MaxCols);
    for (int c = 0; c < shape.colWidths.size(); ++c)
        w.Grid->setColWidth(c + 1, shape.colWidths.at(c));
    w.Grid->setCols(cols);
}

// The table into a window as the user would have it: settings in the table
// settings pane, cells in the model.
void loadInto(frmMain &w, const TableShape &shape)
{
    fillTable(w, shape);
    w.loadTableSettingsPane(true);
    applyColumnWidths(w, shape);
}

QString onOff(bool b)
{
    return b ? QStringLiteral("on") : QStringLiteral("off");
}

QString recordText(const CellRecord &R)
{
    return QStringLiteral("%1 H%2 %3:%4 %5:%6 rs%7:%8 cs%9:%10 al%11/%12 bg%13/%14")
            .arg(R.Text).arg(R.Header).arg(R.HeightOn).arg(R.Height).arg(R.WidthOn).arg(R.Width)
            .arg(R.RowSpanOn).arg(R.RowSpan).arg(R.ColSpanOn).arg(R.ColSpan).arg(R.VAlign)
            .arg(R.HAlign).arg(R.BackColor).arg(R.BackColorNothing);
}

// Everything the user can see or the program keeps, as name -> value.
QMap<QString, QString> endState(frmMain &w)
{
    QMap<QString, QString> s;
    for (int c = 0; c <= CellTable::MaxIndex; ++c)
        for (int r = 0; r <= CellTable::MaxIndex; ++r)
            s[QStringLiteral("record %1,%2").arg(c).arg(r)] = recordText(w.Cells(c, r));

    GridWidget *g = w.Grid;
    s[QStringLiteral("grid size")] = QStringLiteral("%1x%2").arg(g->Cols()).arg(g->Rows());
    s[QStringLiteral("current cell")] = QStringLiteral("%1,%2").arg(g->Col()).arg(g->Row());
    for (int c = 0; c < g->Cols(); ++c) {
        for (int r = 0; r < g->Rows(); ++r) {
            s[QStringLiteral("grid %1,%2").arg(c).arg(r)] =
                    QStringLiteral("'%1' bg%2 bold %3 align %4")
                            .arg(g->text(c, r)).arg(g->cellBackColor(c, r))
                            .arg(onOff(g->cellBold(c, r))).arg(g->cellAlignment(c, r));
        }
    }
    for (int r = 1; r < g->Rows(); ++r) {
        s[QStringLiteral("row height %1").arg(r)] = QString::number(g->rowHeight(r));
        s[QStringLiteral("row section %1").arg(r)] = QString::number(g->verticalHeader()->sectionSize(r - 1));
    }
    QStringList holders;
    for (qint32 h : std::as_const(w.RowHeightCol))
        holders << QString::number(h);
    s[QStringLiteral("RowHeightCol")] = holders.join(QLatin1Char(' '));

    for (QCheckBox *box : {w.chkSHeight, w.chkSWidth, w.chkHeight, w.chkWidth, w.chkBackColorNothing2})
        s[box->objectName()] = onOff(box->isChecked());
    for (QLineEdit *box : {w.txtSHeight, w.txtSWidth, w.txtMHeight, w.txtMWidth})
        s[box->objectName()] = box->text() + QLatin1Char(' ') + onOff(box->isEnabled());
    for (QWidget *x : std::initializer_list<QWidget *>{w.Label1[0], w.Label1[1], w.Label10, w.Label11,
                                                       w.Label333, w.picBackColor2, w.cmdBackColorSet2})
        s[x->objectName() + QStringLiteral(" enabled")] = onOff(x->isEnabled());
    for (QSlider *slider : {w.SliW, w.SliH})
        s[slider->objectName()] = QString::number(slider->value()) + QLatin1Char(' ') + onOff(slider->isEnabled());
    s[QStringLiteral("picBackColor2")] = QString::number(w.picBackColor2->color());
    s[QStringLiteral("lblTextMove")] = QStringLiteral("%1,%2").arg(w.lblTextMove->x()).arg(w.lblTextMove->y());
    s[QStringLiteral("button 7")] = onOff(w.BarButton[7]->isChecked());
    s[QStringLiteral("Frame3 shown")] = onOff(!w.Frame3->isHidden());
    s[QStringLiteral("txtInsert shown")] = onOff(!w.txtInsert->isHidden());
    return s;
}

// The first differences, readable; empty when both windows ended alike.
QString differences(frmMain &fast, frmMain &reference)
{
    const QMap<QString, QString> a = endState(fast);
    const QMap<QString, QString> b = endState(reference);
    QStringList out;
    for (auto it = b.cbegin(); it != b.cend() && out.size() < 8; ++it) {
        if (a.value(it.key()) != it.value())
            out << QStringLiteral("%1: fast '%2', step by step '%3'").arg(it.key(), a.value(it.key()), it.value());
    }
    if (a.size() != b.size())
        out << QStringLiteral("different sets of values");
    return out.join(QLatin1Char('\n'));
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
    void fastPathIsTaken();

private:
    void addTables();
};

void TestBulkRefresh::initTestCase()
{
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

    QTest::newRow("merges, headers and multi-line cells") << 9 << 12 << false << false << 1 << QVector<int>();
    QTest::newRow("stored values out of range") << 8 << 10 << false << true << 2 << QVector<int>();
    QTest::newRow("Netscape mode hides the alignment") << 7 << 9 << true << true << 3 << QVector<int>();
    QTest::newRow("narrow and wide columns") << 6 << 8 << false << true << 4
                                            << QVector<int>{300, 3000, 45, 1200, 600, 15};
    QTest::newRow("full width") << 99 << 3 << false << true << 5 << QVector<int>();
    QTest::newRow("smallest table") << 1 << 1 << false << true << 6 << QVector<int>();
}

#define FETCH_SPEC()                                            \
    TableShape shape;                                             \
    QFETCH(int, cols);                                          \
    QFETCH(int, rows);                                          \
    QFETCH(bool, netscape);                                     \
    QFETCH(bool, wild);                                         \
    QFETCH(int, seed);                                          \
    QFETCH(QVector<int>, colWidths);                            \
    shape.cols = cols;                                           \
    shape.rows = rows;                                           \
    shape.netscape = netscape;                                   \
    shape.wild = wild;                                           \
    shape.seed = quint32(seed);                                  \
    shape.colWidths = colWidths

void TestBulkRefresh::viewSwitch_data()
{
    addTables();
}

void TestBulkRefresh::viewSwitch()
{
    FETCH_SPEC();
    auto fast = newWindow(false);
    auto reference = newWindow(true);
    for (frmMain *w : {fast.get(), reference.get()}) {
        loadInto(*w, shape);
        w->Bar_ButtonClick(10);
    }
    QCOMPARE(differences(*fast, *reference), QString());

    // Once more over the grid as the first switch left it, with an edit open.
    for (frmMain *w : {fast.get(), reference.get()}) {
        w->Grid->setCol(qMin(2, w->Grid->Cols() - 1));
        w->Grid->setRow(qMin(2, w->Grid->Rows() - 1));
        w->Grid_Click();
        w->Grid_DblClick();
        w->txtInsert->setText(QStringLiteral("新しい<BR>二行目<BR>三行目"));
        w->txtInsert->setModified(true);
        w->Bar_ButtonClick(9);
        w->Bar_ButtonClick(10);
    }
    QCOMPARE(differences(*fast, *reference), QString());
}

void TestBulkRefresh::open_data()
{
    addTables();
}

void TestBulkRefresh::open()
{
    FETCH_SPEC();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("t.qvn"));
    TableModel source;
    fillTable(source, shape);
    // Header is a boolean in the file: only -1 and 0 come back.
    QVERIFY(saveTableDocument(source, path).ok);

    auto fast = std::make_unique<frmMain>();
    auto reference = std::make_unique<frmMain>();
    reference->stepByStepRefresh = true;
    for (frmMain *w : {fast.get(), reference.get()}) {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        applyColumnWidths(*w, shape);
        w->OpenFile(path);
        QVERIFY(w->isVisible());
    }
    QCOMPARE(differences(*fast, *reference), QString());

    // The opened table shown in the cell settings view.
    fast->Bar_ButtonClick(10);
    reference->Bar_ButtonClick(10);
    QCOMPARE(differences(*fast, *reference), QString());
}

void TestBulkRefresh::buildTableHtml_data()
{
    addTables();
}

void TestBulkRefresh::buildTableHtml()
{
    FETCH_SPEC();
    auto fast = newWindow(false);
    auto reference = newWindow(true);
    for (frmMain *w : {fast.get(), reference.get()})
        loadInto(*w, shape);

    // From the table settings view the grid still has its old size; then again
    // after a view switch, twice in a row (row holders left by the first run).
    QCOMPARE(fast->BuildTableHtml(), reference->BuildTableHtml());
    QCOMPARE(differences(*fast, *reference), QString());
    for (frmMain *w : {fast.get(), reference.get()})
        w->Bar_ButtonClick(10);
    for (int run = 0; run < 2; ++run) {
        const QString html = fast->BuildTableHtml();
        QCOMPARE(html, reference->BuildTableHtml());
        QVERIFY(!html.isEmpty());
        QCOMPARE(differences(*fast, *reference), QString());
    }

    // The tag view and the preview page run the same generator.
    for (frmMain *w : {fast.get(), reference.get()}) {
        w->Grid->setCol(1);
        w->Grid->setRow(1);
        w->Grid_Click();
        w->Bar_ButtonClick(11);
    }
    QCOMPARE(differences(*fast, *reference), QString());
}

void TestBulkRefresh::rowRefit()
{
    TableShape shape;
    shape.cols = 12;
    shape.rows = 6;
    shape.wild = true;
    shape.seed = 7;
    auto fast = newWindow(false);
    auto reference = newWindow(true);
    for (frmMain *w : {fast.get(), reference.get()}) {
        loadInto(*w, shape);
        w->Bar_ButtonClick(10);
    }

    // SettingText grows a row and shrinks it again; an in-place commit does the same.
    const QStringList texts = {QStringLiteral("一<BR>二<BR>三<BR>四<BR>五"), QStringLiteral("a"),
                               QString(), QStringLiteral("x<BR>y<BR>z")};
    for (const QString &text : texts) {
        for (frmMain *w : {fast.get(), reference.get()}) {
            w->Grid->setCol(3);
            w->Grid->setRow(2);
            w->Grid_Click();
            w->SettingText(text);
        }
        QCOMPARE(differences(*fast, *reference), QString());
    }
    for (frmMain *w : {fast.get(), reference.get()}) {
        w->Grid->setCol(5);
        w->Grid->setRow(4);
        w->Grid_Click();
        w->Grid_DblClick();
        w->txtInsert->setText(QStringLiteral("長い長い長い長い長い長いテキスト"));
        w->txtInsert->setModified(true);
        int enter = 13;
        w->txtInsert_KeyPress(enter);
    }
    QCOMPARE(differences(*fast, *reference), QString());
}

void TestBulkRefresh::fastPathIsTaken()
{
    // A refresh of every cell reaches the view once: no cell of a large table
    // is repainted on its own while the loop runs.
    TableShape shape;
    shape.cols = 40;
    shape.rows = 40;
    auto w = newWindow(false);
    loadInto(*w, shape);
    int changes = 0;
    connect(w->Grid->model(), &QAbstractItemModel::dataChanged, w.get(), [&changes] { ++changes; });
    w->Bar_ButtonClick(10);
    QVERIFY2(changes < 10, qPrintable(QString::number(changes)));
    QVERIFY(!w->Grid->inBulkUpdate());
}

QTEST_MAIN(TestBulkRefresh)
#include "tst_bulk_refresh.moc"
