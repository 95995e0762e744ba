#include "core/io/table_export.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "core/io/table_document_io.h"
#include "core/io/table_file.h"
#include "core/io/compression.h"
#include "core/io/publish_formats.h"
#include "core/io/save_target.h"
#include "core/io/text_table.h"
#include "core/import/html_tables.h"
#include "core/import/spreadsheet_file.h"
#include "core/markup/table_check.h"
#include "core/markup/table_markup.h"
#include "core/markup/table_presets.h"
#include "core/model/table_model.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

// True when both names reach one existing file: the same path after links are
// resolved, or another hard link to it.
bool sameFile(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (canonicalA.isEmpty())
        return false;
    if (canonicalA == QFileInfo(b).canonicalFilePath())
        return true;
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0
            && ::stat(QFile::encodeName(b).constData(), &sb) == 0
            && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

QString sameFileMessage(const QString &source, const QString &target)
{
    return QStringLiteral("\"%1\" and \"%2\" are the same file: exporting it as anything but a "
                          ".qvn table file would overwrite its only copy. Choose another TARGET.")
            .arg(source, target);
}

// A page's table (PreferredTable, or an index in document order), reported
// the way a failed open is; what the table could not hold goes into leftOut,
// what it holds that HTML 4 does not write into unwritten.
OpenResult fromImport(const ImportResult &imported, QStringList &leftOut, QStringList &unwritten)
{
    leftOut = imported.leftOut;
    unwritten = imported.unwritten;
    OpenResult r;
    if (!imported.ok()) {
        r.status = OpenStatus::Damaged;
        r.message = imported.message;
    }
    return r;
}

OpenResult openFailure(OpenStatus status, const QString &message)
{
    OpenResult r;
    r.status = status;
    r.message = message;
    return r;
}

QString standardInputName()
{
    return QCoreApplication::translate("TableExport", "標準入力");
}

enum class Input { Ok, Unreadable, TooLarge };

Input readWhole(QFile &in, qint64 limit, QByteArray &bytes);

// The whole of standard input or of a regular file, up to limit bytes. A
// device or a pipe under a file's name could be endless, so only standard
// input is read as a stream, and only up to the limit.
Input readInput(const QString &source, qint64 limit, QByteArray &bytes)
{
    QFile in;
    if (source == standardStreamName()) {
        if (!in.open(stdin, QIODevice::ReadOnly))
            return Input::Unreadable;
    } else {
        in.setFileName(source);
        if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
            return Input::Unreadable;
        if (in.size() > limit)
            return Input::TooLarge;
    }
    try {
        return readWhole(in, limit, bytes);
    } catch (const std::bad_alloc &) {
        bytes.clear();
        return Input::TooLarge; // no room for it: as good as too large
    }
}

Input readWhole(QFile &in, qint64 limit, QByteArray &bytes)
{
    constexpr qint64 Chunk = 1 << 20;
    for (;;) {
        const qsizetype had = bytes.size();
        const qint64 want = std::min(Chunk, limit + 1 - had);
        bytes.resize(had + qsizetype(want));
        const qint64 got = in.read(bytes.data() + had, want);
        if (got < 0) {
            bytes.clear();
            return Input::Unreadable;
        }
        bytes.resize(had + qsizetype(got));
        if (bytes.size() > limit) {
            bytes.clear();
            return Input::TooLarge;
        }
        if (got == 0) // a pipe may give less than asked long before its end
            return Input::Ok;
    }
}

OpenResult tableTextResult(const ReadResult &read, const QString &name)
{
    if (read.ok())
        return OpenResult();
    if (read.status == ReadStatus::NewerVersion)
        return openFailure(OpenStatus::NewerVersion, newerVersionMessage(name, read.version));
    return openFailure(OpenStatus::Damaged, damagedFileMessage(name));
}

// A CSV or TSV reading as Open reports it; what the reading changed (bytes
// that did not decode, NUL characters left out) goes into notes.
OpenResult textTableResult(const TextTableRead &read, const QString &name, QStringList *notes)
{
    switch (read.failure) {
    case TextTableRead::None:
        break;
    case TextTableRead::Empty:
        return openFailure(OpenStatus::Damaged, damagedFileMessage(name));
    case TextTableRead::TooLarge:
        return openFailure(OpenStatus::Damaged,
                           read.rows > TableLimits::MaxRows || read.cols > TableLimits::MaxCols
                                   ? QCoreApplication::translate("TextTable", "\"%1\"は%2 行 × %3 列あり、表に収まりません（%4 行 × %5 列まで）。")
                                             .arg(name).arg(read.rows).arg(read.cols).arg(TableLimits::MaxRows)
                                             .arg(TableLimits::MaxCols)
                                   : textTableTooLargeMessage(name));
    case TextTableRead::OutOfMemory:
        return openFailure(OpenStatus::Damaged, textTableTooLargeMessage(name));
    }
    if (notes) {
        if (read.replaced > 0)
            *notes << QCoreApplication::translate("TextTable", "\"%1\"の %2 か所は %3 として読めず、�に置き換えました。")
                              .arg(name).arg(read.replaced)
                              .arg(read.encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("UTF-16"));
        if (read.nulsDropped > 0)
            *notes << QCoreApplication::translate("TextTable", "\"%1\"にあった NUL 文字 %2 個を取り除きました。")
                              .arg(name).arg(read.nulsDropped);
    }
    return OpenResult();
}

// SOURCE in a format it was named for (--from) or from standard input: its
// bytes first, then the format's reader on them.
OpenResult openSourceAs(const QString &source, TableFormat format, int tableIndex, const QString &sheet,
                        TableModel &model, QStringList &leftOut, QStringList &unwritten, QStringList &notes)
{
    const QString name = source == standardStreamName() ? standardInputName() : source;
    const bool workbook = format == TableFormat::Ods || format == TableFormat::Xlsx;
    const qint64 limit = format == TableFormat::Html ? MaxHtmlPageBytes
            : workbook ? MaxWorkbookBytes : MaxTableTextBytes;
    QByteArray bytes;
    const Input input = readInput(source, limit, bytes);
    if (format == TableFormat::Html && input != Input::Ok) {
        const QString subject = QLatin1Char('"') + name + QLatin1Char('"');
        return openFailure(OpenStatus::Damaged,
                           input == Input::TooLarge
                                   ? pageRefusedMessage(name, PageLimit::Size)
                                   : QCoreApplication::translate("HtmlImport", "%1を読み込めませんでした。").arg(subject));
    }
    if (workbook && input != Input::Ok)
        return openFailure(OpenStatus::Damaged,
                           input == Input::TooLarge
                                   ? workbookTooLargeMessage(name)
                                   : QCoreApplication::translate("Spreadsheet", "%1を読み込めませんでした。")
                                             .arg(QLatin1Char('"') + name + QLatin1Char('"')));
    const bool text = format == TableFormat::Csv || format == TableFormat::Tsv;
    if (input != Input::Ok)
        return openFailure(OpenStatus::Damaged, text && input == Input::TooLarge ? textTableTooLargeMessage(name)
                                                                                 : damagedFileMessage(name));
    try {
        switch (format) {
        case TableFormat::Html: {
            PageLimit refused = PageLimit::None;
            const QVector<HtmlTable> tables = parseHtmlTables(bytes, &refused);
            bytes.clear();
            if (refused != PageLimit::None)
                return openFailure(OpenStatus::Damaged, pageRefusedMessage(name, refused));
            return fromImport(importHtmlTable(tables, tableIndex, model, name), leftOut, unwritten);
        }
        case TableFormat::Csv:
        case TableFormat::Tsv:
            return textTableResult(readTextTable(bytes, format == TableFormat::Csv ? TextTableFormat::Csv
                                                                                   : TextTableFormat::Tsv, model),
                                   name, &notes);
        case TableFormat::TableFile: {
            // A .qvn is a gzip stream; the older .qvf is its text as it is.
            if (!bytes.startsWith("\x1f\x8b"))
                return tableTextResult(readOldTableText(bytes, model), name);
            QByteArray text;
            switch (gunzipBytes(bytes, text)) {
            case GunzipStatus::Ok:
                break;
            case GunzipStatus::TooLarge:
                return openFailure(OpenStatus::Damaged, damagedFileMessage(name));
            case GunzipStatus::Unreadable:
            case GunzipStatus::Corrupt:
                return openFailure(OpenStatus::UnexpectedError, openErrorMessage());
            }
            bytes.clear();
            return tableTextResult(readTableText(text, model), name);
        }
        case TableFormat::Ods:
        case TableFormat::Xlsx: {
            const SpreadsheetBook book = readSpreadsheetBytes(
                    bytes, format == TableFormat::Ods ? SpreadsheetKind::Ods : SpreadsheetKind::Xlsx, name);
            bytes.clear();
            return fromImport(importSpreadsheetBook(book, sheet, model, name), leftOut, unwritten);
        }
        case TableFormat::Markdown:
            break;
        }
    } catch (const std::bad_alloc &) {
        // Out of memory for this input: its own failure, not the program's end.
        if (text)
            return openFailure(OpenStatus::Damaged, textTableTooLargeMessage(name));
    }
    return openFailure(OpenStatus::Damaged, damagedFileMessage(name));
}

QString needsFormatMessage(bool writing)
{
    return writing ? QStringLiteral("Writing to standard output (-) needs --to FORMAT (%1).")
                             .arg(tableFormatNames(true).join(QStringLiteral(", ")))
                   : QStringLiteral("Reading standard input (-) needs --from FORMAT (%1).")
                             .arg(tableFormatNames(false).join(QStringLiteral(", ")));
}

TextTableFormat textFormatOf(TableFormat format)
{
    return format == TableFormat::Csv ? TextTableFormat::Csv
            : format == TableFormat::Tsv ? TextTableFormat::Tsv : TextTableFormat::Markdown;
}

// The whole output for TARGET "-", checked as a file of it would be.
SaveResult outputBytes(const TableModel &model, TableFormat format, const QString &html,
                       const TextTableOptions &textOptions, QByteArray &bytes, QStringList &notes)
{
    const QString name = standardStreamName();
    SaveResult r;
    switch (format) {
    case TableFormat::TableFile: {
        const QByteArray text = tableText(model);
        if (text.size() > MaxTableTextBytes)
            return SaveResult{false, tableTooLargeMessage(name, text.size())};
        bytes = gzipBytes(text, 1);
        break;
    }
    case TableFormat::Html:
        bytes = htmlDocumentBytes(html, model.OutputProfile);
        if (bytes.size() > MaxHtmlPageBytes) {
            r = SaveResult{false, htmlTooLargeMessage(name, bytes.size())};
            bytes.clear();
        }
        break;
    case TableFormat::Csv:
    case TableFormat::Tsv:
    case TableFormat::Markdown: {
        const TextTableOutput text = writeTextTable(model, textFormatOf(format), textOptions);
        for (const QString &note : text.notes)
            notes << name + QStringLiteral(": ") + note;
        bytes = text.bytes;
        break;
    }
    case TableFormat::Latex:
    case TableFormat::MediaWiki:
    case TableFormat::AsciiDoc:
    case TableFormat::Rst: {
        PublishOutput out = writePublished(model, *publishFormatOf(format));
        if (!out.ok)
            return SaveResult{false, publishedTooLargeMessage(name, out.size)};
        for (const QString &note : std::as_const(out.notes))
            notes << name + QStringLiteral(": ") + note;
        bytes = std::move(out.bytes);
        break;
    }
    case TableFormat::Ods:
    case TableFormat::Xlsx:
        break; // read only: exportTable refuses them as targets
    }
    return r;
}

QString unknownTargetMessage(const QString &target)
{
    return QStringLiteral("\"%1\": unknown kind of TARGET. Name it .qvn (a table file), .html or .htm "
                          "(the HTML text), .csv, .tsv or .md (the cells' text), .tex (LaTeX), .wiki "
                          "(MediaWiki), .adoc (AsciiDoc) or .rst (reStructuredText).")
            .arg(target);
}

// SOURCE as the Open command reads it, or as --from says.
OpenResult openSource(const QString &source, const ExportOptions &options, bool workbook, TableModel &model,
                      QStringList &leftOut, QStringList &unwritten, QStringList &readNotes)
{
    const int tableIndex = options.table > 0 ? options.table - 1 : PreferredTable;
    if (options.from || source == standardStreamName())
        return openSourceAs(source, *options.from, tableIndex, options.sheet, model, leftOut, unwritten, readNotes);
    const auto textSource = textTableFormatOf(source);
    return isHtmlFileName(source) ? fromImport(importHtmlFile(source, tableIndex, model), leftOut, unwritten)
            : workbook ? fromImport(importSpreadsheetFile(source, options.sheet, model), leftOut, unwritten)
            : textSource && *textSource != TextTableFormat::Markdown ? openTextTable(source, model, &readNotes)
                                                                    : openTableDocument(source, model);
}

} // namespace

