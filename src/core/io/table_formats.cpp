#include "core/io/table_formats.h"

#include <QFileInfo>

#include "core/import/html_tables.h"
#include "core/io/table_document_io.h"


namespace {

const TableFormatName formatNames[] = {
    // name     format                    extension  reads  writes
    {"qvn",  TableFormat::TableFile, "qvn",  true,  true},
    {"qvf",  TableFormat::TableFile, "qvf",  true,  false},
    {"html", TableFormat::Html,      "html", true,  true},
    {"htm",  TableFormat::Html,      "htm",  true,  true},
    {"csv",  TableFormat::Csv,       "csv",  true,  true},
    {"tsv",  TableFormat::Tsv,       "tsv",  true,  true},
    {"md",   TableFormat::Markdown,  "md",   false, true},
    {"ods",  TableFormat::Ods,       "ods",  true,  false},
    {"xlsx", TableFormat::Xlsx,      "xlsx", true,  false},
    {"tex",  TableFormat::Latex,     "tex",  false, true},
    {"latex", TableFormat::Latex,    "tex",  false, true},
    {"wiki", TableFormat::MediaWiki, "wiki", false, true},
    {"mediawiki", TableFormat::MediaWiki, "wiki", false, true},
    {"adoc", TableFormat::AsciiDoc,  "adoc", false, true},
    {"asciidoc", TableFormat::AsciiDoc, "adoc", false, true},
    {"rst",  TableFormat::Rst,       "rst",  false, true},
};

} // namespace

std::optional<TableFormat> tableFormatFromName(const QString &name, bool writing)
{
    for (const TableFormatName &f : formatNames) {
        if ((writing ? f.writes : f.reads) && name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return f.format;
    }
    return std::nullopt;
}

QStringList tableFormatNames(bool writing)
{
    QStringList names;
    for (const TableFormatName &f : formatNames) {
        if (writing ? f.writes : f.reads)
            names << QLatin1String(f.name);
    }
    return names;
}

std::optional<TableFormat> tableFormatOfPath(const QString &path, bool writing)
{
    // The table file's own rule first: the last three letters, as Save has it.
    if (isTableFileName(path) || (!writing && path.right(3).compare(QLatin1String("qvf"), Qt::CaseInsensitive) == 0))
        return TableFormat::TableFile;
    if (isHtmlFileName(path))
        return TableFormat::Html;
    const QString suffix = QFileInfo(path).suffix();
    for (const TableFormatName &f : formatNames) {
        if ((writing ? f.writes : f.reads) && suffix.compare(QLatin1String(f.extension), Qt::CaseInsensitive) == 0)
            return f.format;
    }
    return std::nullopt;
}
