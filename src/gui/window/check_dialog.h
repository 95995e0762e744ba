#pragma once

#include <QDialog>

#include "core/markup/table_check.h"

class QLabel;
class QListWidget;
class QPushButton;
class TableDocument;

// The accessibility check of the window's table: the findings, each naming
// its cell, and "直す" for those with a mechanical fix, each fix one undo
// step. The list is found again after every fix.
class CheckDialog : public QDialog
{
    Q_OBJECT

public:
    CheckDialog(TableDocument &doc, QWidget *parent = nullptr);

signals:
    void fixed(); // the table changed: panes and views to follow

private:
    void refresh();
    void fixSelected();

    TableDocument &m_doc;
    CheckReport m_report;
    QLabel *lblSummary;
    QListWidget *lstFindings;
    QPushButton *cmdFix;
};
