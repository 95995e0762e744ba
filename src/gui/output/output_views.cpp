#include "gui/output/output_views.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include "core/io/temp_paths.h"
#include "core/markup/table_markup.h"
#include "core/markup/table_presets.h"
#include "document/table_document.h"
#include "core/text/text_codec.h"
#include "gui/widgets/url_opener.h"
#include "gui/output/web_preview.h"

QString previewPageBase(const QString &page, const QString &tableFileName, MarkupProfile profile)
{
    // A never-saved table has no folder to resolve from.
    if (tableFileName.isEmpty() || tableFileName == newTableName())
        return page;
    const QString folder = QFileInfo(tableFileName).absolutePath();
    QString href = QUrl::fromLocalFile(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'))
                       .toString(QUrl::FullyEncoded);
    href.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    const bool html5 = profile == MarkupProfile::Html5;
    const QString headEnd = html5 ? QStringLiteral("</head>") : QStringLiteral("</HEAD>");
    const int at = page.indexOf(headEnd);
    if (at < 0)
        return page;
    QString tag = html5 ? QStringLiteral("<base href=\"%1\">") : QStringLiteral("<BASE HREF=\"%1\">");
    QString based = page;
    based.insert(at, tag.arg(href));
    return based;
}

// Writes the preview page around the table text to a new temporary ".html" file
// and returns its path; "" when no file could be made. A file that was made but
// could not be filled keeps its path: the preview then shows what it holds.
QString OutputViews::writePageFile()
{
    const QString path = GetTempHtmlPath();
    if (path.isEmpty())
        return path;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const MarkupProfile profile = m_doc.model().OutputProfile;
        // The page lives in the temp folder: relative pictures and links in the
        // cells resolve from the table file's folder instead.
        QString page = previewPageBase(previewPageText(m_tableText(), profile),
                                       m_doc.model().FileName, profile);
        // A stylesheet kept out of the table text (a file, the site's) still
        // shows here, and so does a stand-in for the framework's classes.
        const QString css = previewStyleSheet(m_doc.model());
        if (const qsizetype head = page.indexOf(QLatin1String("</head>")); !css.isEmpty() && head >= 0)
            page.insert(head, QLatin1String("<style>\r\n") + css + QLatin1String("</style>"));
        file.write(markupFileBytes(page, profile));
    }
    return path;
}

OutputViews::OutputViews(const TableDocument &doc, std::function<QString()> tableText, QWidget *parent)
    : QObject(parent), m_doc(doc), m_tableText(std::move(tableText))
{
    setObjectName(QStringLiteral("OutputViews"));
    txtTag = new QPlainTextEdit(parent);
    txtTag->setObjectName(QStringLiteral("txtTag"));
    txtTag->setToolTip(tr("表のHTMLタグを表示します。コピーしたいところを選択して、"
                                      "右クリックし、「コピー」を選択してください。"));
    // The text is generated, never read back: read-only, but with a caret so
    // the keyboard can select too.
    txtTag->setReadOnly(true);
    txtTag->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtTag->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtTag, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(txtTag);
        QAction *copy = menu.addAction(tr("コピー"));
        copy->setObjectName(QStringLiteral("mnuTagCopy"));
        copy->setEnabled(txtTag->textCursor().hasSelection());
        connect(copy, &QAction::triggered, txtTag, &QPlainTextEdit::copy);
        QAction *all = menu.addAction(tr("すべて選択"));
        all->setObjectName(QStringLiteral("mnuTagSelectAll"));
        all->setEnabled(!txtTag->document()->isEmpty());
        connect(all, &QAction::triggered, txtTag, &QPlainTextEdit::selectAll);
        menu.exec(txtTag->viewport()->mapToGlobal(pos));
    });
    txtTag->hide();

    // Only the host exists at start-up; the web engine starts with the first preview.
    Web = new QWidget(parent);
    Web->setObjectName(QStringLiteral("Web"));
    auto *layout = new QVBoxLayout(Web);
    layout->setContentsMargins(0, 0, 0, 0);
    Web->hide();
    m_web = std::make_unique<WebPreview>(Web);
}

OutputViews::~OutputViews() = default;

QWidget *OutputViews::webView()
{
    return m_web->view();
}

void OutputViews::deletePageFileIfFlagged()
{
    if (PageFileFlag && !PageFilePath.isEmpty())
        QFile::remove(PageFilePath);
}

void OutputViews::setTagText(const QString &text)
{
    txtTag->setPlainText(text);
}

void OutputViews::showTagView()
{
    txtTag->setPlainText(m_tableText());
    // Keep the caret visible in the read-only view on every showing.
    txtTag->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QTextCursor cursor = txtTag->textCursor();
    cursor.setPosition(0);
    txtTag->setTextCursor(cursor);
    txtTag->setFocus();
    PageFileFlag = false;
}

void OutputViews::showPreview()
{
    const QString path = writePageFile();
    PageFilePath = path;
    const QString table = m_doc.model().FileName;
    const bool saved = !table.isEmpty() && table != newTableName();
    m_web->setPictureFolder(saved ? QFileInfo(table).absolutePath() : QString());
    // Without a page there is nothing current to show; a stale table would mislead.
    m_web->load(path.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromLocalFile(path));
    PageFileFlag = true;
}

bool OutputViews::showBrowserPreview()
{
    const QString path = writePageFile();
    PageFileFlag = true;
    PageFilePath = path;
    return path.isEmpty() || openUrlExternally(QUrl::fromLocalFile(path));
}
