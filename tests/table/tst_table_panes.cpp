// The table document as a user drives it: the table settings pane, the grid
// with its in-place box, and the cell settings pane, on a real main window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "app/main_window.h"
#include "platform/color_swatch.h"
#include "platform/common_dialog.h"
#include "platform/up_down.h"
#include "table/grid_widget.h"

namespace {

std::unique_ptr<frmMain> openWindow()
{
    auto w = std::make_unique<frmMain>();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->FileName = newTableName();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("window did not become active");
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
    QTest::mouseClick(w.Grid->viewport(), button, mods, w.Grid->cellRect(col, row).center());
}

// Types a new text on the grid's current cell and presses Enter in the box.
void typeIntoCell(frmMain &w, int col, int row, const QString &text)
{
    clickCell(w, col, row);
    w.Grid->setFocus();
    typeText(w.Grid, text);
    QTest::keyClick(w.txtInsert, Qt::Key_Return);
}

void showCellView(frmMain &w)
{
    w.BarButton[10]->trigger();
}

void showTableView(frmMain &w)
{
    w.BarButton[9]->trigger();
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
    w.mnuSelEdit->trigger();
    w.txtInsert->selectAll();
    QTest::keyClick(w.txtInsert, Qt::Key_Backspace);
    QTest::keyClick(w.txtInsert, Qt::Key_Return);
}

qint64 fieldValue(frmMain &w, const QString &field)
{
    const CellRecord &r = w.Cells(w.Grid->Col(), w.Grid->Row());
    if (field == QLatin1String("TableCols")) return w.TableCols;
    if (field == QLatin1String("TableRows")) return w.TableRows;
    if (field == QLatin1String("TableBorder")) return w.TableBorder;
    if (field == QLatin1String("Width")) return r.Width;
    if (field == QLatin1String("Height")) return r.Height;
    if (field == QLatin1String("RowSpan")) return r.RowSpan;
    if (field == QLatin1String("ColSpan")) return r.ColSpan;
    return -999;
}

int oneLineHeight(frmMain &w)
{
    return w.Grid->neededHeight(1, 1) > 0 ? QFontMetrics(w.Grid->font()).lineSpacing() * 15 : 0;
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
};

void TstTablePanes::newWindowDefaults()
{
    auto w = openWindow();
    QCOMPARE(w->txtWidth->text(), QStringLiteral("2"));
    QCOMPARE(w->txtHeight->text(), QStringLiteral("2"));
    QCOMPARE(w->txtBorder->text(), QStringLiteral("1"));
    QVERIFY(w->chkBackColorNothing->isChecked());
    QVERIFY(!w->cmdBackColorSet->isEnabled());
    QVERIFY(!w->picBackColor->isEnabled());
    QVERIFY(!w->Label2->isEnabled());
    // The labels and tips read swapped, and stay so.
    QCOMPARE(w->Label101->text(), QStringLiteral("行の数(&W)："));
    // Every label of the pane starts on one line, clear of the window's edge.
    QCOMPARE(w->Label801->x(), w->Label101->x());
    QCOMPARE(w->txtWidth->toolTip(), QStringLiteral("表の行の数を入力します。"));
    QCOMPARE(w->txtHeight->toolTip(), QStringLiteral("表の列の数を入力します。"));
    QCOMPARE(w->Grid->toolTip(), QStringLiteral("設定するセルを選択します。"));
    QCOMPARE(w->lblTextMove->text(), QStringLiteral("あ"));
    QCOMPARE(w->Grid->Rows(), 3);
    QCOMPARE(w->Grid->Cols(), 3);
    QCOMPARE(w->Grid->Col(), 1);
    QCOMPARE(w->Grid->Row(), 1);
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
    QTest::newRow("10 in txtBorder stays") << false << "txtBorder" << "10" << true << "10" << "TableBorder" << 10;
    QTest::newRow("letters are refused") << false << "txtWidth" << "a7b" << false << "7" << "TableCols" << 7;
    QTest::newRow("only two digits are typed") << false << "txtWidth" << "123" << false << "12" << "TableCols" << 12;

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
        QWidget *other = cellView ? static_cast<QWidget *>(w->Grid) : w->txtTitle;
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
    CellRecord &rec = w->Cells(1, 2);
    QVERIFY(!w->txtSWidth->isEnabled());
    QTest::mouseClick(w->chkSWidth, Qt::LeftButton);
    QVERIFY(w->txtSWidth->isEnabled());
    QVERIFY(w->Label1[0]->isEnabled());
    QCOMPARE(rec.WidthOn, qint16(1));

    w->txtSWidth->setFocus();
    w->txtSWidth->selectAll();
    QList<qint32> seen;
    for (const char *key : {"2", "5", "0"}) {
        QTest::keyClicks(w->txtSWidth, QLatin1String(key));
        seen << rec.Width;
    }
    QCOMPARE(seen, (QList<qint32>{2, 25, 250}));

    QTest::mouseClick(w->chkSWidth, Qt::LeftButton);
    QVERIFY(!w->txtSWidth->isEnabled());
    QVERIFY(!w->Label1[0]->isEnabled());
    QCOMPARE(rec.WidthOn, qint16(0));
    QCOMPARE(rec.Width, 250);

    // Another cell and back: the pane shows the record again.
    clickCell(*w, 2, 2);
    QCOMPARE(w->txtSWidth->text(), QStringLiteral("100"));
    clickCell(*w, 1, 2);
    QCOMPARE(w->txtSWidth->text(), QStringLiteral("250"));
    QVERIFY(!w->chkSWidth->isChecked());
}

void TstTablePanes::storedNumbersAreNotCut()
{
    // A record read from a file may hold more digits than the box lets one type.
    auto w = openWindow();
    w->Cells(2, 1).RowSpan = 150;
    w->Cells(2, 1).Width = 12345;
    showCellView(*w);
    clickCell(*w, 2, 1);
    QCOMPARE(w->txtMHeight->text(), QStringLiteral("150"));
    QCOMPARE(w->Cells(2, 1).RowSpan, 150);
    QCOMPARE(w->txtSWidth->text(), QStringLiteral("12345"));
    QCOMPARE(w->Cells(2, 1).Width, 12345);
}

void TstTablePanes::spinnersKeepTheirBoxInStep()
{
    auto w = openWindow();
    auto arrow = [](UpDown *u, const char *which) {
        auto *b = u->findChild<QToolButton *>(QLatin1String(which));
        QTest::mouseClick(b, Qt::LeftButton);
    };
    arrow(w->UpDownHeight, "up");
    QCOMPARE(w->txtHeight->text(), QStringLiteral("3"));
    QCOMPARE(w->TableRows, 3);
    replaceText(w->txtBorder, QStringLiteral("1"));
    arrow(w->UpDown1, "down");
    QCOMPARE(w->txtBorder->text(), QStringLiteral("0"));
    QCOMPARE(w->TableBorder, qint16(0)); // corrected only when the box itself loses the focus
    replaceText(w->txtBorder, QStringLiteral("10"));
    arrow(w->UpDown1, "up");
    QCOMPARE(w->txtBorder->text(), QStringLiteral("10"));
    replaceText(w->txtWidth, QStringLiteral("99"));
    arrow(w->UpDownWidth, "up");
    QCOMPARE(w->TableCols, 99);
}

void TstTablePanes::sizeFromBoxesOnCellView()
{
    auto w = openWindow();
    replaceText(w->txtWidth, QStringLiteral("5"));
    replaceText(w->txtHeight, QStringLiteral("3"));
    QCOMPARE(w->Grid->Cols(), 3); // the grid follows only on the switch
    showCellView(*w);
    QCOMPARE(w->Grid->Cols(), 6);
    QCOMPARE(w->Grid->Rows(), 4);
    QCOMPARE(w->Grid->text(5, 0), QStringLiteral("5"));
    QCOMPARE(w->Grid->text(0, 3), QStringLiteral("3"));
    QCOMPARE(w->Grid->Col(), 1);
    QCOMPARE(w->Grid->Row(), 1);
    QVERIFY(w->Grid->isVisible());
    QVERIFY(w->picBar->isVisible());
}

void TstTablePanes::shrinkAndGrowBringsOldCellsBack()
{
    auto w = openWindow();
    replaceText(w->txtWidth, QStringLiteral("5"));
    showCellView(*w);
    typeIntoCell(*w, 4, 1, QStringLiteral("四"));
    typeIntoCell(*w, 5, 2, QStringLiteral("x&amp;y"));
    clickCell(*w, 5, 2);
    QTest::mouseClick(w->chkBackColorNothing2, Qt::LeftButton);

    showTableView(*w);
    replaceText(w->txtWidth, QStringLiteral("2"));
    showCellView(*w);
    QCOMPARE(w->Grid->Cols(), 3);
    showTableView(*w);
    replaceText(w->txtWidth, QStringLiteral("5"));
    showCellView(*w);

    QCOMPARE(w->Grid->Cols(), 6);
    QCOMPARE(w->Cells(4, 1).Text, QStringLiteral("四"));
    QCOMPARE(w->Grid->text(4, 1), QStringLiteral("四"));
    QCOMPARE(w->Cells(5, 2).Text, QStringLiteral("x&amp;y"));
    QCOMPARE(w->Grid->text(5, 2), QStringLiteral("x&y"));
    QCOMPARE(w->Cells(5, 2).BackColorNothing, qint16(0));
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
    QVERIFY(!w->BarButton[7]->isEnabled());
    showCellView(*w);
    QVERIFY(w->BarButton[7]->isEnabled());
    clickCell(*w, 2, 1);
    auto toggle = [&] {
        if (fromMenu) {
            emit w->mnuSel->aboutToShow();
            w->mnuBold->trigger();
        } else {
            w->BarButton[7]->trigger();
        }
    };

    toggle();
    QCOMPARE(w->Cells(2, 1).Header, qint16(-1));
    QVERIFY(!w->SliH->isEnabled());
    QVERIFY(!w->SliW->isEnabled());
    QVERIFY(w->Grid->cellBold(2, 1));
    QVERIFY(w->mnuBold->isChecked());
    QVERIFY(w->BarButton[7]->isChecked());

    // Another cell is not a header; coming back shows the header again.
    clickCell(*w, 1, 1);
    QVERIFY(!w->BarButton[7]->isChecked());
    emit w->mnuSel->aboutToShow();
    QVERIFY(!w->mnuBold->isChecked());
    clickCell(*w, 2, 1);
    QVERIFY(w->BarButton[7]->isChecked());
    emit w->mnuSel->aboutToShow();
    QVERIFY(w->mnuBold->isChecked());

    toggle();
    QCOMPARE(w->Cells(2, 1).Header, qint16(0));
    QVERIFY(w->SliH->isEnabled());
    QVERIFY(w->SliW->isEnabled());
    QVERIFY(!w->Grid->cellBold(2, 1));
    QVERIFY(!w->mnuBold->isChecked());
    QVERIFY(!w->BarButton[7]->isChecked());
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
    w->Grid->setFocus();
    typeText(w->Grid, typed);
    QVERIFY(w->txtInsert->isVisible());
    QCOMPARE(w->txtInsert->text(), typed);
    // Over the cell, and as tall as a whole line needs.
    QCOMPARE(w->txtInsert->geometry().topLeft(), w->Grid->cellRect(1, 1).topLeft());
    QCOMPARE(w->txtInsert->width(), w->Grid->cellRect(1, 1).width());
    QVERIFY(w->txtInsert->height() >= w->Grid->cellRect(1, 1).height());
    QTest::keyClick(w->txtInsert, Qt::Key_Return);
    QVERIFY(!w->txtInsert->isVisible());
    QCOMPARE(w->Cells(1, 1).Text, typed);
    QCOMPARE(w->Grid->text(1, 1), typed);
    QVERIFY(w->Grid->hasFocus());
}

void TstTablePanes::doubleClickEditsRawTextAndEscapeKeepsIt()
{
    auto w = openWindow();
    showCellView(*w);
    typeIntoCell(*w, 2, 2, QStringLiteral("a<BR>b"));
    QCOMPARE(w->Grid->text(2, 2), QStringLiteral("a\r\nb"));

    clickCell(*w, 2, 2);
    QTest::mouseDClick(w->Grid->viewport(), Qt::LeftButton, {}, w->Grid->cellRect(2, 2).center());
    QVERIFY(w->txtInsert->isVisible());
    QCOMPARE(w->txtInsert->text(), QStringLiteral("a<BR>b"));
    QTest::keyClicks(w->txtInsert, "zz");
    QTest::keyClick(w->txtInsert, Qt::Key_Escape);
    QVERIFY(!w->txtInsert->isVisible());
    QCOMPARE(w->Cells(2, 2).Text, QStringLiteral("a<BR>b"));
    QCOMPARE(w->Grid->text(2, 2), QStringLiteral("a\r\nb"));

    // The menu's normal edit opens the box the same way.
    w->mnuSelEdit->trigger();
    QVERIFY(w->txtInsert->isVisible());
    QCOMPARE(w->txtInsert->text(), QStringLiteral("a<BR>b"));
    QTest::keyClick(w->txtInsert, Qt::Key_End);
    QTest::keyClicks(w->txtInsert, "c");
    QTest::keyClick(w->txtInsert, Qt::Key_Return);
    QCOMPARE(w->Cells(2, 2).Text, QStringLiteral("a<BR>bc"));
}

void TstTablePanes::enterOnGridNeverWipesTheCell()
{
    auto w = openWindow();
    showCellView(*w);
    typeIntoCell(*w, 1, 2, QStringLiteral("keep"));
    clickCell(*w, 1, 2);
    w->Grid->setFocus();
    QTest::keyClick(w->Grid, Qt::Key_Return);
    QVERIFY(w->txtInsert->isVisible());
    QCOMPARE(w->txtInsert->text(), QStringLiteral("keep"));
    QTest::keyClick(w->txtInsert, Qt::Key_Return);
    QCOMPARE(w->Cells(1, 2).Text, QStringLiteral("keep"));

    // Shortcut keys type nothing, so they open nothing either.
    w->Grid->setFocus();
    QTest::keyClick(w->Grid, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(!w->txtInsert->isVisible());
    QCOMPARE(w->Cells(1, 2).Text, QStringLiteral("keep"));
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
    w->Grid->setFocus();
    typeText(w->Grid, QStringLiteral("foo"));
    QVERIFY(w->txtInsert->isVisible());
    if (how == QLatin1String("click"))
        clickCell(*w, 2, 2);
    else if (how == QLatin1String("tab"))
        QTest::keyClick(w->txtInsert, Qt::Key_Tab);
    else if (how == QLatin1String("pane"))
        w->chkSWidth->setFocus();
    else {
        QTest::keyClick(w->txtInsert, Qt::Key_Return);
        QTest::keyClick(w->Grid, Qt::Key_Down);
        QCOMPARE(w->Grid->Row(), 2);
    }
    QVERIFY(!w->txtInsert->isVisible());
    QCOMPARE(w->Cells(1, 1).Text, QStringLiteral("foo"));
    QCOMPARE(w->Grid->text(1, 1), QStringLiteral("foo"));
    QCOMPARE(w->Cells(2, 2).Text, QString());
}

void TstTablePanes::longAndMultiLineTextSurvivesTheBox()
{
    auto w = openWindow();
    showCellView(*w);
    const QString multi = QStringLiteral("line one\r\nline two<BR>three");
    const QString longText = QString(40000, QLatin1Char('x'));
    for (const QString &text : {multi, longText}) {
        w->SettingText(text);
        QTest::mouseDClick(w->Grid->viewport(), Qt::LeftButton, {}, w->Grid->cellRect(1, 1).center());
        QVERIFY(w->txtInsert->isVisible());
        QTest::keyClick(w->txtInsert, Qt::Key_Return);
        QCOMPARE(w->Cells(1, 1).Text, text);
    }
    // Line breaks stored by the multi-line editor survive an edit in the box.
    w->SettingText(multi);
    w->mnuSelEdit->trigger();
    QTest::keyClick(w->txtInsert, Qt::Key_End);
    QTest::keyClicks(w->txtInsert, "!");
    QTest::keyClick(w->txtInsert, Qt::Key_Return);
    QCOMPARE(w->Cells(1, 1).Text, multi + QLatin1Char('!'));
}

void TstTablePanes::rowHeightsFollowBrLines()
{
    auto w = openWindow();
    showCellView(*w);
    const int h = oneLineHeight(*w);
    const int oneLine = w->Grid->rowHeight(1);

    typeIntoCell(*w, 1, 1, QStringLiteral("a<br>b<BR>c"));
    const int threeLines = w->Grid->rowHeight(1);
    QCOMPARE(threeLines - oneLine, 2 * h);
    QCOMPARE(w->RowHeightCol.at(1), 1);

    typeIntoCell(*w, 2, 1, QStringLiteral("d<BR>e"));
    QCOMPARE(w->Grid->rowHeight(1), threeLines); // the taller cell keeps the row
    QCOMPARE(w->RowHeightCol.at(1), 1);

    typeIntoCell(*w, 1, 1, QStringLiteral("a"));
    QCOMPARE(w->Grid->rowHeight(1), oneLine + h); // down to the tallest remaining cell
    QCOMPARE(w->RowHeightCol.at(1), 2);

    clearCell(*w, 2, 1);
    QCOMPARE(w->Cells(2, 1).Text, QString());
    QCOMPARE(w->Grid->rowHeight(1), oneLine); // never below one line
    QCOMPARE(w->Grid->rowHeight(2), oneLine); // other rows untouched

    // A long line wraps at the column's width.
    typeIntoCell(*w, 2, 2, QString(60, QChar(0x3042)));
    QVERIFY(w->Grid->rowHeight(2) >= oneLine + 2 * h);
}

void TstTablePanes::alignmentSliders()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 2);
    const QRect inner = w->picText->contentsRect();
    QVERIFY(qAbs(w->lblTextMove->geometry().center().x() - inner.center().x()) <= 1);

