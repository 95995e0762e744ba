#pragma once

#include <QByteArray>
#include <QString>

// The compression boundary of table files. A .qvn file is one gzip stream
// (RFC 1952) of the table text, so "zcat table.qvn" shows the text.

// Longest table text accepted on reading. A real table stays far below it;
// anything longer is treated as a damaged file (this also stops gzip bombs).
constexpr qint64 MaxTableTextBytes = 64 * 1024 * 1024;

// Compresses the file source into target. level: 1 fastest .. 9 smallest
// (values outside are clamped). target is replaced only once it is complete:
// a failure leaves an existing target as it was (a device or a pipe is written
// into instead, see SaveTarget). Returns -1 on failure, 0 on success.
int Compression(const QString &source, const QString &target, int level);

// Restores the text of the .qvn file source into target (which is replaced).
// Returns -1 on failure, 0 on success. More than MaxTableTextBytes of text is a failure.
int DeCompression(const QString &source, const QString &target);

enum class GunzipStatus {
    Ok,
    Unreadable,   // source cannot be read or target cannot be written
    Corrupt,      // not a gzip stream, truncated, bad checksum, trailing junk
    TooLarge      // the text would pass the limit
};

// DeCompression with the reason of a failure.
GunzipStatus decompressFile(const QString &source, const QString &target,
                            qint64 limit = MaxTableTextBytes);

// In-memory forms (used by the file routines' tests and the fuzzer).
QByteArray gzipBytes(const QByteArray &data, int level);
GunzipStatus gunzipBytes(const QByteArray &data, QByteArray &out,
                         qint64 limit = MaxTableTextBytes);
