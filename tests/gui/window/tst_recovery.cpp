// Crash recovery: a modified table is kept in the user's data folder while it
// is unsaved, and a program that was killed leaves it to the next start,
// which offers it and restores it exactly.
#include <QtTest>

#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QUndoStack>

#include <sys/stat.h>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

#include "gui/window/main_window.h"
#include "document/recovery_file.h"
#include "gui/window/document_manager.h"
#include "core/io/compression.h"
#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "core/io/table_file.h"
#include "gui/widgets/common_dialog.h"
#include "support/window_parts.h"

using namespace parts;

namespace {

QStringList recoveryTables()
{
    return QDir(recoveryFolder()).entryList({QStringLiteral("*.qvn")}, QDir::Files, QDir::Name);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray unpacked(const QString &path)
{
    QFile f(path);
    QByteArray text;
    if (!f.open(QIODevice::ReadOnly) || gunzipBytes(f.readAll(), text) != GunzipStatus::Ok)
        return QByteArray();
    return text;
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void unsavedWorkIsPrivate();
    void modifiedTableIsKeptUntilSavedOrClosed();
    void killedProgramLeavesItsTableToTheNextStart();
    void fullDiskKeepsTheLastCopy();
    void rewriteAgainstFileSizeLimit(); // the program side of the one above
    void copyThatDoesNotOpenIsKept();

private:
    // Outlives the program's own lock in it, released when the process ends.
    static QTemporaryDir &dir()
    {
        static QTemporaryDir d;
        return d;
    }
    QString m_table;
    QStringList m_offers;
};

void TestRecovery::initTestCase()
{
    // The program's own folder under a data folder of our own (a child run
    // shares its parent's).
    QCoreApplication::setApplicationName(QStringLiteral("Quorvan"));
    if (qEnvironmentVariableIsEmpty("QUORVAN_RECOVERY_CHILD")) {
        qputenv("XDG_DATA_HOME", dir().filePath(QStringLiteral("data")).toLocal8Bit());
        QVERIFY(recoveryFolder().startsWith(dir().path()));
    }
    setFileMessageHook([](QWidget *, const QString &text) { QFAIL(qPrintable(text)); });
    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply(); });
    TableModel t;
    t.TableRows = 3;
    t.TableCols = 4;
    t.TableTitle = QStringLiteral("売上");
    t.Cells(2, 2).Text = QStringLiteral("<B>太字</B>");
    // A cell sized in per cent and styled: the copy keeps them too.
    t.Cells(3, 2).WidthOn = t.Cells(3, 2).WidthPercent = 1;
    t.Cells(3, 2).Width = 25;
    t.Cells(3, 2).Style = QStringLiteral("color: red; font-family: \"A; B\"");
    m_table = dir().filePath(QStringLiteral("表.qvn"));
    QVERIFY(saveTableDocument(t, m_table).ok);
}

void TestRecovery::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Other users on the machine may read what the umask lets them: not these.
void TestRecovery::unsavedWorkIsPrivate()
{
    const auto mode = [](const QString &path) {
        struct stat info;
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    };
    const mode_t umaskBefore = ::umask(022);
    // A folder an older version made with the usual modes.
    QVERIFY(QDir().mkpath(recoveryFolder()));
    QVERIFY(QFile::setPermissions(recoveryFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                            | QFile::ReadGroup | QFile::ExeGroup
                                                            | QFile::ReadOther | QFile::ExeOther));
    RecoveryFile::setDelay(0);
    auto *w = new frmMain;
    w->OpenFile(m_table);
    doc(*w).setCellText(1, 1, QStringLiteral("secret"));
    QTRY_COMPARE(recoveryTables().size(), 1);
    QCOMPARE(mode(recoveryFolder()), 0700);
    const QDir dir(recoveryFolder());
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 3); // the table, its name and this process's lock
    for (const QString &file : files)
        QVERIFY2(mode(dir.filePath(file)) == 0600, qPrintable(file));
    doc(*w).undoStack()->undo();
    QVERIFY(recoveryTables().isEmpty());
    RecoveryFile::setDelay(3000);
    ::umask(umaskBefore);
}

