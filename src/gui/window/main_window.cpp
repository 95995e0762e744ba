// The window itself: its parts, its load, its layout and its closing.
#include "gui/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolBar>

#include "core/app/app_paths.h"
#include "gui/window/document_manager.h"
#include "document/recovery_file.h"
#include "gui/output/output_views.h"
#include "core/markup/table_markup.h"
#include "core/io/table_document_io.h"
#include "gui/widgets/file_commands.h"
#include "gui/widgets/accessible_names.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/ui_font.h"
#include "gui/panes/cell_settings_pane.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"
#include "document/table_document.h"
#include "gui/panes/table_settings_pane.h"

QList<frmMain *> frmMain::s_windows;

namespace {

// The designed client area below the menu bar, in twips.
constexpr int DesignClientWidth = 7470;
constexpr int DesignClientHeight = 5985;

// Centred on the screen at the window's present size.
void centreOnScreen(QWidget *w)
{
    QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = w->frameGeometry().size();
    w->move(area.left() + (area.width() - outer.width()) / 2,
            area.top() + (area.height() - outer.height()) / 2);
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent), m_doc(new TableDocument(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    s_windows.append(this);

    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    Dlg = new CommonDialog(this);

    picAllSet = new TableSettingsPane(*m_doc, client);
    picBar = new CellSettingsPane(*m_doc, client);
    m_grid = new GridEditor(*m_doc, client);
    m_output = new OutputViews(*m_doc, [this] { return BuildTableHtml(); }, client);
    m_documents = new DocumentManager(*this, *m_doc);
    connect(m_doc, &TableDocument::modelReset, this, &frmMain::showTableOpened);
    createActions(); // the toolbar is made last: it lies over the views

    connect(m_grid, &GridEditor::cellShown, this,
            [this](int col, int row) { showCell(col, row, m_doc->cell(col, row)); });
    connect(m_grid, &GridEditor::multiLineEditRequested, this, &frmMain::mnuSelEditMax_Click);
    picBar->setSelectionSource([this] { return m_grid->selectedCells(); });
    // A range made or changed shows in the pane and the header button.
    connect(m_grid->grid(), &GridWidget::selectionChanged, this, [this] {
        const GridWidget *grid = m_grid->grid();
        if (grid->Col() >= 1 && grid->Row() >= 1)
            showCell(grid->Col(), grid->Row(), m_doc->cell(grid->Col(), grid->Row()));
    });
    // Rows or columns put in or taken out on the grid: the size boxes follow.
    connect(m_grid, &GridEditor::tableResized, this, [this] {
        if (picAllSet->rowsInBox() != m_doc->model().TableRows || picAllSet->columnsInBox() != m_doc->model().TableCols)
            picAllSet->load(false);
    });
    // Moving to another cell ends a drag or typing in the cell's boxes: the next change is a step of its own.
    connect(m_grid, &GridEditor::cellShown, m_doc, &TableDocument::closeGesture);
    connect(m_doc->undoStack(), &QUndoStack::cleanChanged, this, [this](bool clean) { setWindowModified(!clean); });
    DocumentManager::guardSessionEnd();
    connect(m_doc, &TableDocument::tableChanged, this, [this](TableFields fields) {
        if (fields & TableField::FileName)
            updateCaption();
    });

    setWindowIcon(appIcon());
    m_output->tagView()->setAccessibleName(tr("タグ表示"));
    nameControls(this);
    // Designed client area 7470 x 5985 twips below the menu bar.
    // A larger desktop font makes the panes, and so the window, larger alike.
    const qreal k = desktopFontScale();
    resize(qRound(twipsToPixels(DesignClientWidth) * k),
           menuBar()->sizeHint().height() + qRound(twipsToPixels(DesignClientHeight) * k));
    // Never larger than the screen, with room for the frame.
    if (QScreen *s = screen(); s && k > 1)
        resize(size().boundedTo(s->availableGeometry().size() - QSize(16, 48)));
    // The views follow the client area itself: it gets its final size from the
    // window's layout, which may come after the window's own resize.
    client->installEventFilter(this);
}

frmMain::~frmMain()
{
    // An open in-place box would commit on losing the focus while its parts
    // are destroyed, into a document already gone: it goes now.
    m_grid->commitOpenBox();
    // The history is cleared as the document goes, with the window half gone.
    m_doc->undoStack()->disconnect();
    s_windows.removeAll(this);
}

QList<frmMain *> frmMain::loadedWindows()
{
    QList<frmMain *> list;
    for (frmMain *w : std::as_const(s_windows))
        if (!w->m_unloading)
            list.append(w);
    return list;
}

// Showing the window or OpenFile loads it, as the first use of a form does.
void frmMain::load()
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

QString frmMain::FileName() const
{
    return m_doc->model().FileName;
}

void frmMain::setFileName(const QString &name)
{
    m_doc->setFileName(name);
}

bool frmMain::ShiftKeyPush() const
{
    return m_grid->ShiftKeyPush;
}

void frmMain::OpenFile(const QString &ShowOpenFileName)
{
    m_documents->open(ShowOpenFileName);
}

void frmMain::SaveFile()
{
    m_documents->saveAs();
}

// A new or opened table on the table settings view: the settings in their
// pane, the caption, the grid at the table's size with every cell shown.
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

void frmMain::SettingText(const QString &GridSelText)
{
    m_grid->SettingText(GridSelText);
}

void frmMain::Form_Load()
{
    // The default table, shown as any replaced table is; the file name stays.
    TableModel fresh;
    fresh.FileName = m_doc->model().FileName;
    m_doc->replaceModel(std::move(fresh));
    // Centring waits for the end, when the first layout has given the window
    // the size it opens at.
    Form_Resize();
    centreOnScreen(this);
}

void frmMain::updateCaption()
{
    // A new table's name is the interface's; FileName keeps the name the files know.
    // "[*]" is where Qt shows the modified mark; one in the name itself stays as it is.
    QString name = m_documents ? m_documents->shownName() : shownName(FileName());
    name.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    setWindowTitle(QStringLiteral("Quorvan - ") + name + QStringLiteral("[*]"));
}

QString frmMain::shownName(const QString &fileName)
{
    return fileName == newTableName() ? tr("新規テーブル") : GetFileNamePart(fileName);
}

void frmMain::showView(ToolbarButton view)
{
    m_grid->commitOpenBox();
    picAllSet->setVisible(view == ToolbarButton::TableView);
    picBar->setVisible(view == ToolbarButton::CellView);
    m_grid->grid()->setVisible(view == ToolbarButton::CellView);
    m_output->tagView()->setVisible(view == ToolbarButton::TagView);
    m_output->webHost()->setVisible(view == ToolbarButton::Preview);
    command(view)->setChecked(true);
    const bool cellView = view == ToolbarButton::CellView;
    command(ToolbarButton::Header)->setEnabled(cellView);
    mnuSel->setEnabled(cellView);
    mnuSel->menuAction()->setEnabled(cellView);
}

void frmMain::sizeGridFromBoxes()
{
    m_grid->commitOpenBox();
    m_grid->grid()->setCols(qBound(1, picAllSet->columnsInBox(), TableLimits::MaxCols) + 1);
    m_grid->grid()->setRows(qBound(1, picAllSet->rowsInBox(), TableLimits::MaxRows) + 1);
}

void frmMain::showCell(int col, int row, const CellRecord &rec)
{
    picBar->load(col, row, rec);
    command(ToolbarButton::Header)->setChecked(m_grid->grid()->hasRange() ? m_grid->selectionAllHeaders() : rec.Header == -1);
    if (m_grid->grid()->hasRange())
        picBar->showRangeSwitches(m_grid->selectionAllOf());
}

void frmMain::commitGridBox()
{
    m_grid->commitOpenBox();
}

void frmMain::showTagText(const QString &text)
{
    m_output->setTagText(text);
}

void frmMain::reloadTableSettings()
{
    picAllSet->load(true);
}

void frmMain::refreshOutputView()
{
    if (command(ToolbarButton::TagView)->isChecked())
        m_output->showTagView();
    else if (command(ToolbarButton::Preview)->isChecked())
        m_output->showPreview();
}

// What the boxes show becomes the table before anything reads it.
void frmMain::commitPendingEdits()
{
    m_grid->commitOpenBox();
    picAllSet->commitFocusedBox();
    picBar->commitFocusedBox();
}

QString frmMain::BuildTableHtml()
{
    commitPendingEdits();
    const TableModel &m = m_doc->model();
    QString text;
    // A table too large for its text, or no memory left for it: said, and
    // the callers carry on with empty text.
    if (markupTooLarge(m)) {
        const QRect cells = m.tableCells();
        showFileMessage(this, markupTooLargeMessage(cells.height(), cells.width()));
    } else {
        try {
            text = buildTableMarkup(m);
        } catch (const std::bad_alloc &) {
            showFileMessage(this, tr("メモリーが足りないため、HTML を作れませんでした。"));
        }
    }
    // Building the text leaves the last written cell current, as it always has.
    GridWidget *grid = m_grid->grid();
    SpanLayout spans;
    spans.compute(m, grid->Rows() - 1, grid->Cols() - 1);
    for (int r = spans.rows(); r >= 1; --r) {
        for (int c = spans.cols(); c >= 1; --c) {
            if (!spans.isWritten(c, r)) {
                // Past the span that covers it at once.
                c = std::min(c, spans.area(c, r).left());
                continue;
            }
            grid->setRow(r);
            grid->setCol(c);
            grid->setFixedCellsButtonFace();
            showCell(c, r, m.Cells(c, r));
            return text;
        }
    }
    return text;
}

void frmMain::showEvent(QShowEvent *event)
{
    load();
    QMainWindow::showEvent(event);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
}

// The views below the toolbar, and the toolbar across the client's width: every
// view, visible or not, fills the client area below the toolbar.
void frmMain::layOutViews()
{
    const int width = client->width();
    const int toolbarHeight = Bar->sizeHint().height();
    Bar->setGeometry(0, 0, width, toolbarHeight);
    picBar->setGeometry(QRect(QPoint(0, toolbarHeight), CellSettingsPane::paneSize()));
    const int top = picBar->y();
    const int height = qMax(0, client->height() - top);
    m_grid->grid()->setGeometry(picBar->width(), top, qMax(0, width - picBar->width()), height);
    m_output->webHost()->setGeometry(0, top, width, height);
    m_output->tagView()->setGeometry(0, top, width, height);
    picAllSet->setGeometry(0, toolbarHeight, width, height);
}

void frmMain::Form_Resize()
{
    if (m_inResize || !Bar)
        return;
    m_inResize = true;
    // A window loaded before it is shown (New, Open, a file named at start) has
    // not been laid out yet: lay it out now, so the client area is the real one.
    auto settle = [this] {
        if (!isVisible()) {
            layout()->invalidate();
            layout()->activate();
        }
    };
    settle();
    const int toolbarHeight = Bar->sizeHint().height();

    // The cell settings pane keeps its designed size at the left edge.
    picBar->setGeometry(QRect(QPoint(0, toolbarHeight), CellSettingsPane::paneSize()));
    if (!isMinimized()) {
        // The smallest size: compared on the client area, set on the outer size.
        bool snapped = false;
        if (toolbarHeight + twipsToPixels(6000) > client->height() && height() != toolbarHeight + twipsToPixels(6120)) {
            resize(width(), toolbarHeight + twipsToPixels(6120));
            snapped = true;
        }
        if (client->width() < twipsToPixels(6000)) {
            resize(twipsToPixels(6120), height());
            snapped = true;
        }
        if (snapped)
            settle();
        // Against the client area as it is now; should the snapped size
        // reach the client later, its resize lays the views out again.
        layOutViews();
    }
    m_inResize = false;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A table with changes asks first, and Cancel keeps the window. Closing
    // the only window ends the program.
    if (!m_unloading && !m_documents->maybeSave()) {
        event->ignore();
        return;
    }
    const bool last = loadedWindows().size() <= 1;
    m_unloading = true;
    m_documents->recovery().discard();
    event->accept();
    if (last)
        QCoreApplication::quit();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client && event->type() == QEvent::Resize && !isMinimized())
        layOutViews();
    return QMainWindow::eventFilter(watched, event);
}
