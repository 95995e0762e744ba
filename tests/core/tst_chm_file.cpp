#include <QtTest>

#include "core/help/chm_file.h"

// The help file is built next to the tests (bin/Qrvn.CHM).
static QString builtHelpFile()
{
    return QStringLiteral(QUORVAN_HELP_FILE);
}

// The Japanese help file and the English one built beside it.
static void helpFiles()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("heading");
    QTest::newRow("Japanese") << builtHelpFile() << QStringLiteral("Quorvan ヘルプ") << QStringLiteral("表を作る手順");
    QTest::newRow("English") << QString(builtHelpFile()).replace(QStringLiteral("Qrvn.CHM"), QStringLiteral("Qrvn_en.CHM"))
                             << QStringLiteral("Quorvan Help") << QStringLiteral("Making a table");
}

class tst_ChmFile : public QObject
{
    Q_OBJECT

private slots:
    void normalizePath_data();
    void normalizePath();
    void decodeHelpText_data();
    void decodeHelpText();
    void parseSitemap();
    void builtFileOpensAtItsIndex_data();
    void builtFileOpensAtItsIndex();
    void everyContentsEntryAndLinkedPictureIsInside_data();
    void everyContentsEntryAndLinkedPictureIsInside();
    void badFiles_data();
    void badFiles();
    void truncatedFileNeverCrashes();
};

void tst_ChmFile::normalizePath_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("relative gets a root") << "index.html" << "/index.html";
    QTest::newRow("dot segments go") << "a/./b/../c.html" << "/a/c.html";
    QTest::newRow("never climbs above the root") << "../../x.html" << "/x.html";
    QTest::newRow("a # belongs to the name") << "/#SYSTEM" << "/#SYSTEM";
    QTest::newRow("backslashes as written by old tools") << "img\\a.png" << "/img/a.png";
}

void tst_ChmFile::normalizePath()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(ChmFile::normalizePath(in), out);
}

void tst_ChmFile::decodeHelpText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString jp = QStringLiteral("日本語");
    QTest::newRow("declared utf-8")
            << QByteArray("<meta charset=\"utf-8\">") + jp.toUtf8()
            << QStringLiteral("<meta charset=\"utf-8\">") + jp;
    // 日本語 in CP932.
    const QByteArray sjis("\x93\xfa\x96\x7b\x8c\xea");
    QTest::newRow("declared Shift_JIS")
            << QByteArray("<meta content=\"text/html; charset=Shift_JIS\">") + sjis
            << QStringLiteral("<meta content=\"text/html; charset=Shift_JIS\">") + jp;
    QTest::newRow("undeclared valid utf-8") << jp.toUtf8() << jp;
    QTest::newRow("undeclared, not utf-8: the Japanese code page") << sjis << jp;
    QTest::newRow("utf-8 byte-order mark wins")
            << QByteArray("\xEF\xBB\xBF") + jp.toUtf8() << jp;
}

void tst_ChmFile::decodeHelpText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(::decodeHelpText(bytes), text);
}

void tst_ChmFile::parseSitemap()
{
    const QString hhc = QStringLiteral(
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"表 &amp; 目次\">"
        "<param name=\"Local\" value=\"index.html\"></OBJECT>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"子\">"
        "<param name=\"Local\" value=\"sub/a.html#x\"></OBJECT></UL>"
        "<LI><object type='text/site properties'><param name='Name' value='ignored'></object>"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"章\"></OBJECT></UL>");
    const QList<ChmTopic> topics = ::parseSitemap(hhc);
    QCOMPARE(topics.size(), 3);
    QCOMPARE(topics[0].name, QStringLiteral("表 & 目次"));
    QCOMPARE(topics[0].local, QStringLiteral("index.html"));
    QCOMPARE(topics[0].depth, 0);
    QCOMPARE(topics[1].local, QStringLiteral("sub/a.html#x"));
    QCOMPARE(topics[1].depth, 1);
    QCOMPARE(topics[2].name, QStringLiteral("章"));
    QVERIFY(topics[2].local.isEmpty());
    QCOMPARE(topics[2].depth, 0);
}

