// The plugin that brings the web engine: everything that links it is here.
#include <QObject>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "gui/output/web_view_factory.h"

class WebEngineViewFactory : public QObject, public WebViewFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorvanWebViewFactory_iid)
    Q_INTERFACES(WebViewFactory)

public:
    QWidget *createView(QWidget *parent, const QString &defaultEncoding, bool contextMenu) override
    {
        auto *view = new QWebEngineView(parent);
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
        // setUrl, not load: the view reports the new address at once.
        if (auto *web = qobject_cast<QWebEngineView *>(view))
            web->setUrl(url);
    }

    void setContent(QWidget *view, const QByteArray &data, const QString &mimeType,
                    const QUrl &baseUrl) override
    {
        if (auto *web = qobject_cast<QWebEngineView *>(view))
            web->setContent(data, mimeType, baseUrl);
    }
};

#include "webengine_plugin.moc"
