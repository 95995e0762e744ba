// The table document as a user drives it: the table settings pane, the grid
// with its in-place box, and the cell settings pane, on a real main window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/widgets/color_swatch.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/up_down.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

namespace {

std::unique_ptr<frmMain> openWindow()
{
    auto w = shownWindow();
    return w;
}

// Types any text, Japanese included, into whatever has the focus (or into w).
void typeText(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

void clickCell(frmMain &w, int col, int row, Qt::KeyboardModifiers mods = {},
               Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(grid(w)->viewport(), button, mods, grid(w)->cellRect(col, row).center());
}

// Types a new text on the grid's current cell and presses Enter in the box.
void typeIntoCell(frmMain &w, int col, int row, const QString &text)
{
    clickCell(w, col, row);
    grid(w)->setFocus();
    typeText(grid(w), text);
    QTest::keyClick(part<QLineEdit>(w, "txtInsert"), Qt::Key_Return);
}

void showCellView(frmMain &w)
{
    clickBar(w, ToolbarButton::CellView);
}

void showTableView(frmMain &w)
{
    clickBar(w, ToolbarButton::TableView);
}

// Selects the box's text and types over it; no keys: deletes it.
void replaceText(QLineEdit *box, const QString &keys)
{
    box->setFocus();
    box->selectAll();
    if (keys.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, keys);
}

void clearCell(frmMain &w, int col, int row)
{
    clickCell(w, col, row);
    part<QAction>(w, "mnuSelEdit")->trigger();
    part<QLineEdit>(w, "txtInsert")->selectAll();
    QTest::keyClick(part<QLineEdit>(w, "txtInsert"), Qt::Key_Backspace);
    QTest::keyClick(part<QLineEdit>(w, "txtInsert"), Qt::Key_Return);
}

qint64 fieldValue(frmMain &w, const QString &field)
{
    const CellRecord &r = model(w).Cells(grid(w)->Col(), grid(w)->Row());
    if (field == QLatin1String("TableCols")) return model(w).TableCols;
    if (field == QLatin1String("TableRows")) return model(w).TableRows;
    if (field == QLatin1String("TableBorder")) return model(w).TableBorder;
    if (field == QLatin1String("Width")) return r.Width;
    if (field == QLatin1String("Height")) return r.Height;
    if (field == QLatin1String("RowSpan")) return r.RowSpan;
    if (field == QLatin1String("ColSpan")) return r.ColSpan;
    return -999;
}

int oneLineHeight(frmMain &w)
{
    return grid(w)->neededHeight(1, 1) > 0 ? QFontMetrics(grid(w)->font()).lineSpacing() * 15 : 0;
}

} // namespace

class TstTablePanes : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { CommonDialog::setTestHook({}); }

    void newWindowDefaults();
    void numberBoxes_data();
    void numberBoxes();
    void widthWrittenKeystrokeByKeystroke();
    void storedNumbersAreNotCut();
    void spinnersKeepTheirBoxInStep();
    void sizeFromBoxesOnCellView();
    void shrinkAndGrowBringsOldCellsBack();
    void headerToggle_data();
    void headerToggle();
    void typingStartsNewText_data();
    void typingStartsNewText();
    void doubleClickEditsRawTextAndEscapeKeepsIt();
    void enterOnGridNeverWipesTheCell();
    void commitOnLeavingTheCell_data();
    void commitOnLeavingTheCell();
    void longAndMultiLineTextSurvivesTheBox();
    void rowHeightsFollowBrLines();
    void alignmentSliders();
    void cellColour();
    void tableColour();
    void rightClickMenuDefaultItem_data();
    void rightClickMenuDefaultItem();
    void netscapeHidesAlignment();
    void settingTextStoresUnchanged();
    void viewSwitchCommitsTheBoxToItsOwnCell_data();
    void viewSwitchCommitsTheBoxToItsOwnCell();
    void tallRowIsCappedNotFailed();
    void shiftDoubleClickOpensTheEditor();
    void profileWidthAndNoBorder();
    void structureOnlyWithIdAndClasses();
    void cellSizeInPerCentAndOwnStyle();
    void footerRows();
};

void TstTablePanes::newWindowDefaults()
{
    auto w = openWindow();
    QCOMPARE(part<QLineEdit>(*w, "txtWidth")->text(), QStringLiteral("2"));
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->text(), QStringLiteral("2"));
    QCOMPARE(part<QLineEdit>(*w, "txtBorder")->text(), QStringLiteral("1"));
    QVERIFY(part<QCheckBox>(*w, "chkBackColorNothing")->isChecked());
    QVERIFY(!part<QAbstractButton>(*w, "cmdBackColorSet")->isEnabled());
    QVERIFY(!part<ColorSwatch>(*w, "picBackColor")->isEnabled());
    QVERIFY(!part<QLabel>(*w, "Label2")->isEnabled());
    // The labels and tips read swapped, and stay so.
    QCOMPARE(part<QLabel>(*w, "Label101")->text(), QStringLiteral("行の数(&W)："));
    // Every label of the pane starts on one line, clear of the window's edge.
    QCOMPARE(part<QLabel>(*w, "Label801")->x(), part<QLabel>(*w, "Label101")->x());
    QCOMPARE(part<QLineEdit>(*w, "txtWidth")->toolTip(), QStringLiteral("表の行の数を入力します。"));
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->toolTip(), QStringLiteral("表の列の数を入力します。"));
    QCOMPARE(grid(*w)->toolTip(), QStringLiteral("設定するセルを選択します。"));
    QCOMPARE(part<QLabel>(*w, "lblTextMove")->text(), QStringLiteral("あ"));
    QCOMPARE(grid(*w)->Rows(), 3);
    QCOMPARE(grid(*w)->Cols(), 3);
    QCOMPARE(grid(*w)->Col(), 1);
    QCOMPARE(grid(*w)->Row(), 1);
}