QString textTableTooLargeMessage(const QString &path)
{
    return QCoreApplication::translate("TextTable", "\"%1\"は大きすぎるため、開くことができませんでした"
                                                    "（%2 行 × %3 列、%4 MB まで）。")
            .arg(path).arg(TableLimits::MaxRows).arg(TableLimits::MaxCols)
            .arg(MaxTableTextBytes / (1024 * 1024));
}

OpenResult openTextTable(const QString &path, TableModel &model, QStringList *notes)
{
    QFile file(path);
    // Only a regular file: a device or a pipe could be endless.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
    if (file.size() > MaxTableTextBytes)
        return openFailure(OpenStatus::Damaged, textTableTooLargeMessage(path));
    const auto format = textTableFormatOf(path);
    TextTableRead read;
    try {
        const QByteArray bytes = file.readAll();
        read = readTextTable(bytes, format.value_or(TextTableFormat::Csv), model);
    } catch (const std::bad_alloc &) {
        read.failure = TextTableRead::OutOfMemory;
    }
    return textTableResult(read, path, notes);
}

ExportResult exportTable(const QString &source, const QString &target,
                         std::optional<MarkupProfile> profile, std::optional<PresentationStyle> style)
{
    ExportOptions options;
    options.profile = profile;
    options.style = style;
    return exportTable(source, target, options);
}

