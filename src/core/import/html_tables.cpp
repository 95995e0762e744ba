#include "core/import/html_tables.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "core/import/html_tables_p.h"
#include "core/markup/table_markup.h"
#include "core/text/text_codec.h"
#include "core/model/grid_text.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>

using namespace htmltables;

namespace {

constexpr int MaxBorder = 10;

// ------------------------------------------------------- page encoding

// The charset named in a Content-Type value ("text/html; charset=Shift_JIS").
std::optional<QString> charsetFromContent(const QString &content)
{
    qsizetype pos = 0;
    for (;;) {
        const qsizetype found = content.indexOf(QLatin1String("charset"), pos, Qt::CaseInsensitive);
        if (found < 0)
            return std::nullopt;
        pos = found + 7;
        while (pos < content.size() && isHtmlSpace(content.at(pos)))
            ++pos;
        if (pos >= content.size() || content.at(pos) != u'=')
            continue;
        ++pos;
        while (pos < content.size() && isHtmlSpace(content.at(pos)))
            ++pos;
        if (pos >= content.size())
            return std::nullopt;
        const QChar quote = content.at(pos);
        if (quote == u'"' || quote == u'\'') {
            const qsizetype close = content.indexOf(quote, pos + 1);
            if (close < 0)
                return std::nullopt;
            return content.mid(pos + 1, close - pos - 1);
        }
        qsizetype end = pos;
        while (end < content.size() && !isHtmlSpace(content.at(end)) && content.at(end) != u';')
            ++end;
        return content.mid(pos, end - pos);
    }
}

// The first charset a <meta> of the page declares.
std::optional<QString> declaredCharset(const ParsedPage &page)
{
    std::vector<const GumboNode *> stack;
    if (page.document())
        stack.push_back(page.document());
    while (!stack.empty()) {
        const GumboNode *node = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT)
            continue;
        const GumboVector &children = node->type == GUMBO_NODE_DOCUMENT
                ? node->v.document.children : node->v.element.children;
        if (const GumboElement *meta = htmlElement(node, GUMBO_TAG_META)) {
            if (auto charset = attribute(*meta, "charset"))
                return charset->trimmed();
            const auto equiv = attribute(*meta, "http-equiv");
            const auto content = attribute(*meta, "content");
            if (equiv && content && equiv->trimmed().compare(QLatin1String("content-type"),
                                                             Qt::CaseInsensitive) == 0) {
                if (auto charset = charsetFromContent(*content))
                    return charset->trimmed();
            }
        }
        for (unsigned i = children.length; i-- > 0;)
            stack.push_back(static_cast<const GumboNode *>(children.data[i]));
    }
    return std::nullopt;
}

enum class Coding { Utf8, Cp932, Other };

Coding codingOf(const QString &label, QByteArray *otherName)
{
    const QString l = label.toLower();
    static const char *const sjis[] = {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji",
                                       "csshiftjis", "windows-31j", "ms932", "cp932",
                                       "windows-932", "x-ms-cp932"};
    for (const char *name : sjis)
        if (l == QLatin1String(name))
            return Coding::Cp932;
    // A page cannot be UTF-16 and say so in itself; browsers read those as UTF-8.
    static const char *const utf8[] = {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8",
                                       "unicode20utf8", "x-unicode20utf8", "utf-16", "utf-16le",
                                       "utf-16be"};
    for (const char *name : utf8)
        if (l == QLatin1String(name))
            return Coding::Utf8;
    // Browsers read every Latin-1 label as windows-1252.
    static const char *const latin[] = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1",
                                        "ascii", "us-ascii", "cp819", "ibm819", "csisolatin1",
                                        "iso-ir-100", "iso88591", "cp1252", "x-cp1252"};
    *otherName = std::any_of(std::begin(latin), std::end(latin),
                             [&](const char *n) { return l == QLatin1String(n); })
            ? QByteArray("windows-1252") : l.toLatin1();
    return Coding::Other;
}

