#include "core/model/table_model.h"

#include <stdexcept>
#include <string>

QString newTableName()
{
    return QStringLiteral("新規テーブル");
}

CellRecord CellRecord::zero()
{
    CellRecord r;
    r.Header = r.HeightOn = r.WidthOn = r.RowSpanOn = r.ColSpanOn = 0;
    r.Height = r.Width = r.RowSpan = r.ColSpan = 0;
    r.VAlign = r.HAlign = 0;
    r.BackColor = 0;
    r.BackColorNothing = 0;
    return r;
}

bool CellRecord::isDefault() const
{
    return *this == CellTable::defaults();
}

bool CellRecord::operator==(const CellRecord &o) const
{
    return Header == o.Header && HeightOn == o.HeightOn && Height == o.Height
            && WidthOn == o.WidthOn && Width == o.Width && RowSpanOn == o.RowSpanOn
            && RowSpan == o.RowSpan && ColSpanOn == o.ColSpanOn && ColSpan == o.ColSpan
            && VAlign == o.VAlign && HAlign == o.HAlign && BackColor == o.BackColor
            && BackColorNothing == o.BackColorNothing && Scope == o.Scope && Text == o.Text
            && Class == o.Class && WidthPercent == o.WidthPercent
            && HeightPercent == o.HeightPercent && Style == o.Style;
}

namespace {

qint16 checkValue(qint16 v)
{
    return v != 0 ? 1 : 0;
}

[[noreturn]] void throwRange(int col, int row)
{
    throw std::out_of_range("Cells(" + std::to_string(col) + ", " + std::to_string(row)
                            + "): index outside the table's limits");
}

} // namespace

void normalise(CellRecord &rec)
{
    rec.HeightOn = checkValue(rec.HeightOn);
    rec.WidthOn = checkValue(rec.WidthOn);
    rec.RowSpanOn = checkValue(rec.RowSpanOn);
    rec.ColSpanOn = checkValue(rec.ColSpanOn);
    rec.VAlign = qint16(qBound(0, int(rec.VAlign), 2));
    rec.HAlign = qint16(qBound(0, int(rec.HAlign), 2));
    rec.BackColorNothing = checkValue(rec.BackColorNothing);
    rec.Header = rec.Header == -1 ? -1 : 0;
    if (rec.Scope < 0 || rec.Scope >= CellScopeCount)
        rec.Scope = 0;
    rec.WidthPercent = checkValue(rec.WidthPercent);
    rec.HeightPercent = checkValue(rec.HeightPercent);
}

bool isNormalised(const CellRecord &rec)
{
    auto check = [](qint16 v) { return v == 0 || v == 1; };
    return check(rec.HeightOn) && check(rec.WidthOn) && check(rec.RowSpanOn) && check(rec.ColSpanOn)
            && check(rec.BackColorNothing) && rec.VAlign >= 0 && rec.VAlign <= 2 && rec.HAlign >= 0
            && rec.HAlign <= 2 && (rec.Header == 0 || rec.Header == -1) && rec.Scope >= 0
            && rec.Scope < CellScopeCount && check(rec.WidthPercent) && check(rec.HeightPercent);
}

void normaliseTableSwitches(qint16 &backColorNothing, qint16 &netscapeMode)
{
    backColorNothing = checkValue(backColorNothing);
    netscapeMode = checkValue(netscapeMode);
}

// --- CellTable ---------------------------------------------------------------

CellTable::CellTable() = default;
CellTable::CellTable(const CellTable &other) : m_rows(other.m_rows) {}
CellTable::CellTable(CellTable &&other) noexcept : m_rows(std::move(other.m_rows)) {}
CellTable::~CellTable() = default;

CellTable &CellTable::operator=(const CellTable &other)
{
    if (this != &other)
        m_rows = other.m_rows;
    return *this;
}

CellTable &CellTable::operator=(CellTable &&other) noexcept
{
    m_rows = std::move(other.m_rows);
    return *this;
}

const CellRecord &CellTable::defaults()
{
    static const CellRecord d;
    return d;
}

bool CellTable::operator==(const CellTable &o) const
{
    const std::size_t rows = std::max(m_rows.size(), o.m_rows.size());
    static const Row none;
    for (std::size_t r = 0; r < rows; ++r) {
        const Row &a = r < m_rows.size() ? m_rows[r] : none;
        const Row &b = r < o.m_rows.size() ? o.m_rows[r] : none;
        auto ia = a.begin(), ib = b.begin();
        while (ia != a.end() || ib != b.end()) {
            if (ib == b.end() || (ia != a.end() && ia->first < ib->first)) {
                if (!ia->second.isDefault())
                    return false;
                ++ia;
            } else if (ia == a.end() || ib->first < ia->first) {
                if (!ib->second.isDefault())
                    return false;
                ++ib;
            } else {
                if (ia->second != ib->second)
                    return false;
                ++ia;
                ++ib;
            }
        }
    }
    return true;
}

