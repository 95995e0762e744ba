#include "table_export.h"

#include "files/table_document_io.h"
#include "html/table_markup.h"
#include "table/table_model.h"

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

ExportResult exportTable(const QString &source, const QString &target)
{
    ExportResult result;
    TableModel model;
    const OpenResult opened = openTableDocument(source, model);
    if (!opened.ok()) {
        result.ok = false;
        result.message = opened.message;
        return result;
    }
    model.FileName = source;
    const SaveResult saved = isTableFileName(target)
            ? saveTableDocument(model, target)
            : saveHtmlDocument(openedTableHtml(model), target);
    result.ok = saved.ok;
    result.message = saved.message;
    return result;
}
