#include "gui/grid/grid_model.h"

#include <QCoreApplication>
#include <QFont>

#include "core/model/grid_text.h"
#include "document/table_document.h"
#include "gui/grid/grid_widget.h"

namespace {

// Texts up to this long are shown afresh each time; longer ones are kept.
constexpr qsizetype ShortText = 256;
constexpr qsizetype MaxShownCharacters = 32 * 1024 * 1024;

quint64 keyOf(int col, int row)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

} // namespace

GridModel::GridModel(const TableDocument &doc, GridWidget *grid)
    : QAbstractTableModel(grid), m_doc(doc), m_grid(grid)
{
    connect(&doc, &TableDocument::cellsChanged, this, [this](QRect cells, CellFields) { onCellsChanged(cells); });
    connect(&doc, &TableDocument::linesInserted, this, &GridModel::onLinesInserted);
    connect(&doc, &TableDocument::linesRemoved, this, &GridModel::onLinesRemoved);
    connect(&doc, &TableDocument::linesMoved, this, &GridModel::onLinesMoved);
    connect(&doc, &TableDocument::modelReset, this, [this] {
        m_shown.clear();
        m_shownCharacters = 0;
        refreshAll();
    });
}

void GridModel::resize(int newCols, int newRows)
{
    if (newRows < m_rows) {
        beginRemoveRows(QModelIndex(), newRows - 1, m_rows - 2);
        m_rows = newRows;
        endRemoveRows();
    } else if (newRows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows - 1, newRows - 2);
        m_rows = newRows;
        endInsertRows();
    }
    if (newCols < m_cols) {
        beginRemoveColumns(QModelIndex(), newCols - 1, m_cols - 2);
        m_cols = newCols;
        endRemoveColumns();
    } else if (newCols > m_cols) {
        beginInsertColumns(QModelIndex(), m_cols - 1, newCols - 2);
        m_cols = newCols;
        endInsertColumns();
    }
}

QString GridModel::shownText(int col, int row) const
{
    if (!valid(col, row))
        return QString();
    if (row == 0 || col == 0)
        return row == 0 && col == 0 ? QString() : QString::number(row == 0 ? col : row);
    const QString &raw = m_doc.cell(col, row).Text;
    if (raw.size() <= ShortText)
        return HtmlToGridText(raw);
    const quint64 key = keyOf(col, row);
    const auto known = m_shown.constFind(key);
    if (known != m_shown.cend())
        return *known;
    if (m_shownCharacters > MaxShownCharacters) {
        m_shown.clear();
        m_shownCharacters = 0;
    }
    const QString shown = HtmlToGridText(raw);
    m_shown.insert(key, shown);
    m_shownCharacters += shown.size();
    return shown;
}

GridCell GridModel::cell(int col, int row) const
{
    GridCell c;
    if (!valid(col, row))
        return c;
    if (row == 0 || col == 0) {
        c.text = shownText(col, row);
        c.align = qint8(TextPlacement::CentreMiddle);
        return c;
    }
    const CellRecord &rec = m_doc.cell(col, row);
    c.text = shownText(col, row);
    c.align = qint8(placementOf(rec.HAlign, rec.VAlign));
    // A cell without its own colour shows the theme's (white), not the table's colour.
    c.ownBack = rec.BackColorNothing == 0;
    c.back = c.ownBack ? rec.BackColor : 0xFFFFFF;
    c.bold = rec.Header == -1;
    return c;
}

void GridModel::refreshAll()
{
    if (m_rows > 1 && m_cols > 1)
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 2));
    if (m_cols > 1)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 2);
    if (m_rows > 1)
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 2);
}

void GridModel::forgetShown(QRect cells)
{
    if (m_shown.isEmpty())
        return;
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        const int col = int(quint32(it.key())), row = int(it.key() >> 32);
        if (cells.contains(col, row)) {
            m_shownCharacters -= it->size();
            it = m_shown.erase(it);
        } else {
            ++it;
        }
    }
}

void GridModel::onCellsChanged(QRect cells)
{
    forgetShown(cells);
    const QRect inGrid = cells & QRect(1, 1, m_cols - 1, m_rows - 1);
    if (inGrid.isEmpty())
        return;
    emit dataChanged(index(inGrid.top() - 1, inGrid.left() - 1), index(inGrid.bottom() - 1, inGrid.right() - 1));
}

