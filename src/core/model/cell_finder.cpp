#include "core/model/cell_finder.h"

#include <QElapsedTimer>

#include <algorithm>
#include <new>

#include "core/app/ui_language.h"
#include "core/io/compression.h"
#include "core/model/grid_text.h"
#include "core/model/shown_text.h"
#include "core/model/table_edits.h"

namespace {

// Put before the pattern (after its own leading settings, so that a pattern
// cannot raise them): a match gives up after so many steps from one starting
// point, and the interpreter (a pattern may ask for it) is kept in depth and
// memory too.
QString limitSettings()
{
    return QStringLiteral("(*LIMIT_MATCH=%1)(*LIMIT_DEPTH=50000)(*LIMIT_HEAP=32768)").arg(CellFinder::MatchLimit);
}

// Length of the settings such as "(*UTF)" or "(*LIMIT_MATCH=9)" a pattern
// starts with.
qsizetype leadingSettings(const QString &p)
{
    qsizetype at = 0;
    while (p.mid(at, 2) == QLatin1String("(*")) {
        qsizetype k = at + 2;
        while (k < p.size() && (p[k].isUpper() || p[k].isDigit() || p[k] == u'_' || p[k] == u'='))
            ++k;
        if (k == at + 2 || k >= p.size() || p[k] != u')')
            break;
        at = k + 1;
    }
    return at;
}

// A text in which no unpaired surrogate stops the matcher, at the same length.
QString pairedSurrogates(const QString &s)
{
    QString out = s;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

bool hasUnpairedSurrogate(const QString &s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            return true;
    }
    return false;
}

// Bytes of text in a table file: one for ASCII and half-width katakana, two
// for the rest of CP932, more for what it writes as references.
qint64 fileBytesAtLeast(const QString &s)
{
    qint64 wide = 0;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        wide += u >= 0x80 && !(u >= 0xFF61 && u <= 0xFF9F);
    }
    return s.size() + wide;
}

// The PCRE messages Qt's own catalogue leaves in English.
struct KnownError {
    const char *pcre;
    const char *text;
};
const KnownError knownErrors[] = {
    {"missing closing parenthesis", QT_TRANSLATE_NOOP("CellFinder", "閉じ括弧 ) がありません")},
    {"unmatched closing parenthesis", QT_TRANSLATE_NOOP("CellFinder", "対応する開き括弧 ( のない ) があります")},
    {"quantifier does not follow a repeatable item", QT_TRANSLATE_NOOP("CellFinder", "繰り返しの指定（*、+、?、{}）の前に繰り返せるものがありません")},
    {"(*VERB) not recognized or malformed", QT_TRANSLATE_NOOP("CellFinder", "(* で始まる指定が正しくありません")},
    {"two named subpatterns have the same name (PCRE2_DUPNAMES not set)", QT_TRANSLATE_NOOP("CellFinder", "同じ名前のグループが二つあります")},
    {"subpattern name must start with a non-digit", QT_TRANSLATE_NOOP("CellFinder", "グループの名前が数字で始まっています")},
    {"character code point value in \\x{} or \\o{} is too large", QT_TRANSLATE_NOOP("CellFinder", "\\x{} または \\o{} の文字コードが大きすぎます")},
    {"missing ) after (?# comment", QT_TRANSLATE_NOOP("CellFinder", "(?# で始まるコメントの閉じ括弧 ) がありません")},
    {"PCRE2 does not support \\F, \\L, \\l, \\N{name}, \\U, or \\u", QT_TRANSLATE_NOOP("CellFinder", "\\F、\\L、\\l、\\N{名前}、\\U、\\u は使えません")},
    {"unknown property after \\P or \\p", QT_TRANSLATE_NOOP("CellFinder", "\\p または \\P の後の文字の性質の名前が正しくありません")},
    {"missing closing parenthesis for condition", QT_TRANSLATE_NOOP("CellFinder", "条件の閉じ括弧 ) がありません")},
};

} // namespace

CellFinder::CellFinder(const FindOptions &options)
    : m_options(options)
{
    const QString core = options.regex ? options.pattern : QRegularExpression::escape(options.pattern);
    m_leading = options.regex ? leadingSettings(core) : 0;
    QString added = limitSettings();
    if (options.wholeCell)
        added += QLatin1String("\\A(?:");
    m_added = added.size();
    QString p = core.left(m_leading) + added + core.mid(m_leading);
    if (options.wholeCell)
        p += QLatin1String(")\\z");
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_re = QRegularExpression(p, flags);
}

bool CellFinder::isValid() const
{
    return m_re.isValid() && !m_options.pattern.isEmpty();
}

