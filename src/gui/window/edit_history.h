#pragma once

#include <QObject>
#include <QRect>

#include "document/table_document.h"

class QAction;
class QMenu;
class frmMain;
class FindReplaceDialog;
class GridEditor;

// The window's Edit menu: undo and redo of the table's steps, each item naming
// its step, and the window brought to what a step changed.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    EditHistory(frmMain &window, TableDocument &doc, GridEditor &grid);

private:
    void undoOrRedo(bool redo);
    void showFind(bool replace);            // Ctrl+F, Ctrl+H
    void findAgain(bool backward);          // F3, Shift+F3: the dialog's search, shown or not
    FindReplaceDialog *findDialog();        // made on first use
    void showStepApplied(QRect cells);

    frmMain &m_window;
    TableDocument &m_doc;
    GridEditor &m_grid;
    QMenu *mnuEdit = nullptr;
    QAction *mnuUndo = nullptr, *mnuRedo = nullptr;
    QAction *mnuFindNext = nullptr, *mnuFindPrev = nullptr;
    FindReplaceDialog *m_find = nullptr;
    bool m_fromEditMenu = false;            // the Edit menu chose the item being run
    TableFields m_appliedFields;            // table fields the undo or redo being run changed
};
