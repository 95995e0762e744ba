// Work is never lost without a word: closing a window with changes asks
// first (the close box, Close, Exit with several windows), Ctrl+S writes a
// named table straight to its file, and the caption shows what is unsaved.
#include <QtTest>

#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>

#include "gui/window/main_window.h"
#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "core/io/table_file.h"
#include "gui/widgets/common_dialog.h"
#include "support/window_parts.h"

using namespace parts;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What a save of this table writes.
QByteArray savedBytes(const TableModel &m, const QString &dir)
{
    const QString path = dir + QStringLiteral("/expected.qvn");
    saveTableDocument(m, path);
    const QByteArray bytes = readFile(path);
    QFile::remove(path);
    return bytes;
}

} // namespace

class TestSaveAndClose : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void closeAsks_data();
    void closeAsks();
    void exitAsksEachWindow_data();
    void exitAsksEachWindow();
    void savingAnUnnamedTableOnCloseCanBeCancelled();
    void ctrlSOnNamedAndUnnamedTables();

private:
    frmMain *window(const QString &file, bool changed);
    // Answers every close question with the button named answer, keeping their texts.
    void answerWith(const QString &answer);

    QTemporaryDir m_dir;
    QString m_named;
    QByteArray m_namedBytes;
    QStringList m_questions;
    QList<CommonDialog::Request> m_requests;
    CommonDialog::Reply m_reply;
    QTimer m_answerer;
    QString m_answer;
};

void TestSaveAndClose::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setFileMessageHook([](QWidget *, const QString &text) { QFAIL(qPrintable(text)); });
    CommonDialog::setTestHook([this](const CommonDialog::Request &r) {
        m_requests << r;
        return m_reply;
    });
    connect(&m_answerer, &QTimer::timeout, this, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box->objectName() != QLatin1String("msgSaveChanges"))
            return;
        m_questions << box->text();
        box->findChild<QPushButton *>(m_answer)->click();
    });
    m_answerer.setInterval(10);
}

void TestSaveAndClose::init()
{
    TableModel t;
    t.Cells(1, 1).Text = QStringLiteral("saved");
    m_named = m_dir.filePath(QStringLiteral("a.qvn"));
    QVERIFY(saveTableDocument(t, m_named).ok);
    m_namedBytes = readFile(m_named);
    QFile::remove(m_dir.filePath(QStringLiteral("unnamed.qvn")));
    m_questions.clear();
    m_requests.clear();
    m_reply = CommonDialog::Reply();
}

void TestSaveAndClose::cleanup()
{
    m_answerer.stop();
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmMain *TestSaveAndClose::window(const QString &file, bool changed)
{
    auto *w = new frmMain;
    if (file.isEmpty()) {
        w->setFileName(newTableName());
        w->show();
    } else {
        w->OpenFile(file);
    }
    if (changed)
        doc(*w).setCellText(1, 1, QStringLiteral("changed"));
    return w;
}

void TestSaveAndClose::answerWith(const QString &answer)
{
    m_answer = answer;
    m_answerer.start();
}

void TestSaveAndClose::closeAsks_data()
{
    QTest::addColumn<bool>("closeBox");  // else the Close command
    QTest::addColumn<QString>("answer");
    for (bool closeBox : {true, false})
        for (const char *answer : {"save", "discard", "cancel"})
            QTest::addRow("%s, %s", closeBox ? "close box" : "Close", answer) << closeBox << QString::fromLatin1(answer);
}

void TestSaveAndClose::closeAsks()
{
    QFETCH(bool, closeBox);
    QFETCH(QString, answer);
    frmMain *other = window(QString(), false);
    QPointer<frmMain> w = window(m_named, true);
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - a.qvn*"));
    const QByteArray changedBytes = savedBytes(model(*w), m_dir.path());
    answerWith(answer);
    if (closeBox)
        w->close();
    else
        item(*w, "mnuClose")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_questions, QStringList(QStringLiteral("「a.qvn」への変更を保存しますか？")));
    QCOMPARE(w.isNull(), answer != QLatin1String("cancel"));
    QCOMPARE(readFile(m_named), answer == QLatin1String("save") ? changedBytes : m_namedBytes);
    if (w)
        QCOMPARE(caption(*w), QStringLiteral("Quorvan - a.qvn*"));
    QVERIFY(frmMain::loadedWindows().contains(other));
    QVERIFY(m_requests.isEmpty()); // a named table needs no dialog
}