// The page parsed from its text in UTF-8.
std::unique_ptr<ParsedPage> parsePage(const QByteArray &page)
{
    if (page.startsWith("\xEF\xBB\xBF"))
        return std::make_unique<ParsedPage>(page.mid(3));
    if (page.startsWith("\xFF\xFE") || page.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(page.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        const QString text = decoder.decode(page.mid(2));
        return std::make_unique<ParsedPage>(text.toUtf8());
    }

    // The charset is looked for in the page's head as it stands (the markup
    // naming it is ASCII in every encoding a page can declare), in its first
    // 4 KB as a browser's first look does (1 KB there), without parsing the
    // whole page twice.
    constexpr qsizetype HeadBytes = 4096;
    std::unique_ptr<ParsedPage> whole; // a small page is its own head
    std::optional<QString> label;
    if (page.size() <= HeadBytes) {
        whole = std::make_unique<ParsedPage>(page);
        label = declaredCharset(*whole);
    } else {
        label = declaredCharset(ParsedPage(page.left(HeadBytes)));
    }
    auto asUtf8 = [&] {
        // Invalid bytes read as U+FFFD, as in a browser.
        return whole ? std::move(whole) : std::make_unique<ParsedPage>(page);
    };

    QByteArray otherName;
    Coding coding = Coding::Utf8;
    if (label)
        coding = codingOf(*label, &otherName);
    else if (page.startsWith("<TABLE BORDER=\"") || !page.isValidUtf8())
        coding = Coding::Cp932; // the program's own HTML 4 carries no charset
    switch (coding) {
    case Coding::Utf8:
        break;
    case Coding::Cp932:
        return std::make_unique<ParsedPage>(decodeCp932(page).toUtf8());
    case Coding::Other: {
        QStringDecoder decoder(otherName.constData());
        if (!decoder.isValid())
            break;
        const QString text = decoder.decode(page);
        return std::make_unique<ParsedPage>(text.toUtf8());
    }
    }
    return asUtf8();
}

// ---------------------------------------------------------------- import

QString subjectOf(const QString &path)
{
    return path.isEmpty() ? QCoreApplication::translate("HtmlImport", "このページ") : QLatin1Char('"') + path + QLatin1Char('"');
}

ImportResult failure(ImportStatus status, const QString &message)
{
    ImportResult r;
    r.status = status;
    r.message = message;
    return r;
}

ImportResult tooComplex(const QString &path, PageLimit limit)
{
    ImportResult r = failure(ImportStatus::TooComplex, pageRefusedMessage(path, limit));
    r.limit = limit;
    return r;
}

ImportResult importTable(const QVector<HtmlTable> &tables, int index, TableModel &model,
                         const QString &path)
{
    const QString subject = subjectOf(path);
    if (index == PreferredTable)
        index = preferredHtmlTable(tables);
    if (tables.isEmpty())
        return failure(ImportStatus::NoTable,
                       QCoreApplication::translate("HtmlImport", "%1には表（TABLE 要素）がないため、読み込めませんでした。")
                               .arg(subject));
    if (index < 0 || index >= tables.size())
        return failure(ImportStatus::NoSuchTable,
                       QCoreApplication::translate("HtmlImport", "%1には %2 番目の表がないため、読み込めませんでした。")
                               .arg(subject, QString::number(index + 1)));
    const HtmlTable &t = tables.at(index);
    if (t.rows > TableLimits::MaxRows || t.cols > TableLimits::MaxCols) {
        ImportResult r = failure(
                ImportStatus::TooLarge,
                QCoreApplication::translate("HtmlImport", "%1の表 %2 は %3 行 × %4 列あり、表の大きさの上限（%5 行 × %6 "
                                                          "列）を超えるため、読み込めませんでした。")
                        .arg(subject, QString::number(index + 1), QString::number(t.rows),
                             QString::number(t.cols), QString::number(TableLimits::MaxRows),
                             QString::number(TableLimits::MaxCols)));
        r.rows = t.rows;
        r.cols = t.cols;
        return r;
    }
    if (t.cells.isEmpty())
        return failure(ImportStatus::Empty,
                       QCoreApplication::translate("HtmlImport", "%1の表 %2 にはセルがないため、読み込めませんでした。")
                               .arg(subject, QString::number(index + 1)));

    // Built apart, so that nothing reaches the model unless all of it does.
    TableModel table;
    table.TableRows = t.rows;
    table.TableCols = t.cols;
    table.TableTitle = t.hasCaption ? t.caption : QString();
    // No border given is no border, as in a browser.
    table.TableBorder = qint16(std::clamp(t.border, 0, MaxBorder));
    table.TableBackColorNothing = t.hasBackColor ? 0 : 1;
    if (t.hasBackColor)
        table.TableBackColor = t.backColor;
    table.OutputProfile = t.profile;
    table.TableWidthUnit = t.widthUnit;
    if (t.widthUnit != WidthUnit::None)
        table.TableWidth = t.width;
    // HTML 4 writes an alignment on every data cell unless in Netscape mode, so
    // data cells without any read as that mode. HTML5 writes one only where it
    // differs from the browser's, which a cell without one has already.
    table.NetscapeMode = t.profile == MarkupProfile::Html4 && t.hasDataCells && !t.dataCellAligned
            ? 1 : 0;
    table.TableId = t.id;
    table.TableClass = t.cls;
    // Nothing the page did not have: a table styled by the site's CSS alone
    // comes back out without style attributes.
    if (t.profile == MarkupProfile::Html5 && !t.presentational)
        table.OutputStyle = PresentationStyle::None;
    for (const HtmlTableCell &c : t.cells)
        table.Cells(c.col, c.row) = c.record;
    table.FooterRows = t.footerRows;
    // HTML5 writes a scope of its own accord; only the others are settings.
    if (t.profile == MarkupProfile::Html5)
        clearAutomaticScopes(table);

    model.TableRows = table.TableRows;
    model.TableCols = table.TableCols;
    model.TableTitle = table.TableTitle;
    model.TableBorder = table.TableBorder;
    model.TableBackColor = table.TableBackColor;
    model.TableBackColorNothing = table.TableBackColorNothing;
    model.NetscapeMode = table.NetscapeMode;
    model.OutputProfile = table.OutputProfile;
    model.TableWidthUnit = table.TableWidthUnit;
    model.TableWidth = table.TableWidth;
    model.OutputStyle = table.OutputStyle;
    model.TableId = table.TableId;
    model.TableClass = table.TableClass;
    model.FooterRows = table.FooterRows;
    model.Cells = std::move(table.Cells);

    ImportResult r;
    r.rows = t.rows;
    r.cols = t.cols;
    r.leftOut = t.leftOut;
    r.unwritten = t.unwritten;
    return r;
}

} // namespace

