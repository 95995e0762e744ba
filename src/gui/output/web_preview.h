#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

class QByteArray;
class QUrl;
class QWidget;
class WebViewFactory;

// The file name of the web preview plugin.
QString webPreviewPluginName();

// Where the plugin is looked for, in order: the program's library folder
// relative to the executable (bin/../lib/quorvan in the installed tree, the same
// in the build tree, where the tests are in bin/ too), then the folder it was
// installed to.
QStringList webPreviewPluginDirs();

// Tests: look only in these folders (an empty list: the usual ones again).
// A plugin already loaded stays loaded.
void setWebPreviewPluginDirs(const QStringList &dirs);

// The plugin's factory, loaded on the first call; null when no plugin could be
// loaded, with the reason in *error. A failure is not remembered: the next
// preview looks again.
WebViewFactory *webViewFactory(QString *error = nullptr);

// A web view inside a host widget with a layout, made on the first preview.
// Without the plugin the host shows a message saying so in its place.
class WebPreview
{
public:
    explicit WebPreview(QWidget *host, const QString &defaultEncoding = QString(), bool contextMenu = true);

    QWidget *view();                   // made on the first call; null without the plugin
    QWidget *existingView() const { return m_view; }
    QUrl url() const;
    void load(const QUrl &url);
    void setContent(const QByteArray &data, const QString &mimeType, const QUrl &baseUrl);
    // Where the page's pictures may also load from (the table's folder).
    void setPictureFolder(const QString &folder);

private:
    QWidget *m_host;
    QString m_defaultEncoding;
    bool m_contextMenu;
    QPointer<QWidget> m_view;
    QPointer<QWidget> m_missing;       // the message shown instead
};
