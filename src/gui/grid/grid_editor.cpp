#include "gui/grid/grid_editor.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <limits>

#include "gui/widgets/ui_font.h"
#include "gui/grid/grid_clipboard.h"
#include "core/model/grid_text.h"
#include "gui/grid/grid_widget.h"
#include "gui/panes/pane_helpers.h"

namespace {

// Character codes the grid and the box react to, as key-press handlers see them.
constexpr int KeyBackspace = 8;
constexpr int KeyTab = 9;
constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeySpace = 32;
constexpr int KeyDelete = 127;

// The cell an open in-place box belongs to, kept on the box itself.
const char *const BoxCol = "quorvanCol";
const char *const BoxRow = "quorvanRow";
const char *const BoxRaw = "quorvanRaw";

// Enter, Escape and Tab in the in-place box; losing the focus commits it.
class InsertBoxKeys : public QObject
{
public:
    InsertBoxKeys(GridEditor *form, QLineEdit *box)
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
            keyAscii = KeyEnter;
            break;
        case Qt::Key_Escape:
            keyAscii = KeyEscape;
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Tab commits and moves on along the cells; the grid keeps the focus.
            m_form->Grid_LeaveCell();
            m_form->grid()->setFocus(Qt::TabFocusReason);
            m_form->grid()->moveByTab(key->key() == Qt::Key_Backtab
                                      || (key->modifiers() & Qt::ShiftModifier));
            return true;
        default:
            return false;
        }
        m_form->txtInsert_KeyPress(keyAscii);
        return keyAscii == 0;
    }

private:
    GridEditor *m_form;
};

} // namespace

GridEditor::GridEditor(TableDocument &doc, QWidget *parent)
    : QObject(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("GridEditor"));
    Grid = new GridWidget(parent);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setFont(japaneseUiFont(9));
    Grid->setToolTip(tr("設定するセルを選択します。"));
    Grid->viewport()->setToolTip(Grid->toolTip());
    Grid->setAccessibleName(tr("表のセル"));

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

    connect(Grid, &GridWidget::leaveCell, this, &GridEditor::Grid_LeaveCell);
    connect(Grid, &GridWidget::cellClicked, this, &GridEditor::Grid_Click);
    connect(Grid, &GridWidget::currentMovedByKey, this, &GridEditor::Grid_Click);
    // The press that turns a click into a double-click never reaches the grid,
    // so its refresh runs here: a double-click that crossed into another cell
    // shows that cell in the pane before its box opens.
    connect(Grid, &GridWidget::cellDoubleClicked, this, [this] {
        Grid_Click();
        Grid_DblClick();
    });
    connect(Grid, &GridWidget::keyPress, this, &GridEditor::Grid_KeyPress);

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
                if (button == Qt::RightButton)
                    emit cellMenuRequested(Grid->viewport()->mapToGlobal(pos));
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

    connect(&m_doc, &TableDocument::cellsChanged, this, &GridEditor::onCellsChanged);

    connect(Grid, &GridWidget::clearRequested, this, &GridEditor::clearSelectedText);
    connect(Grid, &GridWidget::editRequested, this, [this] { openInsertBox(true); });
    // The keyboard's menu opens over the current cell.
    connect(Grid, &GridWidget::menuKeyPressed, this, [this] {
        const QRect cell = Grid->cellRect(Grid->Col(), Grid->Row());
        emit cellMenuRequested(Grid->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint()));
    });
    connect(&m_doc, &TableDocument::tableChanged, this, [this](TableFields fields) {
        if (fields & TableField::OutputProfile)
            updateSpans();
    });
    // An undone or redone step: the grid at the table's size, its rows fitted.
    connect(&m_doc, &TableDocument::stepApplied, this, [this](QRect cells) {
        const TableModel &m = m_doc.model();
        if (Grid->Rows() - 1 != qBound(1, int(m.TableRows), 99) || Grid->Cols() - 1 != qBound(1, int(m.TableCols), 99))
            followTableSize(QPoint(Grid->Col(), Grid->Row()));
        else if (!cells.isEmpty())
            refitRows(cells.top(), cells.bottom());
    });
    // A paste (or its undo) resizes the table while the grid shows it; a
    // hidden grid takes its size from the boxes when it is shown again.
    connect(&m_doc, &TableDocument::tableChanged, this, [this](TableFields fields) {
        const TableModel &m = m_doc.model();
        if ((fields & (TableField::Rows | TableField::Cols)) && !Grid->isHidden() && !m_refreshFollows
            && (Grid->Rows() - 1 != qBound(1, int(m.TableRows), 99) || Grid->Cols() - 1 != qBound(1, int(m.TableCols), 99)))
            followTableSize(QPoint(Grid->Col(), Grid->Row()));
    });
    m_clipboard = new GridClipboard(*this, m_doc);
}

