// libFuzzer entry for the help file reader. Byte 0 picks what is read, the
// rest is its input:
//   0  a whole help file, opened through chmlib as the help window opens one,
//      then its contents and every topic read
//   1  a contents (sitemap) text
//   2  the text decoder of pages and contents files

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "core/help/chm_file.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

// chmlib reads a file by name: each input is written to one kept per process.
QString scratchFile()
{
    static const QString path = QDir::temp().filePath(
            QStringLiteral("fuzz_help_reader-%1.chm").arg(::getpid()));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0: {
        {
            QFile file(scratchFile());
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
                return 0;
        }
        ChmFile chm;
        if (chm.open(scratchFile()) != ChmFile::Ok)
            return 0;
        QByteArray object;
        if (!chm.defaultTopic().isEmpty())
            chm.read(chm.defaultTopic(), &object);
        for (const ChmTopic &topic : chm.contents()) {
            if (topic.depth < 0)
                std::abort();
            chm.read(ChmFile::withoutAnchor(topic.local), &object);
            if (object.size() > ChmFile::MaxObjectSize)
                std::abort();
        }
        break;
    }
    case 1:
        for (const ChmTopic &topic : parseSitemap(QString::fromUtf8(bytes))) {
            if (topic.depth < 0)
                std::abort();
        }
        break;
    default:
        decodeHelpText(bytes);
        break;
    }
    return 0;
}