void TstTablePanes::numberBoxes_data()
{
    QTest::addColumn<bool>("cellView");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("leave");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");

    QTest::newRow("emptied txtWidth refills with 2") << false << "txtWidth" << "" << false << "2" << "TableCols" << 2;
    QTest::newRow("emptied txtHeight refills with 1") << false << "txtHeight" << "" << false << "1" << "TableRows" << 1;
    QTest::newRow("emptied txtBorder refills with 1") << false << "txtBorder" << "" << false << "1" << "TableBorder" << 1;
    QTest::newRow("0 is held until the focus leaves") << false << "txtHeight" << "0" << false << "0" << "TableRows" << 0;
    QTest::newRow("0 in txtHeight becomes 1 on leaving") << false << "txtHeight" << "0" << true << "1" << "TableRows" << 1;
    QTest::newRow("00 in txtHeight becomes 1 on leaving") << false << "txtHeight" << "00" << true << "1" << "TableRows" << 1;
    QTest::newRow("99 in txtHeight stays") << false << "txtHeight" << "99" << true << "99" << "TableRows" << 99;
    QTest::newRow("0 in txtWidth becomes 1 on leaving") << false << "txtWidth" << "0" << true << "1" << "TableCols" << 1;
    QTest::newRow("11 in txtBorder becomes 1 on leaving") << false << "txtBorder" << "11" << true << "1" << "TableBorder" << 1;
    QTest::newRow("0 in txtBorder stays") << false << "txtBorder" << "0" << true << "0" << "TableBorder" << 0;
    QTest::newRow("10 in txtBorder stays") << false << "txtBorder" << "10" << true << "10" << "TableBorder" << 10;
    QTest::newRow("letters are refused") << false << "txtWidth" << "a7b" << false << "7" << "TableCols" << 7;
    QTest::newRow("only four digits are typed") << false << "txtWidth" << "12345" << false << "1234" << "TableCols" << 1234;

    QTest::newRow("emptied txtSWidth refills with 100") << true << "txtSWidth" << "" << false << "100" << "Width" << 100;
    QTest::newRow("emptied txtSHeight refills with 1") << true << "txtSHeight" << "" << false << "1" << "Height" << 1;
    QTest::newRow("0 in txtSHeight becomes 100 on leaving") << true << "txtSHeight" << "0" << true << "100" << "Height" << 100;
    QTest::newRow("0 in txtSWidth becomes 100 on leaving") << true << "txtSWidth" << "0" << true << "100" << "Width" << 100;
    QTest::newRow("9999 in txtSWidth stays") << true << "txtSWidth" << "99999" << true << "9999" << "Width" << 9999;
    QTest::newRow("0 in txtMHeight becomes 1 on leaving") << true << "txtMHeight" << "0" << true << "1" << "RowSpan" << 1;
    QTest::newRow("99 in txtMHeight stays") << true << "txtMHeight" << "99" << true << "99" << "RowSpan" << 99;
    QTest::newRow("emptied txtMWidth refills with 1") << true << "txtMWidth" << "" << false << "1" << "ColSpan" << 1;
    QTest::newRow("a merge past the table's edge is kept") << true << "txtMHeight" << "5" << true << "5" << "RowSpan" << 5;
}

void TstTablePanes::numberBoxes()
{
    QFETCH(bool, cellView);
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(bool, leave);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(int, value);

    auto w = openWindow();
    if (cellView) {
        showCellView(*w);
        clickCell(*w, 2, 2);
        // Each cell box is enabled by the switch of its group.
        for (const char *chk : {"chkSWidth", "chkSHeight", "chkHeight", "chkWidth"})
            QTest::mouseClick(w->findChild<QCheckBox *>(QLatin1String(chk)), Qt::LeftButton);
    }
    auto *edit = w->findChild<QLineEdit *>(box);
    QVERIFY(edit);
    QVERIFY(edit->isEnabled());
    replaceText(edit, keys);
    if (leave) {
        QWidget *other = cellView ? static_cast<QWidget *>(grid(*w)) : part<QLineEdit>(*w, "txtTitle");
        other->setFocus();
        QVERIFY(!edit->hasFocus());
    }
    QCOMPARE(edit->text(), text);
    QCOMPARE(fieldValue(*w, field), qint64(value));
}

