#include "gui/grid/grid_clipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "core/import/cell_block.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"
#include "document/table_document.h"
#include "gui/widgets/file_commands.h"

GridClipboard::GridClipboard(GridEditor &editor, TableDocument &doc)
    : QObject(&editor), m_editor(editor), m_doc(doc)
{
    setObjectName(QStringLiteral("GridClipboard"));
    auto make = [this](const char *name, const QString &text, QKeySequence::StandardKey key,
                       void (GridClipboard::*slot)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        // Only where the grid has the focus: a text box elsewhere keeps its own.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_cut = make("mnuCut", tr("切り取り(&T)"), QKeySequence::Cut, &GridClipboard::cut);
    m_copy = make("mnuCopy", tr("コピー(&C)"), QKeySequence::Copy, &GridClipboard::copy);
    m_paste = make("mnuPaste", tr("貼り付け(&P)"), QKeySequence::Paste, &GridClipboard::paste);
    m_pasteText = make("mnuPasteText", tr("テキストとして貼り付け(&X)"), QKeySequence::UnknownKey,
                       &GridClipboard::pasteText);
    m_pasteText->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    m_editor.grid()->addActions(actions());
}

bool GridClipboard::handledByTextBox(const char *slot) const
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || !(qobject_cast<QLineEdit *>(focus) || qobject_cast<QTextEdit *>(focus)
                    || qobject_cast<QPlainTextEdit *>(focus)))
        return false;
    QMetaObject::invokeMethod(focus, slot);
    return true;
}

bool GridClipboard::gridInUse() const
{
    return !m_editor.grid()->isHidden();
}

void GridClipboard::copy()
{
    if (handledByTextBox("copy") || !gridInUse())
        return;
    m_editor.commitOpenBox();
    const CellBlock block = takeCellBlock(m_doc.model(), m_editor.selectedCells());
    if (!block.isEmpty())
        QApplication::clipboard()->setMimeData(cellBlockMimeData(block));
}

void GridClipboard::cut()
{
    if (handledByTextBox("cut") || !gridInUse())
        return;
    copy();
    const QRect area = m_editor.selectedCells();
    m_doc.editModel(tr("切り取り"), [&](TableModel &m) {
        for (int r = area.top(); r <= area.bottom(); ++r)
            for (int c = area.left(); c <= area.right(); ++c)
                if (CellTable::inRange(c, r))
                    m.Cells(c, r).Text.clear();
    });
}

void GridClipboard::paste()
{
    if (handledByTextBox("paste") || !gridInUse())
        return;
    pasteFrom(QApplication::clipboard()->mimeData());
}

void GridClipboard::pasteText()
{
    if (handledByTextBox("paste") || !gridInUse())
        return;
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    QMimeData text;
    text.setText(data->text());
    pasteFrom(&text);
}

void GridClipboard::pasteFrom(const QMimeData *data)
{
    bool tooLarge = false;
    const std::optional<CellBlock> block = data ? cellBlockFromMimeData(*data, &tooLarge) : std::nullopt;
    if (tooLarge)
        showFileMessage(m_editor.grid()->window(), tr("クリップボードの内容が大きすぎるため、貼り付けできませんでした。"),
                        MessageKind::Failure);
    else
        pasteBlock(block);
}

void GridClipboard::pasteBlock(const std::optional<CellBlock> &block)
{
    if (!block)
        return;
    m_editor.commitOpenBox();
    const QRect at = m_editor.selectedCells();
    PasteResult result;
    m_doc.editModel(tr("貼り付け"), [&](TableModel &m) {
        result = pasteCellBlock(m, *block, at.left(), at.top());
    });
    // What the pane shows of the current cell may have come with the paste.
    if (!result.cells.isEmpty())
        m_editor.Grid_Click();
    if (result.message.isEmpty())
        return;
    showFileMessage(m_editor.grid()->window(), result.message, MessageKind::Notice);
}
