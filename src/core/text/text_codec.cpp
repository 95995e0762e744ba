#include "core/text/text_codec.h"
#include "core/text/text_codec_p.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

using cp932::CodecName;
using cp932::isIcuSwappedCode;
namespace {

// The CP932 form of each character, found once per text: the converter sees
// every distinct character only once, however long the text, so the cost is a
// table look-up a character. A character the codec cannot take back unchanged
// becomes a numeric character reference.
class Cp932Encoder
{
public:
    Cp932Encoder() : m_encoder(CodecName), m_decoder(CodecName), m_bmp(0x10000, Unknown) {}

    static constexpr qsizetype MaxBytes = 12; // "&#1114111;"
    // put() may write this many bytes past its result (never past the room it was given).
    static constexpr qsizetype Slack = 16;

    // Writes the form of a code point at or above U+0080 at out, which has
    // room for Slack bytes; returns the end.
    char *put(char32_t code, char *out)
    {
        const quint32 entry = entryOf(code);
        if (entry & ReferenceFlag)
            return putCachedReference(referenceCode(code), out);
        if (lengthOf(entry) == 2)
            *out++ = char(entry >> 8);
        *out++ = char(entry);
        return out;
    }

    // The number of bytes put() writes for a code point at or above U+0080.
    qsizetype length(char32_t code) { return lengthOf(entryOf(code)); }

private:
    // Table entries: 0 for not yet known, else flags | length << 16 | bytes;
    // a reference keeps its length and no bytes.
    static constexpr quint32 Unknown = 0;
    static constexpr quint32 ReferenceFlag = 0x80000000u;

    static qsizetype lengthOf(quint32 entry) { return (entry >> 16) & 0xF; }
    static quint32 referenceCode(char32_t code)
    {
        return QChar::isSurrogate(code) ? 0xFFFD : quint32(code);
    }

    quint32 entryOf(char32_t code)
    {
        quint32 &entry = code < 0x10000 ? m_bmp.data()[code] : m_beyondBmp[code];
        if (entry == Unknown)
            entry = lookUp(code);
        return entry;
    }

    // A text that lost characters holds U+FFFD many times over: its
    // reference is written once and copied after, a fixed 16 bytes at a time
    // into the slack the caller leaves.
    char *putCachedReference(quint32 code, char *out)
    {
        if (code != m_lastReferenceCode || m_lastReferenceLength == 0) {
            m_lastReferenceCode = code;
            m_lastReferenceLength = int(putReference(code, m_lastReference) - m_lastReference);
        }
        memcpy(out, m_lastReference, sizeof m_lastReference);
        return out + m_lastReferenceLength;
    }

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

    static quint32 referenceEntry(char32_t code)
    {
        char scratch[MaxBytes];
        return ReferenceFlag | quint32(putReference(referenceCode(code), scratch) - scratch) << 16;
    }

    quint32 lookUp(char32_t code)
    {
        // A lone surrogate names no character; U+FFFD, the mark of a character
        // that was lost before, has no CP932 form either (the codec's stand-in
        // for what it cannot encode merely decodes back to it).
        if (QChar::isSurrogate(code) || code == 0xFFFD)
            return referenceEntry(code);
        const QString text = QString::fromUcs4(&code, 1);
        const bool hadError = m_encoder.hasError(); // the flag never clears again
        const QByteArray bytes = m_encoder.encode(text);
        if ((!hadError && m_encoder.hasError()) || bytes.isEmpty() || bytes.size() > 2)
            return referenceEntry(code);
        // A trailing space completes a stray lead byte, so nothing is left in
        // the decoder for the next character.
        QString back = m_decoder.decode(bytes + ' ');
        back.chop(1);
        if (back != text)
            return referenceEntry(code);
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
    quint32 m_lastReferenceCode = 0;
    int m_lastReferenceLength = 0;
    char m_lastReference[Slack] = {};
};

} // namespace

// The code point at i, stepping i over the low half of a surrogate pair.
static inline char32_t codeAt(const char16_t *text, qsizetype n, qsizetype &i)
{
    const char16_t c = text[i];
    if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1]))
        return QChar::surrogateToUcs4(c, text[++i]);
    return c;
}

// The number of units from i on before the first one outside ASCII.
static qsizetype asciiRun(const char16_t *text, qsizetype i, qsizetype n)
{
    const qsizetype start = i;
#ifdef __SSE2__
    const __m128i high = _mm_set1_epi16(short(0xFF80));
    while (n - i >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, high), _mm_setzero_si128()))
            != 0xFFFF)
            break;
        i += 8;
    }
#endif
    while (i < n && text[i] < 0x80)
        ++i;
    return i - start;
}

// ASCII is its own CP932 form (the three codes ICU swaps included).
static char *putAscii(const char16_t *text, qsizetype count, char *out)
{
    qsizetype k = 0;
#ifdef __SSE2__
    for (; count - k >= 16; k += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + k));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + k + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + k), _mm_packus_epi16(a, b));
    }
