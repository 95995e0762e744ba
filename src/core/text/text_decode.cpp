// Decoding CP932: a table of what the codec makes of every byte and byte pair.
#include "core/text/text_codec.h"
#include "core/text/text_codec_p.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

using cp932::CodecName;
using cp932::isIcuSwappedCode;

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

// The codec's own answer, part by part between the three swapped codes. Only
// used should the codec ever answer in a way the table below cannot hold.
static QString decodeByParts(const QByteArray &bytes)
{
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

namespace {

// What the codec makes of every byte and every byte pair, asked once per
// process (a few hundred calls), so that decoding is a table look-up a byte
// with no callback for each bad byte. The table is only used when the codec's
// answers fit it: one UTF-16 unit per byte or pair, and a pair that is not one
// character decoding as its two bytes one after the other, so the table gives
// exactly what the codec gives on the whole text.
class Cp932DecodeTable
{
public:
    static const Cp932DecodeTable &instance()
    {
        static const Cp932DecodeTable table;
        return table;
    }

    bool usable() const { return m_usable; }

    // Writes the text of bytes [p, end) at out, which has room for end - p
    // units (no byte or pair gives more than one); returns the end.
    char16_t *decode(const uchar *p, const uchar *end, char16_t *out) const
    {
        while (p < end) {
            const uchar b = *p;
            if (b < 0x80) {
#ifdef __SSE2__
                // Runs of ASCII sixteen bytes at a time.
                if (end - p >= 16) {
                    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                    if (!_mm_movemask_epi8(bytes)) {
                        const __m128i zero = _mm_setzero_si128();
                        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(bytes, zero));
                        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(bytes, zero));
                        out += 16;
                        p += 16;
                        continue;
                    }
                }
#endif
                *out++ = char16_t(b);
                ++p;
                continue;
            }
            if (m_lead[b] && end - p >= 2) {
                const char16_t c = m_pair[std::size_t(b - 0x80) << 8 | p[1]];
                if (c) {
                    *out++ = c;
                    p += 2;
                    continue;
                }
            }
            *out++ = m_single[b];
            ++p;
        }
        return out;
    }

private:
    Cp932DecodeTable() : m_pair(128 * 256, 0)
    {
        QStringDecoder decoder(CodecName);
        // A space ends whatever a byte began: it is no trail byte.
        QString raw[256];
        for (int b = 0; b < 256; ++b) {
            if (isIcuSwappedCode(uint(b))) {
                m_single[b] = char16_t(b);
                continue;
            }
            const char bytes[2] = {char(b), ' '};
            QString text = decoder.decode(QByteArrayView(bytes, 2));
            if (text.size() != 2 || text.at(1) != u' ' || text.at(0).isSurrogate())
                return;
            raw[b] = text.left(1);
            m_single[b] = substitute(text.at(0).unicode());
            // ASCII goes straight through (the decoder copies it without the table).
            if (b < 0x80 && m_single[b] != b)
                return;
        }
        m_lead.fill(false);
        for (int b = 0x80; b < 256; ++b) {
            // Every pair b t followed by a space, in one call.
            QByteArray bytes;
            bytes.reserve(3 * 256);
            for (int t = 0; t < 256; ++t) {
                if (t == ' ' || isIcuSwappedCode(uint(t)))
                    continue; // a space or a swapped code after b is no pair
                bytes += char(b);
                bytes += char(t);
                bytes += ' ';
            }
            const QString text = decoder.decode(bytes);
            const QList<QStringView> answers = QStringView(text).split(u' ');
            if (answers.size() != 256 - 4 + 1 || !answers.last().isEmpty())
                return;
            int k = 0;
            for (int t = 0; t < 256; ++t) {
                if (t == ' ' || isIcuSwappedCode(uint(t)))
                    continue;
                const QStringView answer = answers.at(k++);
                if (answer.size() == 1 && !answer.at(0).isSurrogate() && answer.at(0) != u'\0') {
                    m_pair[std::size_t(b - 0x80) << 8 | t] = substitute(answer.at(0).unicode());
                    m_lead[b] = true;
                } else if (answer != raw[b] + raw[t]) {
                    return;
                }
            }
        }
        m_usable = true;
    }

    // ICU substitutes U+001A for bytes that form no character; no byte maps
    // to U+001A through the table (0x7F never reaches the codec).
    static char16_t substitute(char16_t c) { return c == 0x1A ? char16_t(0xFFFD) : c; }

    bool m_usable = false;
    char16_t m_single[256] = {};
    std::array<bool, 256> m_lead = {};
    // Pairs by (lead - 0x80, trail); 0 where the two bytes are no pair.
    std::vector<char16_t> m_pair;
};

} // namespace

