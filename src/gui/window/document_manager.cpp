// A window's table from file to file: Open, Save, Save As, the question before
// changes are lost, and the windows that open tables.
#include "gui/window/document_manager.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QDir>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSessionManager>
#include <QUndoStack>

#include <exception>
#include <new>

#include "core/app/app_paths.h"
#include "core/app/command_line.h"
#include "core/import/html_tables.h"
#include "core/import/spreadsheet_file.h"
#include "core/io/table_document_io.h"
#include "core/io/publish_formats.h"
#include "core/io/table_export.h"
#include "core/io/text_table.h"
#include "core/markup/table_markup.h"
#include "document/table_document.h"
#include "gui/grid/grid_editor.h"
#include "gui/output/output_views.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/file_commands.h"
#include "gui/widgets/twips.h"
#include "gui/window/html_table_chooser.h"
#include "gui/window/main_window.h"
#include "document/recovery_file.h"

namespace {

// New windows open 400 twips below and right of the one they come from.
constexpr int StaircaseOffset = twipsToPixels(400);

// A table of an HTML page into opened, through the chooser when the page
// holds several. False when nothing is to be opened; the message is shown.
// What the page's table left out comes back in notice, for the window to say.
bool importHtmlPage(QWidget *parent, const QString &path, TableModel &opened, QString &notice)
{
    QFile file(path);
    const bool unread = !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)
            || file.size() > MaxHtmlPageBytes; // a device or a pipe could be endless
    if (unread) {
        // The importer words the failure, naming the file, before it reads a byte.
        showFileMessage(parent, importHtmlFile(path, 0, opened).message);
        return false;
    }
    PageLimit refused = PageLimit::None;
    const QVector<HtmlTable> tables = parseHtmlTables(file.readAll(), &refused);
    if (refused != PageLimit::None) {
        showFileMessage(parent, pageRefusedMessage(path, refused));
        return false;
    }
    const int index = HtmlTableChooser::choose(parent, tables);
    if (index < 0)
        return false;
    const ImportResult result = importHtmlTable(tables, index, opened, path);
    if (!result.ok()) {
        showFileMessage(parent, result.message);
        return false;
    }
    // Not a table file yet: Save asks for a name.
    opened.FileName = newTableName();
    // Nothing is dropped silently: the user hears what stayed behind.
    if (const QString said = importNotice(result); !said.isEmpty())
        notice = frmMain::tr("\"%1\"の表を開きました。%2").arg(path, said);
    return true;
}

// The workbook's sheet to bring in: the only one directly, else the user's
// pick from the sheets' names and sizes, the first preselected; -1 when the
// pick is cancelled.
int chooseSheet(QWidget *parent, const SpreadsheetBook &book)
{
    if (book.sheets.size() <= 1)
        return 0;
    QStringList lines;
    for (int i = 0; i < book.sheets.size(); ++i)
        lines << describeSheet(book, i);
    QInputDialog dialog(parent && parent->isVisible() ? parent : nullptr);
    dialog.setObjectName(QStringLiteral("dlgSheet"));
    dialog.setWindowTitle(QStringLiteral("Quorvan"));
    dialog.setLabelText(frmMain::tr("開くシートを選んでください。"));
    dialog.setComboBoxItems(lines);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(lines.first());
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return lines.indexOf(dialog.textValue());
}

// A sheet of an .ods or .xlsx workbook into opened, as a page's table is;
// what stayed behind comes back in notice.
bool importWorkbook(QWidget *parent, const QString &path, TableModel &opened, QString &notice)
{
    const SpreadsheetBook book = readSpreadsheetFile(path);
    if (!book.ok()) {
        showFileMessage(parent, book.message);
        return false;
    }
    const int index = chooseSheet(parent, book);
    if (index < 0)
        return false;
    const ImportResult result = importSheet(book, index, opened, path);
    if (!result.ok()) {
        showFileMessage(parent, result.message);
        return false;
    }
    opened.FileName = newTableName();
    if (!result.leftOut.isEmpty())
        notice = sheetLeftOutMessage(result.leftOut);
    return true;
}

// Tests of the crash path run the program itself: this makes its one change.
void applyTestEdit()
{
    const QString text = qEnvironmentVariable("QUORVAN_TEST_EDIT");
    if (text.isEmpty())
        return;
    QTimer::singleShot(0, [text] {
        const QList<frmMain *> windows = frmMain::loadedWindows();
        if (!windows.isEmpty())
            windows.first()->document().setCellText(1, 1, text);
    });
}

} // namespace