    w->SliW->setFocus();
    QTest::keyClick(w->SliW, Qt::Key_End);
    w->SliH->setFocus();
    QTest::keyClick(w->SliH, Qt::Key_Down);
    QCOMPARE(w->Cells(2, 2).HAlign, qint16(2));
    QCOMPARE(w->Cells(2, 2).VAlign, qint16(2));
    QCOMPARE(w->Grid->cellAlignment(2, 2), 8);
    QCOMPARE(w->lblTextMove->geometry().right(), inner.right());
    QCOMPARE(w->lblTextMove->geometry().bottom(), inner.bottom());

    QTest::keyClick(w->SliH, Qt::Key_Home); // the top
    QCOMPARE(w->Cells(2, 2).VAlign, qint16(0));
    QCOMPARE(w->Grid->cellAlignment(2, 2), 6);
    QCOMPARE(w->lblTextMove->y(), inner.top());

    // Another cell brings its own alignment back into the sliders.
    clickCell(*w, 1, 1);
    QCOMPARE(w->SliW->value(), 1);
    QCOMPARE(w->SliH->value(), 1);
    clickCell(*w, 2, 2);
    QCOMPARE(w->SliW->value(), 2);
    QCOMPARE(w->SliH->value(), 0);
}

void TstTablePanes::cellColour()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 1);
    QVERIFY(!w->cmdBackColorSet2->isEnabled());

    QTest::mouseClick(w->chkBackColorNothing2, Qt::LeftButton);
    QVERIFY(w->cmdBackColorSet2->isEnabled());
    QVERIFY(w->picBackColor2->isEnabled());
    QCOMPARE(w->Cells(2, 1).BackColorNothing, qint16(0));

    qint32 offered = -1;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        offered = r.color;
        CommonDialog::Reply reply;
        reply.accepted = true;
        reply.color = 0x0000FF; // red
        return reply;
    });
    QTest::mouseClick(w->cmdBackColorSet2, Qt::LeftButton);
    QCOMPARE(offered, 0xFFFFFF);
    QCOMPARE(w->Cells(2, 1).BackColor, 0x0000FF);
    QCOMPARE(w->picBackColor2->color(), 0x0000FF);
    QCOMPARE(w->Grid->cellBackColor(2, 1), 0x0000FF);

    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply(); });
    QTest::mouseClick(w->cmdBackColorSet2, Qt::LeftButton);
    QCOMPARE(w->Cells(2, 1).BackColor, 0x0000FF);
    QCOMPARE(w->picBackColor2->color(), 0x0000FF);

    QTest::mouseClick(w->chkBackColorNothing2, Qt::LeftButton);
    QCOMPARE(w->Grid->cellBackColor(2, 1), 0xFFFFFF);
    QVERIFY(!w->cmdBackColorSet2->isEnabled());
    QCOMPARE(w->Cells(2, 1).BackColor, 0x0000FF); // kept for later
    QTest::mouseClick(w->chkBackColorNothing2, Qt::LeftButton);
    QCOMPARE(w->Grid->cellBackColor(2, 1), 0x0000FF);
}