QString leftOutMessage(const QStringList &leftOut)
{
    return QCoreApplication::translate("HtmlImport", "次の要素と属性は取り込まれませんでした: %1")
            .arg(leftOut.join(QStringLiteral(", ")));
}


QString unwrittenStyleMessage(const QStringList &unwritten)
{
    return QCoreApplication::translate("HtmlImport", "次のスタイルはセルに残しましたが、HTML 4 の出力には書き出されません"
                                                     "（HTML5 にすると書き出されます）: %1")
            .arg(unwritten.join(QStringLiteral(", ")));
}

QString importNotice(const ImportResult &result)
{
    QStringList parts;
    if (!result.leftOut.isEmpty())
        parts << leftOutMessage(result.leftOut);
    if (!result.unwritten.isEmpty())
        parts << unwrittenStyleMessage(result.unwritten);
    // Two sentences, joined as the language joins them.
    return parts.join(QCoreApplication::translate("HtmlImport", "。"));
}

QString decodeHtmlPage(const QByteArray &page)
{
    return QString::fromUtf8(parsePage(page)->source());
}

QVector<HtmlTable> parseHtmlTables(const QByteArray &page)
{
    return parseHtmlTables(page, static_cast<PageLimit *>(nullptr));
}

// The parse itself runs on a budget (bounded_parse.cpp); what is made from it
// is bounded by the limits of readTables. Memory running out all the same, on
// a machine short of it, ends this page, not the program with every table open.
QVector<HtmlTable> parseHtmlTables(const QByteArray &page, bool *tooComplex)
{
    PageLimit refused = PageLimit::None;
    QVector<HtmlTable> tables = parseHtmlTables(page, &refused);
    if (tooComplex)
        *tooComplex = refused != PageLimit::None;
    return tables;
}

