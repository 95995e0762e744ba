// The grid side of the main window: the selected-cell refresh, row fitting,
// in-place editing with txtInsert, and SettingText.
#include "app/main_window.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>

#include <limits>

#include "platform/color_swatch.h"
#include "platform/ui_font.h"
#include "table/grid_text.h"
#include "table/grid_widget.h"
#include "table/pane_helpers.h"

namespace {

// The cell an open in-place box belongs to, kept on the box itself.
const char *const BoxCol = "quorvanCol";
const char *const BoxRow = "quorvanRow";
const char *const BoxRaw = "quorvanRaw";

// Enter, Escape and Tab in the in-place box; losing the focus commits it.
class InsertBoxKeys : public QObject
{
public:
    InsertBoxKeys(frmMain *form, QLineEdit *box)
        : QObject(box), m_form(form)
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        int keyAscii = 0;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            keyAscii = 13;
            break;
        case Qt::Key_Escape:
            keyAscii = 27;
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Tab leaves the cell: commit, and the grid keeps the focus.
            m_form->Grid_LeaveCell();
            m_form->Grid->setFocus(Qt::TabFocusReason);
            return true;
        default:
            return false;
        }
        m_form->txtInsert_KeyPress(keyAscii);
        return keyAscii == 0;
    }

private:
    frmMain *m_form;
};

// A menu measures its items once and keeps those sizes, while the default
// item is drawn bold: measured in the plain face it would be cut short.
void setMenuDefault(QMenu *menu, QAction *action)
{
    menu->setDefaultAction(action);
    if (menu->actions().isEmpty())
        return;
    QActionEvent remeasure(QEvent::ActionChanged, menu->actions().constFirst());
    QCoreApplication::sendEvent(menu, &remeasure);
}

} // namespace

void frmMain::createGrid()
{
    Grid = new GridWidget(client);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setFont(japaneseUiFont(9));
    Grid->setToolTip(QStringLiteral("設定するセルを選択します。"));
    Grid->viewport()->setToolTip(Grid->toolTip());

    // The box lives over the grid's cells, so it scrolls and clips with them.
    txtInsert = new QLineEdit(Grid->viewport());
    txtInsert->setObjectName(QStringLiteral("txtInsert"));
    txtInsert->setFont(Grid->font());
    txtInsert->setMaxLength(std::numeric_limits<int>::max()); // never cut a long cell text
    txtInsert->setStyleSheet(QStringLiteral(
        "QLineEdit { border: 2px solid palette(highlight); padding: 0px; margin: 0px; }"));
    txtInsert->hide();
    txtInsert->installEventFilter(new InsertBoxKeys(this, txtInsert));
    pane::onFocusLost(txtInsert, [this] { txtInsert_LostFocus(); });

    connect(Grid, &GridWidget::leaveCell, this, &frmMain::Grid_LeaveCell);
    connect(Grid, &GridWidget::cellClicked, this, &frmMain::Grid_Click);
    connect(Grid, &GridWidget::currentMovedByKey, this, &frmMain::Grid_Click);
    // The press that turns a click into a double-click never reaches the grid,
    // so its refresh runs here: a double-click that crossed into another cell
    // shows that cell in the pane before its box opens.
    connect(Grid, &GridWidget::cellDoubleClicked, this, [this] {
        Grid_Click();
        Grid_DblClick();
    });
    connect(Grid, &GridWidget::keyPress, this, &frmMain::Grid_KeyPress);

    // Grid_KeyDown / Grid_KeyUp: Shift as it was at the last key on the grid.
    auto shiftFromKey = [this](int key, Qt::KeyboardModifiers modifiers, bool down) {
        ShiftKeyPush = key == Qt::Key_Shift ? down : bool(modifiers & Qt::ShiftModifier);
    };
    connect(Grid, &GridWidget::keyDown, this,
            [shiftFromKey](int key, Qt::KeyboardModifiers m) { shiftFromKey(key, m, true); });
    connect(Grid, &GridWidget::keyUp, this,
            [shiftFromKey](int key, Qt::KeyboardModifiers m) { shiftFromKey(key, m, false); });

    // Grid_MouseDown: refresh, Shift, and the cell menu on the right button.
    connect(Grid, &GridWidget::cellMouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos) {
                Grid_Click();
                ShiftKeyPush = modifiers & Qt::ShiftModifier;
                if (button != Qt::RightButton)
                    return;
                mnuSel_Click();
                // The default item (bold) is the edit that Shift would choose.
                setMenuDefault(mnuSel, ShiftKeyPush ? mnuSelEditMax : mnuSelEdit);
                mnuSel->popup(Grid->viewport()->mapToGlobal(pos));
            });
    // The default belongs to the pop-up only; the menu bar's Cell menu has none.
    connect(mnuSel, &QMenu::aboutToHide, this, [this] {
        if (mnuSel->defaultAction())
            setMenuDefault(mnuSel, nullptr);
    });

    // Typing with an input method starts an edit just like a typed character.
    connect(Grid, &GridWidget::imeStarted, this, [this](QInputMethodEvent *event) {
        openInsertBox(false);
        if (txtInsert->isHidden())
            return;
        QInputMethodEvent copy(event->preeditString(), event->attributes());
        copy.setCommitString(event->commitString(), event->replacementStart(),
                             event->replacementLength());
        QCoreApplication::sendEvent(txtInsert, &copy);
    });
}