void TestRecovery::modifiedTableIsKeptUntilSavedOrClosed()
{
    RecoveryFile::setDelay(0);
    auto *w = new frmMain;
    w->OpenFile(m_table);
    QVERIFY(recoveryTables().isEmpty());
    doc(*w).setCellText(1, 1, QStringLiteral("unsaved"));
    QTRY_COMPARE(recoveryTables().size(), 1);
    const QString kept = QDir(recoveryFolder()).filePath(recoveryTables().constFirst());
    QVERIFY(kept.contains(QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')));
    QCOMPARE(unpacked(kept), tableText(model(*w)));

    // Saved as a table file: gone. Changed and taken back to the saved table: gone too.
    w->mnuSave_Click();
    QVERIFY(recoveryTables().isEmpty());
    doc(*w).setCellText(1, 1, QStringLiteral("again"));
    QTRY_COMPARE(recoveryTables().size(), 1);
    doc(*w).undoStack()->undo();
    QVERIFY(recoveryTables().isEmpty());

    // Closed on purpose, its changes given up: gone.
    doc(*w).setCellText(1, 1, QStringLiteral("given up"));
    QTRY_COMPARE(recoveryTables().size(), 1);
    QTimer::singleShot(0, this, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->findChild<QAbstractButton *>(QStringLiteral("discard"))->click();
    });
    QVERIFY(w->close());
    QVERIFY(recoveryTables().isEmpty());
    RecoveryFile::setDelay(3000);
}

void TestRecovery::killedProgramLeavesItsTableToTheNextStart()
{
    // The real program, changing cell (1, 1) of the table it was given.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), qEnvironmentVariable("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QUORVAN_TEST_EDIT"), QStringLiteral("打ったばかり"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan"), {m_table});
    QVERIFY(child.waitForStarted());
    const QString left = QDir(recoveryFolder()).filePath(QString::number(child.processId()) + QStringLiteral("-1.qvn"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(left), 30000);
    QTRY_VERIFY(!unpacked(left).isEmpty());

    TableModel expected;
    QVERIFY(openTableDocument(m_table, expected).ok());
    expected.Cells(1, 1).Text = QStringLiteral("打ったばかり");
    QCOMPARE(unpacked(left), tableText(expected));

    // Another running program's files are never taken.
    m_offers.clear();
    auto answer = [this] {
        QTimer::singleShot(0, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_offers << box->text() + QLatin1Char('|') + box->informativeText();
                box->button(QMessageBox::Yes)->click();
            }
        });
    };
    answer();
    QCOMPARE(DocumentManager::offerRecoveredTables(), 0);
    QVERIFY(QFile::exists(left));
    QCoreApplication::processEvents();

    child.kill(); // SIGKILL: no chance to clean up
    QVERIFY(child.waitForFinished());
    QVERIFY(QFile::exists(left));

    m_offers.clear();
    answer();
    QCOMPARE(DocumentManager::offerRecoveredTables(), 1);
    QCOMPARE(m_offers, QStringList(QStringLiteral("前回終了しなかったテーブルがあります。復元しますか？|表.qvn")));
    QVERIFY(!QFile::exists(left));
    QCOMPARE(frmMain::loadedWindows().size(), 1);
    frmMain *w = frmMain::loadedWindows().constFirst();
    QVERIFY(w->isVisible());
    QCOMPARE(w->FileName(), m_table);
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - 表.qvn*"));
    QCOMPARE(tableText(model(*w)), tableText(expected));
    // Kept again, now as this program's.
    QCOMPARE(recoveryTables().size(), 1);
    QVERIFY(recoveryTables().constFirst().startsWith(QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')));
    QCOMPARE(QDir(recoveryFolder()).entryList({QStringLiteral("*.lock")}, QDir::Files),
             QStringList(QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".lock")));
}

// A rewrite that hits the file size limit (a full disk to the program) leaves
// the last good copy as it was, and a kill -9 then loses only the last change.
void TestRecovery::fullDiskKeepsTheLastCopy()
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), qEnvironmentVariable("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QUORVAN_RECOVERY_CHILD"), m_table);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("rewriteAgainstFileSizeLimit")});
    QVERIFY(child.waitForStarted());
    QByteArray said;
    QDeadlineTimer deadline(60000);
    while (!said.contains("copy kept") && !said.contains("Totals:") && !deadline.hasExpired()) {
        child.waitForReadyRead(100);
        said += child.readAll();
    }
    QVERIFY2(said.contains("copy kept"), said.constData());
    child.kill();
    QVERIFY(child.waitForFinished());

    m_offers.clear();
    QTimer::singleShot(0, this, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(DocumentManager::offerRecoveredTables(), 1);
    TableModel expected;
    QVERIFY(openTableDocument(m_table, expected).ok());
    expected.Cells(1, 1).Text = QStringLiteral("kept");
    QCOMPARE(tableText(model(*frmMain::loadedWindows().constFirst())), tableText(expected));
}