QVector<HtmlTable> parseHtmlTables(const QByteArray &page, PageLimit *refused)
{
    PageLimit hit = PageLimit::None;
    QVector<HtmlTable> tables;
    if (page.size() > MaxHtmlPageBytes) {
        hit = PageLimit::Size;
    } else {
        try {
            tables = readTables(*parsePage(page), &hit);
        } catch (const std::bad_alloc &) {
            hit = PageLimit::Memory;
            tables.clear();
        }
    }
    if (refused)
        *refused = hit;
    return tables;
}

QString pageRefusedMessage(const QString &path, PageLimit limit)
{
    const QString subject = subjectOf(path);
    switch (limit) {
    case PageLimit::Size:
        return QCoreApplication::translate("HtmlImport", "%1は大きすぎる（%2 MiB を超える）ため、読み込めませんでした。")
                .arg(subject).arg(MaxHtmlPageBytes / (1024 * 1024));
    case PageLimit::Depth:
        return QCoreApplication::translate("HtmlImport", "%1は要素の入れ子が深すぎるため、読み込めませんでした。")
                .arg(subject);
    case PageLimit::Time:
        return QCoreApplication::translate("HtmlImport", "%1は大きさの割に読み取りに時間がかかりすぎるため、"
                                                         "読み込めませんでした。").arg(subject);
    case PageLimit::Memory:
        return QCoreApplication::translate("HtmlImport", "%1は大きさの割に読み取りに必要なメモリーが多すぎるため、"
                                                         "読み込めませんでした。").arg(subject);
    case PageLimit::None:
        break;
    }
    return QCoreApplication::translate("HtmlImport", "%1は大きすぎるか、要素の入れ子が深すぎるため、読み込めませんでした。")
            .arg(subject);
}

QVector<HtmlTable> parseHtmlTables(const QString &html)
{
    try {
        return readTables(ParsedPage(html.toUtf8()));
    } catch (const std::bad_alloc &) {
        return {};
    }
}

ImportResult importHtmlTable(const QVector<HtmlTable> &tables, int tableIndex, TableModel &model,
                             const QString &path)
{
    return importTable(tables, tableIndex, model, path);
}

ImportResult importHtmlTable(const QByteArray &page, int tableIndex, TableModel &model)
{
    PageLimit refused = PageLimit::None;
    const QVector<HtmlTable> tables = parseHtmlTables(page, &refused);
    if (refused != PageLimit::None)
        return tooComplex(QString(), refused);
    return importTable(tables, tableIndex, model, QString());
}

bool isHtmlFileName(const QString &path)
{
    return path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
            || path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

ImportResult importHtmlFile(const QString &path, int tableIndex, TableModel &model)
{
    const ImportResult unreadable = failure(
            ImportStatus::Unreadable,
            QCoreApplication::translate("HtmlImport", "%1を読み込めませんでした。").arg(subjectOf(path)));
    // Opening a named pipe would wait for a writer; reading a device might never end.
    if (!QFileInfo(path).isFile())
        return unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable;
    if (file.size() > MaxHtmlPageBytes)
        return tooComplex(path, PageLimit::Size);
    const QByteArray page = file.read(MaxHtmlPageBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable;
    PageLimit refused = PageLimit::None;
    const QVector<HtmlTable> tables = parseHtmlTables(page, &refused);
    if (refused != PageLimit::None)
        return tooComplex(path, refused);
    return importTable(tables, tableIndex, model, path);
}
