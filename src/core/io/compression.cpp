#include "core/io/compression.h"

#include <QFile>

#include "core/io/save_target.h"

#include <zlib.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

using ReadFn = std::function<qint64(char *, qint64)>;   // bytes read, 0 at the end, -1 on error
using WriteFn = std::function<bool(const char *, qint64)>;

bool deflateStream(const ReadFn &read, const WriteFn &write, int level)
{
    z_stream zs = {};
    // windowBits 15 + 16: a gzip wrapper. zlib writes a header without name
    // and with time 0, so equal texts give equal files.
    if (deflateInit2(&zs, qBound(1, level, 9), Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    std::vector<char> in(ChunkSize), out(ChunkSize);
    bool ok = true;
    int flush = Z_NO_FLUSH;
    do {
        const qint64 n = read(in.data(), ChunkSize);
        if (n < 0) {
            ok = false;
            break;
        }
        flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        zs.next_in = reinterpret_cast<Bytef *>(in.data());
        zs.avail_in = uInt(n);
        do {
            zs.next_out = reinterpret_cast<Bytef *>(out.data());
            zs.avail_out = uInt(ChunkSize);
            const int ret = deflate(&zs, flush);
            if (ret == Z_STREAM_ERROR) {
                ok = false;
                break;
            }
            const qint64 produced = ChunkSize - zs.avail_out;
            if (produced > 0 && !write(out.data(), produced)) {
                ok = false;
                break;
            }
        } while (zs.avail_out == 0);
    } while (ok && flush != Z_FINISH);
    deflateEnd(&zs);
    return ok;
}

GunzipStatus inflateStream(const ReadFn &read, const WriteFn &write, qint64 limit)
{
    z_stream zs = {};
    if (inflateInit2(&zs, 15 + 16) != Z_OK)
        return GunzipStatus::Unreadable;
    std::vector<char> in(ChunkSize), out(ChunkSize);
    GunzipStatus status = GunzipStatus::Ok;
    bool inMember = false, sawMember = false, atEnd = false;
    qint64 total = 0;
    for (;;) {
        if (zs.avail_in == 0 && !atEnd) {
            const qint64 n = read(in.data(), ChunkSize);
            if (n < 0) {
                status = GunzipStatus::Unreadable;
                break;
            }
            atEnd = n == 0;
            zs.next_in = reinterpret_cast<Bytef *>(in.data());
            zs.avail_in = uInt(n);
        }
        if (zs.avail_in == 0 && atEnd) {
            // Empty input, or the stream stops inside a member.
            if (inMember || !sawMember)
                status = GunzipStatus::Corrupt;
            break;
        }
        if (!inMember) {
            // gzip itself writes further members when files are concatenated;
            // any other byte after a complete member is junk.
            if (sawMember && zs.next_in[0] != 0x1F) {
                status = GunzipStatus::Corrupt;
                break;
            }
            inflateReset(&zs);
            inMember = sawMember = true;
        }
        zs.next_out = reinterpret_cast<Bytef *>(out.data());
        zs.avail_out = uInt(ChunkSize);
        const int ret = inflate(&zs, Z_NO_FLUSH);
        if (ret != Z_OK && ret != Z_STREAM_END && ret != Z_BUF_ERROR) {
            status = ret == Z_MEM_ERROR ? GunzipStatus::Unreadable : GunzipStatus::Corrupt;
            break;
        }
        // With room for output, Z_BUF_ERROR only means "needs more input".
        if (ret == Z_BUF_ERROR && zs.avail_in > 0) {
            status = GunzipStatus::Corrupt;
            break;
        }
        const qint64 produced = ChunkSize - zs.avail_out;
        total += produced;
        if (total > limit) {
            status = GunzipStatus::TooLarge;
            break;
        }
        if (produced > 0 && !write(out.data(), produced)) {
            status = GunzipStatus::Unreadable;
            break;
        }
        if (ret == Z_STREAM_END)
            inMember = false;
    }
    inflateEnd(&zs);
    return status;
}

ReadFn fileReader(QFile &file)
{
    return [&file](char *buf, qint64 max) { return file.read(buf, max); };
}

} // namespace

int Compression(const QString &source, const QString &target, int level)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return -1;
    SaveTarget out(target);
    if (!out.open())
        return -1;
    const bool ok = deflateStream(fileReader(in), [&out](const char *data, qint64 n) {
        return out.write(data, n);
    }, level);
    return ok && out.commit() ? 0 : -1;
}

GunzipStatus decompressFile(const QString &source, const QString &target, qint64 limit)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return GunzipStatus::Unreadable;
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return GunzipStatus::Unreadable;
    const GunzipStatus status = inflateStream(fileReader(in), [&out](const char *data, qint64 n) {
        return out.write(data, n) == n;
    }, limit);
    if (!out.flush())
        return status == GunzipStatus::Ok ? GunzipStatus::Unreadable : status;
    return status;
}

int DeCompression(const QString &source, const QString &target)
{
    return decompressFile(source, target) == GunzipStatus::Ok ? 0 : -1;
}

static ReadFn memoryReader(const QByteArray &data, qint64 &pos)
{
    return [&data, &pos](char *buf, qint64 max) {
        const qint64 n = qMin(max, qint64(data.size()) - pos);
        memcpy(buf, data.constData() + pos, size_t(n));
        pos += n;
        return n;
    };
}

QByteArray gzipBytes(const QByteArray &data, int level)
{
    QByteArray out;
    qint64 pos = 0;
    deflateStream(memoryReader(data, pos), [&out](const char *d, qint64 n) {
        out.append(d, n);
        return true;
    }, level);
    return out;
}

GunzipStatus gunzipBytes(const QByteArray &data, QByteArray &out, qint64 limit)
{
    out.clear();
    qint64 pos = 0;
    return inflateStream(memoryReader(data, pos), [&out](const char *d, qint64 n) {
        out.append(d, n);
        return true;
    }, limit);
}