DocumentManager::DocumentManager(frmMain &window, TableDocument &doc)
    : QObject(&window), m_window(window), m_doc(doc), m_recovery(new RecoveryFile(doc, this))
{
    // A recovery copy that cannot be written is said in the status bar until
    // one is written again.
    connect(m_recovery, &RecoveryFile::failed, this, [this](const QString &text) {
        m_window.statusBar()->setObjectName(QStringLiteral("RecoveryStatus"));
        m_window.statusBar()->showMessage(text);
    });
    connect(m_recovery, &RecoveryFile::writtenAgain, this, [this] { m_window.setStatusBar(nullptr); });
}

frmMain *DocumentManager::newWindowBeside(const QWidget *from)
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->load();
    if (from)
        w->move(from->pos() + QPoint(StaircaseOffset, StaircaseOffset));
    return w;
}

void DocumentManager::open(const QString &ShowOpenFileName)
{
    // Like the first use of a form: the window and its default table exist first.
    m_window.load();
    if (!openHere(ShowOpenFileName)) {
        m_window.hide();
        m_window.close();
        return;
    }
    m_window.show();
}

bool DocumentManager::isUntouchedOnlyWindow() const
{
    const QList<frmMain *> windows = frmMain::loadedWindows();
    QUndoStack *history = m_doc.undoStack();
    return windows.size() == 1 && windows.first() == &m_window && m_doc.model().FileName == newTableName()
            && m_suggestedPath.isEmpty() && history->count() == 0 && history->isClean();
}

QString DocumentManager::shownName() const
{
    if (m_doc.model().FileName == newTableName() && !m_suggestedPath.isEmpty())
        return QFileInfo(m_suggestedPath).completeBaseName();
    return frmMain::shownName(m_doc.model().FileName);
}

// The file at path into opened; false when it cannot be, its message shown.
bool DocumentManager::readInto(const QString &path, TableModel &opened, QString &notice)
{
    if (isHtmlFileName(path))
        return importHtmlPage(&m_window, path, opened, notice);
    if (isSpreadsheetFileName(path))
        return importWorkbook(&m_window, path, opened, notice);
    const auto text = textTableFormatOf(path);
    QStringList notes;
    const OpenResult result = text && *text != TextTableFormat::Markdown ? openTextTable(path, opened, &notes)
                                                                        : openTableDocument(path, opened);
    if (!result.ok()) {
        showFileMessage(&m_window, result.message);
        return false;
    }
    // A CSV file is not the table's file either: Save asks for a name.
    opened.FileName = text ? newTableName() : path;
    // What the reading changed is said, never done silently.
    notice = notes.join(QLatin1Char('\n'));
    return true;
}

bool DocumentManager::openHere(const QString &ShowOpenFileName)
{
    QString path = ShowOpenFileName;
    if (path.isEmpty()) {
        CommonDialog::Request request;
        request.kind = CommonDialog::Open;
        request.title = frmMain::tr("表ファイルを開く");
        request.filter = frmMain::tr("Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf"
                                        "|HTMLファイル(*.html;*.htm)|*.html;*.htm"
                                        "|CSV・TSVファイル(*.csv;*.tsv)|*.csv;*.tsv"
                                        "|表計算ファイル(*.ods;*.xlsx)|*.ods;*.xlsx");
        const CommonDialog::Reply reply = m_window.fileDialog().show(request);
        // No name is a cancel too.
        if (!reply.accepted || reply.fileName.isEmpty())
            return false;
        path = reply.fileName;
    }

    // The reader fills a table of its own; the window takes it only on success.
    TableModel opened;
    QString notice;
    if (!readInto(path, opened, notice))
        return false;

    // A page's table takes the page's name: page.html is saved as page.qvn
    // beside it, once the user says so.
    const QString suggested = m_suggestedPath;
    if (opened.FileName == newTableName()) {
        const QFileInfo info(path);
        m_suggestedPath = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".qvn"));
    } else {
        m_suggestedPath.clear();
    }
    try {
        m_doc.replaceModel(std::move(opened));
    } catch (const std::bad_alloc &) {
        m_suggestedPath = suggested;
        const auto text = textTableFormatOf(path);
        showFileMessage(&m_window, text ? textTableTooLargeMessage(path) : damagedFileMessage(path));
        return false;
    } catch (const std::exception &e) {
        qWarning("OpenFile %s: %s", qUtf8Printable(path), e.what());
        m_suggestedPath = suggested;
        showFileMessage(&m_window, damagedFileMessage(path));
        return false;
    }
    // Said over the window with the table, once it is on screen.
    if (!notice.isEmpty())
        QTimer::singleShot(0, &m_window, [this, notice] { showFileMessage(&m_window, notice, MessageKind::Notice); });
    return true;
}