void frmMain::Grid_Click()
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    if (row == 0 || col == 0)
        return;

    // A box still open over another cell (the program moved the current cell)
    // goes to its own cell before this one is shown.
    if (!txtInsert->isHidden() && txtInsert->property(BoxCol).toInt() >= 0
        && (txtInsert->property(BoxCol).toInt() != col || txtInsert->property(BoxRow).toInt() != row)) {
        Grid_LeaveCell();
    }

    CellRecord &rec = Cells(col, row);
    // 1.-2.
    Grid->setText(col, row, HtmlToGridText(rec.Text));
    BarButton[7]->setChecked(rec.Header == -1);
    // 3.-4. Each control's own handler writes the same value back.
    chkSHeight->setChecked(rec.HeightOn != 0);
    chkSHeight_Click();
    chkSWidth->setChecked(rec.WidthOn != 0);
    chkSWidth_Click();
    txtSHeight->setText(QString::number(rec.Height));
    txtSWidth->setText(QString::number(rec.Width));
    chkHeight->setChecked(rec.RowSpanOn != 0);
    chkHeight_Click();
    chkWidth->setChecked(rec.ColSpanOn != 0);
    chkWidth_Click();
    txtMHeight->setText(QString::number(rec.RowSpan));
    txtMWidth->setText(QString::number(rec.ColSpan));
    // 5.
    const qint16 hAlign = rec.HAlign;
    const qint16 vAlign = rec.VAlign;
    SliH->setValue(vAlign);
    SliW->setValue(hAlign);
    SliW_Click();
    SliH_Click();
    // 6.-7.
    picBackColor2->setColor(rec.BackColor);
    chkBackColorNothing2->setChecked(rec.BackColorNothing != 0);
    chkBackColorNothing2_Click();
    // 8. The header state follows button 7, which step 2 set from the record.
    const bool header = BarButton[7]->isChecked();
    rec.Header = header ? -1 : 0;
    SliH->setEnabled(!header);
    SliW->setEnabled(!header);
    Grid->setCellBold(col, row, header);
    // 9.
    Grid->setFixedCellsButtonFace();
    Frame3->setVisible(NetscapeMode != 1);
    // 10.
    fitRow();
}

void frmMain::fitRow()
{
    const int x = Grid->Col();
    const int y = Grid->Row();
    if (RowHeightCol.size() <= y)
        resetRowHeightCol(Grid->Rows());
    const int need1 = Grid->neededHeight(x, y);
    // The cell that set the row last is measured again as it is now.
    const int holder = RowHeightCol.at(y);
    const int need2 = (holder >= 0 && holder < Grid->Cols()) ? Grid->neededHeight(holder, y) : 0;
    if (need1 >= need2) {
        RowHeightCol[y] = x;
        Grid->setRowHeight(y, need1);
    }
}

void frmMain::refitWholeRow()
{
    const int keep = Grid->Col();
    if (!canRefreshQuietly()) {
        for (int c = 1; c < Grid->Cols(); ++c) {
            Grid->setCol(c);
            Grid_Click();
        }
    } else {
        GridWidget::BulkUpdate bulk(Grid);
        for (int c = 1; c < Grid->Cols(); ++c) {
            Grid->setCol(c);
            refreshCellQuietly();
        }
    }
    // This refresh loads the pane, whichever way the row went.
    Grid->setCol(keep);
    Grid_Click();
}

bool frmMain::canRefreshQuietly() const
{
    // A box open over a cell is committed by the first Grid_Click, which
    // re-fits that cell's row on the way: that order is kept literally.
    return !stepByStepRefresh && txtInsert->isHidden();
}

// Grid_Click's lasting effects on the current cell, without loading the pane:
// what the controls' handlers write back into the record (switch boxes store
// 0 or 1, the sliders clamp the alignment into their range, button 7 stores
// -1 or 0; the number boxes hand back the very numbers they were given), the
// grid cell's text, alignment, colour and weight, and the row fitting. The
// pane shows only the last refreshed cell, so callers end with one real
// Grid_Click there; it sets every pane control from the record, whatever the
// controls showed before.
void frmMain::refreshCellQuietly()
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    if (row == 0 || col == 0)
        return;

    CellRecord &rec = Cells(col, row);
    Grid->setText(col, row, HtmlToGridText(rec.Text));
    const auto checkValue = [](qint16 v) { return qint16(v != 0 ? 1 : 0); };
    rec.HeightOn = checkValue(rec.HeightOn);
    rec.WidthOn = checkValue(rec.WidthOn);
    rec.RowSpanOn = checkValue(rec.RowSpanOn);
    rec.ColSpanOn = checkValue(rec.ColSpanOn);
    rec.VAlign = qint16(qBound(SliH->minimum(), int(rec.VAlign), SliH->maximum()));
    rec.HAlign = qint16(qBound(SliW->minimum(), int(rec.HAlign), SliW->maximum()));
    Grid->setCellAlignment(col, row, rec.HAlign * 3 + rec.VAlign);
    rec.BackColorNothing = checkValue(rec.BackColorNothing);
    Grid->setCellBackColor(col, row, rec.BackColorNothing != 0 ? 0xFFFFFF : rec.BackColor);
    const bool header = rec.Header == -1;
    rec.Header = header ? -1 : 0;
    Grid->setCellBold(col, row, header);
    fitRow();
}