void TstTablePanes::widthWrittenKeystrokeByKeystroke()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 1, 2);
    // The record is held from its first write on.
    const CellRecord &rec = const_cast<TableModel &>(model(*w)).Cells(1, 2);
    QVERIFY(!part<QLineEdit>(*w, "txtSWidth")->isEnabled());
    QTest::mouseClick(part<QCheckBox>(*w, "chkSWidth"), Qt::LeftButton);
    QVERIFY(part<QLineEdit>(*w, "txtSWidth")->isEnabled());
    QVERIFY(part<QLabel>(*w, "Label1_0")->isEnabled());
    QCOMPARE(rec.WidthOn, qint16(1));

    part<QLineEdit>(*w, "txtSWidth")->setFocus();
    part<QLineEdit>(*w, "txtSWidth")->selectAll();
    QList<qint32> seen;
    for (const char *key : {"2", "5", "0"}) {
        QTest::keyClicks(part<QLineEdit>(*w, "txtSWidth"), QLatin1String(key));
        seen << rec.Width;
    }
    QCOMPARE(seen, (QList<qint32>{2, 25, 250}));

    QTest::mouseClick(part<QCheckBox>(*w, "chkSWidth"), Qt::LeftButton);
    QVERIFY(!part<QLineEdit>(*w, "txtSWidth")->isEnabled());
    QVERIFY(!part<QLabel>(*w, "Label1_0")->isEnabled());
    QCOMPARE(rec.WidthOn, qint16(0));
    QCOMPARE(rec.Width, 250);

    // Another cell and back: the pane shows the record again.
    clickCell(*w, 2, 2);
    QCOMPARE(part<QLineEdit>(*w, "txtSWidth")->text(), QStringLiteral("100"));
    clickCell(*w, 1, 2);
    QCOMPARE(part<QLineEdit>(*w, "txtSWidth")->text(), QStringLiteral("250"));
    QVERIFY(!part<QCheckBox>(*w, "chkSWidth")->isChecked());
}

void TstTablePanes::storedNumbersAreNotCut()
{
    // A record read from a file may hold more digits than the box lets one type.
    auto w = openWindow();
    doc(*w).setCellField(2, 1, CellField::RowSpan, 150);
    doc(*w).setCellField(2, 1, CellField::Width, 12345);
    showCellView(*w);
    clickCell(*w, 2, 1);
    QCOMPARE(part<QLineEdit>(*w, "txtMHeight")->text(), QStringLiteral("150"));
    QCOMPARE(model(*w).Cells(2, 1).RowSpan, 150);
    QCOMPARE(part<QLineEdit>(*w, "txtSWidth")->text(), QStringLiteral("12345"));
    QCOMPARE(model(*w).Cells(2, 1).Width, 12345);
}

void TstTablePanes::spinnersKeepTheirBoxInStep()
{
    auto w = openWindow();
    auto arrow = [](UpDown *u, const char *which) {
        auto *b = u->findChild<QToolButton *>(QLatin1String(which));
        QTest::mouseClick(b, Qt::LeftButton);
    };
    arrow(part<UpDown>(*w, "UpDownHeight"), "up");
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->text(), QStringLiteral("3"));
    QCOMPARE(model(*w).TableRows, 3);
    replaceText(part<QLineEdit>(*w, "txtBorder"), QStringLiteral("1"));
    arrow(part<UpDown>(*w, "UpDown1"), "down");
    QCOMPARE(part<QLineEdit>(*w, "txtBorder")->text(), QStringLiteral("0"));
    QCOMPARE(model(*w).TableBorder, qint16(0));
    replaceText(part<QLineEdit>(*w, "txtBorder"), QStringLiteral("10"));
    arrow(part<UpDown>(*w, "UpDown1"), "up");
    QCOMPARE(part<QLineEdit>(*w, "txtBorder")->text(), QStringLiteral("10"));
    replaceText(part<QLineEdit>(*w, "txtWidth"), QString::number(TableLimits::MaxCols));
    arrow(part<UpDown>(*w, "UpDownWidth"), "up");
    QCOMPARE(model(*w).TableCols, TableLimits::MaxCols);
    arrow(part<UpDown>(*w, "UpDownFooterRows"), "up");
    QCOMPARE(model(*w).FooterRows, 1);
}

void TstTablePanes::sizeFromBoxesOnCellView()
{
    auto w = openWindow();
    replaceText(part<QLineEdit>(*w, "txtWidth"), QStringLiteral("5"));
    replaceText(part<QLineEdit>(*w, "txtHeight"), QStringLiteral("3"));
    QCOMPARE(grid(*w)->Cols(), 3); // the grid follows only on the switch
    showCellView(*w);
    QCOMPARE(grid(*w)->Cols(), 6);
    QCOMPARE(grid(*w)->Rows(), 4);
    QCOMPARE(grid(*w)->text(5, 0), QStringLiteral("5"));
    QCOMPARE(grid(*w)->text(0, 3), QStringLiteral("3"));
    QCOMPARE(grid(*w)->Col(), 1);
    QCOMPARE(grid(*w)->Row(), 1);
    QVERIFY(grid(*w)->isVisible());
    QVERIFY(part<QWidget>(*w, "picBar")->isVisible());
}

void TstTablePanes::shrinkAndGrowBringsOldCellsBack()
{
    auto w = openWindow();
    replaceText(part<QLineEdit>(*w, "txtWidth"), QStringLiteral("5"));
    showCellView(*w);
    typeIntoCell(*w, 4, 1, QStringLiteral("四"));
    typeIntoCell(*w, 5, 2, QStringLiteral("x&amp;y"));
    clickCell(*w, 5, 2);
    QTest::mouseClick(part<QCheckBox>(*w, "chkBackColorNothing2"), Qt::LeftButton);

    showTableView(*w);
    replaceText(part<QLineEdit>(*w, "txtWidth"), QStringLiteral("2"));
    showCellView(*w);
    QCOMPARE(grid(*w)->Cols(), 3);
    showTableView(*w);
    replaceText(part<QLineEdit>(*w, "txtWidth"), QStringLiteral("5"));
    showCellView(*w);

    QCOMPARE(grid(*w)->Cols(), 6);
    QCOMPARE(model(*w).Cells(4, 1).Text, QStringLiteral("四"));
    QCOMPARE(grid(*w)->text(4, 1), QStringLiteral("四"));
    QCOMPARE(model(*w).Cells(5, 2).Text, QStringLiteral("x&amp;y"));
    QCOMPARE(grid(*w)->text(5, 2), QStringLiteral("x&y"));
    QCOMPARE(model(*w).Cells(5, 2).BackColorNothing, qint16(0));
}

