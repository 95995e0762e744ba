// How the grid lays out cell text: the row fitting counts the lines a cell
// paints, the in-place box shows whole lines, and no text is too long to fit.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/widgets/ui_font.h"
#include "document/table_document.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

namespace {

int inkPixels(const QImage &img, const QRect &area)
{
    int n = 0;
    const QRect r = area & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 100;
    return n;
}

// For each line slot of the cell, from its first line down: does it carry ink?
// emptyCol names an empty cell of the same row, whose needed height is one
// line plus the padding above and below it.
QVector<bool> inkedLines(GridWidget &grid, int col, int row, int emptyCol, int count)
{
    const int spacing = grid.lineHeightTwips() / 15;
    const int pad = (grid.neededHeight(emptyCol, row) / 15 - spacing) / 2;
    const QRect cell = grid.cellRect(col, row);
    const QImage shot = grid.viewport()->grab().toImage();
    QVector<bool> inked;
    for (int k = 0; k < count; ++k) {
        const QRect line(cell.left() + 1, cell.top() + pad + k * spacing, cell.width() - 2, spacing);
        inked << (inkPixels(shot, line) > 0);
    }
    return inked;
}

std::unique_ptr<frmMain> openCellView()
{
    auto w = std::make_unique<frmMain>();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->setFileName(newTableName());
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("window not exposed");
    clickBar(*w, ToolbarButton::CellView);
    return w;
}

} // namespace

class TstGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void measuredLinesArePainted_data();
    void measuredLinesArePainted();
    void boxShowsWholeLine();
    void unbrokenMegabyteFitsToTheCapAndShowsItsStart();
};

void TstGridLayout::measuredLinesArePainted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("widthTwips");

    const int defaultWidth = GridWidget::DefaultColWidth;
    QTest::newRow("latin and kanji words") << "price 合計 tax" << defaultWidth;
    QTest::newRow("kanji and latin words") << "合計 price 税" << defaultWidth;
    QTest::newRow("words at their width") << "total 合計 tax" << 1125;
    QTest::newRow("sentence") << "Quorvan table cell with a longer English text that wraps" << defaultWidth;
    QTest::newRow("Japanese without spaces") << "東京都千代田区丸の内一丁目の価格：1,980円（税込）" << defaultWidth;
    QTest::newRow("word longer than the column") << "abcdefghijklmnopqrstuvwxyz0123456789 end" << 900;
    QTest::newRow("unbroken run past the long-word bound") << QString(700, QLatin1Char('m')) << 4500;
    QTest::newRow("lines and wrapping") << "一行目 first line\r\n二行目\r\nthird line that wraps" << defaultWidth;
    QTest::newRow("tab") << "a\tb\tc\td\te\tf" << 600;
    QTest::newRow("narrow column") << "ab cd ef" << 300;
}

void TstGridLayout::measuredLinesArePainted()
{
    QFETCH(QString, text);
    QFETCH(int, widthTwips);

    TableDocument doc;
    GridWidget grid(nullptr, &doc);
    grid.setFont(japaneseUiFont(9));
    grid.setCols(3);
    grid.setRows(2);
    grid.resize(900, 700);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setColWidth(1, widthTwips);
    doc.setCellText(1, 1, text);
    doc.setCellField(1, 1, CellField::HAlign, 0);
    doc.setCellField(1, 1, CellField::VAlign, 0);

    const int spacing = grid.lineHeightTwips();
    const int empty = grid.neededHeight(2, 1);
    const int measured = (grid.neededHeight(1, 1) - empty) / spacing + 1;
    QVERIFY(measured >= 1);
    // Room for more lines than measured, so that every painted line shows.
    grid.setRowHeight(1, empty + (measured + 2) * spacing);
    QApplication::processEvents();

    const QVector<bool> inked = inkedLines(grid, 1, 1, 2, measured + 2);
    QCOMPARE(int(inked.count(true)), measured);
    QVERIFY(!inked.at(measured));
}

void TstGridLayout::boxShowsWholeLine()
{
    auto w = openCellView();
    w->SettingText(QStringLiteral("gjpqy日本"));
    QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(1, 1).center());
    QLineEdit *box = part<QLineEdit>(*w, "txtInsert");
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("gjpqy日本"));
    QVERIFY(box->geometry().contains(grid(*w)->cellRect(1, 1)));
    // The cursor would blink in and out of the pictures.
    box->setReadOnly(true);

    // As much ink as in a box with room to spare: no part of the line is cut.
    const QRect inside = box->rect().adjusted(3, 3, -3, -3);
    const int shown = inkPixels(box->grab().toImage(), inside);
    box->resize(box->width(), box->height() * 3);
    const int whole = inkPixels(box->grab().toImage(), box->rect().adjusted(3, 3, -3, -3));
    QVERIFY(whole > 0);
    QCOMPARE(shown, whole);
    box->setReadOnly(false);
}

void TstGridLayout::unbrokenMegabyteFitsToTheCapAndShowsItsStart()
{
    auto w = openCellView();
    // A first empty line, then 1 MiB of x without a break opportunity.
    const QString text = QStringLiteral("<BR>") + QString(1 << 20, QLatin1Char('x'));
    w->SettingText(text);
    QCOMPARE(model(*w).Cells(1, 1).Text, text);
    QCOMPARE(grid(*w)->rowHeight(1), int(GridWidget::MaxRowHeight));
    QApplication::processEvents();

    // The cell is centred vertically, but its text is taller than any row: it
    // shows its start, the empty line and then x.
    const QVector<bool> inked = inkedLines(*grid(*w), 1, 1, 2, 3);
    QCOMPARE(inked, QVector<bool>({false, true, true}));

    // Typing over it replaces it, and the row shrinks back to one line.
    grid(*w)->setFocus();
    QTest::keyClick(grid(*w), Qt::Key_A);
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("a"));
    QCOMPARE(grid(*w)->rowHeight(1), grid(*w)->neededHeight(2, 1));
}

QTEST_MAIN(TstGridLayout)
#include "tst_grid_layout.moc"
