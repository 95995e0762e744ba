#include "core/markup/table_check.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include "core/markup/header_layout.h"
#include "core/model/table_edits.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

bool nameChar(QChar ch)
{
    return ch.isLetterOrNumber() || ch == QLatin1Char('-') || ch == QLatin1Char('_');
}

int hexValue(QChar ch)
{
    const ushort u = ch.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

qint32 bgr(int r, int g, int b)
{
    return qint32((std::clamp(b, 0, 255) << 16) | (std::clamp(g, 0, 255) << 8) | std::clamp(r, 0, 255));
}

// A colour as HTML and CSS write it: #rgb, #rrggbb, rgb(r, g, b) or one of
// the names every browser knows. Anything else is not judged.
std::optional<qint32> parseColor(QString value)
{
    value = value.trimmed().toLower();
    if (value.endsWith(QLatin1String("!important")))
        value = value.chopped(10).trimmed();
    if (value.startsWith(QLatin1Char('#')))
        value.remove(0, 1);
    if (value.size() == 3 || value.size() == 6) {
        int d[6] = {};
        bool hex = true;
        for (int i = 0; i < value.size(); ++i)
            hex = hex && (d[i] = hexValue(value.at(i))) >= 0;
        if (hex)
            return value.size() == 3 ? bgr(d[0] * 17, d[1] * 17, d[2] * 17)
                                     : bgr(d[0] * 16 + d[1], d[2] * 16 + d[3], d[4] * 16 + d[5]);
    }
    if (value.startsWith(QLatin1String("rgb(")) && value.endsWith(QLatin1Char(')'))) {
        const QStringList parts = value.mid(4, value.size() - 5).split(QRegularExpression(QStringLiteral("[,\\s/]+")),
                                                                       Qt::SkipEmptyParts);
        if (parts.size() < 3)
            return std::nullopt;
        int c[3];
        for (int i = 0; i < 3; ++i) {
            bool ok = false;
            const QString &p = parts.at(i);
            c[i] = p.endsWith(QLatin1Char('%')) ? int(std::lround(p.chopped(1).toDouble(&ok) * 2.55))
                                                 : int(std::lround(p.toDouble(&ok)));
            if (!ok)
                return std::nullopt;
        }
        return bgr(c[0], c[1], c[2]);
    }
    static const struct {
        const char *name;
        int r, g, b;
    } names[] = {
            {"black", 0, 0, 0},       {"silver", 192, 192, 192}, {"gray", 128, 128, 128},  {"grey", 128, 128, 128},
            {"white", 255, 255, 255}, {"maroon", 128, 0, 0},     {"red", 255, 0, 0},       {"purple", 128, 0, 128},
            {"fuchsia", 255, 0, 255}, {"magenta", 255, 0, 255},  {"green", 0, 128, 0},     {"lime", 0, 255, 0},
            {"olive", 128, 128, 0},   {"yellow", 255, 255, 0},   {"navy", 0, 0, 128},      {"blue", 0, 0, 255},
            {"teal", 0, 128, 128},    {"aqua", 0, 255, 255},     {"cyan", 0, 255, 255},    {"orange", 255, 165, 0},
            {"pink", 255, 192, 203},  {"brown", 165, 42, 42},    {"lightgray", 211, 211, 211},
            {"lightgrey", 211, 211, 211}, {"darkgray", 169, 169, 169}, {"darkgrey", 169, 169, 169},
            {"gold", 255, 215, 0},    {"lightyellow", 255, 255, 224},
    };
    for (const auto &n : names)
        if (value == QLatin1String(n.name))
            return bgr(n.r, n.g, n.b);
    return std::nullopt;
}

// The text colours a cell's markup sets: <FONT COLOR=...> and the CSS color
// property in style attributes (not background-color, border-color, bgcolor).
QVector<qint32> textColors(const QString &markup)
{
    QVector<qint32> found;
    const QLatin1String key("color");
    for (qsizetype at = markup.indexOf(key, 0, Qt::CaseInsensitive); at >= 0 && found.size() < 64;
         at = markup.indexOf(key, at + key.size(), Qt::CaseInsensitive)) {
        if (at > 0 && nameChar(markup.at(at - 1)))
            continue;
        qsizetype i = at + key.size();
        while (i < markup.size() && markup.at(i).isSpace())
            ++i;
        if (i >= markup.size())
            break;
        const QChar mark = markup.at(i++);
        if (mark != QLatin1Char('=') && mark != QLatin1Char(':'))
            continue;
        while (i < markup.size() && markup.at(i).isSpace())
            ++i;
        QChar quote;
        if (mark == QLatin1Char('=') && i < markup.size()
            && (markup.at(i) == QLatin1Char('"') || markup.at(i) == QLatin1Char('\'')))
            quote = markup.at(i++);
        qsizetype end = i;
        while (end < markup.size() && end - i < 64) {
            const QChar ch = markup.at(end);
            if (ch == QLatin1Char('>') || (quote.isNull() ? ch.isSpace() && mark == QLatin1Char('=') : ch == quote)
                || (mark == QLatin1Char(':') && (ch == QLatin1Char(';') || ch == QLatin1Char('"') || ch == QLatin1Char('\''))))
                break;
            ++end;
        }
        if (const auto color = parseColor(markup.mid(i, end - i)))
            found.append(*color);
    }
    return found;
}

double luminance(qint32 color)
{
    auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color & 0xFF) + 0.7152 * channel((color >> 8) & 0xFF) + 0.0722 * channel((color >> 16) & 0xFF);
}

