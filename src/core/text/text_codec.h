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