QString decodeCp932(const QByteArray &bytes)
{
    const Cp932DecodeTable &table = Cp932DecodeTable::instance();
    if (!table.usable())
        return decodeCp932WithCodec(bytes);
    // One unit at most for every byte; one buffer, filled in one pass.
    QString out(bytes.size(), Qt::Uninitialized);
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    char16_t *begin = reinterpret_cast<char16_t *>(out.data());
    out.truncate(table.decode(p, p + bytes.size(), begin) - begin);
    return out;
}

QString decodeCp932WithCodec(const QByteArray &bytes)
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
    return decodeByParts(bytes);
}

namespace {

// True when the eight bytes at p are all below 0x80.
inline bool asciiWord(const uchar *p)
{
    quint64 w;
    std::memcpy(&w, p, sizeof w);
    return (w & 0x8080808080808080ULL) == 0;
}

// UTF-8 by the maximal subparts of the Unicode standard: a sequence that
// breaks off is one U+FFFD and the byte that broke it starts afresh, so an
// ASCII byte (a separator, a quote, a line end) is never swallowed. With Write
// false only counts: good multi-byte sequences and bad ones.
template <bool Write>
char16_t *utf8Decode(const uchar *p, const uchar *end, char16_t *out, qint64 &good, qint64 &bad)
{
    while (p < end) {
        if (end - p >= 8 && asciiWord(p)) {
            if (Write)
                for (int i = 0; i < 8; ++i)
                    *out++ = char16_t(p[i]);
            p += 8;
            continue;
        }
        const uchar b = *p;
        if (b < 0x80) {
            if (Write)
                *out++ = char16_t(b);
            ++p;
            continue;
        }
        int need = 0;
        uint cp = 0;
        uchar lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            cp = b & 0x0F;
            if (b == 0xE0)
                lo = 0xA0;
            else if (b == 0xED)
                hi = 0x9F; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            cp = b & 0x07;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        }
        const uchar *q = p + 1;
        int got = 0;
        while (got < need && q < end && *q >= lo && *q <= hi) {
            cp = cp << 6 | (*q & 0x3F);
            lo = 0x80;
            hi = 0xBF;
            ++q;
            ++got;
        }
        p = q;
        if (need == 0 || got < need) {
            ++bad;
            if (Write)
                *out++ = char16_t(QChar::ReplacementCharacter);
            continue;
        }
        ++good;
        if (Write) {
            if (cp >= 0x10000) {
                cp -= 0x10000;
                *out++ = char16_t(0xD800 + (cp >> 10));
                *out++ = char16_t(0xDC00 + (cp & 0x3FF));
            } else {
                *out++ = char16_t(cp);
            }
        }
    }
    return out;
}

inline char16_t unitAt(const uchar *p, bool bigEndian)
{
    return bigEndian ? char16_t(p[0] << 8 | p[1]) : char16_t(p[1] << 8 | p[0]);
}

