#pragma once

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <functional>

#include "core/model/table_tools.h"

class QCheckBox;
class QComboBox;

// Sort by up to three keys, each a column, how it reads and its direction,
// and whether the first row is the columns' labels and stays.
class SortDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int KeyCount = 3;

    // columns: a name for each column of the table, the first for column 1.
    // guess: the kind that reads a column best, asked when one is chosen.
    SortDialog(const QStringList &columns, std::function<tabletools::SortKind(int col)> guess, QWidget *parent);

    void setFirstKey(const tabletools::SortKey &key);
    // fixed: the first rows are header cells, which always stay.
    void setFirstRowIsHeader(bool on, bool fixed);
    bool firstRowIsHeader() const;
    // The keys chosen, in order; a key left at "none" is not among them.
    QVector<tabletools::SortKey> keys() const;

private:
    struct KeyRow {
        QComboBox *col, *kind, *order;
    };
    void columnChosen(int key);

    std::function<tabletools::SortKind(int)> m_guess;
    QCheckBox *chkSortHeader;
    KeyRow m_rows[KeyCount];
};
