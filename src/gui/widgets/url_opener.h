#pragma once

#include <QUrl>

#include <functional>

// Hands a URL to the desktop (the program registered for it) and returns at
// once; whether anything opened is not reported.
void openUrlExternally(const QUrl &url);

// Tests put their own opener in place to see what would have been opened;
// an empty function brings back the desktop's.
using UrlOpener = std::function<void(const QUrl &)>;
void setUrlOpener(UrlOpener opener);