void GridEditor::resetRowHeightCol(int upper)
{
    RowHeightCol = QVector<qint32>(qMax(0, upper + 1), 0);
}

bool GridEditor::boxOpen() const
{
    return !txtInsert->isHidden();
}

void GridEditor::hideBox()
{
    txtInsert->hide();
}

void GridEditor::numberFixedCells()
{
    for (int r = 1; r < Grid->Rows(); ++r) {
        Grid->setText(0, r, QString::number(r));
        Grid->setCellAlignment(0, r, 4);
    }
    for (int c = 1; c < Grid->Cols(); ++c) {
        Grid->setText(c, 0, QString::number(c));
        Grid->setCellAlignment(c, 0, 4);
    }
}

void GridEditor::refreshAll()
{
    updateSpans();
    // Column by column: a row is fitted to its cells from left to right, and
    // the rightmost of its tallest wins.
    {
        GridWidget::BulkUpdate bulk(Grid);
        for (int c = 1; c < Grid->Cols(); ++c) {
            for (int r = 1; r < Grid->Rows(); ++r) {
                Grid->setCol(c);
                Grid->setRow(r);
                refreshCell(c, r);
            }
        }
    }
    Grid->setCol(1);
    Grid->setRow(1);
    Grid->selectCells(QRect(1, 1, 1, 1));
    Grid_Click();
}

void GridEditor::applyRecord(int col, int row)
{
    const CellRecord &rec = m_doc.cell(col, row);
    Grid->setText(col, row, HtmlToGridText(rec.Text));
    Grid->setCellAlignment(col, row, rec.HAlign * 3 + rec.VAlign);
    // A cell without its own colour shows the theme's (white), not the table's colour.
    Grid->setCellBackColor(col, row, rec.BackColorNothing != 0 ? 0xFFFFFF : rec.BackColor, rec.BackColorNothing == 0);
    Grid->setCellBold(col, row, rec.Header == -1);
}

void GridEditor::onCellsChanged(QRect cells, CellFields fields)
{
    const CellFields shown = CellField::Text | CellField::Header | CellField::HAlign
            | CellField::VAlign | CellField::BackColor | CellField::BackColorNothing;
    const CellFields spans = CellField::RowSpanOn | CellField::RowSpan | CellField::ColSpanOn | CellField::ColSpan;
    if (fields & spans)
        updateSpans();
    if (!(fields & shown) || m_refreshFollows)
        return;
    const QRect inGrid = cells & QRect(1, 1, Grid->Cols() - 1, Grid->Rows() - 1);
    // Many cells at once reach the view once.
    GridWidget::BulkUpdate bulk(inGrid.width() * inGrid.height() > 1 ? Grid : nullptr);
    for (int c = inGrid.left(); c <= inGrid.right(); ++c)
        for (int r = inGrid.top(); r <= inGrid.bottom(); ++r)
            applyRecord(c, r);
}

void GridEditor::refreshCell(int col, int row)
{
    if (row == 0 || col == 0)
        return;
    // A box still open over another cell (the program moved the current cell)
    // goes to its own cell before this one is shown.
    if (!txtInsert->isHidden() && txtInsert->property(BoxCol).toInt() >= 0
        && (txtInsert->property(BoxCol).toInt() != col || txtInsert->property(BoxRow).toInt() != row)) {
        Grid_LeaveCell();
    }
    m_doc.normaliseCell(col, row);
    applyRecord(col, row);
    fitRow();
}

void GridEditor::Grid_Click()
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    if (row == 0 || col == 0)
        return;
    refreshCell(col, row);
    Grid->setFixedCellsButtonFace();
    emit cellShown(col, row);
}

