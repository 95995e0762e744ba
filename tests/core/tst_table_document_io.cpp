#include <QtTest>

#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/io/compression.h"
#include "core/io/table_document_io.h"
#include "core/io/temp_paths.h"
#include "core/model/table_model.h"

// Whole documents: the kind told by the name, the messages the window shows,
// safe saving, and no work files left behind.
class TestTableDocumentIo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void saveThenOpen();
    void kindIsToldByName_data();
    void kindIsToldByName();
    void openFailures_data();
    void openFailures();
    void newerVersionMessage();
    void failedSaveKeepsOldFile();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void writerKeepsToReadersLimit_data();
    void writerKeepsToReadersLimit();
    void failureNamesItsCause_data();
    void failureNamesItsCause();
    void pipeTargetIsWrittenInto_data();
    void pipeTargetIsWrittenInto();
    void htmlIsCp932WithCrLf();
    void html5IsUtf8WithCrLf();
    void newSettingsSurviveSaveAndOpen();
    void tempNamesAreNewAndUnique();
    void missingTempFolderFallsBackToTmp();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString writeFile(const QString &name, const QByteArray &data);
    QStringList workFiles() const;

    QTemporaryDir m_tmp;   // stands in for the system's temporary folder
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestTableDocumentIo::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
    QCOMPARE(QDir::tempPath(), m_tmp.path());
}

void TestTableDocumentIo::init()
{
    m_dir.reset(new QTemporaryDir(m_tmp.filePath(QStringLiteral("docs-XXXXXX"))));
    QVERIFY(m_dir->isValid());
}

void TestTableDocumentIo::cleanup()
{
    QCOMPARE(workFiles(), QStringList());
}

QString TestTableDocumentIo::writeFile(const QString &name, const QByteArray &data)
{
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return QString();
    return f.fileName();
}

QStringList TestTableDocumentIo::workFiles() const
{
    return QDir(m_tmp.path()).entryList({QStringLiteral("*.qvx")}, QDir::Files);
}

static QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestTableDocumentIo::saveThenOpen()
{
    TableModel m;
    m.TableRows = 4;
    m.TableTitle = QStringLiteral("売上, \"前期\"");
    m.Cells(2, 3).Text = QStringLiteral("1行目\r\n2行目");
    const QString file = path(QStringLiteral("table.qvn"));
    QVERIFY(saveTableDocument(m, file).ok);

    QByteArray text;
    QCOMPARE(gunzipBytes(readFile(file), text), GunzipStatus::Ok);
    QCOMPARE(text, tableText(m));

    TableModel back;
    QVERIFY(openTableDocument(file, back).ok());
    QCOMPARE(back.TableRows, 4);
    QCOMPARE(back.TableTitle, m.TableTitle);
    QCOMPARE(back.Cells(2, 3).Text, m.Cells(2, 3).Text);
    QCOMPARE(back.FileName, newTableName()); // the caller sets it
}

void TestTableDocumentIo::kindIsToldByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isTable");
    QTest::newRow("qvn") << "a.qvn" << true;
    QTest::newRow("upper case") << "A.QVN" << true;
    QTest::newRow("no dot, same last three") << "aqvn" << true;
    QTest::newRow("html") << "a.html" << false;
    QTest::newRow("no extension") << "table" << false;
    QTest::newRow("older kind is never written") << "a.qvf" << false;
}

void TestTableDocumentIo::kindIsToldByName()
{
    QFETCH(QString, name);
    QFETCH(bool, isTable);
    QCOMPARE(isTableFileName(name), isTable);
}

