#include <QtTest>

#include "core/text/text_codec.h"

// CP932 as Windows has it, with numeric character references for what it
// cannot hold and U+FFFD for bytes that are no character.
class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void writerInPieces_data();
    void writerInPieces();
    void writerReportsAFailedSink();
    void oneUnencodableInALongText();
    void decodeAgreesWithTheCodec();
};

void TestTextCodec::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii unchanged") << QStringLiteral("<TD ALIGN=\"center\">a\\b~</TD>\r\n")
                                     << QByteArray("<TD ALIGN=\"center\">a\\b~</TD>\r\n");
    QTest::newRow("kanji with 0x5C trail byte") << QStringLiteral("表") << QByteArray("\x95\x5c");
    QTest::newRow("half-width kana") << QStringLiteral("ｱｲ") << QByteArray("\xb1\xb2");
    QTest::newRow("fullwidth tilde as Windows maps it") << QStringLiteral("～") << QByteArray("\x81\x60");
    QTest::newRow("NEC special character") << QStringLiteral("①") << QByteArray("\x87\x40");
    QTest::newRow("emoji as reference") << QStringLiteral("a😀b") << QByteArray("a&#128512;b");
    QTest::newRow("yen sign as reference") << QStringLiteral("¥表") << QByteArray("&#165;\x95\x5c");
    QTest::newRow("wave dash as reference") << QStringLiteral("〜") << QByteArray("&#12316;");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + QStringLiteral("表")
                                    << QByteArray("&#65533;\x95\x5c");
    // The codec's stand-in for what it cannot encode decodes back to U+FFFD;
    // it must still become a reference, each time it occurs.
    QTest::newRow("replacement character as reference")
            << QString(QChar(0xFFFD)) + QStringLiteral("a表") + QChar(0xFFFD) + QStringLiteral("a")
            << QByteArray("&#65533;a\x95\x5c&#65533;a");
    QTest::newRow("pair split by a control code")
            << QString(QChar(0xD83D)) + QChar(0x1A) + QChar(0xDE00) + QStringLiteral("😀")
            << QByteArray("&#65533;\x1a&#65533;&#128512;");
    QTest::newRow("control codes keep their bytes")
            << QString(QChar(0x1A)) + QChar(0x1C) + QChar(0x7F) + QStringLiteral("表")
            << QByteArray("\x1a\x1c\x7f\x95\x5c");
}

void TestTextCodec::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeCp932(text), bytes);
}

void TestTextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("a,\"b\"\r\n") << QStringLiteral("a,\"b\"\r\n");
    QTest::newRow("kanji") << QByteArray("\x95\x5c\x82\xcc") << QStringLiteral("表の");
    QTest::newRow("lead byte before a quote") << QByteArray("\x81\"x") << QStringLiteral("\uFFFD\"x");
    QTest::newRow("lead byte at the end") << QByteArray("\x95\x5c\x81") << QStringLiteral("表\uFFFD");
    QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << QStringLiteral("\uFFFD");
    QTest::newRow("undefined single bytes") << QByteArray("\x80\xa0\xff") << QStringLiteral("\uFFFD\uFFFD\uFFFD");
    QTest::newRow("control codes") << QByteArray("\x1a\x1c\x7f\x95\x5c")
                                   << QString(QChar(0x1A)) + QChar(0x1C) + QChar(0x7F) + QStringLiteral("表");
}

void TestTextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeCp932(bytes), text);
}

void TestTextCodec::writerInPieces_data()
{
    encode_data();
    // Past the writer's 64 KiB buffer, with references on its edges.
    QString references;
    for (int i = 0; i < 40000; ++i)
        references += QStringLiteral("a\uFFFD😀表");
    QTest::newRow("buffer boundaries") << references << encodeCp932(references);
    QTest::newRow("pair at the very end") << QStringLiteral("x😀") << QByteArray("x&#128512;");
    QTest::newRow("lone high surrogate at the end") << QStringLiteral("x") + QChar(0xD83D)
                                                    << QByteArray("x&#65533;");
}

// Written in pieces, split at every place (a surrogate pair too), the bytes
// are those of the whole text.
void TestTextCodec::writerInPieces()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const qsizetype step = text.size() > 1000 ? 9973 : 1;
    for (qsizetype split = 0; split <= text.size(); split += step) {
        QByteArray written;
        Cp932Writer writer([&written](const char *data, qsizetype size) {
            written.append(data, size);
            return true;
        });
        writer.write(QStringView(text).left(split));
        writer.write(QStringView(text).mid(split));
        QVERIFY(writer.finish());
        QCOMPARE(written, bytes);
    }
}

void TestTextCodec::writerReportsAFailedSink()
{
    // Nothing more is handed over once the sink has failed.
    int calls = 0;
    Cp932Writer writer([&calls](const char *, qsizetype) { return ++calls > 1; });
    writer.write(QString(200000, QLatin1Char('x')) + QStringLiteral("表"));
    QVERIFY(!writer.finish());
    QCOMPARE(calls, 1);
}

void TestTextCodec::oneUnencodableInALongText()
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("日本語");
    text.insert(30001, QStringLiteral("😀"));
    const QByteArray bytes = encodeCp932(text);
    QCOMPARE(bytes.count("&#128512;"), 1);
    QString expected = text;
    expected.replace(QStringLiteral("😀"), QStringLiteral("&#128512;"));
    QCOMPARE(decodeCp932(bytes), expected);
}

// The decoder works from a table of the codec's answers for single bytes and
// pairs; on whole texts it must give what the codec gives, bad bytes included.
void TestTextCodec::decodeAgreesWithTheCodec()
{
    // Every byte after every byte, in the running context of the one before.
    for (int b = 0; b < 256; ++b) {
        QByteArray bytes;
        for (int t = 0; t < 256; ++t) {
            bytes += char(b);
            bytes += char(t);
        }
        bytes += char(b);
        QCOMPARE(decodeCp932(bytes), decodeCp932WithCodec(bytes));
    }
    QRandomGenerator random(18);
    for (int run = 0; run < 300; ++run) {
        QByteArray bytes(random.bounded(1, 64), Qt::Uninitialized);
        for (char &c : bytes) {
            const quint32 r = random.generate();
            // Mostly lead bytes and bytes next to the table's edges.
            static const char edges[] = "\x81\x9f\xe0\xfc\xfd\x80\xa0\x40\x7e\x7f\x1a\x1c a\"";
            c = r % 3 == 0 ? char(r >> 8) : edges[(r >> 8) % (sizeof edges - 1)];
        }
        QCOMPARE(decodeCp932(bytes), decodeCp932WithCodec(bytes));
    }
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_text_codec.moc"
