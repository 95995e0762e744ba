#pragma once

#include <QWidget>

#include <memory>

#include "core/help/chm_file.h"

class QAction;
class QSplitter;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;
class HelpBrowser;

// The program's own help viewer: shows the pages of a compiled help file and
// follows links between them. It is a top-level window owned by the window
// whose help command opened it, one per owner.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *owner = nullptr);
    ~HelpWindow() override;

    // The help window of owner's top-level window; with create, made if there is none.
    static HelpWindow *forOwner(QWidget *owner, bool create);

    // Opens the file and shows its default topic. A file that is missing or
    // cannot be read is reported in the window itself; the result says which.
    ChmFile::Status openFile(const QString &path);
    void showDefaultTopic();

    // Object path of the page on show, "/index.html"; empty when none is.
    QString currentTopic() const;

private slots:
    void browser_anchorClicked(const QUrl &url);
    void browser_sourceChanged(const QUrl &url);
    void contents_itemActivated(QTreeWidgetItem *item);

private:
    void showProblem(const QString &heading, const QString &detail);
    void fillContents();
    void fitContents();

    std::unique_ptr<ChmFile> m_chm;
    HelpBrowser *m_browser;
    QTreeWidget *m_contents;
    QSplitter *m_splitter;
    QAction *m_back;
    QAction *m_forward;
    QAction *m_home;
};
