#pragma once

// The document's undo steps and the field access they share; only the
// document's own sources include this.

#include <QHash>
#include <QUndoCommand>
#include <QVector>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include "document/table_document.h"

namespace docsteps {

// The record's field behind a CellField; Text has none.
template<typename Fn>
auto withField(CellRecord &r, CellField f, Fn fn)
{
    switch (f) {
    case CellField::Header: return fn(r.Header);
    case CellField::HeightOn: return fn(r.HeightOn);
    case CellField::Height: return fn(r.Height);
    case CellField::WidthOn: return fn(r.WidthOn);
    case CellField::Width: return fn(r.Width);
    case CellField::RowSpanOn: return fn(r.RowSpanOn);
    case CellField::RowSpan: return fn(r.RowSpan);
    case CellField::ColSpanOn: return fn(r.ColSpanOn);
    case CellField::ColSpan: return fn(r.ColSpan);
    case CellField::VAlign: return fn(r.VAlign);
    case CellField::HAlign: return fn(r.HAlign);
    case CellField::BackColor: return fn(r.BackColor);
    case CellField::BackColorNothing: return fn(r.BackColorNothing);
    case CellField::Scope: return fn(r.Scope);
    case CellField::WidthPercent: return fn(r.WidthPercent);
    case CellField::HeightPercent: return fn(r.HeightPercent);
    case CellField::Text: case CellField::Class: case CellField::Style: break;
    }
    throw std::invalid_argument("not a numeric cell field");
}

template<typename Fn>
auto withField(TableModel &m, TableField f, Fn fn)
{
    switch (f) {
    case TableField::Rows: return fn(m.TableRows);
    case TableField::Cols: return fn(m.TableCols);
    case TableField::Border: return fn(m.TableBorder);
    case TableField::BackColor: return fn(m.TableBackColor);
    case TableField::BackColorNothing: return fn(m.TableBackColorNothing);
    case TableField::NetscapeMode: return fn(m.NetscapeMode);
    case TableField::OutputProfile: return fn(m.OutputProfile);
    case TableField::WidthUnit: return fn(m.TableWidthUnit);
    case TableField::Width: return fn(m.TableWidth);
    case TableField::Style: return fn(m.OutputStyle);
    case TableField::FooterRows: return fn(m.FooterRows);
    case TableField::Preset: return fn(m.OutputPreset);
    case TableField::CssPlace: return fn(m.OutputCss);
    case TableField::Responsive: return fn(m.Responsive);
    case TableField::Title: case TableField::FileName: case TableField::Id: case TableField::Class: break;
    }
    throw std::invalid_argument("not a numeric table field");
}

// Writes value into the field at the field's own width; false when the field
// held it already.
template<typename Owner, typename Field>
bool assignField(Owner &owner, Field field, qint32 value)
{
    return withField(owner, field, [value](auto &f) {
        using T = std::remove_reference_t<decltype(f)>;
        if (f == T(value))
            return false;
        f = T(value);
        return true;
    });
}

inline CellFields differingFields(const CellRecord &a, const CellRecord &b)
{
    CellFields f;
    if (a.Text != b.Text) f |= CellField::Text;
    if (a.Header != b.Header) f |= CellField::Header;
    if (a.HeightOn != b.HeightOn) f |= CellField::HeightOn;
    if (a.Height != b.Height) f |= CellField::Height;
    if (a.WidthOn != b.WidthOn) f |= CellField::WidthOn;
    if (a.Width != b.Width) f |= CellField::Width;
    if (a.RowSpanOn != b.RowSpanOn) f |= CellField::RowSpanOn;
    if (a.RowSpan != b.RowSpan) f |= CellField::RowSpan;
    if (a.ColSpanOn != b.ColSpanOn) f |= CellField::ColSpanOn;
    if (a.ColSpan != b.ColSpan) f |= CellField::ColSpan;
    if (a.VAlign != b.VAlign) f |= CellField::VAlign;
    if (a.HAlign != b.HAlign) f |= CellField::HAlign;
    if (a.BackColor != b.BackColor) f |= CellField::BackColor;
    if (a.BackColorNothing != b.BackColorNothing) f |= CellField::BackColorNothing;
    if (a.Class != b.Class) f |= CellField::Class;
    if (a.Scope != b.Scope) f |= CellField::Scope;
    if (a.WidthPercent != b.WidthPercent) f |= CellField::WidthPercent;
    if (a.HeightPercent != b.HeightPercent) f |= CellField::HeightPercent;
    if (a.Style != b.Style) f |= CellField::Style;
    return f;
}

struct CellChange {
    int col, row;
    CellRecord before, after;
};

inline quint64 cellKey(int col, int row) { return (quint64(quint32(row)) << 32) | quint32(col); }
inline int keyCol(quint64 key) { return int(quint32(key)); }
inline int keyRow(quint64 key) { return int(key >> 32); }

inline int bitIndex(uint flag) { return qCountTrailingZeroBits(flag); }

} // namespace docsteps

