// The document commands of the main window: New, Open, Close and Save, and
// the window's OpenFile and SaveFile behind them.
#include "gui/window/main_window.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>

#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "core/import/html_tables.h"
#include "gui/output/output_views.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/twips.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"
#include "document/table_document.h"
#include "gui/panes/table_settings_pane.h"

#include <exception>

namespace {

// New and Open place their window 400 twips below and right of the window that made them.
constexpr int StaircaseOffset = twipsToPixels(400);

frmMain *newWindowBelow(frmMain *from)
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->load();
    w->move(from->pos() + QPoint(StaircaseOffset, StaircaseOffset));
    return w;
}

// The page's table to bring in: the only one directly, else the user's pick
// from a list; -1 when the pick is cancelled.
int chooseHtmlTable(QWidget *parent, const QVector<HtmlTable> &tables)
{
    if (tables.size() <= 1)
        return 0;
    QStringList lines;
    for (int i = 0; i < tables.size(); ++i)
        lines << describeHtmlTable(tables, i);
    // A window that is being opened is not on screen yet; the chooser stands alone then.
    QInputDialog dialog(parent && parent->isVisible() ? parent : nullptr);
    dialog.setObjectName(QStringLiteral("dlgHtmlTable"));
    dialog.setWindowTitle(QStringLiteral("Quorvan"));
    dialog.setLabelText(frmMain::tr("開く表を選んでください。"));
    dialog.setComboBoxItems(lines);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(lines.first());
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return lines.indexOf(dialog.textValue());
}

// A table of an HTML page into opened, through the chooser when the page
// holds several. False when nothing is to be opened; the message is shown.
bool importHtmlPage(QWidget *parent, const QString &path, TableModel &opened)
{
    QFile file(path);
    bool refused = !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)
            || file.size() > MaxHtmlPageBytes; // a device or a pipe could be endless
    const QVector<HtmlTable> tables = refused ? QVector<HtmlTable>()
                                              : parseHtmlTables(file.readAll(), &refused);
    if (refused) {
        // The importer words the failure, naming the file.
        showFileMessage(parent, importHtmlFile(path, 0, opened).message);
        return false;
    }
    const int index = chooseHtmlTable(parent, tables);
    if (index < 0)
        return false;
    const ImportResult result = importHtmlTable(tables, index, opened, path);
    if (!result.ok()) {
        showFileMessage(parent, result.message);
        return false;
    }
    // Not a table file yet: Save asks for a name.
    opened.FileName = newTableName();
    return true;
}

} // namespace

void frmMain::mnuNew_Click()
{
    frmMain *w = newWindowBelow(this);
    w->show();
}

void frmMain::mnuOpen_Click()
{
    // OpenFile shows the window on success and discards it on failure or cancel.
    frmMain *w = newWindowBelow(this);
    w->OpenFile(QString());
}

void frmMain::mnuClose_Click()
{
    close();
}

void frmMain::mnuSave_Click()
{
    saveInPlace();
}

void frmMain::mnuSaveAs_Click()
{
    SaveFile();
}

void frmMain::OpenFile(const QString &ShowOpenFileName)
{
    // Like the first use of a form: the window and its default table exist first.
    load();

    QString path = ShowOpenFileName;
    if (path.isEmpty()) {
        CommonDialog::Request request;
        request.kind = CommonDialog::Open;
        request.title = tr("表ファイルを開く");
        request.filter = tr("Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf"
                                        "|HTMLファイル(*.html;*.htm)|*.html;*.htm");
        const CommonDialog::Reply reply = Dlg->show(request);
        // No name is a cancel too.
        if (!reply.accepted || reply.fileName.isEmpty()) {
            close();
            return;
        }
        path = reply.fileName;
    }

    // The reader fills a table of its own; the window takes it only on success.
    TableModel opened;
    const bool page = isHtmlFileName(path);
    if (page) {
        if (!importHtmlPage(this, path, opened)) {
            hide();
            close();
            return;
        }
    } else {
        const OpenResult result = openTableDocument(path, opened);
        if (!result.ok()) {
            showFileMessage(this, result.message);
            hide();
            close();
            return;
        }
        opened.FileName = path;
    }

    try {
        m_doc->replaceModel(opened);
        showTableOpened();
    } catch (const std::exception &e) {
        qWarning("OpenFile %s: %s", qUtf8Printable(path), e.what());
        showFileMessage(this, damagedFileMessage(path));
        hide();
        close();
        return;
    }
    show();
}

// An opened table on the table settings view, every grid cell refreshed.
void frmMain::showTableOpened()
{
    m_grid->resetRowHeightCol(m_doc->model().TableRows + 1);
    picAllSet->load(true);
    updateCaption();
    m_grid->hideBox();
    showView(ToolbarButton::TableView);
    sizeGridFromBoxes();
    m_grid->refreshAll();
    m_grid->grid()->setFixedCellsButtonFace();
}

void frmMain::SaveFile()
{
    saveAs();
}

bool frmMain::saveAs()
{
    // The file dialog takes the focus without committing the boxes.
    commitPendingEdits();
    CommonDialog::Request request;
    request.kind = CommonDialog::Save;
    request.title = tr("表ファイルの保存");
    request.filter = tr("Quorvan File(*.QVN)|*.qvn|HTMLファイル (*.html;*.htm)|*.html;*.htm"
                        "|すべてのファイル(*.*)|*.*");
    request.overwritePrompt = true;
    request.defaultSuffix = QStringLiteral("qvn");
    request.filterSuffixes = {QStringLiteral("qvn"), QStringLiteral("html"), QString()};
    if (FileName() != newTableName())
        request.fileName = FileName();
    const CommonDialog::Reply reply = Dlg->show(request);
    if (!reply.accepted || reply.fileName.isEmpty())
        return false;
    QString path = reply.fileName;
    // A name without an extension takes the chosen filter's: a table file
    // under the first, never HTML text under a name that hides it.
    if (QFileInfo(path).suffix().isEmpty()) {
        if (reply.filterIndex == 0)
            path += QStringLiteral(".qvn");
        else if (reply.filterIndex == 1)
            path += QStringLiteral(".html");
    }

    SaveResult saved;
    const bool table = isTableFileName(path);
    if (table) {
        saved = saveTableDocument(m_doc->model(), path);
        if (saved.ok) {
            m_doc->setFileName(path);
            markSaved();
        }
    } else {
        const QString html = BuildTableHtml();
        m_output->setTagText(html);
        // The generated text itself is written, not the view's copy of it: a
        // text view folds some characters (no-break spaces) on the way back out.
        saved = html.isEmpty() ? SaveResult{false, saveErrorMessage()} : saveHtmlDocument(html, path, m_doc->model().OutputProfile);
    }
    if (!saved.ok) {
        showFileMessage(this, saved.message);
        return false;
    }
    updateCaption();
    return table;
}