CellRecord &CellTable::operator()(int col, int row)
{
    if (!inRange(col, row))
        throwRange(col, row);
    if (std::size_t(row) >= m_rows.size())
        m_rows.resize(std::size_t(row) + 1);
    Row &r = m_rows[std::size_t(row)];
    r.unchecked = true;
    auto it = r.lower_bound(col);
    if (it == r.end() || it->first != col)
        it = r.emplace_hint(it, col, CellRecord());
    if (m_observer)
        m_observer->cellTouched(col, row, it->second);
    return it->second;
}

const CellRecord &CellTable::operator()(int col, int row) const
{
    if (!inRange(col, row))
        throwRange(col, row);
    const CellRecord *r = find(col, row);
    return r ? *r : defaults();
}

const CellRecord *CellTable::find(int col, int row) const
{
    if (row < 0 || std::size_t(row) >= m_rows.size())
        return nullptr;
    const Row &r = m_rows[std::size_t(row)];
    const auto it = r.find(col);
    return it == r.end() ? nullptr : &it->second;
}

bool CellTable::nextHeld(QPoint &at, QRect cells, bool backward) const
{
    cells = cells.normalized();
    const int top = std::max(cells.top(), 0);
    const int bottom = std::min<int>(cells.bottom(), int(m_rows.size()) - 1);
    if (!backward) {
        for (int r = std::max(at.y(), top); r <= bottom; ++r) {
            const Row &row = m_rows[std::size_t(r)];
            auto it = row.lower_bound(r == at.y() ? std::max(at.x() + 1, cells.left()) : cells.left());
            if (it != row.end() && it->first <= cells.right()) {
                at = QPoint(it->first, r);
                return true;
            }
        }
        return false;
    }
    for (int r = std::min(at.y(), bottom); r >= top; --r) {
        const Row &row = m_rows[std::size_t(r)];
        auto it = row.lower_bound(r == at.y() ? std::min(at.x(), cells.right() + 1) : cells.right() + 1);
        while (it != row.begin()) {
            --it;
            if (it->first < cells.left())
                break;
            at = QPoint(it->first, r);
            return true;
        }
    }
    return false;
}

int CellTable::rowExtent() const
{
    int n = int(m_rows.size());
    while (n > 0 && m_rows[std::size_t(n) - 1].empty())
        --n;
    return n;
}

int CellTable::colExtent() const
{
    int n = 0;
    for (const Row &r : m_rows)
        if (!r.empty())
            n = std::max(n, r.rbegin()->first + 1);
    return n;
}

bool CellTable::isEmpty() const
{
    return rowExtent() == 0;
}

void CellTable::clear()
{
    m_rows.clear();
}

void CellTable::apply(LineEdit &e)
{
    if (m_observer)
        m_observer->linesAboutToBeEdited();
    e.taken.clear();
    e.limit = std::min(e.limit, e.rows ? MaxRow : MaxCol);
    switch (e.kind) {
    case LineEdit::Insert: insertLines(e); break;
    case LineEdit::Remove: removeLines(e); break;
    case LineEdit::Permute: permute(e, true); break;
    }
    if (m_observer)
        m_observer->linesEdited(e);
}

void CellTable::revert(LineEdit &e)
{
    switch (e.kind) {
    case LineEdit::Insert: restoreInserted(e); break;
    case LineEdit::Remove: restoreRemoved(e); break;
    case LineEdit::Permute: permute(e, false); break;
    }
    e.taken.clear();
}

namespace {

// The keys of row within [from, to], ascending.
std::vector<int> keysIn(const std::map<int, CellRecord> &row, int from, int to)
{
    std::vector<int> keys;
    for (auto it = row.lower_bound(from); it != row.end() && it->first <= to; ++it)
        keys.push_back(it->first);
    return keys;
}

void rekey(std::map<int, CellRecord> &row, int from, int to)
{
    auto node = row.extract(from);
    node.key() = to;
    row.insert(std::move(node));
}

} // namespace