bool DocumentManager::saveAs()
{
    // The file dialog takes the focus without committing the boxes.
    m_window.commitPendingEdits();
    CommonDialog::Request request;
    request.kind = CommonDialog::Save;
    request.title = frmMain::tr("表ファイルの保存");
    // Every kind Save writes, each with the extension it gives a bare name;
    // CSV comes twice: guarded for spreadsheets, or with its formulas live.
    request.filter = frmMain::tr("Quorvan File(*.QVN)|*.qvn|HTMLファイル (*.html;*.htm)|*.html;*.htm"
                                 "|HTMLページ (*.html)|*.html"
                                 "|CSVファイル (*.csv)|*.csv"
                                 "|CSV・TSVファイル、数式のまま(*.csv;*.tsv)|*.csv;*.tsv"
                                 "|TSVファイル (*.tsv)|*.tsv|Markdownファイル (*.md)|*.md"
                                 "|LaTeXファイル (*.tex)|*.tex|MediaWikiファイル (*.wiki)|*.wiki"
                                 "|AsciiDocファイル (*.adoc)|*.adoc|reStructuredTextファイル (*.rst)|*.rst"
                                 "|すべてのファイル(*.*)|*.*");
    static const QStringList suffixes{QStringLiteral("qvn"), QStringLiteral("html"), QStringLiteral("html"),
                                      QStringLiteral("csv"), QStringLiteral("csv"),  QStringLiteral("tsv"),
                                      QStringLiteral("md"),  QStringLiteral("tex"),  QStringLiteral("wiki"),
                                      QStringLiteral("adoc"), QStringLiteral("rst")};
    request.filterSuffixes = suffixes;
    request.filterSuffixes << QString();
    constexpr int PageType = 2; // the table as a whole page, to open in a browser
    constexpr int CsvFormulasType = 4;
    request.overwritePrompt = true;
    request.defaultSuffix = QStringLiteral("qvn");
    if (m_doc.model().FileName != newTableName())
        request.fileName = m_doc.model().FileName;
    else
        request.fileName = m_suggestedPath;
    const CommonDialog::Reply reply = m_window.fileDialog().show(request);
    if (!reply.accepted || reply.fileName.isEmpty())
        return false;
    QString path = reply.fileName;
    // A name without an extension takes the chosen filter's: a table file
    // under the first, never HTML text under a name that hides it.
    if (QFileInfo(path).suffix().isEmpty() && reply.filterIndex >= 0 && reply.filterIndex < suffixes.size())
        path += QLatin1Char('.') + suffixes.at(reply.filterIndex);

    SaveResult saved;
    QStringList notes;
    const bool table = isTableFileName(path);
    if (table) {
        saved = saveTableDocument(m_doc.model(), path);
        if (saved.ok) {
            m_suggestedPath.clear();
            m_doc.setFileName(path);
            markSaved();
        }
    } else if (const auto published = publishFormatOf(path)) {
        saved = savePublished(m_doc.model(), *published, path, &notes);
    } else if (const auto text = textTableFormatOf(path)) {
        TextTableOptions options;
        options.keepFormulas = reply.filterIndex == CsvFormulasType;
        const TextTableOutput written = writeTextTable(m_doc.model(), *text, options);
        saved = saveTextDocument(written.bytes, path);
        notes = written.notes;
    } else if (markupTooLarge(m_doc.model())) {
        const QRect cells = m_doc.model().tableCells();
        saved = SaveResult{false, markupTooLargeMessage(cells.height(), cells.width())};
    } else {
        const QString html = m_window.BuildTableHtml();
        m_window.showTagText(html);
        // The generated text itself is written, not the view's copy of it: a
        // text view folds some characters (no-break spaces) on the way back out.
        const MarkupProfile profile = m_doc.model().OutputProfile;
        // A stylesheet that goes to a file is written first: the page links it.
        QString href;
        if (!html.isEmpty())
            saved = saveStyleSheetBeside(m_doc.model(), path, href);
        const QString written = reply.filterIndex == PageType
                ? wholePageText(html, profile, m_doc.model().TableTitle, shownName(), href) : html;
        if (saved.ok)
            saved = html.isEmpty() ? SaveResult{false, saveErrorMessage()} : saveHtmlDocument(written, path, profile);
    }
    if (!saved.ok) {
        showFileMessage(&m_window, saved.message);
        return false;
    }
    // Saved, but not everything fitted the format: the user hears what.
    if (!notes.isEmpty())
        showFileMessage(&m_window, notes.join(QLatin1Char('\n')), MessageKind::Notice);
    m_window.updateCaption();
    return table;
}