// Looks like UTF-16 without a mark: an even length, and a good share of the
// units ASCII (their one zero byte on the same side every time). Japanese
// units with a zero byte (U+4E00, U+3000) are few beside the separators and
// line ends. Judged on the first 64 KiB.
std::optional<TextEncoding> utf16ByZeros(QByteArrayView bytes)
{
    if (bytes.size() < 4 || bytes.size() % 2)
        return std::nullopt;
    const qsizetype n = std::min<qsizetype>(bytes.size(), 64 * 1024) / 2;
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    qsizetype zeroFirst = 0, zeroSecond = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const uchar a = p[2 * i], b = p[2 * i + 1];
        if (a == 0 && b != 0)
            ++zeroFirst;
        else if (b == 0 && a != 0)
            ++zeroSecond;
    }
    if (zeroSecond * 4 >= n && zeroFirst * 8 < zeroSecond)
        return TextEncoding::Utf16LE;
    if (zeroFirst * 4 >= n && zeroSecond * 8 < zeroFirst)
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

} // namespace

DetectedEncoding detectTextEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return {TextEncoding::Utf16LE, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return {TextEncoding::Utf16BE, 2};
    if (const auto utf16 = utf16ByZeros(bytes))
        return {*utf16, 0};
    qint64 good = 0, bad = 0;
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    utf8Decode<false>(p, p + bytes.size(), nullptr, good, bad);
    return {bad > good ? TextEncoding::Cp932 : TextEncoding::Utf8, 0};
}

PieceDecoder::PieceDecoder(QByteArrayView bytes, DetectedEncoding detected, qsizetype pieceBytes)
    : m_bytes(bytes), m_encoding(detected.encoding), m_pos(std::min(detected.markSize, bytes.size())),
      m_pieceBytes(std::max<qsizetype>(16, pieceBytes))
{
}

bool PieceDecoder::next(QString &text)
{
    const qsizetype size = m_bytes.size();
    if (m_pos >= size)
        return false;
    const auto *base = reinterpret_cast<const uchar *>(m_bytes.data());
    qsizetype end = std::min(size, m_pos + m_pieceBytes);
    switch (m_encoding) {
    case TextEncoding::Utf8: {
        // End before a byte that is no continuation byte, where every sequence
        // starts afresh; after three continuation bytes any sequence has ended.
        if (end < size) {
            qsizetype cut = end;
            while (cut > end - 3 && cut > m_pos + 1 && (base[cut] & 0xC0) == 0x80)
                --cut;
            if ((base[cut] & 0xC0) != 0x80)
                end = cut;
        }
        text.resize(end - m_pos);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        qint64 good = 0;
        text.truncate(utf8Decode<true>(base + m_pos, base + end, out, good, m_replaced) - out);
        break;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool big = m_encoding == TextEncoding::Utf16BE;
        end = m_pos + (end - m_pos) / 2 * 2;
        if (end == m_pos)
            end = size; // one odd byte left
        // A pair of surrogates stays in one piece.
        if (end < size && end - m_pos >= 4) {
            const char16_t last = unitAt(base + end - 2, big);
            if (last >= 0xD800 && last <= 0xDBFF)
                end -= 2;
        }
        text.resize((end - m_pos + 1) / 2);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        qsizetype n = 0;
        for (qsizetype i = m_pos; i < end; i += 2) {
            if (i + 1 >= end) { // an odd byte at the end
                out[n++] = char16_t(QChar::ReplacementCharacter);
                ++m_replaced;
                break;
            }
            const char16_t u = unitAt(base + i, big);
            if (u >= 0xD800 && u <= 0xDBFF && i + 3 < end) {
                const char16_t low = unitAt(base + i + 2, big);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    out[n++] = u;
                    out[n++] = low;
                    i += 2;
                    continue;
                }
            }
            if (u >= 0xD800 && u <= 0xDFFF) { // a surrogate without its other half
                out[n++] = char16_t(QChar::ReplacementCharacter);
                ++m_replaced;
                continue;
            }
            out[n++] = u;
        }
        text.truncate(n);
        break;
    }
    case TextEncoding::Cp932: {
        // End after a byte below 0x80, where the decoder starts afresh.
        while (end < size && base[end - 1] >= 0x80)
            ++end;
        text = decodeCp932(QByteArray::fromRawData(m_bytes.data() + m_pos, end - m_pos));
        break;
    }
    }
    m_pos = end;
    return true;
}
