#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// Every file the program writes or reads is CP932 (Windows' Shift_JIS).
// A character CP932 cannot encode is written as a decimal numeric character
// reference ("&#128512;"), so nothing turns into "?" or is lost.
QByteArray encodeCp932(const QString &text);

// The same encoding piece by piece into a buffer of bounded size, each full
// buffer handed to sink: a file written this way never exists whole as bytes.
// The pieces give exactly the bytes encodeCp932 gives on them joined (a
// surrogate pair split between two pieces included).
class Cp932Writer
{
public:
    using Sink = std::function<bool(const char *data, qsizetype size)>;
    explicit Cp932Writer(Sink sink);
    ~Cp932Writer();
    Cp932Writer(const Cp932Writer &) = delete;
    Cp932Writer &operator=(const Cp932Writer &) = delete;

    void write(QStringView text);
    // Hands over what is left; false when the sink refused any of it.
    bool finish();

private:
    class Private;
    std::unique_ptr<Private> d;
};
// Bytes that do not decode become U+FFFD; decoding never fails.
QString decodeCp932(const QByteArray &bytes);
// The same through the codec, part by part: slower, and what decodeCp932
// falls back on should the codec answer in a way its table cannot hold.
QString decodeCp932WithCodec(const QByteArray &bytes);

// Text from elsewhere (CSV, TSV) comes in whatever the program that saved it
// chose: a byte order mark says so; else UTF-8, which most programs write now,
// when the bytes read as UTF-8 with at most as many errors as good multi-byte
// sequences (a stray Latin-1 byte costs one character, not the whole file);
// UTF-16 without a mark by its NUL bytes; CP932 only when the bytes are not
// UTF-8 at all.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Cp932 };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype markSize = 0;   // bytes of the byte order mark, skipped
};
DetectedEncoding detectTextEncoding(QByteArrayView bytes);

// Decodes bytes (after the mark) a piece at a time into the same buffer, so
// that the whole text is never held beside what is made of it. The pieces
// join to exactly what decoding the whole would give. Anything that does not
// decode becomes U+FFFD, counted in replaced() (CP932 counts none: its bad
// bytes have always been read that way).
class PieceDecoder
{
public:
    PieceDecoder(QByteArrayView bytes, DetectedEncoding detected, qsizetype pieceBytes = 1 << 20);
    // The next piece into text; false at the end.
    bool next(QString &text);
    qint64 replaced() const { return m_replaced; }

private:
    QByteArrayView m_bytes;
    TextEncoding m_encoding;
    qsizetype m_pos;
    qsizetype m_pieceBytes;
    qint64 m_replaced = 0;
};