bool DocumentManager::saveInPlace()
{
    m_window.commitPendingEdits();
    const QString path = m_doc.model().FileName;
    if (!isTableFileName(path))
        return saveAs();
    const SaveResult saved = saveTableDocument(m_doc.model(), path);
    if (!saved.ok) {
        showFileMessage(&m_window, saved.message);
        return false;
    }
    markSaved();
    return true;
}

// The table as it is now is the one in its file.
void DocumentManager::markSaved()
{
    m_doc.undoStack()->setClean();
    m_recovery->discard();
}

bool DocumentManager::maybeSave()
{
    // Text still in the in-place box is a change too.
    m_window.commitGridBox();
    if (m_doc.undoStack()->isClean())
        return true;
    if (m_window.isMinimized())
        m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvan"),
                    frmMain::tr("「%1」への変更を保存しますか？").arg(shownName()),
                    QMessageBox::NoButton, m_window.isVisible() ? &m_window : nullptr);
    box.setObjectName(QStringLiteral("msgSaveChanges"));
    QPushButton *save = box.addButton(frmMain::tr("保存(&S)"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(frmMain::tr("保存しない(&N)"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(frmMain::tr("キャンセル"), QMessageBox::RejectRole);
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

void DocumentManager::guardSessionEnd()
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
        const QList<frmMain *> windows = frmMain::loadedWindows();
        const bool ask = manager.allowsInteraction();
        for (int i = windows.size() - 1; i >= 0; --i) {
            const QPointer<frmMain> w = windows.at(i);
            if (!w)
                continue;
            if (!ask) {
                w->documents().recovery().writeNow();
            } else if (!w->documents().maybeSave()) {
                manager.cancel();
                break;
            }
        }
        if (ask)
            manager.release();
    });
}

void DocumentManager::openMoreFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.isEmpty() || path == QLatin1String("\""))
            continue;
        // The newest window on screen stands for the one that "opened" this
        // file; when every earlier file failed, the window centres itself.
        frmMain *from = nullptr;
        for (frmMain *open : frmMain::loadedWindows())
            if (open->isVisible())
                from = open;
        newWindowBeside(from)->OpenFile(path);
    }
}

void DocumentManager::openStartWindows(const QStringList &args)
{
    const StartRequest req = startRequestFromRawText(rawTextFromArguments(args));
    auto *w = new frmMain;
    if (req.openFile) {
        w->OpenFile(req.path);
    } else {
        w->setFileName(newTableName());
        w->show();
    }
    openMoreFiles(args.mid(1));
}

void DocumentManager::openRecovered(const TableModel &table)
{
    m_window.load();
    m_doc.replaceModel(table);
    // Modified from the start: it was never saved as it is.
    m_doc.undoStack()->resetClean();
    m_recovery->writeNow();
    m_window.show();
}

int DocumentManager::offerRecoveredTables()
{
    applyTestEdit();
    LeftTables left;
    QStringList names;
    for (const LeftTable &t : left.tables())
        names << frmMain::shownName(t.name);
    if (names.isEmpty())
        return 0;

    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvan"),
                    QCoreApplication::translate("frmMain", "前回終了しなかったテーブルがあります。復元しますか？"),
                    QMessageBox::Yes | QMessageBox::No);
    box.setObjectName(QStringLiteral("msgRecover"));
    box.setInformativeText(names.join(QLatin1Char('\n')));
    box.setDefaultButton(QMessageBox::Yes);
    const bool restore = box.exec() == QMessageBox::Yes;

    int opened = 0;
    const QWidget *previous = nullptr;
    for (const LeftTable &t : left.tables()) {
        TableModel table;
        if (restore && !openTableDocument(t.file, table).ok()) {
            const QString kept = LeftTables::setAside(t);
            showFileMessage(nullptr, QCoreApplication::translate("RecoveryFile",
                                     "\"%1\"の回復用のコピーを開けないため、復元できませんでした。"
                                     "コピーは\"%2\"に残してあります。")
                                             .arg(GetFileNamePart(t.name), QDir::toNativeSeparators(kept)));
            continue;
        }
        if (restore) {
            table.FileName = t.name;
            frmMain *w = newWindowBeside(previous);
            w->documents().openRecovered(table); // writes it again, under this process
            previous = w;
            ++opened;
        }
        LeftTables::remove(t);
    }
    return opened;
}
