// The program as the command line uses it: no display, no editor library, no
// web preview plugin, and none of the GUI libraries linked.
#include <QtTest>

#include "support/headless_run.h"

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linksNoGuiLibrary_data();
    void linksNoGuiLibrary();
    void runsAlone_data();
    void runsAlone();

private:
    QString m_built;           // the build tree's program, with its libraries
    QString m_alone;           // a copy with no library folder beside it
    QTemporaryDir m_dir;
};

void TestLauncher::initTestCase()
{
    m_built = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_built).isExecutable(), qPrintable(m_built));
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("bin")));
    m_alone = m_dir.filePath(QStringLiteral("bin/quorvan"));
    QVERIFY(QFile::copy(m_built, m_alone));
    QFile source(m_dir.filePath(QStringLiteral("t.qvf")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("2,1,\"\",1,0,255,255,255\r\n"
                 "0,0,\"x\",0,0,1,0,1,0,0\r\n"
                 "1,0,\"a&amp;b\",0,0,1,0,1,0,0\r\n");
}

void TestLauncher::linksNoGuiLibrary_data()
{
    QTest::addColumn<QString>("library");
    QTest::newRow("widgets") << "libQt6Widgets";
    QTest::newRow("gui") << "libQt6Gui";
    QTest::newRow("web engine") << "libQt6WebEngine";
    QTest::newRow("quick") << "libQt6Quick";
    QTest::newRow("the editor") << "libquorvan_gui";
}

void TestLauncher::linksNoGuiLibrary()
{
    QFETCH(QString, library);
    if (QStandardPaths::findExecutable(QStringLiteral("ldd")).isEmpty())
        QSKIP("ldd is not installed");
    const HeadlessRun r = runHeadless(QStringLiteral("ldd"), {m_built}, 30000);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("libQt6Core"));
    QVERIFY2(!r.out.contains(library.toLatin1()), r.out.constData());
}

void TestLauncher::runsAlone_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");   // expected start of standard output
    QTest::addColumn<QByteArray>("err");   // expected part of standard error
    QTest::addColumn<bool>("alsoBuilt");   // the build tree's program does the same
    QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("3.4.0\n") << QByteArray() << true;
    QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Usage: quorvan [FILE...]") << QByteArray()
                            << true;
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << QByteArray() << QByteArray("Usage:") << true;
    QTest::newRow("export") << QStringList{"--export", "@t.qvf", "@t.html"} << 0 << QByteArray() << QByteArray()
                            << true;
    QTest::newRow("export html5") << QStringList{"--profile", "html5", "--export", "@t.qvf", "@t5.html"} << 0
                                  << QByteArray() << QByteArray() << true;
    QTest::newRow("export of a missing file fails") << QStringList{"--export", "@none.qvn", "@x.html"} << 1
                                                    << QByteArray() << QByteArray("none.qvn") << true;
    // The editor is all that needs the library: said plainly, no crash.
    QTest::newRow("editor without its library") << QStringList{"@t.qvf"} << 1 << QByteArray()
                                                << QByteArray("libquorvan_gui.so") << false;
}

void TestLauncher::runsAlone()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(bool, alsoBuilt);
    if (!alsoBuilt && QFileInfo::exists(QStringLiteral(QUORVAN_PKGLIBDIR "/libquorvan_gui.so")))
        QSKIP("an installed copy of the editor library would be found");
    for (QString &a : args) {
        if (a.startsWith(QLatin1Char('@')))
            a = m_dir.filePath(a.mid(1));
    }
    QStringList programs{m_alone};
    if (alsoBuilt)
        programs << m_built;
    for (const QString &program : programs) {
        const HeadlessRun r = runHeadless(program, args, 60000);
        QVERIFY2(r.exitCode == exitCode, r.err.constData());
        QVERIFY2(r.out.startsWith(out), r.out.constData());
        QVERIFY2(r.err.contains(err), r.err.constData());
        if (exitCode == 0 && args.contains(QStringLiteral("--export"))) {
            QFile f(args.last());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().contains("a&amp;b"));
            f.remove();
        }
    }
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
