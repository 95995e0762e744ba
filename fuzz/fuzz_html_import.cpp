// libFuzzer entry for the page import: the input is a page's bytes, read as
// the Open command and --export read an .html file (the encoding guessed, the
// scan, gumbo on its budget, the tables read), then every table imported.
// Whatever is read must fit a model; nothing may crash, leak or run away.

#include <QByteArray>

#include "core/import/html_tables.h"
#include "core/model/table_model.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TableModel model;
    const QByteArray page = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    bool refused = false;
    const QVector<HtmlTable> tables = parseHtmlTables(page, &refused);
    if (refused && !tables.isEmpty())
        std::abort(); // a refused page gives nothing
    for (int i = 0; i < tables.size() && i < 4; ++i) {
        model.resetToDefaults();
        const ImportResult r = importHtmlTable(tables, i, model);
        if (r.ok() && (model.TableRows < 1 || model.TableRows > 99 || model.TableCols < 1 || model.TableCols > 99))
            std::abort();
        describeHtmlTable(tables, i);
        htmlTableListLine(tables, i);
    }
    if (preferredHtmlTable(tables) >= qMax<qsizetype>(tables.size(), 1))
        std::abort();
    return 0;
}
