#include "gui/widgets/url_opener.h"

#include <QDesktopServices>

namespace {

UrlOpener &currentOpener()
{
    static UrlOpener opener;
    return opener;
}

} // namespace

void openUrlExternally(const QUrl &url)
{
    if (const UrlOpener &opener = currentOpener())
        opener(url);
    else
        QDesktopServices::openUrl(url); // starts the browser detached; never waits for it
}

void setUrlOpener(UrlOpener opener)
{
    currentOpener() = std::move(opener);
}