QString CellFinder::errorString() const
{
    if (m_options.pattern.isEmpty() || m_re.isValid())
        return QString();
    // Where in what the user typed.
    qsizetype at = m_re.patternErrorOffset();
    at = at < m_leading ? at : at < m_leading + m_added ? m_leading : at - m_added;
    at = qBound<qsizetype>(0, at, m_options.pattern.size());
    // Qt's catalogue gives some of the matcher's messages in the interface's
    // language; the rest are ours, or (in Japanese) left out.
    QString reason = m_re.errorString();
    bool known = false;
    for (const KnownError &e : knownErrors) {
        if (reason == QLatin1String(e.pcre)) {
            reason = tr(e.text);
            known = true;
        }
    }
    const bool ascii = std::all_of(reason.begin(), reason.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!known && ascii && currentUiLanguage() == UiLanguage::Japanese)
        reason.clear();
    return reason.isEmpty() ? tr("正規表現が正しくありません（%1 文字目）。").arg(at + 1)
                            : tr("正規表現が正しくありません（%1 文字目）：%2").arg(at + 1).arg(reason);
}

// Only the matching counts: what a replacement builds is bounded by its size.
bool CellFinder::outOfTime() const
{
    return m_matchingNs > (m_options.regex ? RegexBudgetMs : TextBudgetMs) * 1000000;
}

QRegularExpressionMatch CellFinder::timedMatch(const QString &text, qsizetype from,
                                               QRegularExpression::MatchOptions options) const
{
    QElapsedTimer clock;
    clock.start();
    QRegularExpressionMatch m = m_re.match(text, from, QRegularExpression::NormalMatch, options);
    m_matchingNs += clock.nsecsElapsed();
    return m;
}