using namespace docsteps;

// The table-wide settings, without the cells and the file name.
struct TableSettings {
    qint32 rows = 0, cols = 0;
    QString title;
    qint16 border = 0;
    qint32 back = 0;
    qint16 backNothing = 0, netscape = 0;
    MarkupProfile profile = MarkupProfile::Html4;
    WidthUnit unit = WidthUnit::None;
    qint32 width = 0;
    PresentationStyle style = PresentationStyle::Inline;
    QString id, cls;
    qint32 footerRows = 0;
    TablePreset preset = TablePreset::None;
    CssPlacement css = CssPlacement::Block;
    qint16 responsive = 0;

    static TableSettings of(const TableModel &m)
    {
        return {m.TableRows, m.TableCols, m.TableTitle, m.TableBorder, m.TableBackColor,
                m.TableBackColorNothing, m.NetscapeMode, m.OutputProfile, m.TableWidthUnit,
                m.TableWidth, m.OutputStyle, m.TableId, m.TableClass, m.FooterRows,
                m.OutputPreset, m.OutputCss, m.Responsive};
    }
    void into(TableModel &m) const
    {
        m.TableRows = rows;
        m.TableCols = cols;
        m.TableTitle = title;
        m.TableBorder = border;
        m.TableBackColor = back;
        m.TableBackColorNothing = backNothing;
        m.NetscapeMode = netscape;
        m.OutputProfile = profile;
        m.TableWidthUnit = unit;
        m.TableWidth = width;
        m.OutputStyle = style;
        m.TableId = id;
        m.TableClass = cls;
        m.FooterRows = footerRows;
        m.OutputPreset = preset;
        m.OutputCss = css;
        m.Responsive = responsive;
    }
    TableFields differing(const TableSettings &o) const
    {
        TableFields f;
        if (rows != o.rows) f |= TableField::Rows;
        if (cols != o.cols) f |= TableField::Cols;
        if (title != o.title) f |= TableField::Title;
        if (border != o.border) f |= TableField::Border;
        if (back != o.back) f |= TableField::BackColor;
        if (backNothing != o.backNothing) f |= TableField::BackColorNothing;
        if (netscape != o.netscape) f |= TableField::NetscapeMode;
        if (profile != o.profile) f |= TableField::OutputProfile;
        if (unit != o.unit) f |= TableField::WidthUnit;
        if (width != o.width) f |= TableField::Width;
        if (style != o.style) f |= TableField::Style;
        if (id != o.id) f |= TableField::Id;
        if (cls != o.cls) f |= TableField::Class;
        if (footerRows != o.footerRows) f |= TableField::FooterRows;
        if (preset != o.preset) f |= TableField::Preset;
        if (css != o.css) f |= TableField::CssPlace;
        if (responsive != o.responsive) f |= TableField::Responsive;
        return f;
    }
};

// One part of a step: the records written between two line edits (in the
// table as it was then), or a line edit with what it took out of the table.
struct StepAction {
    QVector<CellChange> cells;
    std::shared_ptr<LineEdit> lines;  // null for records
};

