#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include "files/compression.h"
#include "files/table_file.h"
#include "table/table_model.h"

// "quorvan --export/--help/--version" as a user runs them: no display, exit
// status, standard error, and no target left after a failure.
class TestTableExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void versionAndHelp();
    void convertsOldFileToTableFile();
    void failures_data();
    void failures();
    void sourceIsNeverOverwritten_data();
    void sourceIsNeverOverwritten();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out, err;
    };
    Run run(const QStringList &args);
    QString m_program;
    QTemporaryDir m_dir;
};

void TestTableExport::initTestCase()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(m_dir.isValid());
}

TestTableExport::Run TestTableExport::run(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(m_program, args);
    Run r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

void TestTableExport::versionAndHelp()
{
    const Run version = run({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("3.0.0\n"));
    const Run help = run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--export SOURCE TARGET"));
    const Run wrong = run({QStringLiteral("--export"), QStringLiteral("only-one.qvn")});
    QVERIFY(wrong.exitCode != 0);
    QVERIFY(wrong.err.contains("--export SOURCE TARGET"));
    // An unknown option, wherever it stands, is refused with the usage; no window opens.
    for (const QStringList &args : {QStringList{QStringLiteral("--bogus")},
                                    QStringList{QStringLiteral("a.qvn"), QStringLiteral("--bogus")}}) {
        const Run bogus = run(args);
        QCOMPARE(bogus.exitCode, 2);
        QVERIFY(bogus.err.contains("bogus"));
        QVERIFY(bogus.err.contains("Usage:"));
        QCOMPARE(bogus.out, QByteArray());
    }
}

void TestTableExport::convertsOldFileToTableFile()
{
    const QString target = m_dir.filePath(QStringLiteral("converted.qvn"));
    const Run r = run({QStringLiteral("--export"), QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"), target});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QByteArray());
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray text;
    QCOMPARE(gunzipBytes(f.readAll(), text), GunzipStatus::Ok);
    TableModel m;
    QVERIFY(readTableText(text, m).ok());
    QCOMPARE(m.TableCols, 3);
    QCOMPARE(m.Cells(1, 1).Text, QStringLiteral("見出し"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList(QStringLiteral("converted.qvn")));
    QVERIFY(f.remove());
}

void TestTableExport::failures_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    const QString missing = m_dir.filePath(QStringLiteral("missing.qvn"));
    QTest::newRow("missing source") << missing << m_dir.filePath(QStringLiteral("out.html"))
            << QLatin1Char('"') + missing + QStringLiteral("\"は壊れているか、\r\nQuorvanのファイルではないため、開くことができませんでした。");
    QTest::newRow("target folder missing") << QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf")
            << m_dir.filePath(QStringLiteral("no/such/out.qvn"))
            << QStringLiteral("不明なエラーが発生したため、ファイルを保存できませんでした。");
}

void TestTableExport::failures()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, message);
    const Run r = run({QStringLiteral("--export"), source, target});
    QVERIFY(r.exitCode > 0);
    QCOMPARE(QString::fromUtf8(r.err), message + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList());
}

void TestTableExport::sourceIsNeverOverwritten_data()
{
    // How TARGET names the source: "" the same path, "symlink", "hardlink".
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("refused");
    QTest::newRow("old file over itself") << "t.qvf" << "t.qvf" << "" << true;
    QTest::newRow("html through a symbolic link") << "t.qvf" << "t.html" << "symlink" << true;
    QTest::newRow("html through a hard link") << "t.qvf" << "t.html" << "hardlink" << true;
    QTest::newRow("html over its own table file") << "t.qvn" << "t.qvn.html" << "symlink" << true;
    QTest::newRow("table file over itself") << "t.qvn" << "t.qvn" << "" << false;
}

void TestTableExport::sourceIsNeverOverwritten()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, link);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString src = dir.filePath(source), dst = dir.filePath(target);
    QVERIFY(QFile::copy(QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"), dir.filePath(QStringLiteral("t.qvf"))));
    if (source.endsWith(QLatin1String(".qvn")))
        QCOMPARE(run({QStringLiteral("--export"), dir.filePath(QStringLiteral("t.qvf")), src}).exitCode, 0);
    if (link == QLatin1String("symlink"))
        QVERIFY(QFile::link(src, dst));
    else if (link == QLatin1String("hardlink"))
        QCOMPARE(::link(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData()), 0);
    QFile f(src);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    const Run r = run({QStringLiteral("--export"), src, dst});
    QVERIFY(f.open(QIODevice::ReadOnly));
    if (refused) {
        QVERIFY(r.exitCode > 0);
        QVERIFY2(r.err.contains("are the same file"), r.err.constData());
        QCOMPARE(f.readAll(), before);
    } else {
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(f.readAll(), before); // the same table, the same bytes
    }
}

QTEST_GUILESS_MAIN(TestTableExport)
#include "tst_table_export.moc"