// The replacement as written; with a regular expression, \0 to \9 are its
// groups and \\ a backslash.
QString CellFinder::expand(const QString &with, const QRegularExpressionMatch &match) const
{
    if (!m_options.regex || !with.contains(u'\\'))
        return with;
    QString out;
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with.at(i);
        if (c == QLatin1Char('\\') && i + 1 < with.size()) {
            const QChar next = with.at(i + 1);
            if (next.isDigit() && next.unicode() < 0x80) {
                out += match.captured(next.digitValue());
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

CellFinder::Match CellFinder::matchIn(const QString &markup) const
{
    QElapsedTimer clock;
    clock.start();
    const QString text = m_options.inSource ? markup : HtmlToGridText(markup);
    m_matchingNs += clock.nsecsElapsed();
    QRegularExpressionMatch m = timedMatch(text, 0, QRegularExpression::NoMatchOption);
    // A match that neither matched nor failed gave up, or met a lone surrogate.
    if (!m.isValid() && hasUnpairedSurrogate(text))
        m = timedMatch(pairedSurrogates(text), 0, QRegularExpression::NoMatchOption);
    return !m.isValid() ? Match::GaveUp : m.hasMatch() ? Match::Yes : Match::No;
}

FoundCell CellFinder::findCell(const TableModel &m, const SpanLayout &cells, QPoint from, bool backward) const
{
    FoundCell found;
    const int cols = cells.cols(), rows = cells.rows();
    if (!isValid() || cols < 1 || rows < 1)
        return found;
    const qint64 total = qint64(cols) * rows;
    const qint64 start = qint64(qBound(1, from.y(), rows) - 1) * cols + (qBound(1, from.x(), cols) - 1);
    // A cell never written to holds no text: unless the pattern finds
    // something in an empty text, only the held records need a look.
    if (matchIn(QString()) == Match::No) {
        const QRect table(1, 1, cols, rows);
        const QPoint origin(qBound(1, from.x(), cols), qBound(1, from.y(), rows));
        QPoint at = origin;
        bool wrapped = false;
        for (;;) {
            if (!m.Cells.nextHeld(at, table, backward)) {
                if (wrapped)
                    return found;
                wrapped = true;
                at = backward ? QPoint(cols + 1, rows) : QPoint(0, 1);
                continue;
            }
            if (wrapped && (backward ? (at.y() < origin.y() || (at.y() == origin.y() && at.x() < origin.x()))
                                     : (at.y() > origin.y() || (at.y() == origin.y() && at.x() > origin.x()))))
                return found;
            if (!cells.isWritten(at.x(), at.y()))
                continue;
            const Match hit = matchIn(m.Cells(at.x(), at.y()).Text);
            if (hit == Match::Yes) {
                found.status = FindStatus::Found;
                found.cell = at;
                found.wrapped = wrapped || at == origin;
                return found;
            }
            if (hit == Match::GaveUp || outOfTime()) {
                found.status = FindStatus::GaveUp;
                return found;
            }
        }
    }
    qint64 at = start;
    for (qint64 step = 0; step < total; ++step) {
        at = (at + (backward ? total - 1 : 1)) % total;
        const int c = int(at % cols) + 1, r = int(at / cols) + 1;
        if (!cells.isWritten(c, r))
            continue;
        const Match hit = matchIn(m.Cells(c, r).Text);
        if (hit == Match::Yes) {
            found.status = FindStatus::Found;
            found.cell = QPoint(c, r);
            found.wrapped = backward ? at >= start : at <= start;
            return found;
        }
        if (hit == Match::GaveUp || outOfTime()) {
            found.status = FindStatus::GaveUp;
            return found;
        }
    }
    return found;
}

// The matches of one cell, and the length of the text it would show after.
struct CellFinder::Gathered {
    QString shown;
    QVector<ShownMatch> matches;
    qsizetype length = 0;
};

ReplaceSummary::Stop CellFinder::gather(const QString &markup, const QString &with, qsizetype maxLength,
                                        Gathered &out) const
{
    out.matches.clear();
    out.shown = m_options.inSource ? markup : HtmlToGridText(markup);
    QString searched = out.shown;
    QRegularExpression::MatchOptions checked = QRegularExpression::NoMatchOption;
    // What the text grows to, kept within maxLength while the matches are
    // gathered: a replacement a thousand times longer than its match must not
    // be built to find out.
    out.length = out.shown.size();
    for (qsizetype from = 0; from <= searched.size(); ) {
        QRegularExpressionMatch m = timedMatch(searched, from, checked);
        if (!m.isValid() && from == 0 && hasUnpairedSurrogate(searched)) {
            searched = pairedSurrogates(out.shown);
            m = timedMatch(searched, 0, checked);
        }
        // The subject is checked once; the later calls need not again.
        checked = QRegularExpression::DontCheckSubjectStringMatchOption;
        if (!m.isValid() || outOfTime())
            return ReplaceSummary::Stop::GaveUp;
        if (!m.hasMatch())
            break;
        const qsizetype start = m.capturedStart(), end = m.capturedEnd();
        if (end == start) {
            // An empty match (a pattern like "x*") between characters replaces nothing.
            from = end + (end + 1 < searched.size() && searched[end].isHighSurrogate() ? 2 : 1);
            if (!m_options.wholeCell)
                continue;
        } else {
            from = end;
        }
        ShownMatch hit{start, end, expand(with, m)};
        out.length += hit.with.size() - (end - start);
        if (out.length > maxLength)
            return ReplaceSummary::Stop::TooLarge;
        out.matches.append(std::move(hit));
        if (m_options.wholeCell)
            break;
    }
    return ReplaceSummary::Stop::None;
}

ReplaceSummary CellFinder::build(QString &markup, const Gathered &found, qsizetype maxLength) const
{
    ReplaceSummary s;
    const QVector<ShownMatch> &matches = found.matches;
    if (matches.isEmpty())
        return s;
    if (m_options.inSource) {
        QString out;
        out.reserve(found.length);
        qsizetype done = 0;
        for (const ShownMatch &hit : matches) {
            out += QStringView(markup).mid(done, hit.from - done);
            out += hit.with;
            done = hit.to;
        }
        out += QStringView(markup).mid(done);
        markup = out;
        s.replaced = int(matches.size());
        return s;
    }
    // An empty cell matched whole (a pattern like "^$") has no text run to
    // take the replacement; it gets one.
    const bool empty = markup.isEmpty();
    const ShownReplacement r = empty ? replaceShownText(QStringLiteral(" "), QStringLiteral(" "),
                                                        {ShownMatch{0, 1, matches.first().with}}, maxLength)
                                     : replaceShownText(markup, found.shown, matches, maxLength);
    if (r.tooLong) {
        s.stop = ReplaceSummary::Stop::TooLarge;
        return s;
    }
    s.replaced = r.replaced;
    s.skipped = r.skipped;
    if (r.replaced)
        markup = r.markup;
    return s;
}

ReplaceSummary CellFinder::replaceIn(QString &markup, const QString &with, qsizetype maxLength) const
{
    ReplaceSummary s;
    if (!isValid())
        return s;
    Gathered found;
    s.stop = gather(markup, with, maxLength, found);
    return s.stop == ReplaceSummary::Stop::None ? build(markup, found, maxLength) : s;
}

qint64 CellFinder::tableTextBytes(const TableModel &m)
{
    const int rows = qBound(1, int(m.TableRows), TableLimits::MaxRows);
    const int cols = qBound(1, int(m.TableCols), TableLimits::MaxCols);
    qint64 bytes = 0;
    m.Cells.forEachHeld(QRect(1, 1, cols, rows), [&](int, int, const CellRecord &r) { bytes += fileBytesAtLeast(r.Text); });
    return bytes;
}

ReplaceSummary CellFinder::replaceInCell(const TableModel &m, QPoint cell, const QString &with, QString &text) const
{
    ReplaceSummary s;
    try {
        const QString &old = m.Cells(cell.x(), cell.y()).Text;
        const qint64 others = tableTextBytes(m) - fileBytesAtLeast(old);
        QString out = old;
        // A character takes at least a byte in the file.
        s = replaceIn(out, with, qMax<qint64>(0, MaxTableTextBytes - others));
        if (s.stop == ReplaceSummary::Stop::None && others + fileBytesAtLeast(out) > MaxTableTextBytes
            && out.size() > old.size())
            s.stop = ReplaceSummary::Stop::TooLarge;
        if (s.stop == ReplaceSummary::Stop::None && s.replaced)
            text = std::move(out);
        else
            s.replaced = 0;
    } catch (const std::bad_alloc &) {
        s = ReplaceSummary();
        s.stop = ReplaceSummary::Stop::NoMemory;
    }
    return s;
}

ReplaceSummary CellFinder::replaceAll(const TableModel &m, const SpanLayout &cells, const QString &with,
                                      QVector<CellText> &changes) const
{
    ReplaceSummary all;
    changes.clear();
    if (!isValid())
        return all;
    // Matches kept from the first pass up to this many; past it the second
    // pass looks for them again rather than hold them all.
    constexpr qsizetype MaxKeptMatches = 1024 * 1024;
    try {
        // First every match, with the length each cell would then show, which
        // its markup can only pass: a result that would pass the file's limit
        // is refused before any text is built.
        const qint64 before = tableTextBytes(m);
        qint64 atLeast = before;
        QVector<std::pair<QPoint, Gathered>> found;
        qsizetype kept = 0;
        bool keeping = true;
        // Only held records hold text: the others match nothing (an empty
        // text a pattern finds something in is no text to replace).
        QVector<QPoint> held;
        m.Cells.forEachHeld(QRect(1, 1, cells.cols(), cells.rows()), [&](int c, int r, const CellRecord &) {
            if (cells.isWritten(c, r))
                held.append(QPoint(c, r));
        });
        for (const QPoint p : std::as_const(held)) {
            if (all.stop != ReplaceSummary::Stop::None)
                break;
            {
                const int c = p.x(), r = p.y();
                const QString &old = m.Cells(c, r).Text;
                Gathered g;
                all.stop = gather(old, with, MaxTableTextBytes, g);
                if (all.stop != ReplaceSummary::Stop::None)
                    break;
                if (g.matches.isEmpty())
                    continue;
                atLeast += g.length - fileBytesAtLeast(old);
                if (atLeast > MaxTableTextBytes && atLeast > before) {
                    all.stop = ReplaceSummary::Stop::TooLarge;
                    break;
                }
                kept += g.matches.size();
                keeping = keeping && kept <= MaxKeptMatches;
                if (!keeping)
                    g = Gathered();
                found.append({QPoint(c, r), std::move(g)});
            }
        }
        if (!keeping) {
            for (auto &f : found)
                f.second = Gathered();
        }
        // Then the new texts, measured as they are made.
        qint64 bytes = before;
        for (qsizetype i = 0; i < found.size() && all.stop == ReplaceSummary::Stop::None; ++i) {
            const QPoint at = found[i].first;
            const QString &old = m.Cells(at.x(), at.y()).Text;
            const qint64 oldBytes = fileBytesAtLeast(old);
            const qsizetype room = qMax<qint64>(0, MaxTableTextBytes - (bytes - oldBytes));
            Gathered g = std::move(found[i].second);
            if (!keeping && (all.stop = gather(old, with, MaxTableTextBytes, g)) != ReplaceSummary::Stop::None)
                break;
            QString text = old;
            const ReplaceSummary s = build(text, g, room);
            all.stop = s.stop;
            all.replaced += s.replaced;
            all.skipped += s.skipped;
            if (s.stop != ReplaceSummary::Stop::None || !s.replaced)
                continue;
            bytes += fileBytesAtLeast(text) - oldBytes;
            // A table already past the limit may still shrink.
            if (bytes > MaxTableTextBytes && bytes > before)
                all.stop = ReplaceSummary::Stop::TooLarge;
            else
                changes.append({at, std::move(text)});
        }
    } catch (const std::bad_alloc &) {
        all.stop = ReplaceSummary::Stop::NoMemory;
    }
    if (all.stop != ReplaceSummary::Stop::None) {
        changes = QVector<CellText>();
        all.replaced = all.skipped = 0;
    }
    return all;
}
