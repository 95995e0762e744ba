#include "gui/widgets/url_opener.h"

#include <QDesktopServices>

namespace {

CheckedUrlOpener &currentOpener()
{
    static CheckedUrlOpener opener;
    return opener;
}

} // namespace

bool openUrlExternally(const QUrl &url)
{
    if (const CheckedUrlOpener &opener = currentOpener())
        return opener(url);
    return QDesktopServices::openUrl(url); // starts the browser detached; never waits for it
}

void setUrlOpener(UrlOpener opener)
{
    if (!opener) {
        currentOpener() = {};
        return;
    }
    currentOpener() = [opener = std::move(opener)](const QUrl &url) {
        opener(url);
        return true;
    };
}

void setCheckedUrlOpener(CheckedUrlOpener opener)
{
    currentOpener() = std::move(opener);
}
