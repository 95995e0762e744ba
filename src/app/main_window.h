#pragma once

#include <QMainWindow>
#include <QPointer>

#include "table/table_model.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSlider;
class QToolBar;
class QWebEngineView;
class QWidget;
class ColorSwatch;
class CommonDialog;
class GridWidget;
class UpDown;

// The document window. It is the table model (the fields keep their own
// names) plus the controls of its four views. Controls and handlers are public
// like the form members they stand for: the editor and the tests reach them.
//
// The implementation is spread over the subsystems that own each piece:
//   app/main_window.cpp          layout, load, resize, close
//   app/main_commands.cpp        toolbar dispatch and menu commands
//   table/table_settings_pane.cpp picAllSet and its handlers
//   table/cell_settings_pane.cpp  picBar, the Cell menu and their handlers
//   table/grid_view.cpp           Grid_Click, in-place editing, SettingText
//   html/output_views.cpp         BuildTableHtml, tag view, previews
//   files/file_commands.cpp       OpenFile, SaveFile
class frmMain : public QMainWindow, public TableModel
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Design-time client size (twips) and the toolbar's designed height.
    static constexpr int DesignClientWidth = 7470;
    static constexpr int DesignClientHeight = 5985;

    // --- toolbar and menus -------------------------------------------------
    QToolBar *Bar = nullptr;
    QAction *BarButton[15] = {};   // by position 1..14; separators included

    QMenu *mnuFile = nullptr;
    QAction *mnuNew = nullptr, *mnuOpen = nullptr, *Sep0 = nullptr, *mnuClose = nullptr,
            *Sep1 = nullptr, *mnuSave = nullptr, *Sep2 = nullptr, *mnuExit = nullptr;
    QMenu *mnuSel = nullptr;
    QAction *mnuBold = nullptr, *SepAhaha = nullptr, *mnuSelEdit = nullptr, *mnuSelEditMax = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuShowHelp = nullptr, *Sep3 = nullptr, *mnuAbout = nullptr;

    // --- the four views ------------------------------------------------------
    QWidget *picAllSet = nullptr;
    QWidget *picBar = nullptr;
    GridWidget *Grid = nullptr;
    QLineEdit *txtInsert = nullptr;         // made by createGrid()
    QPlainTextEdit *txtTag = nullptr;       // made by createOutputViews()
    QWidget *Web = nullptr;                 // host made by createOutputViews(); the web view inside on first use
    QWidget *client = nullptr;              // the area below the menu bar; every view is its child
    CommonDialog *Dlg = nullptr;

    // table settings pane (picAllSet)
    QLabel *Label101 = nullptr, *Label201 = nullptr, *Label601 = nullptr, *Label801 = nullptr,
           *Label2 = nullptr;
    QLineEdit *txtWidth = nullptr, *txtHeight = nullptr, *txtTitle = nullptr, *txtBorder = nullptr;
    UpDown *UpDownWidth = nullptr, *UpDownHeight = nullptr, *UpDown1 = nullptr;
    ColorSwatch *picBackColor = nullptr;
    QAbstractButton *cmdBackColorSet = nullptr;
    QCheckBox *chkBackColorNothing = nullptr, *chkNet = nullptr;

    // cell settings pane (picBar)
    QLabel *Label333 = nullptr;
    ColorSwatch *picBackColor2 = nullptr;
    QAbstractButton *cmdBackColorSet2 = nullptr;
    QCheckBox *chkBackColorNothing2 = nullptr;
    QGroupBox *Frame4 = nullptr, *Frame5 = nullptr, *Frame1 = nullptr, *Frame2 = nullptr,
              *Frame3 = nullptr;
    QWidget *Picture1 = nullptr, *Picture5 = nullptr, *Picture2 = nullptr, *Picture3 = nullptr,
            *Picture4 = nullptr;
    QCheckBox *chkSWidth = nullptr, *chkSHeight = nullptr, *chkHeight = nullptr, *chkWidth = nullptr;
    QLabel *Label1[2] = {};                 // control array: 0 width group, 1 height group
    QLabel *Label10 = nullptr, *Label11 = nullptr;
    QLineEdit *txtSWidth = nullptr, *txtSHeight = nullptr, *txtMHeight = nullptr,
              *txtMWidth = nullptr;
    QSlider *SliW = nullptr, *SliH = nullptr;
    QWidget *picText = nullptr;
    QLabel *lblTextMove = nullptr;

    // --- public members of the form ------------------------------------------
    // Runs Form_Load once; showing the window or OpenFile loads it, as the first
    // use of a form does.
    void load();
    bool isLoaded() const { return m_loaded; }
    // Main windows that are loaded and not being unloaded, in creation order.
    static QList<frmMain *> loadedWindows();

    void OpenFile(const QString &ShowOpenFileName);
    void SaveFile();
    Q_INVOKABLE void SettingText(const QString &GridSelText);
    // Text still in the in-place box goes into its cell. Every command that
    // reads or rebuilds the table runs this first.
    void commitOpenBox();

    // Page file of the previews (per window).
    QString PageFilePath;
    bool PageFileFlag = false;

    // Helpers shared between the pieces of the window.
    QWebEngineView *webView();              // creates the preview's web view on first use
    void updateCaption();                   // "Quorvan - " + GetFileNamePart(FileName)
    void showView(int button);              // visibility, button 7 and mnuSel for buttons 9..12
    void refreshAllCells();                 // every grid cell, then (1, 1)
    // The whole-table refreshes (view switch, open, BuildTableHtml, re-fitting
    // a row) normally apply each cell's refresh straight to its record and grid
    // cell and load the pane once at the end. Set, they run Grid_Click cell by
    // cell instead: the literal path, kept as the reference the tests compare to.
    bool stepByStepRefresh = false;
    void sizeGridFromBoxes();               // Grid.Cols/Rows from txtWidth/txtHeight
    void loadTableSettingsPane(bool withNet); // model -> picAllSet controls
    int boxNumber(const QLineEdit *box) const; // the number in a box, as Val() reads it

