#include "table_export.h"

#include <QFile>
#include <QFileInfo>

#include "files/table_document_io.h"
#include "html/html_tables.h"
#include "html/table_markup.h"
#include "table/table_model.h"

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

namespace {

const QLatin1String ExportOption("--export");
const QLatin1String ProfileOption("--profile");

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

QString usageText(const QString &program)
{
    return QStringLiteral(
                   "Usage: %1 [FILE...]\n"
                   "       %1 [--profile html4|html5] --export SOURCE TARGET\n"
                   "\n"
                   "Quorvan, an editor for HTML tables.\n"
                   "\n"
                   "  FILE...                  open table files (.qvn, .qvf) in the editor,\n"
                   "                           each in a window of its own\n"
                   "  --export SOURCE TARGET   open SOURCE as the Open command does and save it\n"
                   "                           as TARGET as the Save command does, without a\n"
                   "                           window: a TARGET ending in .qvn gets a table\n"
                   "                           file, any other name the table's HTML text\n"
                   "                           (CR LF; Shift_JIS for HTML 4, UTF-8 for HTML5);\n"
                   "                           TARGET may be SOURCE itself only when both\n"
                   "                           are .qvn\n"
                   "  --profile html4|html5    with --export: write the HTML in this profile\n"
                   "                           instead of the table's own (a table file\n"
                   "                           keeps it as the table's profile)\n"
                   "  -h, --help               show this text\n"
                   "  -v, --version            show the version")
            .arg(program);
}

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

QString openedTableHtml(TableModel &model)
{
    // The values an opened window's boxes and grid hold.
    MarkupInputs in;
    in.borderText = QString::number(model.TableBorder);
    in.titleText = model.TableTitle;
    in.backColorShown = model.TableBackColor;
    in.gridRows = model.TableRows + 1;
    in.gridCols = model.TableCols + 1;
    return buildTableMarkup(model, in);
}

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
            : saveHtmlDocument(openedTableHtml(model), target, model.OutputProfile);
    result.ok = saved.ok;
    result.message = saved.message;
    return result;
}

bool isCommandLineTool(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return false;
    const QString &first = arguments.at(1);
    return first == ExportOption || first == ProfileOption || first == QLatin1String("--help")
            || first == QLatin1String("-h") || first == QLatin1String("--version") || first == QLatin1String("-v");
}

int runCommandLineTool(const QStringList &commandLine)
{
    const QString program = commandLine.isEmpty() ? QStringLiteral("quorvan")
                                                  : QFileInfo(commandLine.first()).fileName();
    // "--profile NAME" goes with --export, before or after it.
    QStringList arguments = commandLine;
    std::optional<MarkupProfile> profile;
    if (const int at = int(arguments.indexOf(ProfileOption, 1)); at > 0) {
        profile = markupProfileFromName(arguments.value(at + 1));
        arguments.remove(at, std::min<qsizetype>(2, arguments.size() - at));
        if (!profile || arguments.value(1) != ExportOption) {
            print(stderr, usageText(program));
            return 2;
        }
    }
    const QString first = arguments.value(1);
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        print(stdout, usageText(program));
        return 0;
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
        print(stdout, QString::number(AppVersion::Major) + QLatin1Char('.')
                      + QString::number(AppVersion::Minor) + QLatin1Char('.')
                      + QString::number(AppVersion::Revision));
        return 0;
    }
    if (first == ExportOption) {
        if (arguments.size() != 4 || arguments.at(2).isEmpty() || arguments.at(3).isEmpty()) {
            print(stderr, usageText(program));
            return 2;
        }
        const ExportResult r = exportTable(arguments.at(2), arguments.at(3), profile);
        if (!r.ok) {
            print(stderr, r.message);
            return 1;
        }
        return 0;
    }
    print(stderr, usageText(program));
    return 2;
}
