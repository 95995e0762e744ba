// The plugin that brings the web engine: everything that links it is here.
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <functional>

#include "gui/output/web_view_factory.h"

namespace {

using LinkHandler = std::function<void(const QUrl &)>;

bool isInside(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString root = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return path.startsWith(root);
}

// The folder a file: address names, with links resolved, so "../" or a link
// inside the folder cannot point a picture elsewhere; empty when it is gone.
QString realPath(const QUrl &url)
{
    return url.isLocalFile() ? QFileInfo(url.toLocalFile()).canonicalFilePath() : QString();
}

// Lets through the page itself and local pictures in its folders; every other
// request (frames, style sheets, fonts, anything over the network) is blocked.
class PreviewRequests : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    QUrl page;
    QString pageFolder;
    QString pictureFolder;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QUrl url = info.requestUrl();
        if (url.scheme() == QLatin1String("data"))
            return; // inside the page already
        bool allowed = false;
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            allowed = url.adjusted(QUrl::RemoveFragment) == page.adjusted(QUrl::RemoveFragment);
        } else if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeImage) {
            const QString path = realPath(url);
            allowed = isInside(path, pageFolder) || isInside(path, pictureFolder);
        }
        info.block(!allowed);
    }
};

// Hands the address of a link opened in a new window to the link handler and
// goes away: the preview opens no windows of its own.
class NewWindowCatcher : public QWebEnginePage
{
public:
    NewWindowCatcher(QWebEngineProfile *profile, LinkHandler handler, QObject *parent)
        : QWebEnginePage(profile, parent), m_handler(std::move(handler))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        if (m_handler && !m_done)
            m_handler(url);
        m_done = true;
        deleteLater();
        return false;
    }

private:
    LinkHandler m_handler;
    bool m_done = false;
};

class PreviewPage : public QWebEnginePage
{
public:
    explicit PreviewPage(QObject *parent) : QWebEnginePage(parent), m_requests(this)
    {
        setUrlRequestInterceptor(&m_requests);
    }

    void expect(const QUrl &url)
    {
        m_requests.page = url;
        const QString path = realPath(url);
        m_requests.pageFolder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
        m_expected = true;
    }

    void setPictureFolder(const QString &folder)
    {
        m_requests.pictureFolder = folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
    }

    LinkHandler linkHandler;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (!isMainFrame)
            return false;
        const QUrl shown = m_requests.page.adjusted(QUrl::RemoveFragment);
        if (type != NavigationTypeLinkClicked) {
            // Only the page the program asked for (the data of setContent
            // once); a refresh, a form or a script leading elsewhere is refused.
            if (url.adjusted(QUrl::RemoveFragment) == shown)
                return true;
            const bool given = m_expected && url.scheme() == QLatin1String("data");
            m_expected = false;
            return given;
        }
        // A jump inside the page stays in the preview; any other link opens
        // where the user's links open.
        if (url.adjusted(QUrl::RemoveFragment) == shown && url.hasFragment())
            return true;
        if (linkHandler)
            linkHandler(url);
        return false;
    }

    QWebEnginePage *createWindow(WebWindowType) override
    {
        return new NewWindowCatcher(profile(), linkHandler, this);
    }

private:
    PreviewRequests m_requests;
    bool m_expected = false;
};

PreviewPage *previewPage(QWidget *view)
{
    auto *web = qobject_cast<QWebEngineView *>(view);
    return web ? dynamic_cast<PreviewPage *>(web->page()) : nullptr;
}

void showNothingActive(QWebEngineSettings *s)
{
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Left on: off, the engine loads no local picture at all. PreviewRequests
    // limits local files to the page and its pictures instead.
    s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
}

} // namespace

class WebEngineViewFactory : public QObject, public WebViewFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorvanWebViewFactory_iid)
    Q_INTERFACES(WebViewFactory)

public:
    QWidget *createView(QWidget *parent, const QString &defaultEncoding, bool contextMenu) override
    {
        auto *view = new QWebEngineView(parent);
        view->setPage(new PreviewPage(view));
        showNothingActive(view->settings());
        if (!defaultEncoding.isEmpty())
            view->settings()->setDefaultTextEncoding(defaultEncoding);
        if (!contextMenu)
            view->setContextMenuPolicy(Qt::NoContextMenu);
        return view;
    }

    QUrl url(QWidget *view) const override
    {
        auto *web = qobject_cast<QWebEngineView *>(view);
        return web ? web->url() : QUrl();
    }

    void load(QWidget *view, const QUrl &url) override
    {
        if (PreviewPage *page = previewPage(view)) {
            page->expect(url);
            // setUrl, not load: the view reports the new address at once.
            static_cast<QWebEngineView *>(view)->setUrl(url);
        }
    }

    void setContent(QWidget *view, const QByteArray &data, const QString &mimeType,
                    const QUrl &baseUrl) override
    {
        if (PreviewPage *page = previewPage(view)) {
            page->expect(baseUrl);
            page->setContent(data, mimeType, baseUrl);
        }
    }

    void setPictureFolder(QWidget *view, const QString &folder) override
    {
        if (PreviewPage *page = previewPage(view))
            page->setPictureFolder(folder);
    }

    void setLinkHandler(QWidget *view, std::function<void(const QUrl &)> handler) override
    {
        if (PreviewPage *page = previewPage(view))
            page->linkHandler = std::move(handler);
    }
};

#include "webengine_plugin.moc"
