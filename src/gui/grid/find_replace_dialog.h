#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class GridEditor;
struct FindOptions;

// Find and Replace over the cells' text: a window beside the table that stays
// open while the user goes on working. Replace All is one undo step.
class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    FindReplaceDialog(GridEditor &grid, QWidget *parent);

    // Shown for finding only, or with the replace box and buttons.
    void open(bool replace);

private slots:
    void cmdFindNext_Click();
    void cmdFindPrev_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();

private:
    FindOptions options() const;
    bool find(bool backward);
    void say(const QString &text);

    GridEditor &m_grid;
    QLineEdit *txtFind, *txtReplace;
    QLabel *lblReplace, *lblStatus;
    QCheckBox *chkMatchCase, *chkWholeCell, *chkRegex;
    QPushButton *cmdFindNext, *cmdFindPrev, *cmdReplace, *cmdReplaceAll;
};
