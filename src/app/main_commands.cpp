// Toolbar and menu commands of the main window.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>

#include "about/frm_about.h"
#include "platform/color_swatch.h"
#include "platform/help.h"
#include "table/grid_widget.h"

namespace {

// New and Open place their window 400 twips below and right of the window that made them.
constexpr int StaircaseOffset = 27; // 400 twips at 15 twips a pixel, rounded

} // namespace

void frmMain::Bar_ButtonClick(int index)
{
    // 1. A page file left by a preview goes first; the flag stays as it is.
    if (PageFileFlag && !PageFilePath.isEmpty())
        QFile::remove(PageFilePath);

    // 2. The command. Every failing step is skipped silently.
    try {
        switch (index) {
        case 1:
            mnuNew_Click();
            break;
        case 2:
            mnuOpen_Click();
            break;
        case 3:
            SaveFile();
            break;
        case 5:
            showHelp();
            break;
        case 7: {
            const bool pressed = BarButton[7]->isChecked();
            CellRecord &rec = Cells(Grid->Col(), Grid->Row());
            rec.Header = pressed ? -1 : 0;
            SliH->setEnabled(!pressed);
            SliW->setEnabled(!pressed);
            Grid->setCellBold(Grid->Col(), Grid->Row(), pressed);
            mnuBold->setChecked(pressed);
            PageFileFlag = false;
            break;
        }
        case 9:
            showView(9);
            loadTableSettingsPane(false);
            PageFileFlag = false;
            break;
        case 10:
            sizeGridFromBoxes();
            resetRowHeightCol(Grid->Rows());
            for (int r = 1; r < Grid->Rows(); ++r) {
                Grid->setText(0, r, QString::number(r));
                Grid->setCellAlignment(0, r, 4);
            }
            for (int c = 1; c < Grid->Cols(); ++c) {
                Grid->setText(c, 0, QString::number(c));
                Grid->setCellAlignment(c, 0, 4);
            }
            refreshAllCells();
            showView(10);
            Grid->setFixedCellsButtonFace();
            Grid->setFocus();
            PageFileFlag = false;
            break;
        case 11:
            showTagView();
            break;
        case 12:
            showPreview();
            break;
        case 14:
            showBrowserPreview();
            break;
        default:
            break; // separators
        }
    } catch (const std::exception &) {
        // The toolbar carries on after a failing step.
    }

    // 3. The default mouse pointer again.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void frmMain::mnuFile_Click()
{
    mnuClose->setEnabled(loadedWindows().size() != 1);
}

static frmMain *newWindowBelow(frmMain *from)
{
    auto *w = new frmMain;
    w->FileName = newTableName();
    w->load();
    w->move(from->pos() + QPoint(StaircaseOffset, StaircaseOffset));
    return w;
}

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
    SaveFile();
}

void frmMain::mnuExit_Click()
{
    // Every main window goes, newest first, without a question; then the program ends.
    const QList<frmMain *> windows = loadedWindows();
    for (int i = windows.size() - 1; i >= 0; --i) {
        if (windows.at(i) != this && loadedWindows().size() > 1)
            windows.at(i)->close();
    }
    close();
    QCoreApplication::quit();
}

void frmMain::mnuAbout_Click()
{
    frmAbout dlg(this);
    dlg.exec();
}

void frmMain::mnuShowHelp_Click()
{
    showHelp();
}

void frmMain::showHelp()
{
    showHelpFile(this);
}