void GridModel::onLinesInserted(bool rows, int at, int count)
{
    m_shown.clear();
    m_shownCharacters = 0;
    const int size = rows ? m_rows : m_cols;
    if (count < 1 || at < 1 || at > size)
        return;
    const int limit = (rows ? TableLimits::MaxRows : TableLimits::MaxCols) + 1;
    // Lines pushed past the largest grid leave it first.
    const int overflow = std::max(0, size + count - limit);
    if (overflow > 0)
        onLinesRemoved(rows, size - overflow, overflow);
    if (rows) {
        beginInsertRows(QModelIndex(), at - 1, at + count - 2);
        m_rows += count;
        endInsertRows();
    } else {
        beginInsertColumns(QModelIndex(), at - 1, at + count - 2);
        m_cols += count;
        endInsertColumns();
    }
    emit tableLinesInserted(rows, at, count);
}

void GridModel::onLinesRemoved(bool rows, int at, int count)
{
    m_shown.clear();
    m_shownCharacters = 0;
    const int size = rows ? m_rows : m_cols;
    if (count < 1 || at < 1 || at >= size)
        return;
    // A grid keeps one line at least.
    const int last = std::min(at + count - 1, size - 1);
    if (last - at + 1 >= size - 1)
        return;
    if (rows) {
        beginRemoveRows(QModelIndex(), at - 1, last - 1);
        m_rows -= last - at + 1;
        endRemoveRows();
    } else {
        beginRemoveColumns(QModelIndex(), at - 1, last - 1);
        m_cols -= last - at + 1;
        endRemoveColumns();
    }
    emit tableLinesRemoved(rows, at, last - at + 1);
}

void GridModel::onLinesMoved(bool rows, int at, const QVector<int> &order)
{
    m_shown.clear();
    m_shownCharacters = 0;
    const int size = rows ? m_rows : m_cols;
    if (at < 1 || at >= size || order.isEmpty())
        return;
    // The lines hold other cells now; the grid's own current cell and the
    // sizes it keeps by line follow through tableLinesMoved. A layout change
    // would make the header keep a persistent index for every section.
    const int last = std::min<int>(at + order.size() - 1, size - 1);
    if (rows) {
        emit dataChanged(index(at - 1, 0), index(last - 1, m_cols - 2));
        emit headerDataChanged(Qt::Vertical, at - 1, last - 1);
    } else {
        emit dataChanged(index(0, at - 1), index(m_rows - 2, last - 1));
        emit headerDataChanged(Qt::Horizontal, at - 1, last - 1);
    }
    if (at + order.size() <= size)
        emit tableLinesMoved(rows, at, order);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows - 1;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols - 1;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int col = index.column() + 1, row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        // A cell under a span is not in the HTML: a screen reader hears nothing there.
        if (!m_grid->spanLayout().isWritten(col, row))
            return QString();
        return shownText(col, row);
    case Qt::AccessibleDescriptionRole: {
        // A merged cell tells how far it reaches.
        const QRect area = m_grid->spanLayout().area(col, row);
        if (!m_grid->spanLayout().isWritten(col, row) || area.width() * area.height() <= 1)
            return QVariant();
        return QCoreApplication::translate("GridWidget", "%1 列 × %2 行に結合").arg(area.width()).arg(area.height());
    }
    case Qt::BackgroundRole: {
        const CellRecord &rec = m_doc.cell(col, row);
        return rec.BackColorNothing == 0 ? QVariant(GridWidget::toQColor(rec.BackColor)) : QVariant();
    }
    case Qt::TextAlignmentRole: {
        const CellRecord &rec = m_doc.cell(col, row);
        return int(GridWidget::alignmentOf(placementOf(rec.HAlign, rec.VAlign)));
    }
    case Qt::FontRole: {
        QFont f = m_grid->font();
        f.setBold(m_doc.cell(col, row).Header == -1);
        return f;
    }
    case Qt::ToolTipRole:
        return m_grid->toolTip();
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int line = section + 1;
    if (line >= (orientation == Qt::Horizontal ? m_cols : m_rows))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::number(line);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::FontRole:
        return m_grid->font();
    case Qt::ToolTipRole:
        return m_grid->toolTip();
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    // The current cell is the grid's own; the view's selection only follows
    // it (the user never selects through the view), for assistive tools.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