void CellTable::insertLines(LineEdit &e)
{
    const int L = e.limit, at = e.at, n = e.count;
    if (n <= 0 || at > L)
        return;
    if (e.rows) {
        const int moveEnd = std::min(L, int(m_rows.size()) - 1);
        if (moveEnd < at)
            return;
        const int needed = std::min(L, moveEnd + n) + 1;
        if (int(m_rows.size()) < needed)
            m_rows.resize(std::size_t(needed));
        for (int x = moveEnd; x >= at; --x) {
            Row &from = m_rows[std::size_t(x)];
            if (x + n > L) {
                if (!from.empty())
                    e.taken.emplace_back(x, std::move(from));
            } else {
                m_rows[std::size_t(x + n)] = std::move(from);
            }
            from.clear();
        }
        return;
    }
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        Row &row = m_rows[r];
        if (row.empty())
            continue;
        const std::vector<int> keys = keysIn(row, at, L);
        Row pushedOut;
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
            if (*k + n > L)
                pushedOut.insert(row.extract(*k));
            else
                rekey(row, *k, *k + n);
        }
        if (!pushedOut.empty())
            e.taken.emplace_back(int(r), std::move(pushedOut));
    }
}

void CellTable::restoreInserted(LineEdit &e)
{
    const int L = e.limit, at = e.at, n = e.count;
    if (n > 0 && at <= L) {
        if (e.rows) {
            const int last = std::min(L, int(m_rows.size()) - 1);
            for (int x = at; x <= std::min(at + n - 1, last); ++x)
                m_rows[std::size_t(x)].clear();
            for (int x = at + n; x <= last; ++x) {
                m_rows[std::size_t(x - n)] = std::move(m_rows[std::size_t(x)]);
                m_rows[std::size_t(x)].clear();
            }
        } else {
            for (Row &row : m_rows) {
                if (row.empty())
                    continue;
                for (int k : keysIn(row, at, std::min(L, at + n - 1)))
                    row.erase(k);
                for (int k : keysIn(row, at + n, L))
                    rekey(row, k, k - n);
            }
        }
    }
    for (auto &[line, held] : e.taken) {
        if (e.rows) {
            if (int(m_rows.size()) <= line)
                m_rows.resize(std::size_t(line) + 1);
            m_rows[std::size_t(line)].putBack(std::move(held));
        } else {
            m_rows[std::size_t(line)].merge(held);
            m_rows[std::size_t(line)].unchecked = true;
        }
    }
}

void CellTable::removeLines(LineEdit &e)
{
    const int L = e.limit, at = e.at, n = e.count;
    if (n <= 0 || at > L)
        return;
    if (e.rows) {
        const int last = std::min(L, int(m_rows.size()) - 1);
        for (int x = at; x <= std::min(at + n - 1, last); ++x) {
            Row &gone = m_rows[std::size_t(x)];
            if (!gone.empty())
                e.taken.emplace_back(x, std::move(gone));
            gone.clear();
        }
        for (int x = at + n; x <= last; ++x) {
            m_rows[std::size_t(x - n)] = std::move(m_rows[std::size_t(x)]);
            m_rows[std::size_t(x)].clear();
        }
        return;
    }
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        Row &row = m_rows[r];
        if (row.empty())
            continue;
        Row gone;
        for (int k : keysIn(row, at, std::min(L, at + n - 1)))
            gone.insert(row.extract(k));
        for (int k : keysIn(row, at + n, L))
            rekey(row, k, k - n);
        if (!gone.empty())
            e.taken.emplace_back(int(r), std::move(gone));
    }
}

void CellTable::restoreRemoved(LineEdit &e)
{
    const int L = e.limit, at = e.at, n = e.count;
    if (n > 0 && at <= L) {
        if (e.rows) {
            const int last = std::min(L - n, int(m_rows.size()) - 1);
            if (last >= at && int(m_rows.size()) < last + n + 1)
                m_rows.resize(std::size_t(last + n) + 1);
            for (int x = last; x >= at; --x) {
                m_rows[std::size_t(x + n)] = std::move(m_rows[std::size_t(x)]);
                m_rows[std::size_t(x)].clear();
            }
        } else {
            for (Row &row : m_rows) {
                if (row.empty())
                    continue;
                // What lies in the lines the removal emptied goes first.
                for (int k : keysIn(row, L - n + 1, L))
                    row.erase(k);
                const std::vector<int> keys = keysIn(row, at, L - n);
                for (auto k = keys.rbegin(); k != keys.rend(); ++k)
                    rekey(row, *k, *k + n);
            }
        }
    }
    for (auto &[line, held] : e.taken) {
        if (e.rows) {
            if (int(m_rows.size()) <= line)
                m_rows.resize(std::size_t(line) + 1);
            m_rows[std::size_t(line)].putBack(std::move(held));
        } else {
            m_rows[std::size_t(line)].merge(held);
            m_rows[std::size_t(line)].unchecked = true;
        }
    }
}

