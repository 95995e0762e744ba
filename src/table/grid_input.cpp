// The grid's input: which cell a point is, and the mouse, keyboard and input
// method events that move the current cell or start typing into it.
#include "grid_widget.h"

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
    if (col == m_col && row == m_row)
        return;
    emit leaveCell();
    setCol(col);
    setRow(row);
}

void GridWidget::mousePressEvent(QMouseEvent *event)
{
    int col = 0, row = 0;
    // Taking the focus first lets an open in-place box commit to the cell it belongs to.
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (!cellAt(event->position().toPoint(), col, row)) {
        m_pressedOnCell = false;
        return;
    }
    moveCurrentByUser(col, row);
    m_pressedOnCell = true;
    emit cellMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void GridWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasOnCell = m_pressedOnCell;
    m_pressedOnCell = false;
    int col = 0, row = 0;
    if (wasOnCell && event->button() == Qt::LeftButton
        && cellAt(event->position().toPoint(), col, row) && col == m_col && row == m_row)
        emit cellClicked();
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    int col = 0, row = 0;
    if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), col, row))
        return;
    moveCurrentByUser(col, row);
    m_pressedOnCell = false;
    emit cellDoubleClicked();
}

void GridWidget::mouseMoveEvent(QMouseEvent *)
{
    // No drag selection: a single current cell is all the grid has.
}

void GridWidget::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key(), event->modifiers());

    int col = m_col, row = m_row;
    const int pageRows = std::max(1, viewport()->height() / std::max(1, rowHeight(m_row) / 15));
    switch (event->key()) {
    case Qt::Key_Left: col = std::max(1, col - 1); break;
    case Qt::Key_Right: col = std::min(Cols() - 1, col + 1); break;
    case Qt::Key_Up: row = std::max(1, row - 1); break;
    case Qt::Key_Down: row = std::min(Rows() - 1, row + 1); break;
    case Qt::Key_PageUp: row = std::max(1, row - pageRows); break;
    case Qt::Key_PageDown: row = std::min(Rows() - 1, row + pageRows); break;
    case Qt::Key_Home:
        col = 1;
        if (event->modifiers() & Qt::ControlModifier)
            row = 1;
        break;
    case Qt::Key_End:
        col = Cols() - 1;
        if (event->modifiers() & Qt::ControlModifier)
            row = Rows() - 1;
        break;
    default: {
        // Shortcuts with Ctrl or Alt are not typing.
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            break;
        const QString text = event->text();
        for (const uint code : text.toUcs4()) {
            int keyAscii = int(code);
            emit keyPress(keyAscii);
        }
        event->accept();
        return;
    }
    }
    if (col != m_col || row != m_row) {
        if (col < 1 || row < 1)
            return;
        moveCurrentByUser(col, row);
        scrollTo(model()->index(row - 1, col - 1));
        emit currentMovedByKey();
    }
    event->accept();
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
}

void GridWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        applyFont();
    QTableView::changeEvent(event);
}

bool GridWidget::event(QEvent *event)
{
    // Tab moves the focus on as usual, but the window hears it first (it commits an edit).
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            int keyAscii = 9;
            emit keyDown(key->key(), key->modifiers());
            emit keyPress(keyAscii);
        }
    }
    return QTableView::event(event);
}
