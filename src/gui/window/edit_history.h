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
    explicit EditHistory(frmMain &window);

private:
    void undoOrRedo(bool redo);
    void showFind(bool replace);            // Ctrl+F, Ctrl+H
    void showStepApplied(QRect cells);

    frmMain &m_window;
    TableDocument &m_doc;
    GridEditor &m_grid;
    QMenu *mnuEdit = nullptr;
    QAction *mnuUndo = nullptr, *mnuRedo = nullptr;
    FindReplaceDialog *m_find = nullptr;     // made on first use
    bool m_fromEditMenu = false;            // the Edit menu chose the item being run
    TableFields m_appliedFields;            // table fields the undo or redo being run changed
};