void TestTableDocumentIo::openFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");   // empty name part: file not created
    QTest::addColumn<int>("status");

    const auto damaged = int(OpenStatus::Damaged);
    const QByteArray goodText = tableText(TableModel());
    QTest::newRow("missing qvn") << "missing.qvn" << QByteArray("-") << damaged;
    QTest::newRow("missing qvf") << "missing.qvf" << QByteArray("-") << damaged;
    QTest::newRow("qvn that is not gzip") << "plain.qvn" << goodText << int(OpenStatus::UnexpectedError);
    QTest::newRow("qvn cut short") << "short.qvn" << gzipBytes(goodText, 1).left(20)
                                   << int(OpenStatus::UnexpectedError);
    QTest::newRow("qvn with damaged text") << "bad.qvn" << gzipBytes("3,0,0\r\n0,2", 1) << damaged;
    QTest::newRow("qvn with 101 columns' index") << "idx.qvn"
            << gzipBytes("3,0,0\r\n2,2,\"\",1,0,1,0\r\n101,0,\"\",#FALSE#,0,1,0,1,0,1,0,1,1,1,0,1\r\n", 1)
            << damaged;
    QTest::newRow("qvn with 0 rows") << "rows.qvn" << gzipBytes("3,0,0\r\n0,2,\"\",1,0,1,0\r\n", 1) << damaged;
    QTest::newRow("empty qvf") << "empty.qvf" << QByteArray() << damaged;
    QTest::newRow("qvn made of binary") << "junk.qvn" << QByteArray("\x00\x01\x02\xff", 4)
                                        << int(OpenStatus::UnexpectedError);
    QTest::newRow("notes.txt reads nothing") << "notes.txt" << QByteArray("anything") << int(OpenStatus::Ok);
    QTest::newRow("missing notes.txt reads nothing") << "none.txt" << QByteArray("-") << int(OpenStatus::Ok);
}

void TestTableDocumentIo::openFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(int, status);
    const QString file = contents == "-" ? path(name) : writeFile(name, contents);
    QVERIFY(!file.isEmpty());

    TableModel m;
    m.TableTitle = QStringLiteral("untouched");
    const OpenResult r = openTableDocument(file, m);
    QCOMPARE(int(r.status), status);
    QCOMPARE(m.TableTitle, QStringLiteral("untouched"));
    switch (r.status) {
    case OpenStatus::Ok:
        QVERIFY(r.message.isEmpty());
        break;
    case OpenStatus::Damaged:
        QCOMPARE(r.message, QLatin1Char('"') + file + QStringLiteral("\"は壊れているか、\r\n"
                 "Quorvanのファイルではないため、開くことができませんでした。"));
        break;
    case OpenStatus::UnexpectedError:
        QCOMPARE(r.message, QStringLiteral("不明なエラーが発生したため、ファイルを開けませんでした。"));
        break;
    case OpenStatus::NewerVersion:
        QFAIL("not expected here");
    }
}

void TestTableDocumentIo::newerVersionMessage()
{
    QByteArray text = tableText(TableModel());
    text.replace(0, 5, "3,4,12");
    const QString file = writeFile(QStringLiteral("new.qvn"), gzipBytes(text, 1));
    TableModel m;
    const OpenResult r = openTableDocument(file, m);
    QCOMPARE(r.status, OpenStatus::NewerVersion);
    QCOMPARE(r.message, QLatin1Char('"') + file + QStringLiteral("\"はVer.3.4.12で作られたファイルです。\r\n"
             "ソフトのバージョンは3.4.0です。\r\n"
             "このファイルを開くには最新のバージョンが必要です。最新バージョンをダウンロードしてください。"));
}

void TestTableDocumentIo::failedSaveKeepsOldFile()
{
    // A folder in the target's place cannot be replaced: the save fails with
    // the message and leaves nothing new beside it.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("taken.qvn")));
    const SaveResult r = saveTableDocument(TableModel(), path(QStringLiteral("taken.qvn")));
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QStringLiteral("\"%1\"はフォルダーのため、ファイルを保存できませんでした。")
                                .arg(path(QStringLiteral("taken.qvn"))));
    QVERIFY(QFileInfo(path(QStringLiteral("taken.qvn"))).isDir());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList({QStringLiteral("taken.qvn")}));

    const QString html = path(QStringLiteral("no/such/folder/t.html"));
    QVERIFY(!saveHtmlDocument(QStringLiteral("<TABLE>"), html).ok);
    QVERIFY(!QFileInfo::exists(html));
}

