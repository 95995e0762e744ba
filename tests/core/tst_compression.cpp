#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include "core/io/compression.h"

// The gzip boundary: what Compression writes, gunzip reads; what is not a
// complete gzip stream, or too much of one, DeCompression refuses.
class TestCompression : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTripIsPlainGzip();
    void badInputFails_data();
    void badInputFails();
    void concatenatedMembersAreRead();
    void gzipBombIsTooLarge();
    void failedCompressionKeepsOldTarget();

private:
    QString write(const QString &name, const QByteArray &data);
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestCompression::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QString TestCompression::write(const QString &name, const QByteArray &data)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return QString();
    return path;
}

static QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void TestCompression::roundTripIsPlainGzip()
{
    QByteArray text;
    for (int i = 0; i < 5000; ++i)
        text += "1," + QByteArray::number(i) + ",\"\x95\x5c\",#FALSE#\r\n";
    const QString source = write(QStringLiteral("text.qvx"), text);
    const QString packed = m_dir->filePath(QStringLiteral("t.qvn"));
    QCOMPARE(Compression(source, packed, 1), 0);
    QVERIFY(readFile(packed).startsWith("\x1f\x8b\x08"));

    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), packed});
    QVERIFY(gzip.waitForFinished(30000));
    QCOMPARE(gzip.exitCode(), 0);
    QCOMPARE(gzip.readAllStandardOutput(), text);

    const QString restored = write(QStringLiteral("work.qvx"), QByteArray());
    QCOMPARE(DeCompression(packed, restored), 0);
    QCOMPARE(readFile(restored), text);
}

void TestCompression::badInputFails_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("status");
    const QByteArray good = gzipBytes("3,0,0\r\n", 1);
    QTest::newRow("empty file") << QByteArray() << int(GunzipStatus::Corrupt);
    QTest::newRow("plain text") << QByteArray("3,0,0\r\n") << int(GunzipStatus::Corrupt);
    QTest::newRow("zlib, not gzip") << qCompress(QByteArray("3,0,0")).mid(4) << int(GunzipStatus::Corrupt);
    QTest::newRow("cut short") << good.left(good.size() - 3) << int(GunzipStatus::Corrupt);
    QTest::newRow("header only") << good.left(10) << int(GunzipStatus::Corrupt);
    QByteArray badCrc = good;
    badCrc[badCrc.size() - 6] = char(badCrc.at(badCrc.size() - 6) ^ 0x55);
    QTest::newRow("checksum wrong") << badCrc << int(GunzipStatus::Corrupt);
    QTest::newRow("junk after the stream") << good + "junk" << int(GunzipStatus::Corrupt);
}

void TestCompression::badInputFails()
{
    QFETCH(QByteArray, data);
    QFETCH(int, status);
    QByteArray out;
    QCOMPARE(int(gunzipBytes(data, out)), status);

    const QString source = write(QStringLiteral("bad.qvn"), data);
    const QString target = write(QStringLiteral("work.qvx"), QByteArray());
    QCOMPARE(DeCompression(source, target), -1);
}

void TestCompression::concatenatedMembersAreRead()
{
    QByteArray out;
    QCOMPARE(gunzipBytes(gzipBytes("ab", 1) + gzipBytes("cd", 9), out), GunzipStatus::Ok);
    QCOMPARE(out, QByteArray("abcd"));
}

void TestCompression::gzipBombIsTooLarge()
{
    // A few dozen kilobytes that would unpack past the limit.
    const QByteArray bomb = gzipBytes(QByteArray(MaxTableTextBytes + 1, '\0'), 9);
    QVERIFY(bomb.size() < 1024 * 1024);
    const QString source = write(QStringLiteral("bomb.qvn"), bomb);
    const QString target = write(QStringLiteral("work.qvx"), QByteArray());
    QCOMPARE(decompressFile(source, target), GunzipStatus::TooLarge);
    QCOMPARE(DeCompression(source, target), -1);
    QVERIFY(QFileInfo(target).size() <= MaxTableTextBytes);
}

void TestCompression::failedCompressionKeepsOldTarget()
{
    const QString target = write(QStringLiteral("keep.qvn"), QByteArray("old contents"));
    QCOMPARE(Compression(m_dir->filePath(QStringLiteral("missing.qvx")), target, 1), -1);
    QCOMPARE(readFile(target), QByteArray("old contents"));

    const QString source = write(QStringLiteral("text.qvx"), QByteArray("x"));
    QCOMPARE(Compression(source, m_dir->filePath(QStringLiteral("no/such/folder/t.qvn")), 1), -1);
    QCOMPARE(Compression(source, m_dir->path(), 1), -1); // a folder is no file
    QVERIFY(QFileInfo(m_dir->path()).isDir());
    // No half-written file is left beside the target.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList({QStringLiteral("keep.qvn"), QStringLiteral("text.qvx")}));
}

QTEST_GUILESS_MAIN(TestCompression)
#include "tst_compression.moc"
