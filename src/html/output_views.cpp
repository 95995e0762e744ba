// The main window's output: the generated table text, the tag view and the
// two previews with their page file.
#include "app/main_window.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "files/temp_paths.h"
#include "html/table_markup.h"
#include "platform/color_swatch.h"
#include "platform/text_codec.h"
#include "platform/url_opener.h"
#include "table/grid_widget.h"

#include <exception>

namespace {

// Writes the preview page around tableText to a new temporary ".html" file and
// returns its path; "" when no file could be made. A file that was made but
// could not be filled keeps its path: the preview then shows what it holds.
QString writePageFile(const std::function<QString()> &tableText, MarkupProfile profile)
{
    const QString path = GetTempHtmlPath();
    if (path.isEmpty())
        return path;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(markupFileBytes(previewPageText(tableText(), profile), profile));
    return path;
}

} // namespace

void frmMain::createOutputViews()
{
    txtTag = new QPlainTextEdit(client);
    txtTag->setObjectName(QStringLiteral("txtTag"));
    txtTag->setToolTip(QStringLiteral("表のHTMLタグを表示します。コピーしたいところを選択して、"
                                      "右クリックし、「コピー」を選択してください。"));
    // The text is generated, never read back: read-only, but with a caret so
    // the keyboard can select too.
    txtTag->setReadOnly(true);
    txtTag->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtTag->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtTag, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(txtTag);
        QAction *copy = menu.addAction(QStringLiteral("コピー"));
        copy->setObjectName(QStringLiteral("mnuTagCopy"));
        copy->setEnabled(txtTag->textCursor().hasSelection());
        connect(copy, &QAction::triggered, txtTag, &QPlainTextEdit::copy);
        QAction *all = menu.addAction(QStringLiteral("すべて選択"));
        all->setObjectName(QStringLiteral("mnuTagSelectAll"));
        all->setEnabled(!txtTag->document()->isEmpty());
        connect(all, &QAction::triggered, txtTag, &QPlainTextEdit::selectAll);
        menu.exec(txtTag->viewport()->mapToGlobal(pos));
    });
    txtTag->hide();

    // Only the host exists at start-up; the web engine starts with the first preview.
    Web = new QWidget(client);
    Web->setObjectName(QStringLiteral("Web"));
    auto *layout = new QVBoxLayout(Web);
    layout->setContentsMargins(0, 0, 0, 0);
    Web->hide();
}

QWebEngineView *frmMain::webView()
{
    if (!m_webView) {
        m_webView = new QWebEngineView(Web);
        m_webView->setObjectName(QStringLiteral("webView"));
        Web->layout()->addWidget(m_webView);
    }
    return m_webView;
}

QString frmMain::BuildTableHtml()
{
    const bool quietly = canRefreshQuietly();
    int lastCol = 0;
    int lastRow = 0;
    CellRecord lastRefreshed;
    QString text;
    {
        GridWidget::BulkUpdate bulk(quietly ? Grid : nullptr);
        try {
            MarkupInputs in;
            in.borderText = txtBorder->text();
            in.titleText = txtTitle->text();
            in.backColorShown = picBackColor->color();
            in.gridRows = Grid->Rows();
            in.gridCols = Grid->Cols();
            // Each emitted cell is made current and refreshed first, so the pane
            // ends on the last one and the record holds what the pane wrote back.
            text = buildTableMarkup(*this, in, [&](int c, int r) {
                Grid->setRow(r);
                Grid->setCol(c);
                if (!quietly) {
                    Grid_Click();
                    return;
                }
                refreshCellQuietly();
                lastCol = c;
                lastRow = r;
                lastRefreshed = Cells(c, r);
            });
        } catch (const std::exception &) {
            // The callers carry on with empty text.
            text = QString();
        }
    }
    // The pane shows the last emitted cell as its refresh left it, before the
    // generator set a switched-off span count of it to 1.
    if (quietly && lastCol > 0) {
        CellRecord &rec = Cells(lastCol, lastRow);
        const CellRecord written = rec;
        rec = lastRefreshed;
        Grid_Click();
        rec = written;
    }
    return text;
}

void frmMain::showTagView()
{
    showView(11);
    txtTag->setPlainText(BuildTableHtml());
    // Keep the caret visible in the read-only view on every showing.
    txtTag->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QTextCursor cursor = txtTag->textCursor();
    cursor.setPosition(0);
    txtTag->setTextCursor(cursor);
    txtTag->setFocus();
    PageFileFlag = false;
}

void frmMain::showPreview()
{
    showView(12);
    const QString path = writePageFile([this] { return BuildTableHtml(); }, OutputProfile);
    PageFilePath = path;
    // Without a page there is nothing current to show; a stale table would mislead.
    webView()->setUrl(path.isEmpty() ? QUrl(QStringLiteral("about:blank"))
                                     : QUrl::fromLocalFile(path));
    PageFileFlag = true;
}

void frmMain::showBrowserPreview()
{
    const QString path = writePageFile([this] { return BuildTableHtml(); }, OutputProfile);
    PageFileFlag = true;
    PageFilePath = path;
    if (!path.isEmpty())
        openUrlExternally(QUrl::fromLocalFile(path));
}
