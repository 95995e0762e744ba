#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QPlainTextEdit;
class QWidget;
class TableDocument;
class WebPreview;
enum class MarkupProfile;

// The preview page with a base address in its head pointing at the folder of
// the table file tableFileName; the page unchanged for a never-saved table.
// Only preview pages carry it, never saved HTML or the tag view.
QString previewPageBase(const QString &page, const QString &tableFileName, MarkupProfile profile);

// The tag view txtTag and the preview Web, with the page file the previews
// write. Both are children of the given parent, where the window lays them
// out; the table text comes from tableText each time, never cached.
class OutputViews : public QObject
{
    Q_OBJECT

public:
    OutputViews(const TableDocument &doc, std::function<QString()> tableText, QWidget *parent);
    ~OutputViews() override;

    QPlainTextEdit *tagView() const { return txtTag; }
    QWidget *webHost() const { return Web; }
    // The web view, made on the first preview by the web preview plugin; null
    // when the plugin is missing (the host then says so).
    QWidget *webView();

    // The page written last by a preview, and whether the next toolbar
    // command deletes it.
    QString PageFilePath;
    bool PageFileFlag = false;
    void deletePageFileIfFlagged();

    void showTagView();                     // the view itself is shown by the window
    void setTagText(const QString &text);
    void showPreview();
    // False when no browser took the page (PageFilePath names it).
    bool showBrowserPreview();

private:
    QString writePageFile();

    const TableDocument &m_doc;             // the page's profile
    std::function<QString()> m_tableText;
    QPlainTextEdit *txtTag;
    QWidget *Web;
    std::unique_ptr<WebPreview> m_web;
};