void GridEditor::fitRow()
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

void GridEditor::refitWholeRow()
{
    const int keep = Grid->Col();
    const int row = Grid->Row();
    {
        GridWidget::BulkUpdate bulk(Grid);
        for (int c = 1; c < Grid->Cols(); ++c) {
            Grid->setCol(c);
            refreshCell(c, row);
        }
    }
    Grid->setCol(keep);
    Grid_Click();
}

void GridEditor::openInsertBox(bool withExistingText)
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    if (col < 1 || row < 1)
        return;
    const QString raw = withExistingText ? m_doc.cell(col, row).Text : QString();
    // A one-line row is lower than the box needs for a whole line: the box
    // then reaches below the cell, so descenders are not cut.
    QRect box = Grid->cellRect(col, row);
    box.setHeight(qMax(box.height(), txtInsert->sizeHint().height()));
    txtInsert->setGeometry(box);
    txtInsert->setAccessibleName(tr("セル（%1 列、%2 行）").arg(col).arg(row));
    txtInsert->setProperty(BoxCol, col);
    txtInsert->setProperty(BoxRow, row);
    txtInsert->setProperty(BoxRaw, raw);
    txtInsert->setText(raw);
    txtInsert->setModified(false);
    txtInsert->show();
    txtInsert->raise();
    txtInsert->setFocus(Qt::OtherFocusReason);
}

void GridEditor::commitInsertBox(bool fromEnter)
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
    m_doc.setCellText(col, row, text);
    refitWholeRow();
    if (fromEnter)
        closeInsertBox();
    if (elsewhere) {
        Grid->setCol(keepCol);
        Grid->setRow(keepRow);
        Grid_Click();
    }
}

void GridEditor::Grid_DblClick()
{
    if (ShiftKeyPush)
        emit multiLineEditRequested();
    else
        openInsertBox(true);
}

void GridEditor::Grid_KeyPress(int &KeyAscii)
{
    const int key = KeyAscii;
    KeyAscii = 0; // the grid itself never sees a character
    if (key == KeyTab) {
        Grid_LeaveCell();
        return;
    }
    // Enter edits the cell's text; it never wipes it.
    if (key == KeyEnter) {
        openInsertBox(true);
        return;
    }
    // Control characters (Ctrl+C and the like) type nothing and must not open an
    // empty box that would clear the cell; Backspace does start an empty text.
    if ((key < KeySpace && key != KeyBackspace) || key == KeyDelete)
        return;
    openInsertBox(false);
    if (txtInsert->isHidden() || key == KeyBackspace)
        return;
    const char32_t ch = char32_t(key);
    txtInsert->insert(QString::fromUcs4(&ch, 1));
}

void GridEditor::closeInsertBox()
{
    // The grid keeps the keyboard. A focused box that is simply hidden hands
    // the focus on to the next control, the pane's first check box, where the
    // next space would untick it and letters would vanish.
    const bool wasClosing = m_closingBox;
    m_closingBox = true; // the box losing the focus here is no second commit
    if (Grid->window()->focusWidget() == txtInsert)
        Grid->setFocus(Qt::OtherFocusReason);
    txtInsert->hide();
    m_closingBox = wasClosing;
}

void GridEditor::commitOpenBox()
{
    Grid_LeaveCell();
}

void GridEditor::Grid_LeaveCell()
{
    if (!txtInsert->isHidden() && !m_closingBox)
        commitInsertBox(false);
}

void GridEditor::txtInsert_KeyPress(int &KeyAscii)
{
    if (KeyAscii == KeyEnter) {
        KeyAscii = 0;
        commitInsertBox(true);
    } else if (KeyAscii == KeyEscape) {
        KeyAscii = 0;
        txtInsert->setProperty(BoxCol, -1);
        closeInsertBox();
    }
}

void GridEditor::txtInsert_LostFocus()
{
    Grid_LeaveCell();
}

void GridEditor::SettingText(const QString &GridSelText)
{
    const int col = Grid->Col();
    const int row = Grid->Row();
    m_doc.setCellText(col, row, GridSelText);
    Grid->setText(col, row, HtmlToGridText(GridSelText));
    refitWholeRow();
}
