#include "core/markup/table_presets.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include "core/markup/table_markup_p.h"
#include "core/model/grid_text.h"

namespace {

const char *const PresetNames[TablePresetCount] = {"none", "plain", "lines", "striped", "compact", "bootstrap"};
const char *const AlignNames[3] = {"left", "center", "right"};
// The framework's own utilities for the same three.
const char *const FrameworkAlign[3] = {"text-start", "text-center", "text-end"};

// A label past this many characters says no more on a phone; the cut also
// bounds what a long header costs once for every body row.
constexpr int MaxLabelChars = 120;

const QLatin1String crlf("\r\n");

// Each preset's look, scoped to its class so that several tables of a page
// may each have their own.
QLatin1String lookRules(TablePreset preset)
{
    switch (preset) {
    case TablePreset::Plain:
        return QLatin1String(
                "table.qv-plain { border-collapse: collapse; }\r\n"
                "table.qv-plain > * > tr > th, table.qv-plain > * > tr > td { padding: 0.3em 0.8em; }\r\n");
    case TablePreset::Lines:
        return QLatin1String(
                "table.qv-lines { border-collapse: collapse; }\r\n"
                "table.qv-lines > * > tr > th, table.qv-lines > * > tr > td { border: 1px solid #8c8c8c; padding: 0.3em 0.6em; }\r\n"
                "table.qv-lines > thead > tr > th { background-color: #eeeeee; }\r\n");
    case TablePreset::Striped:
        return QLatin1String(
                "table.qv-striped { border-collapse: collapse; }\r\n"
                "table.qv-striped > * > tr > th, table.qv-striped > * > tr > td { padding: 0.4em 0.8em; }\r\n"
                "table.qv-striped > thead > tr > * { border-bottom: 2px solid #595959; }\r\n"
                "table.qv-striped > tbody > tr:nth-child(odd) > * { background-color: #f0f0f0; }\r\n"
                "table.qv-striped > tfoot > tr > * { border-top: 2px solid #595959; }\r\n");
    case TablePreset::Compact:
        return QLatin1String(
                "table.qv-compact { border-collapse: collapse; font-size: 0.875em; line-height: 1.25; }\r\n"
                "table.qv-compact > * > tr > th, table.qv-compact > * > tr > td { border: 1px solid #b3b3b3; padding: 0.1em 0.4em; }\r\n");
    case TablePreset::None:
    case TablePreset::Framework:
        break;
    }
    return QLatin1String();
}

// Cells stack under 600 px: the head leaves the screen (a screen reader still
// reads it) and each cell shows its column's header before its text. Sizes
// the cells carry would squeeze the stack, so they give way.
const QLatin1String StackRules(
        "@media (max-width: 599px) {\r\n"
        "table.qv-stack, table.qv-stack > caption, table.qv-stack > tbody, table.qv-stack > tfoot,"
        " table.qv-stack > * > tr, table.qv-stack > tbody > tr > *, table.qv-stack > tfoot > tr > * { display: block; }\r\n"
        "table.qv-stack > thead { position: absolute; width: 1px; height: 1px; overflow: hidden; clip-path: inset(50%); white-space: nowrap; }\r\n"
        "table.qv-stack > * > tr { margin-bottom: 0.75em; }\r\n"
        "table.qv-stack > * > tr > * { width: auto !important; height: auto !important; overflow: hidden; }\r\n"
        "table.qv-stack > * > tr > [data-label]::before { content: attr(data-label); float: left; margin-right: 1em; font-weight: bold; text-align: left; }\r\n"
        "}\r\n");

// Only for previews: the framework's table classes as near as plain CSS
// gets without loading it.
const QLatin1String FrameworkStandIn(
        "table.table { width: 100%; margin-bottom: 1rem; border-collapse: collapse; font-family: system-ui, sans-serif; }\r\n"
        "table.table > * > tr > * { padding: 0.5rem; border-bottom: 1px solid #dee2e6; }\r\n"
        "table.table th { text-align: inherit; }\r\n"
        "table.table > thead > tr > * { border-bottom: 2px solid #adb5bd; }\r\n"
        "table.table-bordered > * > tr > * { border: 1px solid #dee2e6; }\r\n"
        "table.table-striped > tbody > tr:nth-of-type(odd) > * { background-color: #f2f2f2; }\r\n"
        ".text-start { text-align: left !important; }\r\n"
        ".text-center { text-align: center !important; }\r\n"
        ".text-end { text-align: right !important; }\r\n"
        ".table-responsive { overflow-x: auto; }\r\n");

QString attributeValue(QString text)
{
    text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    text.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return text;
}

// The commonest alignment of three counts; a tie goes to prefer, else to the
// first of them.
int commonest(const qint64 *votes, int prefer)
{
    int best = prefer;
    for (int a = 0; a < 3; ++a)
        if (votes[a] > votes[best])
            best = a;
    return best;
}

bool validAlign(qint16 a) { return a >= 0 && a <= 2; }

} // namespace

