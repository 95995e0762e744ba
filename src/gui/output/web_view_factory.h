#pragma once

#include <QtPlugin>

#include <functional>

class QByteArray;
class QString;
class QUrl;
class QWidget;

// What the previews need from a web engine. The engine is by far the heaviest
// library the program could link, and most sessions never preview: it lives in
// a plugin of its own (libquorvan_webpreview.so), loaded on the first preview.
// Nothing here names the engine's classes, so only the plugin links it.
//
// A preview shows a page, it never runs one: the page may come from a stranger.
// Its scripts are off, it cannot navigate away, and it loads nothing but
// itself and the local pictures in its picture folder.
class WebViewFactory
{
public:
    virtual ~WebViewFactory() = default;

    // A new web view, a child of parent. A non-empty defaultEncoding is the
    // character set of pages that declare none; contextMenu false turns the
    // engine's right-click menu off.
    virtual QWidget *createView(QWidget *parent, const QString &defaultEncoding, bool contextMenu) = 0;

    // The view's address: the one last given to load() from that call on.
    virtual QUrl url(QWidget *view) const = 0;
    virtual void load(QWidget *view, const QUrl &url) = 0;
    // Shows data as a page of the given MIME type; relative addresses in it
    // resolve against baseUrl.
    virtual void setContent(QWidget *view, const QByteArray &data, const QString &mimeType,
                            const QUrl &baseUrl) = 0;

    // Pictures load from this folder and below it, besides the folder of the
    // page itself; an empty folder: the page's folder only.
    virtual void setPictureFolder(QWidget *view, const QString &folder) = 0;
    // A link the user follows in the page is handed here instead.
    virtual void setLinkHandler(QWidget *view, std::function<void(const QUrl &)> handler) = 0;
};

#define QuorvanWebViewFactory_iid "io.github.quorvan.WebViewFactory/1.1"
Q_DECLARE_INTERFACE(WebViewFactory, QuorvanWebViewFactory_iid)