#endif
    for (; k < count; ++k)
        out[k] = char(text[k]);
    return out + count;
}

QByteArray encodeCp932(const QString &text)
{
    const qsizetype n = text.size();
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype ascii = asciiRun(units, 0, n);
    if (ascii == n)
        return text.toLatin1();

    // Two passes: the lengths first, then the bytes into a buffer of exactly
    // that size (and a little slack for the references' fixed-size copies).
    // Growing the output as it goes costs more than the encoding.
    Cp932Encoder encoder;
    qsizetype size = ascii;
    for (qsizetype i = ascii; i < n; ++i) {
        const char16_t c = units[i];
        if (c < 0x80)
            ++size;
        else
            size += encoder.length(QChar::isSurrogate(c) ? codeAt(units, n, i) : c);
    }
    QByteArray out(size + Cp932Encoder::Slack, Qt::Uninitialized);
    char *p = putAscii(units, ascii, out.data());
    for (qsizetype i = ascii; i < n;) {
        const char16_t c = units[i];
        if (c >= 0x80) {
            p = encoder.put(QChar::isSurrogate(c) ? codeAt(units, n, i) : c, p);
            ++i;
        } else if (n - i >= 8 && units[i + 1] < 0x80) {
            // Markup is mostly ASCII: a run at a time.
            const qsizetype run = asciiRun(units, i, n);
            p = putAscii(units + i, run, p);
            i += run;
        } else {
            *p++ = char(c);
            ++i;
        }
    }
    out.truncate(size);
    return out;
}

class Cp932Writer::Private
{
public:
    explicit Private(Sink sink) : m_sink(std::move(sink)), m_buffer(Capacity + Cp932Encoder::Slack) {}

    void write(const char16_t *units, qsizetype n)
    {
        qsizetype i = 0;
        if (m_pendingHigh && n > 0) {
            const char16_t high = m_pendingHigh;
            m_pendingHigh = 0;
            if (QChar::isLowSurrogate(units[0])) {
                put(QChar::surrogateToUcs4(high, units[0]));
                i = 1;
            } else {
                put(high);
            }
        }
        char *const base = m_buffer.data();
        char *const end = base + Capacity;
        char *out = base + m_used;
        while (i < n) {
            if (end - out < Cp932Encoder::MaxBytes) {
                m_used = out - base;
                flush();
                out = base;
            }
            const char16_t c = units[i];
            if (c < 0x80) {
                if (n - i >= 16 && units[i + 1] < 0x80) {
                    // Markup is mostly ASCII: as much of a run as the buffer takes.
                    const qsizetype run = asciiRun(units, i, std::min(n, i + (end - out)));
                    out = putAscii(units + i, run, out);
                    i += run;
                } else {
                    *out++ = char(c);
                    ++i;
                }
                continue;
            }
            char32_t code = c;
            if (QChar::isHighSurrogate(c)) {
                if (i + 1 == n) {
                    m_pendingHigh = c; // its low half may begin the next piece
                    break;
                }
                if (QChar::isLowSurrogate(units[i + 1]))
                    code = QChar::surrogateToUcs4(c, units[++i]);
            }
            out = encoder().put(code, out);
            ++i;
        }
        m_used = out - base;
    }

    bool finish()
    {
        if (m_pendingHigh) {
            put(m_pendingHigh);
            m_pendingHigh = 0;
        }
        flush();
        return !m_failed;
    }

private:
    // Small enough to stay in the cache between encoding and writing.
    static constexpr qsizetype Capacity = 64 * 1024;

    Cp932Encoder &encoder()
    {
        if (!m_encoder)
            m_encoder = std::make_unique<Cp932Encoder>(); // an ASCII text needs no converter
        return *m_encoder;
    }

    // One code point at or above U+0080.
    void put(char32_t code)
    {
        if (m_used > Capacity - Cp932Encoder::MaxBytes)
            flush();
        m_used = encoder().put(code, m_buffer.data() + m_used) - m_buffer.data();
    }

    void flush()
    {
        if (m_used > 0 && !m_failed && !m_sink(m_buffer.data(), m_used))
            m_failed = true;
        m_used = 0;
    }

    Sink m_sink;
    std::unique_ptr<Cp932Encoder> m_encoder;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
    char16_t m_pendingHigh = 0;
    bool m_failed = false;
};

Cp932Writer::Cp932Writer(Sink sink) : d(std::make_unique<Private>(std::move(sink))) {}

Cp932Writer::~Cp932Writer() = default;

void Cp932Writer::write(QStringView text)
{
    d->write(reinterpret_cast<const char16_t *>(text.utf16()), text.size());
}

bool Cp932Writer::finish()
{
    return d->finish();
}