// Both writers of a saved file: the HTML text, and the compression of a table
// text (whose work file is written before the disk fills up).
static bool saveWith(bool table, const QString &source, const QString &target)
{
    if (table)
        return Compression(source, target, 1) == 0;
    return saveHtmlDocument(QStringLiteral("<TABLE>\r\n</Table>"), target).ok;
}

void TestTableDocumentIo::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("name");
    QTest::newRow("html") << false << QStringLiteral("t.html");
    QTest::newRow("table file") << true << QStringLiteral("t.qvn");
}

void TestTableDocumentIo::fullDiskKeepsOldFile()
{
    QFETCH(bool, table);
    QFETCH(QString, name);
    const QByteArray old("the old file, longer than the limit below\r\n");
    const QString target = writeFile(name, old);
    const QString source = writeFile(QStringLiteral("text.txt"), tableText(TableModel()));
    QVERIFY(!target.isEmpty() && !source.isEmpty());

    // A file size limit of a few bytes fails writes the way a full disk does.
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 4;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool ok = saveWith(table, source, target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!ok);
    QCOMPARE(readFile(target), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({name, QStringLiteral("text.txt")}));
}

void TestTableDocumentIo::writerKeepsToReadersLimit_data()
{
    QTest::addColumn<qint64>("past"); // bytes of table text past the limit
    QTest::newRow("at the limit: saved and read back") << qint64(0);
    QTest::newRow("a byte over: refused, old file kept") << qint64(1);
}

void TestTableDocumentIo::writerKeepsToReadersLimit()
{
    QFETCH(qint64, past);
    TableModel m;
    m.Cells(1, 1).Text = QStringLiteral("x");
    const qint64 fixed = tableText(m).size() - 1;
    m.Cells(1, 1).Text = QString(MaxTableTextBytes - fixed + past, u'x');
    QCOMPARE(tableText(m).size(), MaxTableTextBytes + past);
    const QByteArray old("the old file");
    const QString file = writeFile(QStringLiteral("big.qvn"), old);

    const SaveResult r = saveTableDocument(m, file);
    if (past > 0) {
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(file), qPrintable(r.message));
        QCOMPARE(readFile(file), old);
        return;
    }
    QVERIFY2(r.ok, qPrintable(r.message));
    TableModel back;
    QVERIFY(openTableDocument(file, back).ok());
    QVERIFY(back.Cells(1, 1).Text == m.Cells(1, 1).Text);
}

void TestTableDocumentIo::failureNamesItsCause_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("target"); // "@" is the test's folder
    QTest::addColumn<QString>("message");
    for (bool table : {false, true}) {
        const char *kind = table ? "table file: " : "html: ";
        QTest::addRow("%sa folder", kind) << table << "@/folder"
                                        << "\"%1\"はフォルダーのため、ファイルを保存できませんでした。";
        QTest::addRow("%sno space left", kind) << table << "/dev/full"
                                             << "ディスクの空き容量が足りないため、\"%1\"を保存できませんでした。";
        // Refused even to root.
        QTest::addRow("%spermission denied", kind) << table << "/sys/quorvan.html"
                                                 << "\"%1\"に書き込む権限がないため、ファイルを保存できませんでした。";
    }
}

void TestTableDocumentIo::failureNamesItsCause()
{
    QFETCH(bool, table);
    QFETCH(QString, target);
    QFETCH(QString, message);
    target.replace(QLatin1Char('@'), m_dir->path());
    if (target.endsWith(QLatin1String("/folder")))
        QVERIFY(QDir().mkdir(target));
    const SaveResult r = table ? saveTableDocument(TableModel(), target)
                               : saveHtmlDocument(QStringLiteral("<TABLE>"), target);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, message.arg(target));
}

void TestTableDocumentIo::pipeTargetIsWrittenInto_data()
{
    fullDiskKeepsOldFile_data();
}

