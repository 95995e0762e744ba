#include "core/io/table_export.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "core/io/table_document_io.h"
#include "core/io/table_file.h"
#include "core/io/compression.h"
#include "core/io/save_target.h"
#include "core/io/text_table.h"
#include "core/import/html_tables.h"
#include "core/markup/table_markup.h"
#include "core/model/table_model.h"

#include <sys/stat.h>

#include <cstdio>
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
// the way a failed open is; what the table could not hold goes into notice.
OpenResult fromImport(const ImportResult &imported, QString &notice)
{
    notice = importNotice(imported);
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

OpenResult textTableResult(const TextTableRead &read, const QString &name)
{
    if (read.ok)
        return OpenResult();
    return openFailure(OpenStatus::Damaged,
                       read.rows > TableLimits::MaxRows || read.cols > TableLimits::MaxCols
                               ? QCoreApplication::translate("TextTable", "\"%1\"は%2 行 × %3 列あり、表に収まりません（%4 行 × %5 列まで）。")
                                         .arg(name).arg(read.rows).arg(read.cols).arg(TableLimits::MaxRows)
                                         .arg(TableLimits::MaxCols)
                               : damagedFileMessage(name));
}

// SOURCE in a format it was named for (--from) or from standard input: its
// bytes first, then the format's reader on them.
OpenResult openSourceAs(const QString &source, TableFormat format, int tableIndex, TableModel &model,
                        QString &notice)
{
    const QString name = source == standardStreamName() ? standardInputName() : source;
    const qint64 limit = format == TableFormat::Html ? MaxHtmlPageBytes : MaxTableTextBytes;
    QByteArray bytes;
    const Input input = readInput(source, limit, bytes);
    if (format == TableFormat::Html && input != Input::Ok) {
        const QString subject = QLatin1Char('"') + name + QLatin1Char('"');
        return openFailure(OpenStatus::Damaged,
                           input == Input::TooLarge
                                   ? pageRefusedMessage(name, PageLimit::Size)
                                   : QCoreApplication::translate("HtmlImport", "%1を読み込めませんでした。").arg(subject));
    }
    if (input != Input::Ok)
        return openFailure(OpenStatus::Damaged, damagedFileMessage(name));
    try {
        switch (format) {
        case TableFormat::Html: {
            PageLimit refused = PageLimit::None;
            const QVector<HtmlTable> tables = parseHtmlTables(bytes, &refused);
            bytes.clear();
            if (refused != PageLimit::None)
                return openFailure(OpenStatus::Damaged, pageRefusedMessage(name, refused));
            return fromImport(importHtmlTable(tables, tableIndex, model, name), notice);
        }
        case TableFormat::Csv:
        case TableFormat::Tsv:
            return textTableResult(readTextTable(bytes, format == TableFormat::Csv ? TextTableFormat::Csv
                                                                                   : TextTableFormat::Tsv, model),
                                   name);
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
        case TableFormat::Markdown:
            break;
        }
    } catch (const std::bad_alloc &) {
        // Out of memory for this input: its own failure, not the program's end.
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

// The whole output for TARGET "-", checked as a file of it would be.
SaveResult outputBytes(const TableModel &model, TableFormat format, const QString &html, QByteArray &bytes,
                       QStringList &notes)
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
        const TextTableOutput text = writeTextTable(model, format == TableFormat::Csv ? TextTableFormat::Csv
                                                           : format == TableFormat::Tsv ? TextTableFormat::Tsv
                                                                                        : TextTableFormat::Markdown);
        if (text.flattened)
            notes << QStringLiteral("%1: joined cells were flattened: each one's text is written once, "
                                    "with empty cells where it spanned.").arg(name);
        bytes = text.bytes;
        break;
    }
    }
    return r;
}

QString unknownTargetMessage(const QString &target)
{
    return QStringLiteral("\"%1\": unknown kind of TARGET. Name it .qvn (a table file), .html or .htm "
                          "(the HTML text), .csv, .tsv or .md (the cells' text).")
            .arg(target);
}

} // namespace

OpenResult openTextTable(const QString &path, TableModel &model)
{
    OpenResult r;
    QFile file(path);
    // Only a regular file: a device or a pipe could be endless.
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > MaxTableTextBytes
        || !file.open(QIODevice::ReadOnly)) {
        r.status = OpenStatus::Damaged;
        r.message = damagedFileMessage(path);
        return r;
    }
    const auto format = textTableFormatOf(path);
    const TextTableRead read = readTextTable(file.readAll(), format.value_or(TextTableFormat::Csv), model);
    if (!read.ok) {
        r.status = OpenStatus::Damaged;
        r.message = read.rows > TableLimits::MaxRows || read.cols > TableLimits::MaxCols
                ? QCoreApplication::translate("TextTable", "\"%1\"は%2 行 × %3 列あり、表に収まりません（%4 行 × %5 列まで）。")
                          .arg(path).arg(read.rows).arg(read.cols).arg(TableLimits::MaxRows).arg(TableLimits::MaxCols)
                : damagedFileMessage(path);
    }
    return r;
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
    const std::optional<TableFormat> to = options.to ? options.to : tableFormatOfPath(target, true);
    // Re-saving a table file in place is safe (it is read whole first); any
    // other conversion onto its own source would destroy the table.
    const bool tableFiles = (options.from ? *options.from == TableFormat::TableFile : isTableFileName(source))
            && to == TableFormat::TableFile;
    if (!fromStream && !toStream && !tableFiles && sameFile(source, target))
        return fail(sameFileMessage(source, target));
    if (!to)
        return fail(unknownTargetMessage(target));
    TableModel model;
    QString notice;
    const int tableIndex = options.table > 0 ? options.table - 1 : PreferredTable;
    OpenResult opened;
    if (options.from || fromStream) {
        opened = openSourceAs(source, *options.from, tableIndex, model, notice);
    } else {
        const auto textSource = textTableFormatOf(source);
        opened = isHtmlFileName(source) ? fromImport(importHtmlFile(source, tableIndex, model), notice)
                : textSource && *textSource != TextTableFormat::Markdown ? openTextTable(source, model)
                                                                        : openTableDocument(source, model);
    }
    if (!opened.ok())
        return fail(opened.message);
    model.FileName = fromStream ? QString() : source;
    const QString shownSource = fromStream ? standardInputName() : source;
    if (!notice.isEmpty())
        result.notes << shownSource + QStringLiteral(": ") + notice;
    if (options.profile)
        model.OutputProfile = *options.profile;
    if (options.style)
        model.OutputStyle = *options.style;
    QString html;
    if (*to == TableFormat::Html) {
        html = buildTableMarkup(model);
        if (options.page)
            html = wholePageText(html, model.OutputProfile, model.TableTitle,
                                 fromStream ? QStringLiteral("Quorvan") : QFileInfo(source).completeBaseName());
    }
    if (toStream) {
        const SaveResult built = outputBytes(model, *to, html, result.output, result.notes);
        if (!built.ok)
            return fail(built.message);
        return result;
    }
    SaveResult saved;
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
        const TextTableOutput text = writeTextTable(model, *to == TableFormat::Csv ? TextTableFormat::Csv
                                                           : *to == TableFormat::Tsv ? TextTableFormat::Tsv
                                                                                     : TextTableFormat::Markdown);
        if (text.flattened)
            result.notes << QStringLiteral("%1: joined cells were flattened: each one's text is written once, "
                                           "with empty cells where it spanned.").arg(target);
        saved = saveTextDocument(text.bytes, target);
        break;
    }
    }
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
