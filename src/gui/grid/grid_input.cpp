// The grid's input: which cell a point is, and the mouse, keyboard and input
// method events that move the current cell or start typing into it.
#include "gui/grid/grid_widget.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

bool GridWidget::cellAt(const QPoint &pos, int &col, int &row) const
{
    const QModelIndex i = indexAt(pos);
    if (!i.isValid())
        return false;
    col = i.column() + 1;
    row = i.row() + 1;
    return true;
}

void GridWidget::moveCurrentByUser(int col, int row)
{
    // A cell a span covers is not a cell of its own: the spanning one is meant.
    const QPoint owner = m_spans.owner(col, row);
    col = owner.x();
    row = owner.y();
    if (col != m_col || row != m_row) {
        emit leaveCell();
        setCol(col);
        setRow(row);
    }
    collapseSelection();
}

void GridWidget::mousePressEvent(QMouseEvent *event)
{
    int col = 0, row = 0;
    // Taking the focus first lets an open in-place box commit to the cell it belongs to.
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    m_dragging = false;
    if (!cellAt(event->position().toPoint(), col, row)) {
        m_pressedOnCell = false;
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event->button() == Qt::LeftButton && shift) {
        // Shift+click: the range from the current cell to this one.
        extendTo(QPoint(col, row));
        m_pressedOnCell = false;
        m_dragging = true;
        emit cellMouseDown(event->button(), event->modifiers(), event->position().toPoint());
        return;
    }
    // A right click inside the range keeps it, for the commands on it.
    if (event->button() != Qt::RightButton || !selectedCells().contains(col, row))
        moveCurrentByUser(col, row);
    m_pressedOnCell = true;
    m_dragging = event->button() == Qt::LeftButton;
    emit cellMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void GridWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasOnCell = m_pressedOnCell;
    m_pressedOnCell = false;
    m_dragging = false;
    int col = 0, row = 0;
    if (wasOnCell && event->button() == Qt::LeftButton
        && cellAt(event->position().toPoint(), col, row) && m_spans.owner(col, row) == QPoint(m_col, m_row))
        emit cellClicked();
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    int col = 0, row = 0;
    if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), col, row))
        return;
    moveCurrentByUser(col, row);
    m_pressedOnCell = false;
    m_dragging = false;
    emit cellDoubleClicked();
}

void GridWidget::mouseMoveEvent(QMouseEvent *event)
{
    // A drag with the left button held selects the range to the cell under it.
    int col = 0, row = 0;
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)
        || !cellAt(event->position().toPoint(), col, row))
        return;
    if (QPoint(col, row) != extentPoint())
        extendTo(QPoint(col, row));
}

void GridWidget::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key(), event->modifiers());

    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    // Shift moves the far end of the range, anything else the current cell.
    const QPoint from = shift ? extentPoint() : QPoint(m_col, m_row);
    QPoint to = from;
    const int pageRows = std::max(1, viewport()->height() / std::max(1, rowHeight(m_row) / TwipsPerPixel));
    switch (event->key()) {
    case Qt::Key_Left: to = stepFrom(from, -1, 0); break;
    case Qt::Key_Right: to = stepFrom(from, 1, 0); break;
    case Qt::Key_Up: to = stepFrom(from, 0, -1); break;
    case Qt::Key_Down: to = stepFrom(from, 0, 1); break;
    case Qt::Key_PageUp: to.setY(std::max(1, from.y() - pageRows)); break;
    case Qt::Key_PageDown: to.setY(std::min(Rows() - 1, from.y() + pageRows)); break;
    case Qt::Key_Home:
        to.setX(1);
        if (ctrl)
            to.setY(1);
        break;
    case Qt::Key_End:
        to.setX(Cols() - 1);
        if (ctrl)
            to.setY(Rows() - 1);
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (!(mods & (Qt::AltModifier | Qt::MetaModifier)))
            emit clearRequested();
        event->accept();
        return;
    case Qt::Key_Menu:
        emit menuKeyPressed();
        event->accept();
        return;
    case Qt::Key_F10:
        if (shift && !ctrl) {
            emit menuKeyPressed();
            event->accept();
            return;
        }
        break;
    case Qt::Key_F2:
        emit editRequested();
        event->accept();
        return;
    case Qt::Key_A:
        if (ctrl && !(mods & (Qt::AltModifier | Qt::ShiftModifier))) {
            selectAll();
            event->accept();
            return;
        }
        [[fallthrough]];
    default: {
        // Shortcuts with Ctrl or Alt are not typing, and leave the range as it is.
        if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
            event->accept();
            return;
        }
        const QString text = event->text();
        for (const uint code : text.toUcs4()) {
            int keyAscii = int(code);
            emit keyPress(keyAscii);
        }
        event->accept();
        return;
    }
    }
    event->accept();
    if (to.x() < 1 || to.y() < 1 || m_col < 1 || m_row < 1)
        return;
    if (shift) {
        if (to != from)
            extendTo(to);
        return;
    }
    const QPoint was(m_col, m_row);
    moveCurrentByUser(to.x(), to.y());
    if (QPoint(m_col, m_row) != was) {
        scrollTo(model()->index(m_row - 1, m_col - 1));
        emit currentMovedByKey();
    }
}

void GridWidget::keyReleaseEvent(QKeyEvent *event)
{
    emit keyUp(event->key(), event->modifiers());
    event->accept();
}

void GridWidget::inputMethodEvent(QInputMethodEvent *event)
{
    // Composed text (a Japanese input method) starts an edit like a typed key;
    // the in-place box takes the event over from here.
    if (!event->preeditString().isEmpty() || !event->commitString().isEmpty()) {
        emit imeStarted(event);
        event->accept();
        return;
    }
    QTableView::inputMethodEvent(event);
}

void GridWidget::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    updateCell(m_col, m_row);
    followInView();
}

void GridWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        applyFont();
    QTableView::changeEvent(event);
}

bool GridWidget::event(QEvent *event)
{
    // Tab and Shift+Tab move along the cells, as in a spreadsheet; the grid
    // keeps the keyboard.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            emit keyDown(key->key(), key->modifiers());
            moveByTab(key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier));
            key->accept();
            return true;
        }
    }
    return QTableView::event(event);
}
