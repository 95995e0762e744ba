// libFuzzer entry for the paste decoders. Byte 0 picks the form, the rest is
// what another program put on the clipboard:
//   0  HTML (a page or a fragment), as cellBlockFromHtml reads it
//   1  tab-separated text, as spreadsheets write it
//   2  our own form (application/x-quorvan-cells)
// A block that is read is pasted into a table, which must stay in its limits.

#include <QByteArray>
#include <QString>

#include "core/import/cell_block.h"
#include "core/model/table_model.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static TableModel model;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    std::optional<CellBlock> block;
    switch (data[0] % 3) {
    case 0:
        block = cellBlockFromHtml(QString::fromUtf8(bytes));
        break;
    case 1:
        block = cellBlockFromText(QString::fromUtf8(bytes));
        break;
    default:
        block = decodeCellBlock(bytes);
        break;
    }
    if (!block || block->isEmpty())
        return 0;
    if (block->rows > CellBlock::MaxSize || block->cols > CellBlock::MaxSize)
        std::abort();
    model.resetToDefaults();
    pasteCellBlock(model, *block, 1 + data[0] / 3 % 99, 1 + data[0] / 7 % 99);
    if (model.TableRows > 99 || model.TableCols > 99)
        std::abort();
    // What was read goes out again in all three forms and reads back.
    if (!decodeCellBlock(encodeCellBlock(*block)))
        std::abort();
    cellBlockToText(*block);
    cellBlockToHtml(*block);
    return 0;
}
