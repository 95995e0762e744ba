#include "core/io/table_export.h"

#include <QFile>
#include <QFileInfo>

#include "core/io/table_document_io.h"
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

// A page's first table, reported the way a failed open is.
OpenResult importFirstTable(const QString &path, TableModel &model)
{
    const ImportResult imported = importHtmlFile(path, 0, model);
    OpenResult r;
    if (!imported.ok()) {
        r.status = OpenStatus::Damaged;
        r.message = imported.message;
    }
    return r;
}

} // namespace

ExportResult exportTable(const QString &source, const QString &target,
                         std::optional<MarkupProfile> profile)
{
    ExportResult result;
    // Re-saving a table file in place is safe (it is read whole first); any
    // other conversion onto its own source would destroy the table.
    if (!(isTableFileName(source) && isTableFileName(target)) && sameFile(source, target)) {
        result.ok = false;
        result.message = sameFileMessage(source, target);
        return result;
    }
    TableModel model;
    const OpenResult opened = isHtmlFileName(source) ? importFirstTable(source, model)
                                                     : openTableDocument(source, model);
    if (!opened.ok()) {
        result.ok = false;
        result.message = opened.message;
        return result;
    }
    model.FileName = source;
    if (profile)
        model.OutputProfile = *profile;
    const SaveResult saved = isTableFileName(target)
            ? saveTableDocument(model, target)
            : saveHtmlDocument(buildTableMarkup(model), target, model.OutputProfile);
    result.ok = saved.ok;
    result.message = saved.message;
    return result;
}
