#include "gui/help/help_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/widgets/ui_font.h"

namespace {

const QString ChmScheme = QStringLiteral("chm");

QUrl topicUrl(const QString &objectPath)
{
    QUrl url;
    url.setScheme(ChmScheme);
    const int hash = objectPath.indexOf(QLatin1Char('#'));
    url.setPath(ChmFile::normalizePath(ChmFile::withoutAnchor(objectPath)));
    if (hash >= 0)
        url.setFragment(objectPath.mid(hash + 1));
    return url;
}

QString problemPage(const QString &heading, const QString &detail)
{
    return QStringLiteral("<html><body style=\"margin: 16px\">"
                          "<h2 style=\"color: #B3261E\">%1</h2>%2</body></html>")
        .arg(heading.toHtmlEscaped(), detail);
}

// The style sheet's point sizes are for the designed 9-point desktop font:
// they grow with the desktop's, as the rest of the interface does.
QString scaledPointSizes(const QString &css, qreal scale)
{
    if (qFuzzyCompare(scale, 1.0))
        return css;
    static const QRegularExpression points(QStringLiteral("(\\d+(?:\\.\\d+)?)pt\\b"));
    QString out;
    qsizetype from = 0;
    for (auto it = points.globalMatch(css); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(css).mid(from, m.capturedStart() - from).toString();
        out += QString::number(m.captured(1).toDouble() * scale, 'f', 1) + QStringLiteral("pt");
        from = m.capturedEnd();
    }
    return out + css.mid(from);
}

// A help window is a window to a screen reader, not a pane.
QAccessibleInterface *helpWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("HelpWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

// Reads every page, picture and style sheet from the open help file and from
// nowhere else: a help page cannot reach into the file system or the network.
class HelpBrowser : public QTextBrowser
{
public:
    explicit HelpBrowser(QWidget *parent) : QTextBrowser(parent) {}

    const ChmFile *chm = nullptr;

    QVariant loadResource(int type, const QUrl &name) override
    {
        if (name.scheme() != ChmScheme || !chm || !chm->isOpen())
            return type == QTextDocument::HtmlResource ? QVariant(missingPage(name)) : QVariant();
        QByteArray data;
        if (!chm->read(name.path(), &data)) {
            return type == QTextDocument::HtmlResource ? QVariant(missingPage(name)) : QVariant();
        }
        if (type == QTextDocument::ImageResource)
            return data;
        if (type == QTextDocument::StyleSheetResource)
            return scaledPointSizes(decodeHelpText(data), desktopFontScale());
        return decodeHelpText(data);
    }

private:
    static QString missingPage(const QUrl &name)
    {
        return problemPage(HelpWindow::tr("ページが見つかりません"),
                           HelpWindow::tr("<p>ページ「%1」はこのヘルプ ファイルにありません。</p>"
                                          "<p>［戻る］で前のページに戻れます。</p>")
                               .arg(ChmFile::normalizePath(name.path()).toHtmlEscaped()));
    }
};

HelpWindow::HelpWindow(QWidget *owner)
    : QWidget(owner, Qt::Window), m_chm(std::make_unique<ChmFile>())
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Quorvan ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose, owner == nullptr);
    static const bool accessible = (QAccessible::installFactory(helpWindowAccessible), true);
    Q_UNUSED(accessible);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("helpToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("戻る"));
    m_back->setShortcut(QKeySequence::Back);
    m_back->setToolTip(tr("前に表示したページに戻ります。"));
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("進む"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setToolTip(tr("戻る前のページに進みます。"));
    m_home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("ホーム"));
    m_home->setToolTip(tr("ヘルプの最初のページを表示します。"));
    // Closed as the editor's other windows are.
    auto *close = new QAction(tr("閉じる"), this);
    close->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    m_splitter = new QSplitter(this);
    QSplitter *splitter = m_splitter;
    m_contents = new QTreeWidget(splitter);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderLabel(tr("目次"));
    m_contents->setRootIsDecorated(true);
    m_contents->setFont(japaneseUiFont(9.5));
    m_contents->setAccessibleName(tr("目次"));
    // Each entry whole: the column is as wide as the longest, scrolled if need be.
    m_contents->header()->setStretchLastSection(false);
    m_contents->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_browser = new HelpBrowser(splitter);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setAccessibleName(tr("ヘルプのページ"));
    m_browser->chm = m_chm.get();
    // Links are followed here, so that a page's address never leaves the help file.
    m_browser->setOpenLinks(false);
    m_browser->document()->setDefaultFont(japaneseUiFont(10.5));
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 580});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(splitter, 1);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_home, &QAction::triggered, this, &HelpWindow::showDefaultTopic);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::browser_anchorClicked);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::browser_sourceChanged);
    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::contents_itemActivated);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::contents_itemActivated);

    const qreal k = desktopFontScale();
    resize(qRound(820 * k), qRound(600 * k));
}