void TstTablePanes::tableColour()
{
    auto w = openWindow();
    QTest::mouseClick(w->chkBackColorNothing, Qt::LeftButton);
    QCOMPARE(w->TableBackColorNothing, qint16(0));
    QVERIFY(w->cmdBackColorSet->isEnabled());
    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply(); });
    QTest::mouseClick(w->cmdBackColorSet, Qt::LeftButton);
    QCOMPARE(w->TableBackColor, 0xFFFFFF);
    CommonDialog::setTestHook([](const CommonDialog::Request &r) {
        CommonDialog::Reply reply;
        reply.accepted = r.kind == CommonDialog::Color;
        reply.color = 0x123456;
        return reply;
    });
    QTest::mouseClick(w->cmdBackColorSet, Qt::LeftButton);
    QCOMPARE(w->TableBackColor, 0x123456);
    QCOMPARE(w->picBackColor->color(), 0x123456);
    QTest::mouseClick(w->chkBackColorNothing, Qt::LeftButton);
    QVERIFY(!w->cmdBackColorSet->isEnabled());
    QCOMPARE(w->TableBackColorNothing, qint16(1));
    QCOMPARE(w->TableBackColor, 0x123456);
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
    w->Cells(2, 2).Header = -1;
    clickCell(*w, 2, 2, shift ? Qt::ShiftModifier : Qt::NoModifier, Qt::RightButton);
    QCOMPARE(w->Grid->Col(), 2);
    QCOMPARE(w->Grid->Row(), 2);
    QVERIFY(w->mnuSel->isVisible());
    QCOMPARE(w->mnuSel->defaultAction(), shift ? w->mnuSelEditMax : w->mnuSelEdit);
    QVERIFY(w->mnuBold->isChecked());
    QCOMPARE(w->ShiftKeyPush, shift);
    w->mnuSel->close();
}

