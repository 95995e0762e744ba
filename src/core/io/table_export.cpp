#include "core/io/table_export.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "core/io/table_document_io.h"
#include "core/io/compression.h"
#include "core/io/publish_formats.h"
#include "core/io/save_target.h"
#include "core/io/text_table.h"
#include "core/import/html_tables.h"
#include "core/markup/table_markup.h"
#include "core/model/table_model.h"

#include <sys/stat.h>

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

// A page's first table, reported the way a failed open is; what the table
// could not hold goes into leftOut.
OpenResult importFirstTable(const QString &path, TableModel &model, QStringList &leftOut)
{
    const ImportResult imported = importHtmlFile(path, 0, model);
    leftOut = imported.leftOut;
    OpenResult r;
    if (!imported.ok()) {
        r.status = OpenStatus::Damaged;
        r.message = imported.message;
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
                ? QCoreApplication::translate("TextTable", "\"%1\"は%2 行 × %3 列あり、表に収まりません（%4 行 × %4 列まで）。")
                          .arg(path).arg(read.rows).arg(read.cols).arg(TableLimits::MaxLines)
                : damagedFileMessage(path);
    }
    return r;
}

ExportResult exportTable(const QString &source, const QString &target,
                         std::optional<MarkupProfile> profile, std::optional<PresentationStyle> style)
{
    ExportResult result;
    // Re-saving a table file in place is safe (it is read whole first); any
    // other conversion onto its own source would destroy the table.
    if (!(isTableFileName(source) && isTableFileName(target)) && sameFile(source, target)) {
        result.ok = false;
        result.message = sameFileMessage(source, target);
        return result;
    }
    const std::optional<TextTableFormat> textTarget = textTableFormatOf(target);
    const std::optional<PublishFormat> publishTarget = publishFormatOf(target);
    if (!isTableFileName(target) && !isHtmlFileName(target) && !textTarget && !publishTarget) {
        result.ok = false;
        result.message = unknownTargetMessage(target);
        return result;
    }
    TableModel model;
    const auto textSource = textTableFormatOf(source);
    QStringList leftOut;
    const OpenResult opened = isHtmlFileName(source) ? importFirstTable(source, model, leftOut)
            : textSource && *textSource != TextTableFormat::Markdown ? openTextTable(source, model)
                                                                    : openTableDocument(source, model);
    if (!opened.ok()) {
        result.ok = false;
        result.message = opened.message;
        return result;
    }
    model.FileName = source;
    if (!leftOut.isEmpty())
        result.notes << source + QStringLiteral(": ") + leftOutMessage(leftOut);
    if (profile)
        model.OutputProfile = *profile;
    if (style)
        model.OutputStyle = *style;
    SaveResult saved;
    QStringList notes;
    if (publishTarget) {
        saved = savePublished(model, *publishTarget, target, &notes);
    } else if (textTarget) {
        const TextTableOutput text = writeTextTable(model, *textTarget);
        saved = saveTextDocument(text.bytes, target);
        notes = text.notes;
    } else {
        saved = isTableFileName(target) ? saveTableDocument(model, target)
                                        : saveHtmlDocument(buildTableMarkup(model), target, model.OutputProfile);
    }
    for (const QString &note : std::as_const(notes))
        result.notes << target + QStringLiteral(": ") + note;
    result.ok = saved.ok;
    result.message = saved.message;
    return result;
}
