#pragma once

#include "core/model/table_model.h"

#include <QDialog>
#include <QString>

#include <memory>

class QAction;
class QMenuBar;
class QPlainTextEdit;
class QToolBar;
class WebPreview;

// The editor's toolbar, by position. Every position reports its click,
// separators included: a click anywhere deletes the last preview page.
enum class EditorButton {
    StoreAndClose = 1,
    Cancel = 2,
    CloseSeparator = 3,
    TagView = 4,
    Preview = 5,
    ViewSeparator = 6,
    LineBreak = 7,
    Font = 8,
    Link = 9,
    Picture = 10,
    InsertSeparator = 11,
    Bold = 12,
    Italic = 13,
    Underline = 14,
    Strike = 15,
    StyleSeparator = 16,
    Help = 17,
};

// The multi-line cell editor: a small HTML text editor over one cell's text.
// Opened modally by the main window, which sets objForm, passes the cell text to
// SettingText and runs exec(). The text goes back only through textStored.
class frmEdit : public QDialog
{
    Q_OBJECT

public:
    explicit frmEdit(QWidget *owner = nullptr);
    ~frmEdit() override;

    static constexpr int ButtonCount = int(EditorButton::Help);

    QObject *objForm = nullptr;          // the window whose cell is edited
    MarkupProfile profile = MarkupProfile::Html4; // the table's: what the insertions write
    void SettingText(const QString &text);

    QPlainTextEdit *txtEdit = nullptr;
    QWidget *Web = nullptr;              // host; the web view inside is made on the first preview
    QToolBar *Bar = nullptr;
    QMenuBar *menuBar = nullptr;         // the toolbar's commands again, with keys
    QAction *BarButton[ButtonCount + 1] = {}; // by position, 1..17; separators included
    QAction *button(EditorButton b) const { return BarButton[int(b)]; }

    QString PreviewFile;                 // the preview page written last
    bool PreviewFileMade = false;        // PreviewFile exists and is ours to delete

    // The pane's whole text and its selection, with CR LF line ends as cells
    // store them. setSelText replaces the selection (or inserts at the caret) and
    // leaves the caret after the new text with nothing selected.
    QString paneText() const;
    QString selText() const;
    void setSelText(const QString &text);

    QWidget *webView() const;            // null until the first preview, or without the plugin

signals:
    // Store-and-close: the text for the cell.
    void textStored(const QString &text);

public slots:
    void Bar_ButtonClick(EditorButton position);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;

private:
    void createToolBar();
    void createMenus();
    void Form_Load();
    void Form_Resize();
    void InsertTag(int kind);
    void showPreview();
    void setTextMode(bool textMode);
    void deletePreviewFile();

    std::unique_ptr<WebPreview> m_web;   // made by the web preview plugin on the first preview
    bool m_placed = false;
};