void CellTable::permute(LineEdit &e, bool forward)
{
    const int at = e.at, n = e.count;
    if (n <= 0 || e.order.size() != n)
        return;
    if (e.inverse.size() != n) {
        e.inverse.resize(n);
        for (int i = 0; i < n; ++i)
            e.inverse[e.order[i]] = i;
    }
    // forward: new line at + i is old line at + order[i]; back: the reverse.
    const QVector<int> &from = forward ? e.order : e.inverse;
    if (e.rows) {
        if (int(m_rows.size()) < at + n)
            m_rows.resize(std::size_t(at + n));
        std::vector<Row> moved(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            moved[std::size_t(i)] = std::move(m_rows[std::size_t(at + from[i])]);
        for (int i = 0; i < n; ++i)
            m_rows[std::size_t(at + i)] = std::move(moved[std::size_t(i)]);
        return;
    }
    const QVector<int> &to = forward ? e.inverse : e.order;
    for (Row &row : m_rows) {
        const std::vector<int> keys = keysIn(row, at, at + n - 1);
        if (keys.empty())
            continue;
        Row moved;
        for (int k : keys) {
            auto node = row.extract(k);
            node.key() = at + to[k - at];
            moved.insert(std::move(node));
        }
        row.merge(moved);
        row.unchecked = true;
    }
}

// --- LineEdit ----------------------------------------------------------------

bool LineEdit::mapForward(int &col, int &row) const
{
    int &x = rows ? row : col;
    if (x < at || x > limit)
        return true;
    switch (kind) {
    case Insert:
        x += count;
        return x <= limit;
    case Remove:
        if (x < at + count)
            return false;
        x -= count;
        return true;
    case Permute:
        if (x < at + count && inverse.size() == count)
            x = at + inverse[x - at];
        return true;
    }
    return true;
}

bool LineEdit::mapBack(int &col, int &row) const
{
    int &x = rows ? row : col;
    if (x < at || x > limit)
        return true;
    switch (kind) {
    case Insert:
        if (x < at + count)
            return false;
        x -= count;
        return true;
    case Remove:
        if (x > limit - count)
            return false;
        x += count;
        return true;
    case Permute:
        if (x < at + count && order.size() == count)
            x = at + order[x - at];
        return true;
    }
    return true;
}

// --- TableModel ----------------------------------------------------------------

TableModel::TableModel()
    : FileName(newTableName())
{
    resetToDefaults();
}

void TableModel::resetToDefaults()
{
    Cells.clear();
    TableRows = 2;
    TableCols = 2;
    TableTitle.clear();
    TableBackColor = 0xFFFFFF;
    TableBorder = 1;
    TableBackColorNothing = 1;
    NetscapeMode = 0;
    OutputProfile = MarkupProfile::Html4;
    TableWidthUnit = WidthUnit::None;
    TableWidth = 100;
    OutputStyle = PresentationStyle::Inline;
    TableId.clear();
    TableClass.clear();
    FooterRows = 0;
    OutputPreset = TablePreset::None;
    OutputCss = CssPlacement::Block;
    Responsive = 0;
}

QRect TableModel::tableCells() const
{
    return QRect(1, 1, std::clamp<int>(TableCols, 0, TableLimits::MaxCols),
                 std::clamp<int>(TableRows, 0, TableLimits::MaxRows));
}

bool TableModel::usesNewSettings() const
{
    return OutputProfile != MarkupProfile::Html4 || TableWidthUnit != WidthUnit::None
            || TableWidth != 100;
}

bool TableModel::usesClassSettings(QRect cells) const
{
    if (OutputStyle != PresentationStyle::Inline || !TableId.isEmpty() || !TableClass.isEmpty())
        return true;
    bool found = false;
    Cells.forEachHeld(cells, [&](int, int, const CellRecord &r) { found = found || !r.Class.isEmpty(); });
    return found;
}

bool TableModel::usesFooterSettings(QRect cells) const
{
    if (FooterRows != 0)
        return true;
    bool found = false;
    Cells.forEachHeld(cells, [&](int, int, const CellRecord &r) { found = found || r.Scope != 0; });
    return found;
}

bool TableModel::usesPresetSettings() const
{
    return OutputPreset != TablePreset::None || OutputCss != CssPlacement::Block || Responsive != 0;
}

bool TableModel::usesCellStyleSettings(QRect cells) const
{
    bool found = false;
    Cells.forEachHeld(cells, [&](int, int, const CellRecord &r) {
        found = found || r.WidthPercent != 0 || r.HeightPercent != 0 || !r.Style.isEmpty();
    });
    return found;
}
