#pragma once

#include <QMainWindow>

#include "gui/window/commands.h"
#include "document/table_document.h"

class QAction;
class QMenu;
class QToolBar;
class CellSettingsPane;
class CommonDialog;
class DocumentManager;
class GridEditor;
class OutputViews;
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

    TableDocument &document() const { return *m_doc; }
    DocumentManager &documents() const { return *m_documents; }
    void load();                            // Form_Load, once
    static QList<frmMain *> loadedWindows(); // not being unloaded, in creation order
    QString FileName() const;
    void setFileName(const QString &name);
    bool ShiftKeyPush() const;
    void OpenFile(const QString &ShowOpenFileName);
    void SaveFile();
    void SettingText(const QString &GridSelText);
    QString BuildTableHtml();
    static QString shownName(const QString &fileName); // a new table's name in the UI's language

    // What the window does for the parts it is composed of (the table's
    // files, the edit history): they work through these, not on its views.
    CommonDialog &fileDialog() const { return *Dlg; }
    void commitPendingEdits();              // the boxes' text into the table
    void commitGridBox();                   // the grid's in-place box only
    void updateCaption();
    void showTagText(const QString &text);  // the tag view holds text (as a save as HTML leaves it)
    void reloadTableSettings();             // the table settings pane from the table
    // The tag view or the preview, when it is on show, shows the table as it is now.
    void refreshOutputView();

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
    void createActions();                   // with the menus and the toolbar
    void createViewMenu();
    void focusPane(bool forward);           // Ctrl+Tab, F6: the next pane of the view on show
    QAction *command(ToolbarButton button) const { return m_bar[int(button)]; }
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
    DocumentManager *m_documents = nullptr;
    bool m_loaded = false, m_inResize = false, m_unloading = false;
    static QList<frmMain *> s_windows;
};
