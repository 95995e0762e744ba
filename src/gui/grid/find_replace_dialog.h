#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class GridEditor;
struct FindOptions;
struct FoundCell;
struct ReplaceSummary;

// Find and Replace over the cells' text: a window beside the table that stays
// open while the user goes on working. Replace All is one undo step.
class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    FindReplaceDialog(GridEditor &grid, QWidget *parent);

    // Shown for finding only, or with the replace box and buttons.
    void open(bool replace);
    // Whether there is a search to repeat (F3), with the dialog shown or not.
    bool hasSearch() const;
    void findAgain(bool backward);

signals:
    // What the last command found or did, for the status bar and screen
    // readers; empty when there is nothing to say.
    void said(const QString &text);

private slots:
    void cmdFindNext_Click();
    void cmdFindPrev_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();

private:
    FindOptions options() const;
    // Finds and shows the next cell; what to tell, empty for a plain find.
    QString find(bool backward, bool *found = nullptr);
    QString summary(const ReplaceSummary &s) const;
    void keepClearOf(QPoint cell);
    void say(const QString &text);

    GridEditor &m_grid;
    QLineEdit *txtFind, *txtReplace;
    QLabel *lblReplace, *lblStatus;
    QCheckBox *chkMatchCase, *chkWholeCell, *chkRegex, *chkSource;
    QPushButton *cmdFindNext, *cmdFindPrev, *cmdReplace, *cmdReplaceAll;
};
