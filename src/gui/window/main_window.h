#pragma once

#include <QMainWindow>

#include "gui/window/commands.h"
#include "document/table_document.h"

class QAction;
class QMenu;
class QToolBar;
class CellSettingsPane;
struct CellRecord;
class CommonDialog;
class GridEditor;
class OutputViews;
class RecoveryFile;
class TableDocument;
class TableSettingsPane;

// The document window: one table document, the four views that show it, and
// the toolbar and menus. The views are panes that own their controls; the
// window composes them, lays them out and runs the commands.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Designed client area below the menu bar, in twips.
    static constexpr int DesignClientWidth = 7470;
    static constexpr int DesignClientHeight = 5985;

    TableDocument &document() const { return *m_doc; }

    // Runs Form_Load once; showing the window or OpenFile loads it, as the first
    // use of a form does.
    void load();
    bool isLoaded() const { return m_loaded; }
    // Main windows that are loaded and not being unloaded, in creation order.
    static QList<frmMain *> loadedWindows();

    // The public members of the form.
    QString FileName() const;
    void setFileName(const QString &name);
    bool ShiftKeyPush() const;
    void OpenFile(const QString &ShowOpenFileName);
    void SaveFile();
    // Ctrl+S: a table with a .qvn name straight into that file, any other
    // through SaveFile's dialog. True when the table was saved as a table file.
    bool saveInPlace();
    // A modified table asks whether to save it first. True when the window
    // may go: saved, or the changes given up; false for Cancel.
    bool maybeSave();
    // A table left by a crash, shown modified under its old name.
    void openRecovered(const TableModel &table);
    Q_INVOKABLE void SettingText(const QString &GridSelText);
    QString BuildTableHtml();
    // A file name as the window shows it: a new table's name in the interface's language.
    static QString shownName(const QString &fileName);

public slots:
    void Bar_ButtonClick(ToolbarButton button);
    void mnuFile_Click();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuShowHelp_Click();
    void mnuSel_Click();
    void mnuBold_Click();
    void mnuSelEdit_Click();
    void mnuSelEditMax_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void layOutViews();
    void createActions();                   // app/main_commands.cpp, with the menus and toolbar
    void createEditMenu();                  // app/edit_history.cpp
    void createViewMenu();
    void focusPane(bool forward);           // Ctrl+Tab, F6: the next pane of the view on show
    void undoOrRedo(bool redo);
    void showStepApplied(QRect cells);
    bool saveAs();                          // SaveFile; true when saved as a table file
    void markSaved();
    static void guardSessionEnd();          // logging out asks as closing does
    QAction *command(ToolbarButton button) const { return m_bar[int(button)]; }
    void updateCaption();
    void showView(ToolbarButton view);      // visibility, button 7 and mnuSel
    void showCell(int col, int row, const CellRecord &rec); // the pane and button 7
    void sizeGridFromBoxes();
    void switchToCellView();
    void setHeader(bool header);
    void showTableOpened();

    TableDocument *m_doc;
    QWidget *client;                        // the area below the menu bar
    QToolBar *Bar = nullptr;
    QAction *m_bar[ToolbarButtonCount + 1] = {}; // by position; shared with the menus
    int m_pressedOnBar = 0;                 // the toolbar button under a press, until released
    QMenu *mnuFile = nullptr, *mnuSel = nullptr, *mnuHelp = nullptr;
    QAction *mnuClose = nullptr, *mnuSelEdit = nullptr, *mnuSelEditMax = nullptr;
    TableSettingsPane *picAllSet;
    CellSettingsPane *picBar;
    GridEditor *m_grid;
    OutputViews *m_output;
    CommonDialog *Dlg;
    QMenu *mnuEdit = nullptr, *mnuView = nullptr;
    QAction *mnuUndo = nullptr, *mnuRedo = nullptr;
    bool m_fromEditMenu = false;            // the Edit menu chose the item being run
    TableFields m_appliedFields;            // table fields the undo or redo being run changed
    RecoveryFile *m_recovery;
    bool m_loaded = false;
    bool m_inResize = false;
    bool m_unloading = false;
    static QList<frmMain *> s_windows;
};