ExportResult exportTable(const QString &source, const QString &target, const ExportOptions &options)
{
    ExportResult result;
    const auto fail = [&result](const QString &message) {
        result.ok = false;
        result.message = message;
        return result;
    };
    const bool fromStream = source == standardStreamName();
    const bool toStream = target == standardStreamName();
    if (fromStream && !options.from)
        return fail(needsFormatMessage(false));
    if (toStream && !options.to)
        return fail(needsFormatMessage(true));
    const bool workbook = options.from ? *options.from == TableFormat::Ods || *options.from == TableFormat::Xlsx
                                       : isSpreadsheetFileName(source);
    if (!options.sheet.isEmpty() && !workbook)
        return fail(QStringLiteral("--sheet goes with a workbook: a SOURCE ending in .ods or .xlsx, "
                                   "or --from ods or xlsx"));
    const std::optional<TableFormat> to = options.to ? options.to : tableFormatOfPath(target, true);
    // Re-saving a table file in place is safe (it is read whole first); any
    // other conversion onto its own source would destroy the table.
    const bool tableFiles = (options.from ? *options.from == TableFormat::TableFile : isTableFileName(source))
            && to == TableFormat::TableFile;
    if (!fromStream && !toStream && !tableFiles && sameFile(source, target))
        return fail(sameFileMessage(source, target));
    // Workbooks are read, never written.
    if (!to || *to == TableFormat::Ods || *to == TableFormat::Xlsx)
        return fail(unknownTargetMessage(target));
    // Taking a large table apart record by record costs a tenth of the
    // command; a process about to end gives its memory back whole.
    auto owned = std::make_unique<TableModel>();
    struct Leave {
        std::unique_ptr<TableModel> &model;
        bool leave;
        ~Leave() { if (leave) (void)model.release(); }
    } leave{owned, options.lastCommand};
    TableModel &model = *owned;
    QStringList leftOut, unwritten, readNotes;
    const OpenResult opened = openSource(source, options, workbook, model, leftOut, unwritten, readNotes);
    if (!opened.ok())
        return fail(opened.message);
    model.FileName = fromStream ? QString() : source;
    const QString shownSource = fromStream ? standardInputName() : source;
    result.notes << readNotes;
    if (!leftOut.isEmpty())
        result.notes << shownSource + QStringLiteral(": ")
                + (workbook ? sheetLeftOutMessage(leftOut) : leftOutMessage(leftOut));
    if (!unwritten.isEmpty())
        result.notes << shownSource + QStringLiteral(": ") + unwrittenStyleMessage(unwritten);
    if (options.profile)
        model.OutputProfile = *options.profile;
    if (options.style)
        model.OutputStyle = *options.style;
    if (options.preset)
        model.OutputPreset = *options.preset;
    if (options.css)
        model.OutputCss = *options.css;
    if (options.responsive)
        model.Responsive = 1;
    QString html;
    if (*to == TableFormat::Html) {
        // Empty only when the table is too large for its text (the headers
        // attributes of an irregular table can take it past the limit).
        html = buildTableMarkup(model);
        if (html.isEmpty())
            return fail(markupTooLargeMessage(model.tableCells().height(), model.tableCells().width()));
        // The stylesheet file goes first: a page that links it is not written without it.
        QString href;
        if (model.OutputCss == CssPlacement::File) {
            if (toStream && !tableStyleSheet(model).isEmpty())
                return fail(QStringLiteral("--css file writes a .css file beside TARGET: name a TARGET file, "
                                           "or choose --css block or none for standard output."));
            const SaveResult css = toStream ? SaveResult() : saveStyleSheetBeside(model, target, href);
            if (!css.ok)
                return fail(css.message);
        }
        if (options.page)
            html = wholePageText(html, model.OutputProfile, model.TableTitle,
                                 fromStream ? QStringLiteral("Quorvan") : QFileInfo(source).completeBaseName(), href);
    }
    if (toStream) {
        const SaveResult built = outputBytes(model, *to, html, options.text, result.output, result.notes);
        if (!built.ok)
            return fail(built.message);
        return result;
    }
    SaveResult saved;
    QStringList notes;
    if (const auto publish = publishFormatOf(*to)) {
        saved = savePublished(model, *publish, target, &notes);
    } else {
        switch (*to) {
        case TableFormat::TableFile:
            saved = saveTableDocument(model, target);
            break;
        case TableFormat::Html:
            saved = saveHtmlDocument(html, target, model.OutputProfile);
            break;
        case TableFormat::Csv:
        case TableFormat::Tsv:
        case TableFormat::Markdown: {
            const TextTableOutput text = writeTextTable(model, textFormatOf(*to), options.text);
            saved = saveTextDocument(text.bytes, target);
            notes = text.notes;
            break;
        }
        default:
            break; // refused above
        }
    }
    for (const QString &note : std::as_const(notes))
        result.notes << target + QStringLiteral(": ") + note;
    result.ok = saved.ok;
    result.message = saved.message;
    return result;
}

