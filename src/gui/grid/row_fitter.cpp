#include "gui/grid/row_fitter.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>

#include "gui/grid/grid_widget.h"

namespace {

// Up to this many characters changing at once are measured at once, whatever
// is in view: a few milliseconds, and every row exact straight away.
constexpr qsizetype CheapCharacters = 64 * 1024;
// The idle pass gives the event loop back this often, and starts this long
// after the change, once the window has shown it.
constexpr qint64 SliceMs = 8;
constexpr int IdleStartMs = 250;

} // namespace

RowFitter::RowFitter(GridWidget *grid, QVector<qint32> &holders, QObject *parent)
    : QObject(parent), m_grid(grid), m_holders(holders)
{
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, &RowFitter::idleSlice);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, &RowFitter::fitInView);
    connect(m_grid, &GridWidget::rowAboutToShow, this, &RowFitter::fitRow);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
}

bool RowFitter::waiting(int row) const
{
    return row > 0 && row < m_waiting.size() && m_waiting.testBit(row);
}

void RowFitter::forgetAll()
{
    m_waiting = QBitArray(m_grid->Rows());
    m_fitted = QBitArray(m_grid->Rows());
    m_idle.stop();
}

namespace {

// Bits at..at+count-1 new (clear), the rest moved along.
QBitArray inserted(const QBitArray &bits, int at, int count)
{
    QBitArray out(bits.size() + count);
    for (int i = 0; i < bits.size(); ++i)
        if (bits.testBit(i))
            out.setBit(i < at ? i : i + count);
    return out;
}

QBitArray removed(const QBitArray &bits, int at, int count)
{
    QBitArray out(std::max<int>(0, bits.size() - count));
    for (int i = 0; i < bits.size(); ++i)
        if (bits.testBit(i) && (i < at || i >= at + count) && (i < at ? i : i - count) < out.size())
            out.setBit(i < at ? i : i - count);
    return out;
}

template<typename List>
void reorder(List &list, int at, const QVector<int> &order)
{
    if (at + order.size() > list.size())
        return;
    const List old = list.mid(at, order.size());
    for (int i = 0; i < order.size(); ++i)
        list[at + i] = old[order[i]];
}

} // namespace

void RowFitter::rowsInserted(int at, int count)
{
    if (at <= m_waiting.size()) {
        m_waiting = inserted(m_waiting, at, count);
        m_fitted = inserted(m_fitted, at, count);
    }
    if (at <= m_holders.size())
        m_holders.insert(at, count, 0);
}

void RowFitter::rowsRemoved(int at, int count)
{
    if (at < m_waiting.size()) {
        m_waiting = removed(m_waiting, at, count);
        m_fitted = removed(m_fitted, at, count);
    }
    if (at < m_holders.size())
        m_holders.remove(at, std::min<int>(count, m_holders.size() - at));
}

void RowFitter::rowsMoved(int at, const QVector<int> &order)
{
    auto moveBits = [&](QBitArray &bits) {
        if (at + order.size() > bits.size())
            return;
        QBitArray old = bits;
        for (int i = 0; i < order.size(); ++i)
            bits.setBit(at + i, old.testBit(at + order[i]));
    };
    moveBits(m_waiting);
    moveBits(m_fitted);
    reorder(m_holders, at, order);
}

void RowFitter::fit(int top, int bottom)
{
    top = qMax(1, top);
    bottom = qMin(m_grid->Rows() - 1, bottom);
    if (top > bottom)
        return;
    // Rows taken away take their marks with them.
    if (m_waiting.size() != m_grid->Rows()) {
        m_waiting.resize(m_grid->Rows());
        m_fitted.resize(m_grid->Rows());
    }
    qsizetype characters = 0;
    for (int r = top; r <= bottom && characters <= CheapCharacters; ++r) {
        for (int c = 1; c < m_grid->Cols(); ++c)
            characters += m_grid->storedTextLength(c, r);
    }
    if (characters <= CheapCharacters) {
        measure(top, bottom);
        return;
    }
    {
        GridWidget::BulkUpdate bulk(m_grid);
        for (int r = top; r <= bottom; ++r) {
            m_waiting.setBit(r);
            if (!m_fitted.testBit(r))
                guess(r);
        }
    }
    m_warmRow = top;
    m_warmCol = 1;
    fitInView();
    if (m_waiting.count(true) > 0)
        m_idle.start(IdleStartMs);
}

void RowFitter::fitRow(int row)
{
    if (waiting(row) && !m_busy)
        measure(row, row);
}

// A row not measured yet: as tall as its text's length suggests, so that the
// scroll bar hardly moves when the row comes into view.
void RowFitter::guess(int row)
{
    int tallest = 0;
    for (int c = 1; c < m_grid->Cols(); ++c)
        tallest = qMax(tallest, m_grid->guessedHeight(c, row));
    m_grid->setRowHeight(row, tallest);
}