void TstTablePanes::headerToggle_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("menu 見出し") << true;
    QTest::newRow("toolbar button 7") << false;
}

void TstTablePanes::headerToggle()
{
    QFETCH(bool, fromMenu);
    auto w = openWindow();
    QVERIFY(!barAction(*w, ToolbarButton::Header)->isEnabled());
    showCellView(*w);
    QVERIFY(barAction(*w, ToolbarButton::Header)->isEnabled());
    clickCell(*w, 2, 1);
    auto toggle = [&] {
        if (fromMenu) {
            emit part<QMenu>(*w, "mnuSel")->aboutToShow();
            part<QAction>(*w, "mnuBold")->trigger();
        } else {
            clickBar(*w, ToolbarButton::Header);
        }
    };

    toggle();
    QCOMPARE(model(*w).Cells(2, 1).Header, qint16(-1));
    QVERIFY(!part<QSlider>(*w, "SliH")->isEnabled());
    QVERIFY(!part<QSlider>(*w, "SliW")->isEnabled());
    QVERIFY(grid(*w)->cellBold(2, 1));
    QVERIFY(part<QAction>(*w, "mnuBold")->isChecked());
    QVERIFY(barAction(*w, ToolbarButton::Header)->isChecked());

    // Another cell is not a header; coming back shows the header again.
    clickCell(*w, 1, 1);
    QVERIFY(!barAction(*w, ToolbarButton::Header)->isChecked());
    emit part<QMenu>(*w, "mnuSel")->aboutToShow();
    QVERIFY(!part<QAction>(*w, "mnuBold")->isChecked());
    clickCell(*w, 2, 1);
    QVERIFY(barAction(*w, ToolbarButton::Header)->isChecked());
    emit part<QMenu>(*w, "mnuSel")->aboutToShow();
    QVERIFY(part<QAction>(*w, "mnuBold")->isChecked());

    toggle();
    QCOMPARE(model(*w).Cells(2, 1).Header, qint16(0));
    QVERIFY(part<QSlider>(*w, "SliH")->isEnabled());
    QVERIFY(part<QSlider>(*w, "SliW")->isEnabled());
    QVERIFY(!grid(*w)->cellBold(2, 1));
    QVERIFY(!part<QAction>(*w, "mnuBold")->isChecked());
    QVERIFY(!barAction(*w, ToolbarButton::Header)->isChecked());
}

void TstTablePanes::typingStartsNewText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("a letter") << "x";
    QTest::newRow("q like any letter") << "q";
    QTest::newRow("Japanese") << "表";
}

void TstTablePanes::typingStartsNewText()
{
    QFETCH(QString, typed);
    auto w = openWindow();
    showCellView(*w);
    w->SettingText(QStringLiteral("abc"));
    clickCell(*w, 1, 1);
    grid(*w)->setFocus();
    typeText(grid(*w), typed);
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->text(), typed);
    // Over the cell, and as tall as a whole line needs.
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->geometry().topLeft(), grid(*w)->cellRect(1, 1).topLeft());
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->width(), grid(*w)->cellRect(1, 1).width());
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->height() >= grid(*w)->cellRect(1, 1).height());
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
    QVERIFY(!part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(model(*w).Cells(1, 1).Text, typed);
    QCOMPARE(grid(*w)->text(1, 1), typed);
    QVERIFY(grid(*w)->hasFocus());
}

void TstTablePanes::doubleClickEditsRawTextAndEscapeKeepsIt()
{
    auto w = openWindow();
    showCellView(*w);
    typeIntoCell(*w, 2, 2, QStringLiteral("a<BR>b"));
    QCOMPARE(grid(*w)->text(2, 2), QStringLiteral("a\r\nb"));

    clickCell(*w, 2, 2);
    QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(2, 2).center());
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->text(), QStringLiteral("a<BR>b"));
    QTest::keyClicks(part<QLineEdit>(*w, "txtInsert"), "zz");
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Escape);
    QVERIFY(!part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(model(*w).Cells(2, 2).Text, QStringLiteral("a<BR>b"));
    QCOMPARE(grid(*w)->text(2, 2), QStringLiteral("a\r\nb"));

    // The menu's normal edit opens the box the same way.
    part<QAction>(*w, "mnuSelEdit")->trigger();
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->text(), QStringLiteral("a<BR>b"));
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_End);
    QTest::keyClicks(part<QLineEdit>(*w, "txtInsert"), "c");
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
    QCOMPARE(model(*w).Cells(2, 2).Text, QStringLiteral("a<BR>bc"));
}

