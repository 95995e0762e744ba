// Work that is never lost silently: saving in place, and the question before
// a window with changes closes or the session ends.
#include "gui/window/main_window.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSessionManager>
#include <QUndoStack>

#include "core/app/app_paths.h"
#include "gui/window/recovery.h"
#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "gui/grid/grid_editor.h"
#include "document/table_document.h"

bool frmMain::saveInPlace()
{
    m_grid->commitOpenBox();
    const QString path = FileName();
    if (!isTableFileName(path))
        return saveAs();
    const SaveResult saved = saveTableDocument(m_doc->model(), path);
    if (!saved.ok) {
        showFileMessage(this, saved.message);
        return false;
    }
    markSaved();
    return true;
}

// The table as it is now is the one in its file.
void frmMain::markSaved()
{
    m_doc->undoStack()->setClean();
    m_recovery->discard();
}

bool frmMain::maybeSave()
{
    // Text still in the in-place box is a change too.
    m_grid->commitOpenBox();
    if (m_doc->undoStack()->isClean())
        return true;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvan"),
                    tr("「%1」への変更を保存しますか？").arg(shownName(FileName())),
                    QMessageBox::NoButton, isVisible() ? this : nullptr);
    box.setObjectName(QStringLiteral("msgSaveChanges"));
    QPushButton *save = box.addButton(tr("保存(&S)"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(tr("保存しない(&N)"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(tr("キャンセル"), QMessageBox::RejectRole);
    save->setObjectName(QStringLiteral("save"));
    discard->setObjectName(QStringLiteral("discard"));
    cancel->setObjectName(QStringLiteral("cancel"));
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == discard) {
        m_recovery->discard();
        return true;
    }
    // Saved as HTML the table itself is still unsaved: the window stays.
    return box.clickedButton() == save && saveInPlace();
}

void frmMain::guardSessionEnd()
{
    static bool guarded = false;
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (guarded || !app)
        return;
    guarded = true;
    // Logging out: each window with changes asks in turn, newest first, and
    // Cancel keeps the session. Where no question may be asked, the tables
    // are written for recovery at once.
    QObject::connect(app, &QGuiApplication::commitDataRequest, app, [](QSessionManager &manager) {
        const QList<frmMain *> windows = loadedWindows();
        const bool ask = manager.allowsInteraction();
        for (int i = windows.size() - 1; i >= 0; --i) {
            const QPointer<frmMain> w = windows.at(i);
            if (!w)
                continue;
            if (!ask) {
                w->m_recovery->writeNow();
            } else if (!w->maybeSave()) {
                manager.cancel();
                break;
            }
        }
        if (ask)
            manager.release();
    });
}