// Each row as tall as its tallest cell; m_holders names the rightmost of the
// tallest. A cell over several rows needs from its first row only what the
// rows below lack: rows go from the bottom up, and the rows of every span
// that reaches into the range are fitted with them.
void RowFitter::measure(int top, int bottom)
{
    if (m_holders.size() <= bottom)
        m_holders = QVector<qint32>(m_grid->Rows() + 1, 0);
    auto anyWaiting = [this](int from, int to) {
        for (int r = from; r <= to; ++r) {
            if (waiting(r))
                return true;
        }
        return false;
    };
    for (bool grown = true; grown;) {
        grown = false;
        for (const QRect &a : m_grid->spanLayout().spans()) {
            if (a.bottom() < top || a.top() > bottom)
                continue;
            if (a.top() < top) {
                top = a.top();
                grown = true;
            }
            if (a.bottom() > bottom && anyWaiting(bottom + 1, a.bottom())) {
                bottom = a.bottom();
                grown = true;
            }
        }
    }
    // Rows measured above the first one in view would push what the user is
    // looking at down the screen; the view follows them instead.
    // (In a bulk update the caller does the same once, for all the rows.)
    QHeaderView *header = m_grid->verticalHeader();
    const bool inBulk = m_grid->inBulkUpdate();
    const int anchor = inBulk ? -1 : header->logicalIndexAt(0);
    const bool keepView = !inBulk && anchor >= 0 && top <= anchor && m_waiting.count(true) > 0;
    const int before = keepView ? header->sectionViewportPosition(anchor) : 0;
    for (int y = bottom; y >= top; --y) {
        int tallest = 0;
        int holder = 0;
        for (int x = 1; x < m_grid->Cols(); ++x) {
            const int need = m_grid->neededHeight(x, y);
            if (need >= tallest) {
                tallest = need;
                holder = x;
            }
        }
        m_holders[y] = holder;
        m_grid->setRowHeight(y, tallest);
        if (y < m_waiting.size()) {
            m_waiting.clearBit(y);
            m_fitted.setBit(y);
        }
    }
    if (keepView) {
        QScopedValueRollback<bool> busy(m_busy, true);
        QScrollBar *bar = m_grid->verticalScrollBar();
        bar->setValue(bar->value() + header->sectionViewportPosition(anchor) - before);
    }
}

// The rows in view, from the top: each one measured moves the ones below it.
// A hidden grid waits until it is shown.
void RowFitter::fitInView()
{
    if (m_busy || m_grid->inBulkUpdate() || !m_grid->isVisible() || m_waiting.count(true) == 0)
        return;
    QScopedValueRollback<bool> busy(m_busy, true);
    const QHeaderView *header = m_grid->verticalHeader();
    for (int pass = 0; pass < m_grid->Rows(); ++pass) {
        const int first = header->logicalIndexAt(0);
        if (first < 0)
            return;
        int last = header->logicalIndexAt(qMax(0, m_grid->viewport()->height() - 1));
        if (last < 0)
            last = m_grid->Rows() - 2;
        int row = -1;
        for (int r = first + 1; r <= last + 1 && row < 0; ++r) {
            if (waiting(r))
                row = r;
        }
        if (row < 0)
            return;
        measure(row, row);
    }
}

// The rest, a few milliseconds at a time: the cells of one row are measured
// (their counts are kept) before the row itself is fitted from them.
void RowFitter::idleSlice()
{
    fitInView();
    QElapsedTimer clock;
    clock.start();
    // The rows of a slice reach the header together, and the rows in view
    // stay where they are on screen.
    QHeaderView *header = m_grid->verticalHeader();
    const int anchor = header->logicalIndexAt(0);
    const int before = anchor >= 0 ? header->sectionViewportPosition(anchor) : 0;
    {
        GridWidget::BulkUpdate bulk(m_grid);
        idleRows(clock);
    }
    if (anchor >= 0) {
        QScopedValueRollback<bool> busy(m_busy, true);
        QScrollBar *bar = m_grid->verticalScrollBar();
        bar->setValue(bar->value() + header->sectionViewportPosition(anchor) - before);
    }
    if (m_waiting.count(true) > 0)
        m_idle.start(0);
}

void RowFitter::idleRows(const QElapsedTimer &clock)
{
    while (clock.elapsed() < SliceMs) {
        const int rows = m_grid->Rows();
        int row = -1;
        for (int i = 0; i < rows && row < 0; ++i) {
            const int r = 1 + (qMax(0, m_warmRow - 1) + i) % qMax(1, rows - 1);
            if (waiting(r))
                row = r;
        }
        if (row < 0)
            return;
        if (row != m_warmRow) {
            m_warmRow = row;
            m_warmCol = 1;
        }
        while (m_warmCol < m_grid->Cols() && clock.elapsed() < SliceMs)
            m_grid->neededHeight(m_warmCol++, row);
        if (m_warmCol < m_grid->Cols())
            break;
        measure(row, row);
        m_warmCol = 1;
    }
}

bool RowFitter::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_grid && event->type() == QEvent::Show)
        || (watched == m_grid->viewport() && event->type() == QEvent::Resize)) {
        fitInView();
    }
    return false;
}