void tst_ChmFile::builtFileOpensAtItsIndex_data()
{
    helpFiles();
}

void tst_ChmFile::builtFileOpensAtItsIndex()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(QString, heading);
    ChmFile chm;
    QCOMPARE(chm.open(file), ChmFile::Ok);
    QCOMPARE(chm.title(), title);
    QCOMPARE(chm.defaultTopic(), QStringLiteral("/index.html"));
    QByteArray page;
    QVERIFY(chm.read(chm.defaultTopic(), &page));
    QVERIFY(::decodeHelpText(page).contains(heading));
    QVERIFY(!chm.read(QStringLiteral("/no-such-page.html"), &page));
    QVERIFY(page.isEmpty());
}

// Every page the contents name, and every picture a page shows, must be in
// the file: a forgotten [FILES] line would otherwise show a broken page.
void tst_ChmFile::everyContentsEntryAndLinkedPictureIsInside_data()
{
    helpFiles();
}

void tst_ChmFile::everyContentsEntryAndLinkedPictureIsInside()
{
    QFETCH(QString, file);
    ChmFile chm;
    QCOMPARE(chm.open(file), ChmFile::Ok);
    const QList<ChmTopic> topics = chm.contents();
    QCOMPARE(topics.size(), 10);
    static const QRegularExpression ref(
        QStringLiteral("<(?:a|img|link)\\b[^>]*\\b(?:src|href)=\"([^\"#:]+)[\"#]"),
        QRegularExpression::CaseInsensitiveOption);
    for (const ChmTopic &t : topics) {
        QByteArray bytes;
        QVERIFY2(chm.read(t.local, &bytes), qPrintable(t.local));
        const QString text = ::decodeHelpText(bytes);
        QVERIFY2(text.contains(t.name), qPrintable(t.local));
        for (auto it = ref.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            const QString dir = t.local.left(t.local.lastIndexOf(QLatin1Char('/')) + 1);
            QVERIFY2(chm.contains(dir + target), qPrintable(t.local + QStringLiteral(" -> ") + target));
        }
    }
}

void tst_ChmFile::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::newRow("empty file") << QByteArray() << int(ChmFile::Unreadable);
    QTest::newRow("text file") << QByteArray("<html>not compiled</html>") << int(ChmFile::Unreadable);
    QTest::newRow("only the signature") << QByteArray("ITSF") << int(ChmFile::Unreadable);
    QTest::newRow("signature and junk")
            << QByteArray("ITSF") + QByteArray(200, '\xff') << int(ChmFile::Unreadable);
}

void tst_ChmFile::badFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Qrvn.CHM"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    ChmFile chm;
    QCOMPARE(int(chm.open(path)), status);
    QVERIFY(!chm.isOpen());
    QCOMPARE(chm.open(dir.filePath(QStringLiteral("missing.chm"))), ChmFile::Missing);
    QCOMPARE(chm.open(dir.path()), ChmFile::Unreadable);
}

void tst_ChmFile::truncatedFileNeverCrashes()
{
    QFile whole(builtHelpFile());
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QTemporaryDir dir;
    for (qsizetype cut : {qsizetype(8), qsizetype(96), qsizetype(600), bytes.size() / 2,
                          bytes.size() - 100}) {
        const QString path = dir.filePath(QStringLiteral("cut%1.chm").arg(cut));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes.left(cut));
        f.close();
        ChmFile chm;
        if (chm.open(path) == ChmFile::Ok) {
            QByteArray page;
            chm.read(chm.defaultTopic(), &page);  // may fail; must not crash
        }
    }
}

QTEST_GUILESS_MAIN(tst_ChmFile)
#include "tst_chm_file.moc"
