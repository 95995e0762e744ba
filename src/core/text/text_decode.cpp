// Decoding CP932: a table of what the codec makes of every byte and byte pair.
#include "core/text/text_codec.h"
#include "core/text/text_codec_p.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>
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
