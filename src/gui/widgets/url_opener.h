#pragma once

#include <QUrl>

#include <functional>

// Hands a URL to the desktop (the program registered for it) and returns at
// once. False when the desktop had nothing to open it with.
bool openUrlExternally(const QUrl &url);

// Tests put their own opener in place to see what would have been opened;
// an empty function brings back the desktop's.
using UrlOpener = std::function<void(const QUrl &)>;
void setUrlOpener(UrlOpener opener);
// The same, for an opener that can fail as a desktop without a browser does.
using CheckedUrlOpener = std::function<bool(const QUrl &)>;
void setCheckedUrlOpener(CheckedUrlOpener opener);