void frmMain::openInsertBox(bool withExistingText)
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    if (col < 1 || row < 1)
        return;
    const QString raw = withExistingText ? Cells(col, row).Text : QString();
    // A one-line row is lower than the box needs for a whole line: the box
    // then reaches below the cell, so descenders are not cut.
    QRect box = Grid->cellRect(col, row);
    box.setHeight(qMax(box.height(), txtInsert->sizeHint().height()));
    txtInsert->setGeometry(box);
    txtInsert->setProperty(BoxCol, col);
    txtInsert->setProperty(BoxRow, row);
    txtInsert->setProperty(BoxRaw, raw);
    txtInsert->setText(raw);
    txtInsert->setModified(false);
    txtInsert->show();
    txtInsert->raise();
    txtInsert->setFocus(Qt::OtherFocusReason);
}

void frmMain::commitInsertBox(bool fromEnter)
{
    if (txtInsert->isHidden())
        return;
    const int col = txtInsert->property(BoxCol).toInt();
    const int row = txtInsert->property(BoxRow).toInt();
    // An unchanged box hands back the stored text exactly as it was.
    const QString text = txtInsert->isModified() ? txtInsert->text()
                                                 : txtInsert->property(BoxRaw).toString();
    txtInsert->setProperty(BoxCol, -1); // the re-fit below moves the current cell on purpose

    const int keepCol = Grid->Col();
    const int keepRow = Grid->Row();
    const bool elsewhere = keepCol != col || keepRow != row;
    if (elsewhere) {
        Grid->setCol(col);
        Grid->setRow(row);
    }
    if (!fromEnter)
        closeInsertBox();
    Grid->setText(col, row, HtmlToGridText(text));
    Cells(col, row).Text = text;
    refitWholeRow();
    if (fromEnter)
        closeInsertBox();
    if (elsewhere) {
        Grid->setCol(keepCol);
        Grid->setRow(keepRow);
        Grid_Click();
    }
}

void frmMain::closeInsertBox()
{
    // The grid keeps the keyboard. A focused box that is simply hidden hands
    // the focus on to the next control, the pane's first check box, where the
    // next space would untick it and letters would vanish.
    const bool wasClosing = m_closingBox;
    m_closingBox = true; // the box losing the focus here is no second commit
    if (focusWidget() == txtInsert)
        Grid->setFocus(Qt::OtherFocusReason);
    txtInsert->hide();
    m_closingBox = wasClosing;
}

void frmMain::commitOpenBox()
{
    Grid_LeaveCell();
}

void frmMain::Grid_DblClick()
{
    if (ShiftKeyPush)
        mnuSelEditMax_Click();
    else
        openInsertBox(true);
}

void frmMain::Grid_KeyPress(int &KeyAscii)
{
    const int key = KeyAscii;
    KeyAscii = 0; // the grid itself never sees a character
    if (key == 9) {
        Grid_LeaveCell();
        return;
    }
    // Enter edits the cell's text; it never wipes it.
    if (key == 13) {
        openInsertBox(true);
        return;
    }
    // Control characters (Ctrl+C and the like) type nothing and must not open an
    // empty box that would clear the cell; Backspace does start an empty text.
    if ((key < 32 && key != 8) || key == 127)
        return;
    openInsertBox(false);
    if (txtInsert->isHidden() || key == 8)
        return;
    const char32_t ch = char32_t(key);
    txtInsert->insert(QString::fromUcs4(&ch, 1));
}

void frmMain::Grid_LeaveCell()
{
    if (!txtInsert->isHidden() && !m_closingBox)
        commitInsertBox(false);
}

void frmMain::txtInsert_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) {
        KeyAscii = 0;
        commitInsertBox(true);
    } else if (KeyAscii == 27) {
        KeyAscii = 0;
        txtInsert->setProperty(BoxCol, -1);
        closeInsertBox();
    }
}

void frmMain::txtInsert_LostFocus()
{
    Grid_LeaveCell();
}

void frmMain::SettingText(const QString &GridSelText)
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    Cells(col, row).Text = GridSelText;
    Grid->setText(col, row, HtmlToGridText(GridSelText));
    refitWholeRow();
}