void TestSaveAndClose::exitAsksEachWindow_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("questions");
    QTest::newRow("save") << "save" << 0 << 2;
    QTest::newRow("discard") << "discard" << 0 << 2;
    QTest::newRow("cancel stops at the first") << "cancel" << 3 << 1;
}

void TestSaveAndClose::exitAsksEachWindow()
{
    QFETCH(QString, answer);
    QFETCH(int, left);
    QFETCH(int, questions);
    frmMain *first = window(m_named, true);
    window(QString(), false);
    window(QString(), true);
    const QByteArray changedBytes = savedBytes(model(*first), m_dir.path());
    const QString unnamed = m_dir.filePath(QStringLiteral("unnamed"));
    m_reply = CommonDialog::Reply{true, unnamed, 0};
    answerWith(answer);
    first->mnuExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(frmMain::loadedWindows().size(), left);
    // Newest first: the unnamed table, then the named one; the clean one asks nothing.
    const QStringList asked = {QStringLiteral("「新規テーブル」への変更を保存しますか？"),
                               QStringLiteral("「a.qvn」への変更を保存しますか？")};
    QCOMPARE(m_questions, asked.mid(0, questions));
    const bool saved = answer == QLatin1String("save");
    QCOMPARE(readFile(m_named), saved ? changedBytes : m_namedBytes);
    // The unnamed one got the dialog, and a name without an extension became a table file.
    QCOMPARE(m_requests.size(), saved ? 1 : 0);
    QCOMPARE(QFile::exists(unnamed + QStringLiteral(".qvn")), saved);
    QVERIFY(!QFile::exists(unnamed));
}

void TestSaveAndClose::savingAnUnnamedTableOnCloseCanBeCancelled()
{
    QPointer<frmMain> w = window(QString(), true);
    window(QString(), false);
    answerWith(QStringLiteral("save"));
    m_reply = CommonDialog::Reply(); // the save dialog is cancelled
    QVERIFY(!w->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w);
    QCOMPARE(m_requests.size(), 1);
    QCOMPARE(m_requests.at(0).title, QStringLiteral("表ファイルの保存"));
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - 新規テーブル*"));
}

void TestSaveAndClose::ctrlSOnNamedAndUnnamedTables()
{
    frmMain *named = window(m_named, true);
    named->activateWindow();
    QApplication::setActiveWindow(named);
    QVERIFY(QTest::qWaitForWindowActive(named));
    clickBar(*named, ToolbarButton::CellView);
    QTest::keyClick(grid(*named), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(m_requests.isEmpty());
    QCOMPARE(readFile(m_named), savedBytes(model(*named), m_dir.path()));
    QCOMPARE(caption(*named), QStringLiteral("Quorvan - a.qvn"));
    // Saved, then changed again, then taken back to the saved table: clean.
    doc(*named).setCellText(2, 2, QStringLiteral("x"));
    QCOMPARE(caption(*named), QStringLiteral("Quorvan - a.qvn*"));
    QTest::keyClick(grid(*named), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(caption(*named), QStringLiteral("Quorvan - a.qvn"));

    // Save As asks even for a named table, offering its name.
    const QString copy = m_dir.filePath(QStringLiteral("b.qvn"));
    m_reply = CommonDialog::Reply{true, copy, 0};
    QTest::keyClick(grid(*named), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_requests.size(), 1);
    QCOMPARE(m_requests.at(0).fileName, m_named);
    QCOMPARE(named->FileName(), copy);

    // An unnamed table gets the dialog, from the key and from toolbar button 3.
    frmMain *unnamed = window(QString(), true);
    const QString page = m_dir.filePath(QStringLiteral("page.html"));
    m_reply = CommonDialog::Reply{true, page, 1};
    clickBar(*unnamed, ToolbarButton::Save);
    QCOMPARE(m_requests.size(), 2);
    QVERIFY(readFile(page).contains("changed"));
    QCOMPARE(caption(*unnamed), QStringLiteral("Quorvan - 新規テーブル*")); // HTML is not the table
    const QString table = m_dir.filePath(QStringLiteral("c.qvn"));
    m_reply = CommonDialog::Reply{true, table, 0};
    clickBar(*unnamed, ToolbarButton::Save);
    QCOMPARE(m_requests.size(), 3);
    QCOMPARE(readFile(table), savedBytes(model(*unnamed), m_dir.path()));
    QCOMPARE(caption(*unnamed), QStringLiteral("Quorvan - c.qvn"));
}

QTEST_MAIN(TestSaveAndClose)
#include "tst_save_and_close.moc"