void TstTablePanes::enterOnGridNeverWipesTheCell()
{
    auto w = openWindow();
    showCellView(*w);
    typeIntoCell(*w, 1, 2, QStringLiteral("keep"));
    clickCell(*w, 1, 2);
    grid(*w)->setFocus();
    QTest::keyClick(grid(*w), Qt::Key_Return);
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->text(), QStringLiteral("keep"));
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
    QCOMPARE(model(*w).Cells(1, 2).Text, QStringLiteral("keep"));

    // Shortcut keys type nothing, so they open nothing either.
    grid(*w)->setFocus();
    QTest::keyClick(grid(*w), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(!part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(model(*w).Cells(1, 2).Text, QStringLiteral("keep"));
}

void TstTablePanes::commitOnLeavingTheCell_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click on another cell") << "click";
    QTest::newRow("Tab") << "tab";
    QTest::newRow("focus to the pane") << "pane";
    QTest::newRow("arrow key moves after commit") << "none";
}

void TstTablePanes::commitOnLeavingTheCell()
{
    QFETCH(QString, how);
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 1, 1);
    grid(*w)->setFocus();
    typeText(grid(*w), QStringLiteral("foo"));
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    if (how == QLatin1String("click"))
        clickCell(*w, 2, 2);
    else if (how == QLatin1String("tab"))
        QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Tab);
    else if (how == QLatin1String("pane"))
        part<QCheckBox>(*w, "chkSWidth")->setFocus();
    else {
        QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
        QTest::keyClick(grid(*w), Qt::Key_Down);
        QCOMPARE(grid(*w)->Row(), 2);
    }
    QVERIFY(!part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("foo"));
    QCOMPARE(grid(*w)->text(1, 1), QStringLiteral("foo"));
    QCOMPARE(model(*w).Cells(2, 2).Text, QString());
}

void TstTablePanes::longAndMultiLineTextSurvivesTheBox()
{
    auto w = openWindow();
    showCellView(*w);
    const QString multi = QStringLiteral("line one\r\nline two<BR>three");
    const QString longText = QString(40000, QLatin1Char('x'));
    for (const QString &text : {multi, longText}) {
        clickCell(*w, 1, 1); // Enter moved on down the column
        w->SettingText(text);
        QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(1, 1).center());
        QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
        QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
        QCOMPARE(model(*w).Cells(1, 1).Text, text);
    }
    // Line breaks stored by the multi-line editor survive an edit in the box.
    clickCell(*w, 1, 1);
    w->SettingText(multi);
    part<QAction>(*w, "mnuSelEdit")->trigger();
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_End);
    QTest::keyClicks(part<QLineEdit>(*w, "txtInsert"), "!");
    QTest::keyClick(part<QLineEdit>(*w, "txtInsert"), Qt::Key_Return);
    QCOMPARE(model(*w).Cells(1, 1).Text, multi + QLatin1Char('!'));
}

void TstTablePanes::rowHeightsFollowBrLines()
{
    auto w = openWindow();
    showCellView(*w);
    const int h = oneLineHeight(*w);
    const int oneLine = grid(*w)->rowHeight(1);

    typeIntoCell(*w, 1, 1, QStringLiteral("a<br>b<BR>c"));
    const int threeLines = grid(*w)->rowHeight(1);
    QCOMPARE(threeLines - oneLine, 2 * h);
    QCOMPARE(gridEditor(*w)->RowHeightCol.at(1), 1);

    typeIntoCell(*w, 2, 1, QStringLiteral("d<BR>e"));
    QCOMPARE(grid(*w)->rowHeight(1), threeLines); // the taller cell keeps the row
    QCOMPARE(gridEditor(*w)->RowHeightCol.at(1), 1);

    typeIntoCell(*w, 1, 1, QStringLiteral("a"));
    QCOMPARE(grid(*w)->rowHeight(1), oneLine + h); // down to the tallest remaining cell
    QCOMPARE(gridEditor(*w)->RowHeightCol.at(1), 2);

    clearCell(*w, 2, 1);
    QCOMPARE(model(*w).Cells(2, 1).Text, QString());
    QCOMPARE(grid(*w)->rowHeight(1), oneLine); // never below one line
    QCOMPARE(grid(*w)->rowHeight(2), oneLine); // other rows untouched

    // A long line wraps at the column's width.
    typeIntoCell(*w, 2, 2, QString(60, QChar(0x3042)));
    QVERIFY(grid(*w)->rowHeight(2) >= oneLine + 2 * h);
}

void TstTablePanes::alignmentSliders()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 2);
    const QRect inner = part<QWidget>(*w, "picText")->contentsRect();
    QVERIFY(qAbs(part<QLabel>(*w, "lblTextMove")->geometry().center().x() - inner.center().x()) <= 1);

    part<QSlider>(*w, "SliW")->setFocus();
    QTest::keyClick(part<QSlider>(*w, "SliW"), Qt::Key_End);
    part<QSlider>(*w, "SliH")->setFocus();
    QTest::keyClick(part<QSlider>(*w, "SliH"), Qt::Key_Down);
    QCOMPARE(model(*w).Cells(2, 2).HAlign, qint16(2));
    QCOMPARE(model(*w).Cells(2, 2).VAlign, qint16(2));
    QCOMPARE(grid(*w)->cellAlignment(2, 2), TextPlacement::RightBottom);
    QCOMPARE(part<QLabel>(*w, "lblTextMove")->geometry().right(), inner.right());
    QCOMPARE(part<QLabel>(*w, "lblTextMove")->geometry().bottom(), inner.bottom());

    QTest::keyClick(part<QSlider>(*w, "SliH"), Qt::Key_Home); // the top
    QCOMPARE(model(*w).Cells(2, 2).VAlign, qint16(0));
    QCOMPARE(grid(*w)->cellAlignment(2, 2), TextPlacement::RightTop);
    QCOMPARE(part<QLabel>(*w, "lblTextMove")->y(), inner.top());

    // Another cell brings its own alignment back into the sliders.
    clickCell(*w, 1, 1);
    QCOMPARE(part<QSlider>(*w, "SliW")->value(), 1);
    QCOMPARE(part<QSlider>(*w, "SliH")->value(), 1);
    clickCell(*w, 2, 2);
    QCOMPARE(part<QSlider>(*w, "SliW")->value(), 2);
    QCOMPARE(part<QSlider>(*w, "SliH")->value(), 0);
}

