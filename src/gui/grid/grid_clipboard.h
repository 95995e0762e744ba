#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

#include "core/import/cell_block.h"

class QAction;
class QMimeData;
class QWidget;
class GridEditor;
class TableDocument;

// Cut, copy and paste of the grid's selected cells, each one undo step. The
// shortcuts work on the grid; while the in-place box or another text box has
// the focus, the three are that box's own, also when chosen from a menu.
class GridClipboard : public QObject
{
    Q_OBJECT

public:
    GridClipboard(GridEditor &editor, TableDocument &doc);

    // 切り取り, コピー, 貼り付け, テキストとして貼り付け, in that order, for the menus.
    QList<QAction *> actions() const { return {m_cut, m_copy, m_paste, m_pasteText}; }

    void cut();
    void copy();
    void paste();
    // The clipboard's plain text only, whatever else it holds.
    void pasteText();


private:
    // The clipboard's best form; one larger than a page the import reads is refused with a message.
    void pasteFrom(const QMimeData *data);
    bool handledByTextBox(const char *slot) const;
    bool gridInUse() const;

    GridEditor &m_editor;
    TableDocument &m_doc;
    QAction *m_cut;
    QAction *m_copy;
    void pasteBlock(const std::optional<CellBlock> &block);

    QAction *m_paste;
    QAction *m_pasteText;
};
