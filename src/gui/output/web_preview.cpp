#include "gui/output/web_preview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QUrl>

#include "core/app/library_paths.h"
#include "gui/output/web_view_factory.h"
#include "gui/widgets/url_opener.h"

namespace {

QStringList &overrideDirs()
{
    static QStringList dirs;
    return dirs;
}

QPointer<QObject> &loadedPlugin()
{
    static QPointer<QObject> plugin;
    return plugin;
}

} // namespace

QString webPreviewPluginName()
{
    return QStringLiteral("libquorvan_webpreview.so");
}

QStringList webPreviewPluginDirs()
{
    if (!overrideDirs().isEmpty())
        return overrideDirs();
    return programLibraryDirs();
}

void setWebPreviewPluginDirs(const QStringList &dirs)
{
    overrideDirs() = dirs;
}

WebViewFactory *webViewFactory(QString *error)
{
    if (QObject *plugin = loadedPlugin())
        return qobject_cast<WebViewFactory *>(plugin);
    // The engine, loaded after the application object, relies on the OpenGL
    // context shared from its start (Qt::AA_ShareOpenGLContexts, set by the
    // program before it); without one it would crash on its first view.
    if (!QOpenGLContext::globalShareContext()) {
        if (error)
            *error = QStringLiteral("the application was started without a shared OpenGL context "
                                    "(Qt::AA_ShareOpenGLContexts)");
        return nullptr;
    }
    QStringList reasons;
    for (const QString &dir : webPreviewPluginDirs()) {
        const QString path = QDir(dir).filePath(webPreviewPluginName());
        if (!QFileInfo::exists(path))
            continue;
        QPluginLoader loader(path);
        QObject *plugin = loader.instance();
        if (auto *factory = qobject_cast<WebViewFactory *>(plugin)) {
            loadedPlugin() = plugin;
            return factory;
        }
        reasons << (plugin ? path + QStringLiteral(": not a web preview plugin") : loader.errorString());
        if (plugin)
            loader.unload();
    }
    if (error) {
        *error = reasons.isEmpty()
                ? webPreviewPluginName() + QStringLiteral(" not found in ") + webPreviewPluginDirs().join(QStringLiteral(", "))
                : reasons.join(QLatin1Char('\n'));
    }
    return nullptr;
}

WebPreview::WebPreview(QWidget *host, const QString &defaultEncoding, bool contextMenu)
    : m_host(host), m_defaultEncoding(defaultEncoding), m_contextMenu(contextMenu)
{
}

QWidget *WebPreview::view()
{
    if (m_view)
        return m_view;
    QString error;
    WebViewFactory *factory = webViewFactory(&error);
    if (!factory) {
        // The rest of the window works on; only this view is missing.
        if (!m_missing) {
            auto *label = new QLabel(m_host);
            label->setObjectName(QStringLiteral("lblPreviewMissing"));
            label->setAlignment(Qt::AlignCenter);
            label->setWordWrap(true);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            m_host->layout()->addWidget(label);
            label->show(); // the host may be on show already
            m_missing = label;
        }
        static_cast<QLabel *>(m_missing.data())->setText(
                QCoreApplication::translate("WebPreview",
                                            "プレビューを表示できません。\n"
                                            "プレビューに使う部品（%1）が見つからないか、読み込めませんでした。"
                                            "Quorvanをインストールし直してください。\n\n%2")
                        .arg(webPreviewPluginName(), error));
        return nullptr;
    }
    delete m_missing;
    m_view = factory->createView(m_host, m_defaultEncoding, m_contextMenu);
    m_view->setObjectName(QStringLiteral("webView"));
    // A link in the preview opens in the user's browser, as in a document viewer.
    factory->setLinkHandler(m_view, [](const QUrl &url) { openUrlExternally(url); });
    m_host->layout()->addWidget(m_view);
    m_view->show();
    return m_view;
}

QUrl WebPreview::url() const
{
    WebViewFactory *factory = m_view ? qobject_cast<WebViewFactory *>(loadedPlugin()) : nullptr;
    return factory ? factory->url(m_view) : QUrl();
}

void WebPreview::load(const QUrl &url)
{
    if (QWidget *v = view())
        qobject_cast<WebViewFactory *>(loadedPlugin())->load(v, url);
}

void WebPreview::setContent(const QByteArray &data, const QString &mimeType, const QUrl &baseUrl)
{
    if (QWidget *v = view())
        qobject_cast<WebViewFactory *>(loadedPlugin())->setContent(v, data, mimeType, baseUrl);
}

void WebPreview::setPictureFolder(const QString &folder)
{
    if (QWidget *v = view())
        qobject_cast<WebViewFactory *>(loadedPlugin())->setPictureFolder(v, folder);
}
