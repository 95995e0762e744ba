#pragma once

#include <QBitArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>

class GridWidget;

// Keeps each grid row as tall as its tallest cell. Measuring wrapped text is
// most of what showing a large table costs, so when many characters change
// at once only the rows in view are measured at once; the others keep a
// height guessed from their text's length until they scroll in or the event
// loop has nothing else to do.
class RowFitter : public QObject
{
    Q_OBJECT

public:
    // holders: for each grid row, the column whose text sets its height.
    RowFitter(GridWidget *grid, QVector<qint32> &holders, QObject *parent);

    // Rows top..bottom changed: fitted now, or later when that costs too much.
    void fit(int top, int bottom);
    // A row about to be shown (the current cell moving there) is fitted first.
    void fitRow(int row);
    bool waiting(int row) const;
    // A new table: nothing fitted yet.
    void forgetAll();
    // The grid's rows moved: their marks (and holders) move with them.
    void rowsInserted(int at, int count);
    void rowsRemoved(int at, int count);
    void rowsMoved(int at, const QVector<int> &order);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void measure(int top, int bottom);   // spans reaching in included; bottom-up
    void fitInView();
    void idleSlice();
    void idleRows(const QElapsedTimer &clock);
    void guess(int row);

    GridWidget *m_grid;
    QVector<qint32> &m_holders;
    QBitArray m_waiting;
    QBitArray m_fitted;                  // measured at least once since forgetAll
    QTimer m_idle;
    int m_warmRow = 0;                   // the idle pass's place: row, then column
    int m_warmCol = 1;
    bool m_busy = false;
};