public slots:
    // main window (app/main_window.cpp)
    void Form_Load();
    void Form_Resize();

    // commands (app/main_commands.cpp)
    void Bar_ButtonClick(int index);
    void mnuFile_Click();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuShowHelp_Click();
    void showHelp();

    // table settings pane
    void txtWidth_Change();
    void txtHeight_Change();
    void txtBorder_Change();
    void txtWidth_LostFocus();
    void txtHeight_LostFocus();
    void txtBorder_LostFocus();
    void txtTitle_Change();
    void chkBackColorNothing_Click();
    void cmdBackColorSet_Click();
    void chkNet_Click();

    // cell settings pane and Cell menu
    void chkSWidth_Click();
    void chkSHeight_Click();
    void chkWidth_Click();
    void chkHeight_Click();
    void txtSWidth_Change();
    void txtSHeight_Change();
    void txtMWidth_Change();
    void txtMHeight_Change();
    void txtSWidth_LostFocus();
    void txtSHeight_LostFocus();
    void txtMWidth_LostFocus();
    void txtMHeight_LostFocus();
    void SliW_Click();
    void SliH_Click();
    void chkBackColorNothing2_Click();
    void cmdBackColorSet2_Click();
    void mnuSel_Click();
    void mnuBold_Click();
    void mnuSelEdit_Click();
    void mnuSelEditMax_Click();

    // grid
    void Grid_Click();
    void Grid_DblClick();
    void Grid_KeyPress(int &KeyAscii);
    void Grid_LeaveCell();
    void txtInsert_KeyPress(int &KeyAscii);
    void txtInsert_LostFocus();

    // output
    QString BuildTableHtml();
    void showTagView();
    void showPreview();
    void showBrowserPreview();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createTableSettingsPane();         // table/table_settings_pane.cpp
    void createCellSettingsPane();          // table/cell_settings_pane.cpp
    void createGrid();                      // table/grid_view.cpp
    void createOutputViews();               // html/output_views.cpp

    // grid internals (table/grid_view.cpp)
    void fitRow();
    void refitWholeRow();
    bool canRefreshQuietly() const;
    void refreshCellQuietly();
    void openInsertBox(bool withExistingText);
    void commitInsertBox(bool fromEnter);
    void closeInsertBox();

    bool m_closingBox = false;

    QPointer<QWebEngineView> m_webView;
    bool m_loaded = false;
    bool m_inResize = false;
    bool m_unloading = false;
    static QList<frmMain *> s_windows;
};