void TstTablePanes::cellColour()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 1);
    QVERIFY(!part<QAbstractButton>(*w, "cmdBackColorSet2")->isEnabled());

    QTest::mouseClick(part<QCheckBox>(*w, "chkBackColorNothing2"), Qt::LeftButton);
    QVERIFY(part<QAbstractButton>(*w, "cmdBackColorSet2")->isEnabled());
    QVERIFY(part<ColorSwatch>(*w, "picBackColor2")->isEnabled());
    QCOMPARE(model(*w).Cells(2, 1).BackColorNothing, qint16(0));

    qint32 offered = -1;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        offered = r.color;
        CommonDialog::Reply reply;
        reply.accepted = true;
        reply.color = 0x0000FF; // red
        return reply;
    });
    QTest::mouseClick(part<QAbstractButton>(*w, "cmdBackColorSet2"), Qt::LeftButton);
    QCOMPARE(offered, 0xFFFFFF);
    QCOMPARE(model(*w).Cells(2, 1).BackColor, 0x0000FF);
    QCOMPARE(part<ColorSwatch>(*w, "picBackColor2")->color(), 0x0000FF);
    QCOMPARE(grid(*w)->cellBackColor(2, 1), 0x0000FF);

    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply(); });
    QTest::mouseClick(part<QAbstractButton>(*w, "cmdBackColorSet2"), Qt::LeftButton);
    QCOMPARE(model(*w).Cells(2, 1).BackColor, 0x0000FF);
    QCOMPARE(part<ColorSwatch>(*w, "picBackColor2")->color(), 0x0000FF);

    QTest::mouseClick(part<QCheckBox>(*w, "chkBackColorNothing2"), Qt::LeftButton);
    QCOMPARE(grid(*w)->cellBackColor(2, 1), 0xFFFFFF);
    QVERIFY(!part<QAbstractButton>(*w, "cmdBackColorSet2")->isEnabled());
    QCOMPARE(model(*w).Cells(2, 1).BackColor, 0x0000FF); // kept for later
    QTest::mouseClick(part<QCheckBox>(*w, "chkBackColorNothing2"), Qt::LeftButton);
    QCOMPARE(grid(*w)->cellBackColor(2, 1), 0x0000FF);
}

void TstTablePanes::tableColour()
{
    auto w = openWindow();
    QTest::mouseClick(part<QCheckBox>(*w, "chkBackColorNothing"), Qt::LeftButton);
    QCOMPARE(model(*w).TableBackColorNothing, qint16(0));
    QVERIFY(part<QAbstractButton>(*w, "cmdBackColorSet")->isEnabled());
    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply(); });
    QTest::mouseClick(part<QAbstractButton>(*w, "cmdBackColorSet"), Qt::LeftButton);
    QCOMPARE(model(*w).TableBackColor, 0xFFFFFF);
    CommonDialog::setTestHook([](const CommonDialog::Request &r) {
        CommonDialog::Reply reply;
        reply.accepted = r.kind == CommonDialog::Color;
        reply.color = 0x123456;
        return reply;
    });
    QTest::mouseClick(part<QAbstractButton>(*w, "cmdBackColorSet"), Qt::LeftButton);
    QCOMPARE(model(*w).TableBackColor, 0x123456);
    QCOMPARE(part<ColorSwatch>(*w, "picBackColor")->color(), 0x123456);
    QTest::mouseClick(part<QCheckBox>(*w, "chkBackColorNothing"), Qt::LeftButton);
    QVERIFY(!part<QAbstractButton>(*w, "cmdBackColorSet")->isEnabled());
    QCOMPARE(model(*w).TableBackColorNothing, qint16(1));
    QCOMPARE(model(*w).TableBackColor, 0x123456);
}

void TstTablePanes::rightClickMenuDefaultItem_data()
{
    QTest::addColumn<bool>("shift");
    QTest::newRow("plain right click: in-place edit") << false;
    QTest::newRow("with Shift: multi-line edit") << true;
}

void TstTablePanes::rightClickMenuDefaultItem()
{
    QFETCH(bool, shift);
    auto w = openWindow();
    showCellView(*w);
    doc(*w).setCellField(2, 2, CellField::Header, -1);
    clickCell(*w, 2, 2, shift ? Qt::ShiftModifier : Qt::NoModifier, Qt::RightButton);
    QCOMPARE(grid(*w)->Col(), 2);
    QCOMPARE(grid(*w)->Row(), 2);
    QVERIFY(part<QMenu>(*w, "mnuSel")->isVisible());
    QCOMPARE(part<QMenu>(*w, "mnuSel")->defaultAction(), shift ? part<QAction>(*w, "mnuSelEditMax") : part<QAction>(*w, "mnuSelEdit"));
    QVERIFY(part<QAction>(*w, "mnuBold")->isChecked());
    QCOMPARE(w->ShiftKeyPush(), shift);
    part<QMenu>(*w, "mnuSel")->close();
}

