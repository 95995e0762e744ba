#pragma once

#include <QDialog>
#include <QVector>

#include "core/import/html_tables.h"

class QTreeWidget;

// Which table of a page to open: each table with its place among the page's
// tables (nested ones under the table they sit in), its size, caption or id
// and first cells. The page's preferred table (preferredHtmlTable) is chosen
// when it shows.
class HtmlTableChooser : public QDialog
{
    Q_OBJECT

public:
    HtmlTableChooser(const QVector<HtmlTable> &tables, QWidget *parent = nullptr);

    // The chosen table's index in the list, -1 for none.
    int chosen() const;

    // The only table directly, else the user's pick; -1 when the pick is cancelled.
    static int choose(QWidget *parent, const QVector<HtmlTable> &tables);

private:
    QTreeWidget *lstTables;
};
