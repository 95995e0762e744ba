// Column widths and row heights by dragging the borders of the row and column
// numbers, as in a spreadsheet; the document keeps them as the cells' sizes.
#include "gui/grid/grid_widget.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>

#include "gui/grid/grid_cells_p.h"

namespace {

// Watches a header's presses, so that only the user's own drags count.
class BorderWatcher : public QObject
{
public:
    BorderWatcher(QObject *parent, std::function<void(bool)> pressed)
        : QObject(parent), m_pressed(std::move(pressed))
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            m_pressed(true);
        else if (event->type() == QEvent::MouseButtonRelease)
            m_pressed(false);
        return false;
    }

private:
    std::function<void(bool)> m_pressed;
};

} // namespace

void GridWidget::setUpBorderDrags()
{
    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        const Qt::Orientation o = h->orientation();
        h->viewport()->installEventFilter(new BorderWatcher(h, [this, o](bool down) {
            m_headerPressed = down;
            if (down || m_dragSection < 0)
                return;
            // Released: the drag is one change, at the size it ended with.
            const int line = m_dragSection + 1;
            m_dragSection = -1;
            if (o == Qt::Horizontal)
                emit colWidthDragged(line, horizontalHeader()->sectionSize(line - 1));
            else
                emit rowHeightDragged(line, verticalHeader()->sectionSize(line - 1));
        }));
        connect(h, &QHeaderView::sectionResized, this, [this, o](int section, int, int size) {
            if (!m_headerPressed)
                return; // the program's own sizing
            m_dragOrientation = o;
            m_dragSection = section;
            // The grid keeps what the user sees until the document says otherwise.
            if (o == Qt::Horizontal && section + 1 < Cols())
                m_colWidths[section + 1] = size * TwipsPerPixel;
            else if (o == Qt::Vertical && section + 1 < Rows())
                m_rowHeights[section + 1] = size * TwipsPerPixel;
        });
    }
    connect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, [this](int section) {
        m_dragSection = -1;
        emit colFitRequested(section + 1);
    });
}

int GridWidget::naturalColWidthPx(int col) const
{
    int widest = 0;
    for (int row = 1; row < Rows(); ++row) {
        if (!m_spans.isWritten(col, row) || m_spans.area(col, row).width() > 1)
            continue;
        const GridCell c = m_model->cell(col, row);
        const QFontMetrics fm(measureFont(c.bold));
        for (const QString &line : c.text.split(QLatin1Char('\n')))
            widest = std::max(widest, fm.horizontalAdvance(QString(line).remove(QLatin1Char('\r'))));
    }
    const int gridLine = showGrid() ? 1 : 0;
    return std::max(16, widest + 2 * PadX + gridLine + 1);
}

void GridWidget::moveCurrentTo(int col, int row)
{
    col = std::clamp(col, 1, Cols() - 1);
    row = std::clamp(row, 1, Rows() - 1);
    moveCurrentByUser(col, row);
    scrollTo(model()->index(m_row - 1, m_col - 1));
    emit currentMovedByKey();
}