void TstTablePanes::netscapeHidesAlignment()
{
    auto w = openWindow();
    QTest::mouseClick(w->chkNet, Qt::LeftButton);
    QCOMPARE(w->NetscapeMode, qint16(1));
    showCellView(*w);
    QVERIFY(w->Frame3->isHidden());
    showTableView(*w);
    QTest::mouseClick(w->chkNet, Qt::LeftButton);
    showCellView(*w);
    clickCell(*w, 1, 2);
    QVERIFY(!w->Frame3->isHidden());
}

void TstTablePanes::settingTextStoresUnchanged()
{
    auto w = openWindow();
    showCellView(*w);
    clickCell(*w, 2, 1);
    w->SettingText(QStringLiteral("x<y"));
    QCOMPARE(w->Cells(2, 1).Text, QStringLiteral("x<y"));
    QCOMPARE(w->Grid->text(2, 1), QStringLiteral("x<y"));
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
    w->Grid->setFocus();
    typeText(w->Grid, QStringLiteral("zz"));
    QVERIFY(w->txtInsert->isVisible());
    w->BarButton[button]->trigger();
    QCOMPARE(w->Cells(2, 2).Text, QStringLiteral("zz"));
    QCOMPARE(w->Cells(1, 1).Text, QString());
    QVERIFY(w->txtInsert->isHidden());
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
    QCOMPARE(w->Grid->rowHeight(1), int(GridWidget::MaxRowHeight));
    QCOMPARE(w->Cells(1, 1).Text, text);
    w->SettingText(QStringLiteral("a"));
    QVERIFY(w->Grid->rowHeight(1) < 1000);
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
    QTest::mouseDClick(w->Grid->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                       w->Grid->cellRect(2, 1).center());
    QVERIFY(seen);
    QVERIFY(!w->txtInsert->isVisible());
    QCOMPARE(w->Cells(2, 1).Text, QStringLiteral("a<BR>b"));
}

QTEST_MAIN(TstTablePanes)
#include "tst_table_panes.moc"