QString tablePresetName(TablePreset preset)
{
    const int i = int(preset);
    return i >= 0 && i < TablePresetCount ? QLatin1String(PresetNames[i]) : QString();
}

std::optional<TablePreset> tablePresetFromName(const QString &name)
{
    for (int i = 0; i < TablePresetCount; ++i)
        if (name.compare(QLatin1String(PresetNames[i]), Qt::CaseInsensitive) == 0)
            return TablePreset(i);
    return std::nullopt;
}

QStringList tablePresetNames()
{
    QStringList names;
    for (const char *n : PresetNames)
        names << QLatin1String(n);
    return names;
}

std::optional<CssPlacement> cssPlacementFromName(const QString &name)
{
    static const char *const names[] = {"block", "file", "none"};
    for (int i = 0; i < 3; ++i)
        if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return CssPlacement(i);
    return std::nullopt;
}

bool usesPresetMarkup(const TableModel &model)
{
    return model.OutputProfile == MarkupProfile::Html5
            && (model.OutputPreset != TablePreset::None || model.Responsive != 0);
}

bool presetDrawsTable(const TableModel &model)
{
    return model.OutputProfile == MarkupProfile::Html5 && model.OutputPreset != TablePreset::None;
}

PresetPlanner::PresetPlanner(const TableModel &model)
    : m_preset(model.OutputProfile == MarkupProfile::Html5 ? model.OutputPreset : TablePreset::None),
      m_placement(model.OutputCss),
      m_responsive(model.OutputProfile == MarkupProfile::Html5 && model.Responsive != 0),
      m_inline(model.OutputStyle == PresentationStyle::Inline)
{
}

void PresetPlanner::count(const PresetCell &cell)
{
    if (m_preset != TablePreset::None && validAlign(cell.hAlign)) {
        // The framework aligns header cells as their row, our presets leave
        // them to the browser (centred): only data cells vote there.
        if (m_preset == TablePreset::Framework || !cell.header)
            ++m_tableVotes[cell.hAlign];
        if (m_preset != TablePreset::Framework && !cell.header && cell.position >= 1
            && cell.position <= TableLimits::MaxCols) {
            if (m_positionVotes.size() < std::size_t(cell.position))
                m_positionVotes.resize(std::size_t(cell.position), std::vector<qint64>(3, 0));
            ++m_positionVotes[std::size_t(cell.position - 1)][std::size_t(cell.hAlign)];
        }
    }
    if (!m_responsive || cell.col < 1 || cell.col > TableLimits::MaxCols)
        return;
    const int last = std::min(cell.col + std::max(cell.colSpan, 1) - 1, TableLimits::MaxCols);
    if (m_labels.size() < std::size_t(last)) {
        m_labels.resize(std::size_t(last));
        m_bodyCells.resize(std::size_t(last), 0);
    }
    if (!cell.head) {
        ++m_bodyCells[std::size_t(cell.col - 1)];
        return;
    }
    // A header over several head rows reads "upper / lower".
    QString text;
    for (int c = cell.col; c <= last; ++c) {
        QString &label = m_labels[std::size_t(c - 1)];
        if (label.size() >= MaxLabelChars)
            continue;
        if (text.isNull())
            text = cell.text ? HtmlToGridText(cell.text->left(16 * MaxLabelChars)).simplified() : QString();
        if (text.isEmpty() || label == text || label.endsWith(QLatin1String(" / ") + text))
            continue;
        if (!label.isEmpty())
            label += QLatin1String(" / ");
        label += text;
        if (label.size() > MaxLabelChars)
            label = label.left(MaxLabelChars - 1) + QChar(0x2026);
    }
}

void PresetPlanner::settle(qint64 labelBudget)
{
    m_tableAlign = commonest(m_tableVotes, 0);
    m_positionAlign.assign(m_positionVotes.size(), m_tableAlign);
    for (std::size_t k = 0; k < m_positionVotes.size(); ++k)
        m_positionAlign[k] = commonest(m_positionVotes[k].data(), m_tableAlign);
    const std::vector<QString> raw = m_labels;
    for (int room = MaxLabelChars; ; room /= 2) {
        for (std::size_t c = 0; c < raw.size(); ++c)
            m_labels[c] = attributeValue(raw[c].size() > room ? raw[c].left(std::max(room - 1, 0)) + QChar(0x2026)
                                                              : raw[c]);
        if (labelChars() <= labelBudget)
            return;
        if (room <= 1) {
            std::fill(m_labels.begin(), m_labels.end(), QString());
            return;
        }
    }
}

bool PresetPlanner::hasLabels() const
{
    return m_responsive && std::any_of(m_labels.begin(), m_labels.end(), [](const QString &l) { return !l.isEmpty(); });
}

int PresetPlanner::effectiveAlign(const PresetCell &cell) const
{
    if (m_preset == TablePreset::Framework)
        return m_tableAlign;
    if (cell.header)
        return 1;
    const std::size_t k = std::size_t(cell.position - 1);
    return k < m_positionAlign.size() ? m_positionAlign[k] : m_tableAlign;
}

