#include "core/text/text_width.h"

#include <algorithm>
#include <iterator>

namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

constexpr CodeRange WideRanges[] = {
#include "core/text/east_asian_wide_table.inc"
};

} // namespace

bool isWideCodePoint(char32_t cp)
{
    // Nothing below U+0300 is wide: most text never reaches the search.
    if (cp < 0x300)
        return false;
    const auto *it = std::upper_bound(std::begin(WideRanges), std::end(WideRanges), cp,
                                      [](char32_t v, const CodeRange &r) { return v < r.first; });
    return it != std::begin(WideRanges) && cp <= std::prev(it)->last;
}

qsizetype textColumns(QStringView text)
{
    qsizetype columns = 0;
    for (qsizetype i = 0; i < text.size();)
        columns += isWideCodePoint(nextCodePoint(text, i)) ? 2 : 1;
    return columns;
}

char32_t nextCodePoint(QStringView text, qsizetype &i)
{
    const QChar c = text.at(i++);
    if (c.isHighSurrogate() && i < text.size() && text.at(i).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i++));
    return c.unicode();
}