ExportResult listTables(const QString &source, std::optional<TableFormat> from)
{
    ExportResult result;
    const bool fromStream = source == standardStreamName();
    if (fromStream && !from) {
        result.ok = false;
        result.message = needsFormatMessage(false);
        return result;
    }
    const std::optional<TableFormat> format = from ? from : tableFormatOfPath(source, false);
    if (format != TableFormat::Html) {
        result.ok = false;
        result.message = QStringLiteral("--list-tables reads pages: name SOURCE .html or .htm, or say --from html.");
        return result;
    }
    const QString name = fromStream ? standardInputName() : source;
    QByteArray page;
    const Input input = readInput(source, MaxHtmlPageBytes, page);
    if (input != Input::Ok) {
        result.ok = false;
        result.message = input == Input::TooLarge
                ? pageRefusedMessage(name, PageLimit::Size)
                : QCoreApplication::translate("HtmlImport", "%1を読み込めませんでした。")
                          .arg(QLatin1Char('"') + name + QLatin1Char('"'));
        return result;
    }
    PageLimit refused = PageLimit::None;
    const QVector<HtmlTable> tables = parseHtmlTables(page, &refused);
    if (refused != PageLimit::None) {
        result.ok = false;
        result.message = pageRefusedMessage(name, refused);
        return result;
    }
    try {
        QString lines;
        for (int i = 0; i < tables.size(); ++i)
            lines += htmlTableListLine(tables, i) + QLatin1Char('\n');
        result.output = lines.toUtf8();
    } catch (const std::bad_alloc &) {
        result.ok = false;
        result.message = pageRefusedMessage(name, PageLimit::Memory);
    }
    return result;
}

