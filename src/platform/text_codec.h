#pragma once

#include <QByteArray>
#include <QString>

// Every file the program writes or reads is CP932 (Windows' Shift_JIS).
// A character CP932 cannot encode is written as a decimal numeric character
// reference ("&#128512;"), so nothing turns into "?" or is lost.
QByteArray encodeCp932(const QString &text);
// Bytes that do not decode become U+FFFD; decoding never fails.
QString decodeCp932(const QByteArray &bytes);
// The same through the codec, part by part: slower, and what decodeCp932
// falls back on should the codec answer in a way its table cannot hold.
QString decodeCp932WithCodec(const QByteArray &bytes);