QString PresetPlanner::cellClass(const PresetCell &cell) const
{
    if (m_preset == TablePreset::None || !validAlign(cell.hAlign) || cell.hAlign == effectiveAlign(cell))
        return QString();
    if (m_preset == TablePreset::Framework)
        return QLatin1String(FrameworkAlign[cell.hAlign]);
    return QLatin1String("qv-") + QLatin1String(AlignNames[cell.hAlign]);
}

QString PresetPlanner::label(const PresetCell &cell) const
{
    if (!m_responsive || cell.head || cell.col < 1 || std::size_t(cell.col) > m_labels.size())
        return QString();
    return m_labels[std::size_t(cell.col - 1)];
}

qint64 PresetPlanner::labelChars() const
{
    qint64 n = 0;
    for (std::size_t c = 0; c < m_labels.size(); ++c)
        if (!m_labels[c].isEmpty())
            n += m_bodyCells[c] * (m_labels[c].size() + 14);
    return n;
}

QString PresetPlanner::tableClass() const
{
    QStringList classes;
    if (m_preset == TablePreset::Framework) {
        classes << QStringLiteral("table table-striped table-bordered");
        if (m_tableAlign != 0)
            classes << QLatin1String(FrameworkAlign[m_tableAlign]);
    } else if (m_preset != TablePreset::None) {
        classes << QLatin1String("qv-") + tablePresetName(m_preset);
        if (m_tableAlign != 0)
            classes << QLatin1String("qv-") + QLatin1String(AlignNames[m_tableAlign]);
        for (std::size_t k = 0; k < m_positionAlign.size(); ++k)
            if (m_positionAlign[k] != m_tableAlign)
                classes << QStringLiteral("qv-c%1-%2").arg(k + 1).arg(QLatin1String(AlignNames[m_positionAlign[k]]));
    }
    if (hasLabels())
        classes << QStringLiteral("qv-stack");
    return classes.join(QLatin1Char(' '));
}

QString PresetPlanner::styleSheet() const
{
    QString css = lookRules(m_preset);
    if (m_preset != TablePreset::None && m_preset != TablePreset::Framework) {
        const QString name = tablePresetName(m_preset);
        if (m_tableAlign != 0)
            css += QStringLiteral("table.qv-%1 > * > tr > td { text-align: %1; }\r\n").arg(QLatin1String(AlignNames[m_tableAlign]));
        for (std::size_t k = 0; k < m_positionAlign.size(); ++k)
            if (m_positionAlign[k] != m_tableAlign)
                css += QStringLiteral("table.qv-c%1-%2 > * > tr > td:nth-child(%1) { text-align: %2; }\r\n")
                               .arg(k + 1).arg(QLatin1String(AlignNames[m_positionAlign[k]]));
        // After the column rules, at the same weight: a cell's own wins.
        for (const char *align : AlignNames)
            css += QStringLiteral("table.qv-%1 > * > tr > td.qv-%2, table.qv-%1 > * > tr > th.qv-%2 { text-align: %2; }\r\n")
                           .arg(name, QLatin1String(align));
    }
    if (m_responsive) {
        if (m_preset != TablePreset::Framework)
            css += QLatin1String(".qv-scroll { overflow-x: auto; }\r\n");
        if (hasLabels())
            css += StackRules;
    }
    return css;
}

QString PresetPlanner::before() const
{
    QString text;
    if (m_placement == CssPlacement::Block) {
        const QString css = styleSheet();
        if (!css.isEmpty())
            text += QLatin1String("<style>\r\n") + css + QLatin1String("</style>\r\n");
    }
    if (m_responsive) {
        if (m_preset == TablePreset::Framework)
            text += QLatin1String("<div class=\"table-responsive\">\r\n");
        else if (m_inline)
            text += QLatin1String("<div class=\"qv-scroll\" style=\"overflow-x: auto\">\r\n");
        else
            text += QLatin1String("<div class=\"qv-scroll\">\r\n");
    }
    return text;
}

QString PresetPlanner::after() const
{
    return m_responsive ? QLatin1String("\r\n</div>") : QString();
}

QString tableStyleSheet(const TableModel &model)
{
    return usesPresetMarkup(model) ? markup::html5StyleSheet(model) : QString();
}

QString previewStyleSheet(const TableModel &model)
{
    if (model.OutputProfile != MarkupProfile::Html5)
        return QString();
    QString css;
    if (model.OutputPreset == TablePreset::Framework)
        css += FrameworkStandIn;
    if (model.OutputCss != CssPlacement::Block)
        css += tableStyleSheet(model);
    return css;
}

QString styleSheetPathFor(const QString &htmlPath)
{
    const QFileInfo info(htmlPath);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    const QString folder = info.path();
    return (folder == QLatin1String(".") && !htmlPath.startsWith(QLatin1String("./")) ? QString()
                                                                                        : folder + QLatin1Char('/'))
            + base + QLatin1String(".css");
}

QString styleSheetHref(const QString &cssPath)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(cssPath).fileName()));
}