ExportResult checkTableSource(const QString &source, const ExportOptions &options, bool *found)
{
    ExportResult result;
    *found = false;
    const bool fromStream = source == standardStreamName();
    if (fromStream && !options.from) {
        result.ok = false;
        result.message = needsFormatMessage(false);
        return result;
    }
    const bool workbook = options.from ? *options.from == TableFormat::Ods || *options.from == TableFormat::Xlsx
                                       : isSpreadsheetFileName(source);
    TableModel model;
    QStringList leftOut, unwritten; // the check reads the table as it is, not its HTML
    const OpenResult opened = openSource(source, options, workbook, model, leftOut, unwritten, result.notes);
    if (!opened.ok()) {
        result.ok = false;
        result.message = opened.message;
        return result;
    }
    const QString shown = fromStream ? standardInputName() : source;
    const CheckReport report = checkTable(model);
    QString lines;
    for (const CheckFinding &f : report.findings)
        lines += shown + QStringLiteral(": ") + findingText(f) + QLatin1Char('\n');
    if (report.leftOut > 0)
        lines += shown + QStringLiteral(": ")
                + QCoreApplication::translate("TableCheck", "ほかに %1 件").arg(report.leftOut) + QLatin1Char('\n');
    result.output = lines.toUtf8();
    *found = !report.findings.isEmpty();
    return result;
}