void TstTablePanes::netscapeHidesAlignment()
{
    auto w = openWindow();
    QTest::mouseClick(part<QCheckBox>(*w, "chkNet"), Qt::LeftButton);
    QCOMPARE(model(*w).NetscapeMode, qint16(1));
    showCellView(*w);
    QVERIFY(part<QGroupBox>(*w, "Frame3")->isHidden());
    showTableView(*w);
    QTest::mouseClick(part<QCheckBox>(*w, "chkNet"), Qt::LeftButton);
    showCellView(*w);
    clickCell(*w, 1, 2);
    QVERIFY(!part<QGroupBox>(*w, "Frame3")->isHidden());
}

void TstTablePanes::settingTextStoresUnchanged()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 1);
    w->SettingText(QStringLiteral("x<y"));
    QCOMPARE(model(*w).Cells(2, 1).Text, QStringLiteral("x<y"));
    QCOMPARE(grid(*w)->text(2, 1), QStringLiteral("x<y"));
}

void TstTablePanes::viewSwitchCommitsTheBoxToItsOwnCell_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("cell view again (every cell is refreshed)") << 10;
    QTest::newRow("table settings view") << 9;
}

void TstTablePanes::viewSwitchCommitsTheBoxToItsOwnCell()
{
    QFETCH(int, button);
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 2);
    grid(*w)->setFocus();
    typeText(grid(*w), QStringLiteral("zz"));
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    clickBar(*w, ToolbarButton(button));
    QCOMPARE(model(*w).Cells(2, 2).Text, QStringLiteral("zz"));
    QCOMPARE(model(*w).Cells(1, 1).Text, QString());
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isHidden());
}

void TstTablePanes::tallRowIsCappedNotFailed()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 1, 1);
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("a<BR>");
    w->SettingText(text);
    QCOMPARE(grid(*w)->rowHeight(1), int(GridWidget::MaxRowHeight));
    QCOMPARE(model(*w).Cells(1, 1).Text, text);
    w->SettingText(QStringLiteral("a"));
    QVERIFY(grid(*w)->rowHeight(1) < 1000);
}

void TstTablePanes::shiftDoubleClickOpensTheEditor()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 1);
    w->SettingText(QStringLiteral("a<BR>b"));
    bool seen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        QWidget *editor = QApplication::activeModalWidget();
        if (editor && editor->inherits("frmEdit")) {
            seen = true;
            editor->close();
        }
    });
    poll.start(10);
    // A real double-click starts with a press; that press reads Shift.
    clickCell(*w, 2, 1, Qt::ShiftModifier);
    QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                       grid(*w)->cellRect(2, 1).center());
    QVERIFY(seen);
    QVERIFY(!part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(model(*w).Cells(2, 1).Text, QStringLiteral("a<BR>b"));
}

void TstTablePanes::profileWidthAndNoBorder()
{
    // "80 % wide, no border" in HTML5, made with keys only, then saved and reopened.
    auto w = openWindow();
    auto *unit = part<QComboBox>(*w, "cmbWidthUnit");
    auto *width = part<QLineEdit>(*w, "txtTableWidth");
    QVERIFY(!width->isEnabled());
    part<QComboBox>(*w, "cmbProfile")->setFocus();
    QTest::keyClick(part<QComboBox>(*w, "cmbProfile"), Qt::Key_Down);
    QCOMPARE(model(*w).OutputProfile, MarkupProfile::Html5);

    // Pixels first: 500 is a fine width there, and brought to 100 as per cent.
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Down);
    QVERIFY(width->isEnabled());
    replaceText(width, QStringLiteral("500"));
    QCOMPARE(model(*w).TableWidth, 500);
    QTest::keyClick(unit, Qt::Key_Down);
    QCOMPARE(model(*w).TableWidthUnit, WidthUnit::Percent);
    QCOMPARE(width->text(), QStringLiteral("100"));
    QCOMPARE(model(*w).TableWidth, 100);
    replaceText(width, QStringLiteral("80"));
    replaceText(part<QLineEdit>(*w, "txtBorder"), QStringLiteral("0"));
    part<QLineEdit>(*w, "txtTitle")->setFocus();
    QCOMPARE(model(*w).TableWidth, 80);
    QCOMPARE(model(*w).TableBorder, qint16(0));

    const QString html = w->BuildTableHtml();
    QVERIFY2(html.startsWith(QLatin1String("<table")), qPrintable(html));
    QVERIFY2(html.contains(QLatin1String("width: 80%")), qPrintable(html));
    QVERIFY2(!html.contains(QLatin1String("border=")), qPrintable(html));
    QCOMPARE(html, html.toLower());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("price.qvn"));
    CommonDialog::setTestHook([&](const CommonDialog::Request &) { return CommonDialog::Reply{true, path, 0}; });
    w->SaveFile();
    auto again = openWindow();
    again->OpenFile(path);
    QCOMPARE(model(*again).OutputProfile, MarkupProfile::Html5);
    QCOMPARE(model(*again).TableWidthUnit, WidthUnit::Percent);
    QCOMPARE(model(*again).TableWidth, 80);
    QCOMPARE(model(*again).TableBorder, qint16(0));
    QCOMPARE(part<QComboBox>(*again, "cmbProfile")->currentText(), QStringLiteral("HTML5"));
    QCOMPARE(part<QComboBox>(*again, "cmbWidthUnit")->currentIndex(), int(WidthUnit::Percent));
    QCOMPARE(part<QLineEdit>(*again, "txtTableWidth")->text(), QStringLiteral("80"));
    QCOMPARE(part<QLineEdit>(*again, "txtBorder")->text(), QStringLiteral("0"));
    QCOMPARE(again->BuildTableHtml(), html);
}

