// libFuzzer entry for the table file readers.
//
// Byte 0 picks the reader, the rest is its input:
//   0  table text (.qvn after decompression)
//   1  older table text (.qvf)
//   2  gzip data, decompressed with a small limit, then read as table text
//   3  the CP932 codec alone
// Whatever a reader accepts must survive a write and a second read unchanged.

#include <QByteArray>
#include <QString>

#include "core/io/compression.h"
#include "core/io/table_file.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Kept between runs: a fresh model costs a large allocation each time.
TableModel &scratchModel(int which)
{
    static TableModel models[2];
    models[which].resetToDefaults();
    return models[which];
}

void checkRoundTrip(const TableModel &model)
{
    const QByteArray first = tableText(model);
    TableModel &again = scratchModel(1);
    if (!readTableText(first, again).ok())
        std::abort(); // the reader refuses what the writer wrote
    if (tableText(again) != first)
        std::abort(); // a write and a read changed the table
}

void readAndCheck(const QByteArray &text, bool oldLayout)
{
    TableModel &model = scratchModel(0);
    const ReadResult r = oldLayout ? readOldTableText(text, model) : readTableText(text, model);
    if (r.ok())
        checkRoundTrip(model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 4) {
    case 0:
        readAndCheck(body, false);
        break;
    case 1:
        readAndCheck(body, true);
        break;
    case 2: {
        QByteArray text;
        if (gunzipBytes(body, text, 1 << 20) == GunzipStatus::Ok)
            readAndCheck(text, false);
        break;
    }
    case 3: {
        const QString decoded = decodeCp932(body);
        const QString once = decodeCp932(encodeCp932(decoded));
        if (decodeCp932(encodeCp932(once)) != once)
            std::abort(); // encoding is not stable
        break;
    }
    }
    return 0;
}