// The markup without its links: what is left shows nothing in a cell of links only.
bool linksOnly(const QString &markup)
{
    if (!markup.contains(QLatin1String("<a"), Qt::CaseInsensitive))
        return false;
    QString rest;
    bool any = false;
    qsizetype from = 0;
    while (from < markup.size()) {
        qsizetype open = markup.indexOf(QLatin1String("<a"), from, Qt::CaseInsensitive);
        while (open >= 0 && open + 2 < markup.size() && !markup.at(open + 2).isSpace()
               && markup.at(open + 2) != QLatin1Char('>'))
            open = markup.indexOf(QLatin1String("<a"), open + 2, Qt::CaseInsensitive);
        if (open < 0 || open + 2 >= markup.size())
            break;
        const qsizetype close = markup.indexOf(QLatin1String("</a"), open, Qt::CaseInsensitive);
        if (close < 0)
            break;
        rest += QStringView(markup).mid(from, open - from);
        any = true;
        const qsizetype after = markup.indexOf(QLatin1Char('>'), close);
        from = after < 0 ? markup.size() : after + 1;
    }
    rest += QStringView(markup).mid(from);
    return any && HeaderLayout::showsNothing(rest);
}

QString scopeWord(CellScope scope)
{
    switch (scope) {
    case CellScope::Row: return QStringLiteral("row");
    case CellScope::Col: return QStringLiteral("col");
    case CellScope::RowGroup: return QStringLiteral("rowgroup");
    case CellScope::ColGroup: return QStringLiteral("colgroup");
    case CellScope::Auto: break;
    }
    return QString();
}

} // namespace