void TestTableDocumentIo::pipeTargetIsWrittenInto()
{
    // A pipe (like a device) is written into; replacing it would take it away
    // from whoever reads it.
    QFETCH(bool, table);
    QFETCH(QString, name);
    const QString target = path(name);
    const QString source = writeFile(QStringLiteral("text.txt"), tableText(TableModel()));
    QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const bool ok = saveWith(table, source, target);
    QByteArray got(65536, '\0');
    const ssize_t n = ::read(reader, got.data(), size_t(got.size()));
    ::close(reader);
    got.resize(qMax<ssize_t>(n, 0));

    QVERIFY(ok);
    struct stat st {};
    QCOMPARE(lstat(QFile::encodeName(target).constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    if (table) {
        QByteArray text;
        QCOMPARE(gunzipBytes(got, text), GunzipStatus::Ok);
        QCOMPARE(text, tableText(TableModel()));
    } else {
        QCOMPARE(got, QByteArray("<TABLE>\r\n</Table>"));
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({name, QStringLiteral("text.txt")}));
}

void TestTableDocumentIo::htmlIsCp932WithCrLf()
{
    const QString file = path(QStringLiteral("t.html"));
    QVERIFY(saveHtmlDocument(QStringLiteral("<TABLE>\r\n<TR><TD>表\nx\ry😀</TD></TR>\r\n</Table>"), file).ok);
    QCOMPARE(readFile(file), QByteArray("<TABLE>\r\n<TR><TD>\x95\x5c\r\nx\r\ny&#128512;</TD></TR>\r\n</Table>"));
}

void TestTableDocumentIo::html5IsUtf8WithCrLf()
{
    const QString file = path(QStringLiteral("t5.html"));
    QVERIFY(saveHtmlDocument(QStringLiteral("<table>\r\n<tr><td>表\nx\ry😀</td></tr>\r\n</table>"), file,
                             MarkupProfile::Html5).ok);
    QCOMPARE(readFile(file), QStringLiteral("<table>\r\n<tr><td>表\r\nx\r\ny😀</td></tr>\r\n</table>").toUtf8());
}

void TestTableDocumentIo::newSettingsSurviveSaveAndOpen()
{
    TableModel m;
    m.OutputProfile = MarkupProfile::Html5;
    m.TableWidthUnit = WidthUnit::Percent;
    m.TableWidth = 80;
    m.TableBorder = 0;
    const QString file = path(QStringLiteral("new.qvn"));
    QVERIFY(saveTableDocument(m, file).ok);
    TableModel back;
    QVERIFY(openTableDocument(file, back).ok());
    QCOMPARE(back.OutputProfile, MarkupProfile::Html5);
    QCOMPARE(back.TableWidthUnit, WidthUnit::Percent);
    QCOMPARE(back.TableWidth, 80);
    QCOMPARE(back.TableBorder, qint16(0));
}

void TestTableDocumentIo::tempNamesAreNewAndUnique()
{
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i) {
        for (const QString &p : {GetTempWorkPath(), GetTempHtmlPath()}) {
            QVERIFY(p.startsWith(m_tmp.path() + QLatin1Char('/')));
            QVERIFY(p.endsWith(QLatin1String(".qvx")) || p.endsWith(QLatin1String(".html")));
            QVERIFY(QFileInfo(p).isFile());
            QCOMPARE(QFileInfo(p).size(), 0);
            QVERIFY(!seen.contains(p));
            seen.insert(p);
            QFile::remove(p);
        }
    }
}

void TestTableDocumentIo::missingTempFolderFallsBackToTmp()
{
    qputenv("TMPDIR", m_tmp.filePath(QStringLiteral("no-such-folder")).toLocal8Bit());
    const QString page = GetTempHtmlPath();
    qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
    QVERIFY2(page.startsWith(QLatin1String("/tmp/")), qPrintable(page));
    QVERIFY(QFile::remove(page));
}

QTEST_GUILESS_MAIN(TestTableDocumentIo)
#include "tst_table_document_io.moc"
