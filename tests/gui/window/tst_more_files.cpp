// Several files on the command line, as a file manager passes them with %F:
// every file after the first gets a window of its own, staggered like the
// windows of the Open command, and a bad file spoils none of the others.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/window/document_manager.h"
#include "core/io/table_document_io.h"

using namespace parts;

namespace {

constexpr int Step = 27; // 400 twips

// Closes every modal box that appears (the message of a bad file) and counts them.
class BoxCloser : public QObject
{
public:
    BoxCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                ++closed;
                box->close();
            }
        });
        m_timer.start(20);
    }
    int closed = 0;

private:
    QTimer m_timer;
};

// The windows a user sees, oldest first.
QList<frmMain *> visibleWindows()
{
    QList<frmMain *> shown;
    for (frmMain *w : frmMain::loadedWindows())
        if (w->isVisible())
            shown << w;
    return shown;
}

} // namespace

class tst_more_files : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void eachFileInItsOwnStaggeredWindow_data();
    void eachFileInItsOwnStaggeredWindow();
    void badFileLeavesNoWindowAndOthersStillOpen();
    void withNoWindowLeftTheWindowCentresItself();

private:
    QString tableFile(const QString &name, const QString &caption);
    frmMain *firstWindow();

    QTemporaryDir m_dir;
};

void tst_more_files::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_more_files::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    QVERIFY(frmMain::loadedWindows().isEmpty());
}

// A saved table whose caption tells which file a window holds.
QString tst_more_files::tableFile(const QString &name, const QString &caption)
{
    TableModel model;
    model.TableTitle = caption;
    const QString path = m_dir.filePath(name);
    const SaveResult r = saveTableDocument(model, path);
    if (!r.ok)
        qWarning("%s", qPrintable(r.message));
    return path;
}

// The window Main makes for a new table, moved off the centre so offsets show.
frmMain *tst_more_files::firstWindow()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    w->move(100, 80);
    return w;
}

void tst_more_files::eachFileInItsOwnStaggeredWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("captions"); // of the windows opened, in order

    QTest::newRow("one more file") << QStringList{QStringLiteral("b.qvn")} << QStringList{QStringLiteral("B")};
    QTest::newRow("two more files stair down") << QStringList{QStringLiteral("b.qvn"), QStringLiteral("c.qvn")}
                                               << QStringList{QStringLiteral("B"), QStringLiteral("C")};
    QTest::newRow("the same file twice opens twice")
        << QStringList{QStringLiteral("b.qvn"), QStringLiteral("b.qvn")}
        << QStringList{QStringLiteral("B"), QStringLiteral("B")};
    QTest::newRow("empty and lone-quote arguments name no file")
        << QStringList{QString(), QStringLiteral("\""), QStringLiteral("c.qvn")}
        << QStringList{QStringLiteral("C")};
    QTest::newRow("nothing more") << QStringList{} << QStringList{};
}

void tst_more_files::eachFileInItsOwnStaggeredWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, captions);
    const QString b = tableFile(QStringLiteral("b.qvn"), QStringLiteral("B"));
    const QString c = tableFile(QStringLiteral("c.qvn"), QStringLiteral("C"));
    for (QString &a : arguments) {
        if (a == QLatin1String("b.qvn"))
            a = b;
        else if (a == QLatin1String("c.qvn"))
            a = c;
    }

    frmMain *first = firstWindow();
    const QPoint origin = first->pos();
    BoxCloser boxes;
    DocumentManager::openMoreFiles(arguments);

    QCOMPARE(boxes.closed, 0);
    const QList<frmMain *> windows = visibleWindows();
    QCOMPARE(windows.size(), 1 + captions.size());
    QCOMPARE(windows.first(), first);
    QCOMPARE(model(*first).TableTitle, QString()); // the first window keeps its own table
    for (int i = 0; i < captions.size(); ++i) {
        frmMain *w = windows.at(i + 1);
        QVERIFY(w->isVisible());
        QCOMPARE(model(*w).TableTitle, captions.at(i));
        QCOMPARE(w->pos(), origin + QPoint(Step, Step) * (i + 1));
        QVERIFY(caption(*w).endsWith(captions.at(i).toLower() + QStringLiteral(".qvn")));
    }
}

void tst_more_files::badFileLeavesNoWindowAndOthersStillOpen()
{
    const QString c = tableFile(QStringLiteral("c.qvn"), QStringLiteral("C"));
    const QString missing = m_dir.filePath(QStringLiteral("missing.qvn"));
    QFile damaged(m_dir.filePath(QStringLiteral("damaged.qvn")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a table");
    damaged.close();

    frmMain *first = firstWindow();
    const QPoint origin = first->pos();
    BoxCloser boxes;
    DocumentManager::openMoreFiles({missing, damaged.fileName(), c});

    QCOMPARE(boxes.closed, 2); // one message per bad file
    const QList<frmMain *> windows = visibleWindows();
    QCOMPARE(windows.size(), 2);
    QCOMPARE(model(*windows.at(1)).TableTitle, QStringLiteral("C"));
    // The bad files' windows are gone, so C steps from the first window.
    QCOMPARE(windows.at(1)->pos(), origin + QPoint(Step, Step));
}

void tst_more_files::withNoWindowLeftTheWindowCentresItself()
{
    // The first file failed and took its window with it: the next one is
    // placed as a first window is, centred, not stepped from a window gone.
    const QString b = tableFile(QStringLiteral("b.qvn"), QStringLiteral("B"));
    auto *reference = new frmMain;
    reference->load();
    const QPoint centred = reference->pos();
    delete reference;
    QVERIFY(frmMain::loadedWindows().isEmpty());

    DocumentManager::openMoreFiles({b});
    const QList<frmMain *> windows = visibleWindows();
    QCOMPARE(windows.size(), 1);
    QCOMPARE(model(*windows.first()).TableTitle, QStringLiteral("B"));
    QCOMPARE(windows.first()->pos(), centred);
}

QTEST_MAIN(tst_more_files)
#include "tst_more_files.moc"