struct TableDocument::StepData {
    std::vector<StepAction> actions;
    QRect area;        // the records written, in the table after the step
    QRect areaBefore;  // the same in the table before it
    CellFields cellFields;
    TableSettings before, after;
    TableFields tableFields;

    bool hasLines() const
    {
        return std::any_of(actions.begin(), actions.end(), [](const StepAction &a) { return bool(a.lines); });
    }
    bool isEmpty() const { return actions.empty() && !tableFields; }
    // Drops what came back to where it was, and sums up what is left.
    void settle()
    {
        for (StepAction &a : actions)
            if (!a.lines)
                a.cells.erase(std::remove_if(a.cells.begin(), a.cells.end(),
                                             [](const CellChange &c) { return c.before == c.after; }),
                              a.cells.end());
        actions.erase(std::remove_if(actions.begin(), actions.end(),
                                     [](const StepAction &a) { return !a.lines && a.cells.isEmpty(); }),
                      actions.end());
        area = areaBefore = QRect();
        cellFields = {};
        for (std::size_t i = 0; i < actions.size(); ++i) {
            for (const CellChange &c : std::as_const(actions[i].cells)) {
                cellFields |= differingFields(c.before, c.after);
                int col = c.col, row = c.row;
                bool kept = true;
                for (std::size_t j = i + 1; j < actions.size() && kept; ++j)
                    if (actions[j].lines)
                        kept = actions[j].lines->mapForward(col, row);
                if (kept)
                    area |= QRect(col, row, 1, 1);
                col = c.col, row = c.row;
                kept = true;
                for (std::size_t j = i; j-- > 0 && kept;)
                    if (actions[j].lines)
                        kept = actions[j].lines->mapBack(col, row);
                if (kept)
                    areaBefore |= QRect(col, row, 1, 1);
            }
        }
        tableFields = before.differing(after);
        // Lines that moved changed what their cells are, as far as the table goes.
        for (const StepAction &a : actions) {
            if (!a.lines)
                continue;
            const LineEdit &e = *a.lines;
            auto moved = [&](const TableSettings &t) {
                const int end = e.kind == LineEdit::Permute ? e.at + e.count - 1 : (e.rows ? t.rows : t.cols);
                return e.rows ? QRect(QPoint(1, e.at), QPoint(t.cols, end))
                              : QRect(QPoint(e.at, 1), QPoint(end, t.rows));
            };
            area |= moved(after);
            areaBefore |= moved(before);
        }
    }
};

struct TableDocument::Recording {
    QString text;
    QHash<quint64, CellRecord> cells;  // the records before their first write since the last line edit
    std::vector<StepAction> actions;   // what came before that
    bool tableTouched = false;
    TableSettings table;
};

// Hears the table's records being written and its lines moving while a step
// is open.
class TableDocument::Journal : public CellTableObserver
{
public:
    explicit Journal(TableDocument &doc) : m_doc(doc) {}

    void cellTouched(int col, int row, const CellRecord &rec) override
    {
        if (!m_doc.m_rec)
            return;
        QHash<quint64, CellRecord> &cells = m_doc.m_rec->cells;
        const quint64 key = cellKey(col, row);
        if (cells.constFind(key) == cells.cend())
            cells.insert(key, rec);  // the first state is the one to undo to
        touched |= QRect(col, row, 1, 1);
    }
    void linesAboutToBeEdited() override { flush(); }
    void linesEdited(LineEdit &edit) override
    {
        if (!m_doc.m_rec)
            return;
        StepAction a;
        a.lines = std::make_shared<LineEdit>(std::move(edit));
        touched = moved(touched, *a.lines);
        m_doc.m_rec->actions.push_back(std::move(a));
    }