void TestRecovery::rewriteAgainstFileSizeLimit()
{
    const QString table = qEnvironmentVariable("QUORVAN_RECOVERY_CHILD");
    if (table.isEmpty())
        QSKIP("run by fullDiskKeepsTheLastCopy in a process of its own");
    RecoveryFile::setDelay(0);
    auto *w = new frmMain;
    w->OpenFile(table);
    doc(*w).setCellText(1, 1, QStringLiteral("kept"));
    QTRY_COMPARE(recoveryTables().size(), 1);
    const QString copy = QDir(recoveryFolder()).filePath(recoveryTables().constFirst());
    const QByteArray before = bytesOf(copy);
    QVERIFY(!before.isEmpty());

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    limit.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    // Text gzip cannot shrink below the limit, small enough to stay in the
    // file's buffer until the commit.
    QString noise;
    quint32 seed = 1;
    for (int i = 0; i < 12000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += QChar(u'a' + (seed >> 16) % 26);
    }
    doc(*w).setCellText(2, 1, noise);
    QTRY_VERIFY(w->findChild<QStatusBar *>(QStringLiteral("RecoveryStatus")));
    QVERIFY(w->findChild<QStatusBar *>(QStringLiteral("RecoveryStatus"))->currentMessage().contains(
            QStringLiteral("前回のコピーは残っています。")));
    QCOMPARE(bytesOf(copy), before);
    std::printf("copy kept\n");
    std::fflush(stdout);
    QTest::qWait(60000); // until killed
}

void TestRecovery::copyThatDoesNotOpenIsKept()
{
    // Left by a process that no longer runs, cut short by a full disk.
    const QString left = QDir(recoveryFolder()).filePath(QStringLiteral("4194302-1.qvn"));
    QVERIFY(QDir().mkpath(recoveryFolder()));
    {
        QFile f(left);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(gzipBytes(QByteArray(100000, 'x'), 1).left(2000));
        QFile name(left.chopped(4) + QStringLiteral(".name"));
        QVERIFY(name.open(QIODevice::WriteOnly));
        name.write(QStringLiteral("/tmp/見積.qvn").toUtf8());
    }
    QStringList messages;
    setFileMessageHook([&messages](QWidget *, const QString &text) { messages << text; });
    QTimer::singleShot(0, this, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(DocumentManager::offerRecoveredTables(), 0);
    setFileMessageHook([](QWidget *, const QString &text) { QFAIL(qPrintable(text)); });
    const QString kept = QDir(recoveryFolder()).filePath(QStringLiteral("見積-4194302-1.qvn"));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.constFirst().contains(kept));
    QVERIFY(!QFile::exists(left));
    QCOMPARE(bytesOf(kept), gzipBytes(QByteArray(100000, 'x'), 1).left(2000));
    // Not offered again.
    QCOMPARE(DocumentManager::offerRecoveredTables(), 0);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
