#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "app/main_window.h"
#include "files/file_commands.h"
#include "files/table_document_io.h"
#include "platform/common_dialog.h"
#include "table/grid_widget.h"

#include <exception>

static FileMessageHook &messageHook()
{
    static FileMessageHook hook;
    return hook;
}

void setFileMessageHook(FileMessageHook hook)
{
    messageHook() = std::move(hook);
}

void showFileMessage(QWidget *parent, const QString &text)
{
    if (messageHook()) {
        messageHook()(parent, text);
        return;
    }
    // A window that is being opened is not on screen yet; the box stands alone then.
    QWidget *owner = parent && parent->isVisible() ? parent : nullptr;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorvan"), text, QMessageBox::Ok, owner);
    box.exec();
}

void frmMain::OpenFile(const QString &ShowOpenFileName)
{
    // Like the first use of a form: the window and its default table exist first.
    load();

    QString path = ShowOpenFileName;
    if (path.isEmpty()) {
        CommonDialog::Request request;
        request.kind = CommonDialog::Open;
        request.title = QStringLiteral("表ファイルを開く");
        request.filter = QStringLiteral("Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf");
        const CommonDialog::Reply reply = Dlg->show(request);
        // No name is a cancel too.
        if (!reply.accepted || reply.fileName.isEmpty()) {
            close();
            return;
        }
        path = reply.fileName;
    }

    // The model is this fresh window's own; the reader changes it only on success.
    const OpenResult result = openTableDocument(path, *this);
    if (!result.ok()) {
        showFileMessage(this, result.message);
        hide();
        close();
        return;
    }

    try {
        FileName = path;
        resetRowHeightCol(TableRows + 1);
        loadTableSettingsPane(true);
        updateCaption();
        txtInsert->hide();
        showView(9);
        chkBackColorNothing_Click();
        sizeGridFromBoxes();
        refreshAllCells();
        Grid->setFixedCellsButtonFace();
    } catch (const std::exception &) {
        showFileMessage(this, damagedFileMessage(path));
        hide();
        close();
        return;
    }
    show();
}

void frmMain::SaveFile()
{
    CommonDialog::Request request;
    request.kind = CommonDialog::Save;
    request.title = QStringLiteral("表ファイルの保存");
    request.filter = QStringLiteral("Quorvan File(*.QVN)|*.qvn|すべてのファイル(*.*)|*.*");
    request.overwritePrompt = true;
    if (FileName != newTableName())
        request.fileName = FileName;
    const CommonDialog::Reply reply = Dlg->show(request);
    if (!reply.accepted || reply.fileName.isEmpty())
        return;
    const QString path = reply.fileName;

    SaveResult saved;
    if (isTableFileName(path)) {
        saved = saveTableDocument(*this, path);
        if (saved.ok)
            FileName = path;
    } else {
        const QString html = BuildTableHtml();
        txtTag->setPlainText(html);
        // The generated text itself is written, not the view's copy of it: a
        // text view folds some characters (no-break spaces) on the way back out.
        saved = html.isEmpty() ? SaveResult{false, saveErrorMessage()} : saveHtmlDocument(html, path, OutputProfile);
    }
    if (!saved.ok) {
        showFileMessage(this, saved.message);
        return;
    }
    updateCaption();
}
