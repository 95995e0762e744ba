#include "text_codec.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <vector>

// Qt reaches CP932 through ICU, whose table for it follows IBM's PC layout for
// three control codes (byte 0x1A is U+001C, 0x1C is U+007F, 0x7F is U+001A).
// Windows maps all of ASCII straight through, so those three codes are handled
// here and never reach the codec. None of them can be the second byte of a
// double-byte character, so cutting the bytes at them is safe when decoding.
static const char *const CodecName = "windows-31j";

static bool isIcuSwappedCode(uint c)
{
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

namespace {

// The CP932 form of each character, found once per text: the converter sees
// every distinct character only once, however long the text, so the cost is a
// table look-up a character. A character the codec cannot take back unchanged
// becomes a numeric character reference.
class Cp932Encoder
{
public:
    Cp932Encoder() : m_encoder(CodecName), m_decoder(CodecName), m_bmp(0x10000, Unknown) {}

    // Writes the form of code at out, which has room for MaxBytes; returns the end.
    char *put(char32_t code, char *out)
    {
        if (isIcuSwappedCode(code)) {
            *out++ = char(code);
            return out;
        }
        quint32 &entry = code < 0x10000 ? m_bmp[code] : m_beyondBmp[code];
        if (entry == Unknown)
            entry = lookUp(code);
        if (entry == NoForm)
            return putReference(QChar::isSurrogate(code) ? 0xFFFD : quint32(code), out);
        if ((entry >> 16) == 2)
            *out++ = char(entry >> 8);
        *out++ = char(entry);
        return out;
    }

    static constexpr qsizetype MaxBytes = 12; // "&#1114111;"

private:
    // Table entries: length << 16 | bytes, or one of these.
    static constexpr quint32 Unknown = 0;
    static constexpr quint32 NoForm = 1;

    static char *putReference(quint32 code, char *out)
    {
        char digits[10];
        int n = 0;
        do {
            digits[n++] = char('0' + code % 10);
            code /= 10;
        } while (code);
        *out++ = '&';
        *out++ = '#';
        while (n)
            *out++ = digits[--n];
        *out++ = ';';
        return out;
    }

    quint32 lookUp(char32_t code)
    {
        // A lone surrogate names no character; U+FFFD, the mark of a character
        // that was lost before, has no CP932 form either (the codec's stand-in
        // for what it cannot encode merely decodes back to it).
        if (QChar::isSurrogate(code) || code == 0xFFFD)
            return NoForm;
        const QString text = QString::fromUcs4(&code, 1);
        const bool hadError = m_encoder.hasError(); // the flag never clears again
        const QByteArray bytes = m_encoder.encode(text);
        if ((!hadError && m_encoder.hasError()) || bytes.isEmpty() || bytes.size() > 2)
            return NoForm;
        // A trailing space completes a stray lead byte, so nothing is left in
        // the decoder for the next character.
        QString back = m_decoder.decode(bytes + ' ');
        back.chop(1);
        if (back != text)
            return NoForm;
        return bytes.size() == 1 ? (1u << 16 | uchar(bytes[0]))
                                 : (2u << 16 | uchar(bytes[0]) << 8 | uchar(bytes[1]));
    }

    // One converter pair for the whole text. Characters go in one whole code
    // point at a time, so no state is ever carried from one to the next (the
    // converters are never reset: resetState() leaves an ICU converter unusable).
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
    std::vector<quint32> m_bmp;
    QHash<char32_t, quint32> m_beyondBmp;
};

} // namespace

// The code point at i, stepping i over the low half of a surrogate pair.
static char32_t codeAt(const QString &text, qsizetype &i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(++i));
    return c.unicode();
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

    // Two passes: the lengths first, then the bytes into a buffer of exactly
    // that size. Growing the output as it goes costs more than the encoding.
    Cp932Encoder encoder;
    const qsizetype n = text.size();
    char scratch[Cp932Encoder::MaxBytes];
    qsizetype size = 0;
    for (qsizetype i = 0; i < n; ++i)
        size += encoder.put(codeAt(text, i), scratch) - scratch;
    QByteArray out(size, Qt::Uninitialized);
    char *p = out.data();
    for (qsizetype i = 0; i < n; ++i)
        p = encoder.put(codeAt(text, i), p);
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

    // No reserve: the first part then becomes the result without a copy.
    QString out;
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