double contrastRatio(qint32 a, qint32 b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

CheckReport checkTable(const TableModel &model)
{
    CheckReport report;
    auto add = [&report](const CheckFinding &f) {
        if (report.findings.size() < MaxCheckFindings)
            report.findings.append(f);
        else
            ++report.leftOut;
    };
    const HeaderLayout layout(model);
    const int rows = layout.rows(), cols = layout.cols();
    if (rows < 1 || cols < 1)
        return report;

    if (HeaderLayout::showsNothing(model.TableTitle))
        add({CheckIssue::NoCaption, 0, 0, CheckFix::AddCaption});
    if (layout.headerCells().isEmpty()) {
        CheckFinding f{CheckIssue::NoHeaders, 0, 0, CheckFix::MakeHeaderRow};
        f.row = layout.firstDataRow() > 0 ? layout.firstDataRow() : 1;
        add(f);
    }

    // The cells that show anything: links only, tables inside, their contrast.
    const qint32 white = 0xFFFFFF, black = 0;
    const qint32 tableFill = model.TableBackColorNothing == 0 ? model.TableBackColor & 0xFFFFFF : white;
    qint64 shown = 0, links = 0;
    QPoint nested;
    QVector<CheckFinding> cells;
    model.Cells.forEachHeld(QRect(1, 1, cols, rows), [&](int c, int r, const CellRecord &R) {
        if (!layout.spans().isWritten(c, r))
            return;
        const bool empty = HeaderLayout::showsNothing(R.Text);
        if (R.Header == -1 && empty)
            cells.append({CheckIssue::EmptyHeader, c, r});
        if (empty)
            return;
        ++shown;
        if (linksOnly(R.Text))
            ++links;
        if (nested.isNull() && R.Text.contains(QLatin1String("<table"), Qt::CaseInsensitive))
            nested = QPoint(c, r);
        const qint32 fill = R.BackColorNothing == 0 ? R.BackColor & 0xFFFFFF : tableFill;
        QVector<qint32> colors = textColors(R.Text);
        if (colors.isEmpty())
            colors.append(black);
        double worst = 21;
        for (const qint32 color : std::as_const(colors))
            worst = std::min(worst, contrastRatio(color, fill));
        if (worst < MinTextContrast) {
            CheckFinding f{CheckIssue::LowContrast, c, r};
            f.contrast = worst;
            cells.append(f);
        }
    });
    // A cell with a scope of its own says what it heads.
    for (const QPoint p : layout.ambiguous())
        if (std::as_const(model).Cells(p.x(), p.y()).Scope == 0) {
            CheckFinding f{CheckIssue::AmbiguousHeader, p.x(), p.y(), CheckFix::SetScope};
            f.scope = layout.automaticScope(p.x(), p.y());
            cells.append(f);
        }

    auto layoutSign = [&](LayoutSign sign, QPoint at = QPoint()) {
        CheckFinding f{CheckIssue::LayoutTable, at.x(), at.y()};
        f.sign = sign;
        add(f);
    };
    if (rows == 1 && shown > 0)
        layoutSign(LayoutSign::OneRow);
    if (shown > 0 && links == shown)
        layoutSign(LayoutSign::LinksOnly);
    if (!nested.isNull())
        layoutSign(LayoutSign::NestedTable, nested);

    std::stable_sort(cells.begin(), cells.end(), [](const CheckFinding &a, const CheckFinding &b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    for (const CheckFinding &f : std::as_const(cells))
        add(f);
    return report;
}

QString findingText(const CheckFinding &f)
{
    const QString place = f.col > 0 ? QCoreApplication::translate("TableCheck", "行 %1, 列 %2").arg(f.row).arg(f.col) : QCoreApplication::translate("TableCheck", "表");
    QString what;
    switch (f.issue) {
    case CheckIssue::NoCaption:
        what = QCoreApplication::translate("TableCheck", "表題がありません。読み上げでは表の名前がわかりません");
        break;
    case CheckIssue::NoHeaders:
        what = QCoreApplication::translate("TableCheck", "見出しセルがありません。読み上げではどの値が何かわかりません");
        break;
    case CheckIssue::EmptyHeader:
        what = QCoreApplication::translate("TableCheck", "見出しセルが空です");
        break;
    case CheckIssue::AmbiguousHeader:
        what = QCoreApplication::translate("TableCheck", "結合のため何の見出しかはっきりしません（scope=\"%1\" と読まれます）").arg(scopeWord(f.scope));
        break;
    case CheckIssue::LowContrast:
        what = QCoreApplication::translate("TableCheck", "文字色と背景色のコントラストが %1 : 1 です（4.5 : 1 未満）")
                       .arg(QString::number(std::floor(f.contrast * 100) / 100, 'f', 2));
        break;
    case CheckIssue::LayoutTable:
        what = f.sign == LayoutSign::OneRow ? QCoreApplication::translate("TableCheck", "1 行だけの表です。レイアウト用の表ではありませんか")
                : f.sign == LayoutSign::LinksOnly ? QCoreApplication::translate("TableCheck", "リンクだけの表です。レイアウト用の表ではありませんか")
                                                  : QCoreApplication::translate("TableCheck", "セルの中に表があります。レイアウト用の表ではありませんか");
        break;
    }
    return place + QStringLiteral(": ") + what;
}

QString fixText(const CheckFinding &f)
{
    switch (f.fix) {
    case CheckFix::AddCaption: return QCoreApplication::translate("TableCheck", "表題を付けます");
    case CheckFix::MakeHeaderRow: return QCoreApplication::translate("TableCheck", "%1 行目を見出し行にします").arg(f.row);
    case CheckFix::SetScope: return QCoreApplication::translate("TableCheck", "この見出しの scope を \"%1\" にします").arg(scopeWord(f.scope));
    case CheckFix::None: break;
    }
    return QString();
}

bool applyFix(TableModel &model, const CheckFinding &f, const QString &caption)
{
    switch (f.fix) {
    case CheckFix::AddCaption:
        if (caption.trimmed().isEmpty() || caption == model.TableTitle)
            return false;
        model.TableTitle = caption;
        return true;
    case CheckFix::MakeHeaderRow:
        return makeHeaderRow(model, f.row);
    case CheckFix::SetScope: {
        if (f.col < 1 || f.row < 1 || f.col > model.TableCols || f.row > model.TableRows || f.scope == CellScope::Auto
            || std::as_const(model).Cells(f.col, f.row).Scope == qint16(f.scope))
            return false;
        model.Cells(f.col, f.row).Scope = qint16(f.scope);
        return true;
    }
    case CheckFix::None:
        break;
    }
    return false;
}

bool makeHeaderRow(TableModel &model, int row)
{
    const int rows = std::clamp<int>(model.TableRows, 0, TableLimits::MaxRows);
    const int cols = std::clamp<int>(model.TableCols, 0, TableLimits::MaxCols);
    if (row < 1 || row > rows)
        return false;
    SpanLayout spans;
    spans.compute(model, rows, cols);
    bool changed = false;
    for (int c = 1; c <= cols; ++c) {
        if (!spans.isWritten(c, row) || std::as_const(model).Cells(c, row).Header == -1)
            continue;
        model.Cells(c, row).Header = -1;
        changed = true;
    }
    return changed;
}