HelpWindow::~HelpWindow()
{
    // The browser may ask for resources while it is torn down; it must not
    // find a closed file half-way.
    m_browser->chm = nullptr;
}

HelpWindow *HelpWindow::forOwner(QWidget *owner, bool create)
{
    QWidget *top = owner ? owner->window() : nullptr;
    if (top) {
        if (auto *existing = top->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly))
            return existing;
    }
    if (!create)
        return nullptr;
    auto *w = new HelpWindow(top);
    // Beside the owner, on the owner's screen, the way a help viewer opens.
    QScreen *screen = top ? top->screen() : nullptr;
    if (!screen)
        screen = w->screen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        // The frame is not known yet: room is kept for a title bar and borders.
        QRect r(QPoint(0, 0), w->size().boundedTo(avail.size() - QSize(16, 48)));
        r.moveCenter(top ? top->frameGeometry().center() : avail.center());
        r.translate(top ? 40 : 0, top ? 40 : 0);
        if (r.right() > avail.right())
            r.moveRight(avail.right());
        if (r.bottom() > avail.bottom())
            r.moveBottom(avail.bottom());
        if (r.left() < avail.left())
            r.moveLeft(avail.left());
        if (r.top() < avail.top())
            r.moveTop(avail.top());
        w->setGeometry(r);
    }
    return w;
}

ChmFile::Status HelpWindow::openFile(const QString &path)
{
    const ChmFile::Status status = m_chm->open(path);
    m_browser->clearHistory();
    fillContents();
    const QString shown = QDir::toNativeSeparators(path).toHtmlEscaped();
    switch (status) {
    case ChmFile::Missing:
        setWindowTitle(tr("Quorvan ヘルプ"));
        showProblem(tr("ヘルプ ファイルが見つかりません"),
                    tr("<p>ヘルプ ファイル「%1」が見つかりません。</p>"
                                   "<p>Qrvn.CHM は、Quorvan のプログラムと同じフォルダーか、"
                                   "インストール先のデータ フォルダー（share/quorvan）に置かれます。"
                                   "見つからない場合は、Quorvan をインストールし直してください。</p>")
                        .arg(shown));
        return status;
    case ChmFile::Unreadable:
        setWindowTitle(tr("Quorvan ヘルプ"));
        showProblem(tr("ヘルプ ファイルを読み込めません"),
                    tr("<p>ヘルプ ファイル「%1」を読み込めませんでした。</p>"
                                   "<p>ファイルが壊れているか、ヘルプ ファイルの形式ではありません。"
                                   "Quorvan をインストールし直してください。</p>")
                        .arg(shown));
        return status;
    case ChmFile::Ok:
        break;
    }
    setWindowTitle(m_chm->title().isEmpty() ? tr("Quorvan ヘルプ") : m_chm->title());
    m_home->setEnabled(true);
    showDefaultTopic();
    // The browser's history still held the pages of the last opening, and the
    // default topic was just pushed onto them: start afresh from here, so that
    // Back (button or Alt+Left) has nowhere to go.
    m_browser->clearHistory();
    return status;
}