    // The records written since the last line edit, with how they are now,
    // in row order; false when there were none.
    bool flush()
    {
        Recording *rec = m_doc.m_rec;
        if (!rec || rec->cells.isEmpty())
            return false;
        // Sorted as keys, then read in that order: the table is walked as it
        // is held, and no record is moved about by the sort.
        std::vector<std::pair<quint64, const CellRecord *>> order;
        order.reserve(std::size_t(rec->cells.size()));
        for (auto it = rec->cells.cbegin(); it != rec->cells.cend(); ++it)
            order.emplace_back(it.key(), &it.value());
        std::sort(order.begin(), order.end(), [](const auto &x, const auto &y) { return x.first < y.first; });
        StepAction a;
        a.cells.reserve(rec->cells.size());
        for (const auto &[key, before] : order) {
            const int col = keyCol(key), row = keyRow(key);
            a.cells.append({col, row, *before, std::as_const(m_doc.m_model).Cells(col, row)});
        }
        order.clear();
        rec->cells.clear();
        rec->actions.push_back(std::move(a));
        return true;
    }

    // A rectangle of the table before the edit, in the table after it: what
    // moves with the lines, grown by the lines put in its midst.
    static QRect moved(QRect r, const LineEdit &e)
    {
        if (r.isEmpty())
            return r;
        int first = e.rows ? r.top() : r.left(), last = e.rows ? r.bottom() : r.right();
        const int end = e.at + e.count - 1;
        switch (e.kind) {
        case LineEdit::Insert:
            if (first >= e.at && first <= e.limit)
                first += e.count;
            if (last >= e.at && last <= e.limit)
                last = std::min(last + e.count, e.limit);
            break;
        case LineEdit::Remove:
            if (first > end && first <= e.limit)
                first -= e.count;
            else if (first >= e.at && first <= end)
                first = e.at;
            if (last > end && last <= e.limit)
                last -= e.count;
            else if (last >= e.at && last <= end)
                last = e.at - 1;
            break;
        case LineEdit::Permute:
            if (last >= e.at && first <= end) {
                first = std::min(first, e.at);
                last = std::max(last, end);
            }
            break;
        }
        if (last < first)
            return QRect();
        return e.rows ? QRect(r.left(), first, r.width(), last - first + 1)
                      : QRect(first, r.top(), last - first + 1, r.height());
    }

    QRect touched;  // the records written (in the table as it is now), for the views

private:
    TableDocument &m_doc;
};

// One step on the undo stack. It is done when pushed; redo() runs it again
// only after an undo.
class TableStep : public QUndoCommand
{
public:
    TableStep(TableDocument *doc, TableDocument::StepData data, const TableDocument::MergeKey &mergeKey,
              int gesture, const QString &text)
        : QUndoCommand(text), m_doc(doc), m_data(std::move(data)), m_mergeKey(mergeKey),
          m_gesture(gesture)
    {
    }

    void redo() override
    {
        if (m_done)
            m_doc->apply(m_data, true);
        m_done = true;
    }
    void undo() override { m_doc->apply(m_data, false); }
    int id() const override { return m_mergeKey.kind == 0 || m_data.hasLines() ? -1 : 1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *o = static_cast<const TableStep *>(other);
        if (!(o->m_mergeKey == m_mergeKey) || o->m_gesture != m_gesture || o->m_data.hasLines())
            return false;
        // Steps of one field: each holds at most one list of records.
        if (!o->m_data.actions.empty()) {
            if (m_data.actions.empty())
                m_data.actions.push_back(StepAction());
            QVector<CellChange> &mine = m_data.actions.front().cells;
            for (const CellChange &c : o->m_data.actions.front().cells) {
                auto it = std::find_if(mine.begin(), mine.end(), [&](const CellChange &m) {
                    return m.col == c.col && m.row == c.row;
                });
                if (it != mine.end())
                    it->after = c.after;
                else
                    mine.append(c);
            }
        }
        if (o->m_data.tableFields) {
            if (!m_data.tableFields)
                m_data.before = o->m_data.before;
            m_data.after = o->m_data.after;
        }
        m_data.settle();
        setObsolete(m_data.isEmpty());  // a drag that ended where it began
        return true;
    }

private:
    TableDocument *m_doc;
    TableDocument::StepData m_data;
    TableDocument::MergeKey m_mergeKey;
    int m_gesture;
    bool m_done = false;
};
