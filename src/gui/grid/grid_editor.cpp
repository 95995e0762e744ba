#include "gui/grid/grid_editor.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <limits>

#include "gui/widgets/ui_font.h"
#include "gui/grid/grid_clipboard.h"
#include "core/model/grid_text.h"
#include "gui/grid/grid_model.h"
#include "gui/grid/grid_widget.h"
#include "gui/grid/row_fitter.h"
#include "gui/panes/pane_helpers.h"

namespace {

// Character codes the grid and the box react to, as key-press handlers see them.
constexpr int KeyBackspace = 8;
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
            // Enter commits and goes on down the column, Shift+Enter up, as in
            // a spreadsheet: one key per cell fills a column.
            keyAscii = KeyEnter;
            m_form->txtInsert_KeyPress(keyAscii);
            if (keyAscii == 0)
                m_form->grid()->moveByStep(0, (key->modifiers() & Qt::ShiftModifier) ? -1 : 1);
            return true;
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
    Grid = new GridWidget(parent, &m_doc);
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
    // A command, a paste or an undo resizes the table while the grid shows it;
    // a hidden grid takes its size from the boxes when it is shown again.
    connect(&m_doc, &TableDocument::tableChanged, this, [this](TableFields fields) {
        if ((fields & (TableField::Rows | TableField::Cols)) && !Grid->isHidden() && !gridAtTableSize())
            followTableSize();
    });
    m_clipboard = new GridClipboard(*this, m_doc);
    m_rowFitter = new RowFitter(Grid, RowHeightCol, this);
    // Lines the grid takes in or gives up (a command, an undo, a new size)
    // take their fitted heights and holders along; spans and widths are laid
    // out again.
    GridModel *gm = Grid->gridModel();
    connect(gm, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        m_rowFitter->rowsInserted(first + 1, last - first + 1);
    });
    connect(gm, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        m_rowFitter->rowsRemoved(first + 1, last - first + 1);
    });
    connect(gm, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex &, int first, int last) {
        if (first + 1 <= m_widthFromCells.size())
            m_widthFromCells.insert(first + 1, last - first + 1, false);
    });
    connect(gm, &QAbstractItemModel::columnsRemoved, this, [this](const QModelIndex &, int first, int last) {
        if (first + 1 < m_widthFromCells.size())
            m_widthFromCells.remove(first + 1, std::min<int>(last - first + 1, m_widthFromCells.size() - first - 1));
    });
    connect(gm, &GridModel::tableLinesMoved, this, [this](bool rows, int at, const QVector<int> &order) {
        if (rows)
            m_rowFitter->rowsMoved(at, order);
    });
    connect(&m_doc, &TableDocument::linesMoved, this, [this](bool rows) { onLinesChanged(rows); });
    connect(&m_doc, &TableDocument::linesInserted, this, [this](bool rows) { onLinesChanged(rows); });
    connect(&m_doc, &TableDocument::linesRemoved, this, [this](bool rows) { onLinesChanged(rows); });

    connect(Grid, &GridWidget::colWidthDragged, this, &GridEditor::setColumnWidth);
    connect(Grid, &GridWidget::rowHeightDragged, this, &GridEditor::setRowHeight);
    connect(Grid, &GridWidget::colFitRequested, this, &GridEditor::fitColumn);
}

void GridEditor::resetRowHeightCol(int upper)
{
    RowHeightCol = QVector<qint32>(qMax(0, upper + 1), 0);
    m_rowFitter->forgetAll();
}

bool GridEditor::boxOpen() const
{
    return !txtInsert->isHidden();
}

void GridEditor::hideBox()
{
    txtInsert->hide();
}

void GridEditor::refreshAll()
{
    updateSpans();
    showLineSizes();
    m_rowFitter->forgetAll();
    refreshRows(1, Grid->Rows() - 1);
    Grid->setCol(1);
    Grid->setRow(1);
    Grid->selectCells(QRect(1, 1, 1, 1));
    Grid_Click();
}

void GridEditor::showAgain()
{
    // Spans and widths follow every change as it comes; only a grid of
    // another size lays them out again.
    if (m_laidOutFor != QSize(Grid->Cols(), Grid->Rows())) {
        updateSpans();
        showLineSizes();
    }
    if (RowHeightCol.size() != Grid->Rows() + 1)
        RowHeightCol.resize(Grid->Rows() + 1);
    // The current cell and the range stay where the user left them.
    const QRect range = Grid->selectedCells();
    const QPoint current(Grid->Col(), Grid->Row());
    Grid->setCol(qBound(1, current.x(), Grid->Cols() - 1));
    Grid->setRow(qBound(1, current.y(), Grid->Rows() - 1));
    if (QPoint(Grid->Col(), Grid->Row()) == current && range.isValid())
        Grid->selectCells(range);
    else
        Grid->selectCells(QRect(Grid->Col(), Grid->Row(), 1, 1));
    Grid_Click();
}

void GridEditor::refreshRows(int top, int bottom)
{
    top = qMax(1, top);
    bottom = qMin(Grid->Rows() - 1, bottom);
    if (top > bottom)
        return;
    fitRows(top, bottom);
}

void GridEditor::onLinesChanged(bool)
{
    updateSpans();
    showLineSizes();
}

void GridEditor::onCellsChanged(QRect cells, CellFields fields)
{
    const CellFields shown = CellField::Text | CellField::Header | CellField::HAlign
            | CellField::VAlign | CellField::BackColor | CellField::BackColorNothing;
    const CellFields spans = CellField::RowSpanOn | CellField::RowSpan | CellField::ColSpanOn | CellField::ColSpan;
    if (fields & spans)
        updateSpans();
    const CellFields sizes = CellField::Width | CellField::WidthOn | CellField::WidthPercent | CellField::Height
            | CellField::HeightOn | CellField::HeightPercent;
    if (fields & (sizes | spans))
        showLineSizes();
    if (!(fields & (shown | spans | sizes)))
        return;
    const QRect inGrid = cells & QRect(1, 1, Grid->Cols() - 1, Grid->Rows() - 1);
    if (inGrid.isEmpty())
        return;
    // A column's width changes how every row wraps; the text, its weight and
    // the spans how tall the cells' own rows are.
    if (fields & (CellField::Width | CellField::WidthOn | CellField::WidthPercent))
        fitRows(1, Grid->Rows() - 1);
    else if (fields & (CellField::Text | CellField::Header | spans))
        fitRows(inGrid.top(), inGrid.bottom());
}

void GridEditor::Grid_Click()
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
    Grid->setFixedCellsButtonFace();
    emit cellShown(col, row);
}

void GridEditor::fitRows(int top, int bottom)
{
    m_rowFitter->fit(top, bottom);
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
    txtInsert->setProperty(BoxCol, -1);
    if (!fromEnter)
        closeInsertBox();
    // The grid shows the text in answer to the document.
    m_doc.setCellText(col, row, text);
    if (fromEnter)
        closeInsertBox();
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
    m_doc.setCellText(Grid->Col(), Grid->Row(), GridSelText);
}