void TstTablePanes::structureOnlyWithIdAndClasses()
{
    // An HTML5 table for a site's own CSS: no style attribute, an id, classes
    // on the table and on a cell; Netscape mode is HTML 4's alone.
    auto w = openWindow();
    auto *net = part<QCheckBox>(*w, "chkNet");
    auto *style = part<QComboBox>(*w, "cmbStyle");
    QVERIFY(net->isEnabled());
    QVERIFY(!style->isEnabled());
    part<QComboBox>(*w, "cmbProfile")->setFocus();
    QTest::keyClick(part<QComboBox>(*w, "cmbProfile"), Qt::Key_Down);
    QVERIFY(!net->isEnabled());
    QVERIFY(style->isEnabled());
    style->setFocus();
    QTest::keyClick(style, Qt::Key_Down);
    QCOMPARE(model(*w).OutputStyle, PresentationStyle::None);
    replaceText(part<QLineEdit>(*w, "txtTableId"), QStringLiteral("plans"));
    replaceText(part<QLineEdit>(*w, "txtTableClass"), QStringLiteral("compare striped"));

    showCellView(*w);
    clickCell(*w, 2, 2);
    replaceText(part<QLineEdit>(*w, "txtCellClass"), QStringLiteral("num"));
    QCOMPARE(model(*w).Cells(2, 2).Class, QStringLiteral("num"));
    const QString html = w->BuildTableHtml();
    QCOMPARE(html, QStringLiteral("<table id=\"plans\" class=\"compare striped\">\r\n<tbody>\r\n"
                                  "<tr><td></td><td></td></tr>\r\n<tr><td></td><td class=\"num\"></td></tr>\r\n"
                                  "</tbody>\r\n</table>"));

    // The class typed is one step: one undo takes it away.
    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).Cells(2, 2).Class, QString());
}

void TstTablePanes::cellSizeInPerCentAndOwnStyle()
{
    // A column a tenth of the table wide, its cell in red: the unit, the
    // size and the style from the pane, each undone in turn.
    auto w = openWindow();
    part<QComboBox>(*w, "cmbProfile")->setFocus();
    QTest::keyClick(part<QComboBox>(*w, "cmbProfile"), Qt::Key_Down);
    showCellView(*w);
    clickCell(*w, 2, 1);
    auto *style = part<QLineEdit>(*w, "txtCellStyle");
    // The style row shows whole in a new window.
    QVERIFY(style->isVisible());
    QVERIFY(style->mapTo(w.get(), QPoint(0, style->height())).y() <= w->centralWidget()->geometry().bottom());
    part<QCheckBox>(*w, "chkSWidth")->click();
    auto *unit = part<QComboBox>(*w, "cmbSWidthUnit");
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Down);
    QCOMPARE(part<QLabel>(*w, "Label1_0")->text(), QStringLiteral("ｻｲｽﾞ(％)："));
    replaceText(part<QLineEdit>(*w, "txtSWidth"), QStringLiteral("10"));
    replaceText(style, QStringLiteral("color: red; background: url(x.png)"));
    QVERIFY2(w->BuildTableHtml().contains(QStringLiteral(
                     "<td style=\"border: 1px inset gray; text-align: center; width: 10%; color: red\"></td>")),
             qPrintable(w->BuildTableHtml()));

    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).Cells(2, 1).Style, QString());
    QCOMPARE(style->text(), QString());
    doc(*w).undoStack()->undo();
    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).Cells(2, 1).WidthPercent, qint16(0));
    QCOMPARE(unit->currentIndex(), 0);
}

void TstTablePanes::footerRows()
{
    // A price list whose last row is its total: the foot of the table.
    auto w = openWindow();
    part<QComboBox>(*w, "cmbProfile")->setFocus();
    QTest::keyClick(part<QComboBox>(*w, "cmbProfile"), Qt::Key_Down);
    auto *footer = part<QLineEdit>(*w, "txtFooterRows");
    QVERIFY(part<QWidget>(*w, "picAllSet")->rect().contains(footer->geometry()));
    replaceText(footer, QStringLiteral("1"));
    QVERIFY(w->BuildTableHtml().endsWith(QStringLiteral("</tbody>\r\n<tfoot>\r\n<tr><td style=\"border: 1px inset gray; "
                                                        "text-align: center\"></td><td style=\"border: 1px inset gray; "
                                                        "text-align: center\"></td></tr>\r\n</tfoot>\r\n</table>")));
    // An emptied box means no foot; one undo brings it back.
    replaceText(footer, QString());
    QVERIFY(!w->BuildTableHtml().contains(QStringLiteral("tfoot")));
    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).FooterRows, 1);
}

QTEST_MAIN(TstTablePanes)
#include "tst_table_panes.moc"
