#include "text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

// Qt reaches CP932 through ICU, whose table for it follows IBM's PC layout for
// three control codes (byte 0x1A is U+001C, 0x1C is U+007F, 0x7F is U+001A).
// Windows maps all of ASCII straight through, so ASCII is handled here and the
// codec only ever sees text without those three codes. None of them can be the
// second byte of a double-byte character, so cutting the text at them is safe.
static const char *const CodecName = "windows-31j";

static bool isIcuSwappedCode(uint c)
{
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

// Encodes text that holds none of the swapped control codes. A part the codec
// cannot take back unchanged is halved until the culprit is a single code point,
// which then becomes a numeric character reference; the common all-encodable
// text costs one encode and one decode.
static void encodePart(QStringView part, QByteArray &out)
{
    if (part.isEmpty())
        return;
    // A fresh converter each time: resetState() on an ICU converter leaves it unusable.
    QStringEncoder encoder(CodecName);
    QByteArray bytes = encoder.encode(part);
    if (!encoder.hasError()) {
        QStringDecoder decoder(CodecName);
        if (QString(decoder.decode(bytes)) == part) {
            out += bytes;
            return;
        }
    }
    const bool onePoint = part.size() == 1
            || (part.size() == 2 && part.at(0).isHighSurrogate() && part.at(1).isLowSurrogate());
    if (onePoint) {
        uint code = part.at(0).unicode();
        if (part.size() == 2)
            code = QChar::surrogateToUcs4(part.at(0), part.at(1));
        else if (QChar::isSurrogate(code))
            code = 0xFFFD; // a lone surrogate names no character
        out += "&#" + QByteArray::number(code) + ';';
        return;
    }
    qsizetype mid = part.size() / 2;
    if (part.at(mid).isLowSurrogate() && part.at(mid - 1).isHighSurrogate())
        mid += (mid > 1) ? -1 : 1; // never split a pair, never leave a half empty
    encodePart(part.left(mid), out);
    encodePart(part.mid(mid), out);
}

QByteArray encodeCp932(const QString &text)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1();

    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (isIcuSwappedCode(c)) {
            encodePart(QStringView(text).mid(start, i - start), out);
            out += char(c);
            start = i + 1;
        }
    }
    encodePart(QStringView(text).mid(start), out);
    return out;
}

static void decodePart(QByteArrayView part, QString &out)
{
    if (part.isEmpty())
        return;
    // A lead byte at the very end would stay in the decoder's state and vanish;
    // a trailing space ends it so it comes out as a substitute like any bad byte.
    QByteArray padded(part.data(), part.size());
    padded += ' ';
    QStringDecoder decoder(CodecName);
    QString text = decoder.decode(padded);
    text.chop(1);
    // ICU substitutes U+001A for bytes that form no character; no byte of this
    // part maps to U+001A (0x7F is cut out before), so every one is a substitute.
    text.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
    out += text;
}

QString decodeCp932(const QByteArray &bytes)
{
    bool ascii = true;
    for (char b : bytes) {
        if (uchar(b) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);

    QString out;
    out.reserve(bytes.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes.at(i));
        if (isIcuSwappedCode(b)) {
            decodePart(QByteArrayView(bytes.constData() + start, i - start), out);
            out += QLatin1Char(char(b));
            start = i + 1;
        }
    }
    decodePart(QByteArrayView(bytes.constData() + start, bytes.size() - start), out);
    return out;
}