void HelpWindow::showDefaultTopic()
{
    if (!m_chm->isOpen())
        return;
    const QString topic = m_chm->defaultTopic();
    if (topic.isEmpty()) {
        showProblem(tr("表示するページがありません"),
                    tr("<p>ヘルプ ファイル「%1」には最初に表示するページがありません。</p>")
                        .arg(QDir::toNativeSeparators(m_chm->path()).toHtmlEscaped()));
        return;
    }
    m_browser->setSource(topicUrl(topic));
}

QString HelpWindow::currentTopic() const
{
    const QUrl url = m_browser->source();
    return url.scheme() == ChmScheme ? ChmFile::normalizePath(url.path()) : QString();
}

void HelpWindow::browser_anchorClicked(const QUrl &url)
{
    const QUrl target = url.isRelative() ? m_browser->source().resolved(url) : url;
    const QString scheme = target.scheme().toLower();
    if (scheme == ChmScheme) {
        m_browser->setSource(target);
    } else if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
               || scheme == QLatin1String("mailto")) {
        QDesktopServices::openUrl(target);
    }
    // Anything else (local files, other programs' help) is not followed.
}

void HelpWindow::browser_sourceChanged(const QUrl &url)
{
    m_browser->setAccessibleDescription(m_browser->documentTitle());
    const QString path = ChmFile::normalizePath(url.path());
    QTreeWidgetItem *match = nullptr;
    for (QTreeWidgetItemIterator it(m_contents); *it && !match; ++it) {
        const QString local = (*it)->data(0, Qt::UserRole).toString();
        if (!local.isEmpty() && ChmFile::normalizePath(ChmFile::withoutAnchor(local)) == path)
            match = *it;
    }
    const QSignalBlocker block(m_contents);
    if (match) {
        m_contents->setCurrentItem(match);
        m_contents->scrollToItem(match);
    } else {
        m_contents->clearSelection();
    }
}

void HelpWindow::contents_itemActivated(QTreeWidgetItem *item)
{
    const QString local = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (local.isEmpty())
        return;
    if (local.contains(QLatin1Char(':')))
        browser_anchorClicked(QUrl(local));
    else
        m_browser->setSource(topicUrl(local));
}

void HelpWindow::showProblem(const QString &heading, const QString &detail)
{
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    m_home->setEnabled(m_chm->isOpen());
    m_browser->setHtml(problemPage(heading, detail));
}

void HelpWindow::fillContents()
{
    m_contents->clear();
    QList<QTreeWidgetItem *> parents;
    for (const ChmTopic &topic : m_chm->contents()) {
        const int depth = qMin(topic.depth, int(parents.size()));
        parents.resize(depth);
        auto *item = parents.isEmpty() ? new QTreeWidgetItem(m_contents)
                                       : new QTreeWidgetItem(parents.last());
        item->setText(0, topic.name);
        item->setData(0, Qt::UserRole, topic.local);
        item->setToolTip(0, topic.name);
        parents.append(item);
    }
    m_contents->expandAll();
    m_contents->setVisible(m_contents->topLevelItemCount() > 0);
    fitContents();
}

// The contents as wide as their longest entry, up to half the window.
void HelpWindow::fitContents()
{
    if (m_contents->isHidden())
        return;
    m_contents->resizeColumnToContents(0);
    const int wanted = m_contents->columnWidth(0) + 2 * m_contents->frameWidth()
            + m_contents->verticalScrollBar()->sizeHint().width() + 4;
    const int total = qMax(width(), m_splitter->width());
    const int tree = qBound(m_contents->minimumSizeHint().width(), wanted, total / 2);
    m_splitter->setSizes({tree, qMax(1, total - tree)});
}
