#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolBar>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/widgets/common_dialog.h"
#include "core/model/grid_text.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

// Random input on the main window: keys, clicks on the toolbar, the grid, the
// two panes and the menus, with every dialog answered by a timer that finds
// the active modal widget (or pop-up menu) and acts in it, then answers or
// closes it. After every step the windows must still answer and each model
// must agree with what its window shows.
//
// The suite runs a few hundred steps with a fixed seed. By hand, for a long run:
//   QUORVAN_RANDOM_SEED=7 QUORVAN_RANDOM_STEPS=300000 QT_QPA_PLATFORM=offscreen build/bin/tst_random_input
// A failure names the seed and step and lists the last actions. A step that
// does not come back for QUORVAN_RANDOM_HANG_SECONDS (default 300) is a hang:
// the test prints the same and aborts.
//
// Controls are found by their object names. Nothing leaves the temporary
// folder: file dialogs are answered with names inside it, TMPDIR points into
// it, and web addresses go to a handler here instead of the desktop's browser.
// The web previews (toolbar button 12, the editor's preview) need a display;
// QUORVAN_RANDOM_PREVIEW=1 lets the run press them too (under xvfb-run).
// QUORVAN_RANDOM_VERBOSE=1 prints every action as it happens.

namespace {

using Rng = std::mt19937_64;

QString envOr(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

// Takes the web addresses the program hands to the desktop.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

const char *const TableSettingsControls[] = {
    "txtWidth", "txtHeight", "txtTitle", "txtBorder", "UpDownWidth", "UpDownHeight", "UpDown1",
    "picBackColor", "cmdBackColorSet", "chkBackColorNothing", "chkNet", "Label101", "Label801",
};
const char *const CellSettingsControls[] = {
    "picBackColor2", "cmdBackColorSet2", "chkBackColorNothing2", "chkSWidth", "txtSWidth",
    "chkSHeight", "txtSHeight", "chkHeight", "txtMHeight", "chkWidth", "txtMWidth",
    "SliW", "SliH", "picText", "lblTextMove", "Label333",
};
// Close and Exit end the window (or all of them); they come up less often.
const char *const MenuItems[][2] = {
    {"mnuFile", "mnuNew"},     {"mnuFile", "mnuOpen"},       {"mnuFile", "mnuSave"},
    {"mnuFile", "mnuSave"},    {"mnuSel", "mnuBold"},        {"mnuSel", "mnuBold"},
    {"mnuSel", "mnuSelEdit"},  {"mnuSel", "mnuSelEdit"},     {"mnuSel", "mnuSelEditMax"},
    {"mnuSel", "mnuSelEditMax"}, {"mnuHelp", "mnuShowHelp"}, {"mnuHelp", "mnuAbout"},
    {"mnuHelp", "mnuAbout"},   {"mnuFile", "mnuClose"},      {"mnuFile", "mnuExit"},
};
const int MaxMainWindows = 3;

} // namespace

class TestRandomInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void randomSteps();

private:
    // --- random choices
    int pick(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    bool chance(int percent) { return pick(100) < percent; }
    QPoint somewhere(const QWidget *w) { return QPoint(pick(qMax(1, w->width())), pick(qMax(1, w->height()))); }
    QString randomText();
    void randomKey(QWidget *target);

    // --- the steps
    void step();
    void keyStep(QMainWindow *w);
    void toolbarStep(QMainWindow *w);
    void gridStep(QMainWindow *w);
    void paneStep(QMainWindow *w);
    void menuStep(QMainWindow *w);
    void windowStep(QMainWindow *w);

    // --- dialogs and pop-ups
    void answerTick();
    void actInModal(QWidget *modal);
    void answerModal(QWidget *modal);
    void later(QWidget *guard, std::function<void()> fn);
    CommonDialog::Reply fileDialogAnswer(const CommonDialog::Request &request);

    // --- checks
    QList<QMainWindow *> mainWindows() const;
    QMainWindow *ensureWindow();
    void housekeeping();
    bool settle();
    void checkWindows();
    void checkWindow(QMainWindow *w);
    void fail(const QString &what);

    void log(const QString &what);
    // Straight to stdout: QtTest stops passing messages on after -maxwarnings.
    static void progress(const QString &what)
    {
        std::fprintf(stdout, "random input: %s\n", qPrintable(what));
        std::fflush(stdout);
    }
    void printLog(FILE *out);

    Rng m_rng;
    quint64 m_seed = 0;
    int m_step = 0;
    bool m_previews = false;
    bool m_verbose = false;
    int m_dialogs = 0, m_popups = 0, m_commonDialogs = 0;
    QTemporaryDir m_dir;
    QString m_oldTmpDir;
    UrlSink m_sink;
    QTimer m_answerer;
    QPointer<QWidget> m_modal;      // the modal widget the answerer works on
    int m_modalTicks = 0;
    int m_modalBudget = 0;
    QStringList m_failures;

    std::mutex m_logMutex;
    std::deque<QString> m_log;

    std::atomic<qint64> m_heartbeat{0};
    std::atomic<bool> m_stopWatchdog{false};
    std::mutex m_watchMutex;
    std::condition_variable m_watchWake;
    std::thread m_watchdog;
};

// ---------------------------------------------------------------------------

void TestRandomInput::initTestCase()
{
    m_seed = envOr("QUORVAN_RANDOM_SEED", QStringLiteral("20261207")).toULongLong();
    m_rng.seed(m_seed);
    m_previews = qEnvironmentVariable("QUORVAN_RANDOM_PREVIEW") == QLatin1String("1");
    m_verbose = qEnvironmentVariable("QUORVAN_RANDOM_VERBOSE") == QLatin1String("1");
    QVERIFY(m_dir.isValid());

    // Page files, work files and saved tables all stay in the temporary folder.
    m_oldTmpDir = qEnvironmentVariable("TMPDIR");
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("tmp"))));
    qputenv("TMPDIR", QFile::encodeName(m_dir.filePath(QStringLiteral("tmp"))));
    for (const char *scheme : {"http", "https", "file", "mailto", "ftp"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_sink, "open");
    CommonDialog::setTestHook([this](const CommonDialog::Request &r) { return fileDialogAnswer(r); });

    // Files the Open command may be pointed at besides the ones saved on the way.
    auto put = [this](const char *name, const QByteArray &bytes) {
        QFile f(m_dir.filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    put("empty.qvn", QByteArray());
    put("garbage.qvf", QByteArray("\x82\xa0,,\"\r\n9999999999,x", 20));
    put("old.qvf", QByteArray("1,1,\"t\",1,0,1,2,3\r\n0,0,\"<B>x</B>\",1,1,5,1,5,2,2\r\n"));

    connect(&m_answerer, &QTimer::timeout, this, &TestRandomInput::answerTick);
    m_answerer.start(5);

    const int hangSeconds = envOr("QUORVAN_RANDOM_HANG_SECONDS", QStringLiteral("300")).toInt();
    m_watchdog = std::thread([this, hangSeconds] {
        qint64 seen = -1;
        auto lastChange = std::chrono::steady_clock::now();
        std::unique_lock<std::mutex> lock(m_watchMutex);
        while (!m_stopWatchdog) {
            m_watchWake.wait_for(lock, std::chrono::seconds(1));
            const qint64 beat = m_heartbeat.load();
            const auto now = std::chrono::steady_clock::now();
            if (beat != seen) {
                seen = beat;
                lastChange = now;
            } else if (now - lastChange > std::chrono::seconds(hangSeconds)) {
                std::fprintf(stderr, "HANG: no answer for %d s (seed %llu, step %d)\n", hangSeconds,
                             static_cast<unsigned long long>(m_seed), m_step);
                printLog(stderr);
                std::abort();
            }
        }
    });
}

void TestRandomInput::cleanupTestCase()
{
    m_answerer.stop();
    for (QMainWindow *w : mainWindows())
        delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CommonDialog::setTestHook({});
    for (const char *scheme : {"http", "https", "file", "mailto", "ftp"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    if (m_oldTmpDir.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", QFile::encodeName(m_oldTmpDir));
    m_stopWatchdog = true;
    m_watchWake.notify_all();
    if (m_watchdog.joinable())
        m_watchdog.join();
}

void TestRandomInput::randomSteps()
{
    const int steps = envOr("QUORVAN_RANDOM_STEPS", QStringLiteral("300")).toInt();
    progress(QStringLiteral("seed %1, %2 steps").arg(m_seed).arg(steps));
    for (m_step = 1; m_step <= steps && m_failures.isEmpty(); ++m_step) {
        ++m_heartbeat;
        housekeeping();
        step();
        if (!settle())
            fail(QStringLiteral("a dialog or pop-up stayed open"));
        checkWindows();
        if (m_step % 1000 == 0)
            progress(QStringLiteral("step %1").arg(m_step));
    }
    progress(QStringLiteral("%1 steps: %2 dialogs, %3 pop-up menus, %4 file or colour dialogs answered")
                     .arg(m_step - 1).arg(m_dialogs).arg(m_popups).arg(m_commonDialogs));
    if (!m_failures.isEmpty()) {
        printLog(stdout);
        QFAIL(qPrintable(QStringLiteral("seed %1, step %2: %3")
                                 .arg(m_seed).arg(m_step - 1).arg(m_failures.join(QStringLiteral("; ")))));
    }
    // Everything the program handed to the desktop was a page file of ours.
    for (const QUrl &url : std::as_const(m_sink.opened)) {
        QVERIFY2(url.isLocalFile() && url.toLocalFile().startsWith(m_dir.path()),
                 qPrintable(url.toString()));
    }
}

// ---------------------------------------------------------------------------
// Steps

void TestRandomInput::step()
{
    QMainWindow *w = ensureWindow();
    const int roll = pick(100);
    if (roll < 25)
        keyStep(w);
    else if (roll < 45)
        toolbarStep(w);
    else if (roll < 65)
        gridStep(w);
    else if (roll < 85)
        paneStep(w);
    else if (roll < 95)
        menuStep(w);
    else
        windowStep(w);
}

QString TestRandomInput::randomText()
{
    switch (pick(8)) {
    case 0:
        return QString();
    case 1:
        return QString(1 + pick(3000), QLatin1Char('x'));            // long, no break
    case 2:
        return QStringLiteral("<B>a</B><BR>b&amp;&lt;<");            // markup
    case 3:
        return QStringLiteral("表の見出し、，\"引用\"");             // Japanese, quotes, commas
    case 4:
        return QString::number(pick(200) - 50);
    case 5:
        return QStringLiteral("00") + QString::number(pick(10000));
    case 6:
        return QString(QChar(0xD83D)) + QChar(0xDE00) + QChar(0x00A0) + QChar(0x2603); // outside CP932
    default: {
        QString s;
        const int n = 1 + pick(12);
        for (int i = 0; i < n; ++i)
            s += QChar(0x20 + pick(0x5F));
        return s;
    }
    }
}

void TestRandomInput::randomKey(QWidget *target)
{
    static const Qt::Key keys[] = {
        Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Left,
        Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp,
        Qt::Key_PageDown, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_F1, Qt::Key_F2, Qt::Key_Space,
    };
    if (!target)
        return;
    QPointer<QWidget> guard(target);
    switch (pick(6)) {
    case 0:
    case 1: {
        const Qt::Key key = keys[pick(int(std::size(keys)))];
        const Qt::KeyboardModifiers mod = chance(20) ? Qt::ShiftModifier : Qt::NoModifier;
        log(QStringLiteral("key %1 mod %2 on %3").arg(int(key)).arg(int(mod)).arg(target->objectName()));
        QTest::keyClick(target, key, mod);
        break;
    }
    case 2: {
        const char letters[] = "qQaz09x-<&;";
        const char c = letters[pick(int(sizeof letters) - 1)];
        log(QStringLiteral("char %1 on %2").arg(QLatin1Char(c)).arg(target->objectName()));
        QTest::keyClick(target, c);
        break;
    }
    case 3: {
        // Shortcuts a user might press: select all, copy, cut, paste, undo, new, save.
        const char shortcuts[] = "acvxzs";
        const char c = shortcuts[pick(int(sizeof shortcuts) - 1)];
        log(QStringLiteral("ctrl+%1 on %2").arg(QLatin1Char(c)).arg(target->objectName()));
        QTest::keyClick(target, c, Qt::ControlModifier);
        break;
    }
    default: {
        const QString text = randomText().left(200);
        log(QStringLiteral("type %1 chars on %2").arg(text.size()).arg(target->objectName()));
        // Key events that carry the character, Japanese and symbols included.
        for (const QChar c : text) {
            if (!guard)
                break;
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        break;
    }
    }
}

void TestRandomInput::keyStep(QMainWindow *w)
{
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != w)
        target = w;
    randomKey(target);
}

void TestRandomInput::toolbarStep(QMainWindow *w)
{
    QToolBar *bar = w->findChild<QToolBar *>(QStringLiteral("Bar"));
    if (!bar)
        return fail(QStringLiteral("Bar missing"));
    // New and Open add windows; keep them rarer than the view buttons.
    static const int buttons[] = {1, 2, 3, 3, 4, 5, 6, 7, 7, 7, 8, 9, 9, 10, 10, 10, 10, 11, 11, 12, 13, 14};
    const int index = buttons[pick(int(std::size(buttons)))];
    if (index == 12 && !m_previews)
        return;
    // By position: the commands the menus share keep their menu names.
    QAction *action = bar->actions().value(index - 1);
    if (!action)
        return fail(QStringLiteral("Bar_%1 missing").arg(index));
    QWidget *button = bar->widgetForAction(action);
    if (!button || !button->isVisible())
        return;
    log(QStringLiteral("toolbar %1%2").arg(index).arg(action->isEnabled() ? "" : " (disabled)"));
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void TestRandomInput::gridStep(QMainWindow *w)
{
    auto *grid = w->findChild<GridWidget *>(QStringLiteral("Grid"));
    if (!grid)
        return fail(QStringLiteral("Grid missing"));
    if (!grid->isVisible()) {
        // The way to the grid: the cell settings view.
        QToolBar *bar = w->findChild<QToolBar *>(QStringLiteral("Bar"));
        QAction *cellView = w->findChild<QAction *>(QStringLiteral("Bar_10"));
        if (bar && cellView && bar->widgetForAction(cellView)) {
            log(QStringLiteral("toolbar 10 (to the grid)"));
            QWidget *b = bar->widgetForAction(cellView);
            QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
        }
        return;
    }
    // Cells, the fixed row and column, and the empty space past the last cell.
    QWidget *area = grid->viewport();
    QPoint at;
    if (chance(10)) {
        area = chance(50) ? static_cast<QWidget *>(grid->horizontalHeader())
                          : static_cast<QWidget *>(grid->verticalHeader());
        at = somewhere(area);
    } else if (chance(75)) {
        const QRect cell = grid->cellRect(1 + pick(grid->Cols() - 1), 1 + pick(grid->Rows() - 1));
        at = cell.topLeft() + QPoint(pick(qMax(1, cell.width())), pick(qMax(1, cell.height())));
    } else {
        at = somewhere(area);
    }
    const Qt::KeyboardModifiers mod = chance(25) ? Qt::ShiftModifier : Qt::NoModifier;
    switch (pick(6)) {
    case 0:
    case 1:
    case 2:
        log(QStringLiteral("grid click %1,%2 mod %3").arg(at.x()).arg(at.y()).arg(int(mod)));
        QTest::mouseClick(area, Qt::LeftButton, mod, at);
        break;
    case 3:
        log(QStringLiteral("grid double-click %1,%2 mod %3").arg(at.x()).arg(at.y()).arg(int(mod)));
        QTest::mouseClick(area, Qt::LeftButton, mod, at);
        QTest::mouseDClick(area, Qt::LeftButton, mod, at);
        break;
    case 4:
        log(QStringLiteral("grid right-click %1,%2 mod %3").arg(at.x()).arg(at.y()).arg(int(mod)));
        QTest::mouseClick(area, Qt::RightButton, mod, at);
        if (m_verbose && QApplication::activePopupWidget())
            log(QStringLiteral("(cell menu open)"));
        break;
    default:
        randomKey(grid);
        break;
    }
}

void TestRandomInput::paneStep(QMainWindow *w)
{
    QWidget *picAllSet = w->findChild<QWidget *>(QStringLiteral("picAllSet"));
    if (!picAllSet)
        return fail(QStringLiteral("picAllSet missing"));
    QString name;
    if (picAllSet->isVisible())
        name = QLatin1String(TableSettingsControls[pick(int(std::size(TableSettingsControls)))]);
    else
        name = QLatin1String(CellSettingsControls[pick(int(std::size(CellSettingsControls)))]);
    QWidget *control = w->findChild<QWidget *>(name);
    if (!control)
        return fail(name + QStringLiteral(" missing"));
    if (!control->isVisible())
        return;
    const QPoint at = somewhere(control);
    log(QStringLiteral("click %1 at %2,%3%4").arg(name).arg(at.x()).arg(at.y())
                .arg(control->isEnabled() ? "" : " (disabled)"));
    QPointer<QWidget> guard(control);
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
    if (guard && qobject_cast<QLineEdit *>(control) && control->isEnabled()) {
        if (chance(30)) {
            log(QStringLiteral("clear %1").arg(name));
            QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(control, Qt::Key_Delete);
        }
        if (guard)
            randomKey(control);
    }
}

void TestRandomInput::menuStep(QMainWindow *w)
{
    const auto &item = MenuItems[pick(int(std::size(MenuItems)))];
    QMenu *menu = w->findChild<QMenu *>(QLatin1String(item[0]));
    QAction *action = w->findChild<QAction *>(QLatin1String(item[1]));
    if (!menu || !action)
        return fail(QLatin1String(item[1]) + QStringLiteral(" missing"));
    QMenuBar *bar = w->menuBar();
    const QRect title = bar->actionGeometry(menu->menuAction());
    if (title.isEmpty())
        return;
    log(QStringLiteral("menu %1 -> %2").arg(QLatin1String(item[0]), QLatin1String(item[1])));
    QTest::mouseClick(bar, Qt::LeftButton, {}, title.center());
    if (!menu->isVisible())
        return; // a greyed menu does not open
    const QRect place = menu->actionGeometry(action);
    if (!action->isEnabled() || place.isEmpty()) {
        QTest::keyClick(menu, Qt::Key_Escape);
        if (menu->isVisible())
            menu->close();
        return;
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, place.center());
}

void TestRandomInput::windowStep(QMainWindow *w)
{
    switch (pick(4)) {
    case 0: {
        const QSize size(100 + pick(900), 100 + pick(700));
        log(QStringLiteral("resize %1x%2").arg(size.width()).arg(size.height()));
        w->resize(size);
        break;
    }
    case 1:
        log(QStringLiteral("minimize and restore"));
        w->showMinimized();
        QCoreApplication::processEvents();
        w->showNormal();
        break;
    case 2: {
        const QList<QMainWindow *> all = mainWindows();
        QMainWindow *other = all.at(pick(int(all.size())));
        log(QStringLiteral("activate window %1 of %2").arg(all.indexOf(other)).arg(all.size()));
        other->raise();
        other->activateWindow();
        QApplication::setActiveWindow(other);
        break;
    }
    default:
        if (!chance(30))
            return;
        log(QStringLiteral("close box"));
        w->close();
        break;
    }
}

// ---------------------------------------------------------------------------
// Dialogs and pop-ups

// Runs fn from the event loop, so that a modal dialog it opens never blocks
// the answerer's own tick.
void TestRandomInput::later(QWidget *guard, std::function<void()> fn)
{
    QPointer<QWidget> g(guard);
    QTimer::singleShot(0, this, [g, fn] {
        if (g)
            fn();
    });
}

void TestRandomInput::answerTick()
{
    ++m_heartbeat;
    if (QWidget *popup = QApplication::activePopupWidget()) {
        ++m_popups;
        auto *menu = qobject_cast<QMenu *>(popup);
        QList<QAction *> usable;
        if (menu) {
            for (QAction *a : menu->actions()) {
                if (a->isEnabled() && !a->isSeparator() && !menu->actionGeometry(a).isEmpty())
                    usable << a;
            }
        }
        if (!usable.isEmpty() && chance(70)) {
            QAction *a = usable.at(pick(int(usable.size())));
            log(QStringLiteral("pop-up %1 -> %2").arg(popup->objectName(), a->objectName()));
            const QPoint at = menu->actionGeometry(a).center();
            later(menu, [menu, at] { QTest::mouseClick(menu, Qt::LeftButton, {}, at); });
        } else {
            log(QStringLiteral("pop-up %1 closed").arg(popup->objectName()));
            later(popup, [popup] {
                QTest::keyClick(popup, Qt::Key_Escape);
                if (popup->isVisible())
                    popup->close();
            });
        }
        return;
    }
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal) {
        m_modal = nullptr;
        return;
    }
    if (modal != m_modal) {
        m_modal = modal;
        m_modalTicks = 0;
        m_modalBudget = pick(8);
        ++m_dialogs;
        log(QStringLiteral("dialog %1 \"%2\" opened").arg(modal->objectName(), modal->windowTitle()));
    }
    ++m_modalTicks;
    if (qobject_cast<QFileDialog *>(modal)) {
        // Never let a real file dialog pick a place: the program has to go
        // through the common dialog, which is answered from the temporary folder.
        fail(QStringLiteral("a file dialog opened past the common dialog"));
        qobject_cast<QDialog *>(modal)->reject();
    } else if (m_modalTicks <= m_modalBudget) {
        actInModal(modal);
    } else if (m_modalTicks == m_modalBudget + 1 || m_modalTicks % 20 == 0) {
        answerModal(modal);
    } else if (m_modalTicks > m_modalBudget + 200) {
        fail(QStringLiteral("dialog %1 would not close").arg(modal->objectName()));
        if (auto *d = qobject_cast<QDialog *>(modal))
            d->done(QDialog::Rejected);
        else
            modal->close();
    }
}

void TestRandomInput::actInModal(QWidget *modal)
{
    if (chance(40)) {
        QWidget *target = QApplication::focusWidget();
        if (!target || target->window() != modal)
            target = modal;
        later(target, [this, target] { randomKey(target); });
        return;
    }
    QList<QWidget *> controls;
    for (QWidget *c : modal->findChildren<QWidget *>()) {
        if (!c->isVisible() || !c->isEnabled() || !c->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty())
            continue;
        // The editor's preview starts the web engine; only with a display.
        if (!m_previews && modal->objectName() == QLatin1String("frmEdit")) {
            QToolBar *bar = modal->findChild<QToolBar *>(QStringLiteral("Bar"));
            QAction *preview = modal->findChild<QAction *>(QStringLiteral("Bar_5"));
            if (bar && preview && bar->widgetForAction(preview) == c)
                continue;
        }
        controls << c;
    }
    if (controls.isEmpty())
        return;
    QWidget *c = controls.at(pick(int(controls.size())));
    const QPoint at = somewhere(c);
    log(QStringLiteral("in %1: click %2 (%3)").arg(modal->objectName(), c->objectName(),
                                                     QLatin1String(c->metaObject()->className())));
    later(c, [c, at] { QTest::mouseClick(c, Qt::LeftButton, {}, at); });
}

void TestRandomInput::answerModal(QWidget *modal)
{
    // The editor keeps Return for a new line and ignores Escape: a dialog still
    // open after many answers gets its buttons or its close box.
    const int how = m_modalTicks > m_modalBudget + 100 ? 2 + pick(2) : pick(4);
    if (how == 0) {
        log(QStringLiteral("answer %1: Escape").arg(modal->objectName()));
        later(modal, [modal] { QTest::keyClick(modal, Qt::Key_Escape); });
    } else if (how == 1) {
        log(QStringLiteral("answer %1: Return").arg(modal->objectName()));
        later(modal, [modal] {
            QWidget *f = QApplication::focusWidget();
            QTest::keyClick(f && f->window() == modal ? f : modal, Qt::Key_Return);
        });
    } else if (how == 2) {
        // A button that ends the dialog: OK, cancel, store, or the editor's toolbar pair.
        QList<QWidget *> enders;
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>()) {
            const QString n = b->objectName() + b->text();
            if (b->isVisible() && b->isEnabled()
                && (n.contains(QLatin1String("OK"), Qt::CaseInsensitive)
                    || n.contains(QLatin1String("Cancel"), Qt::CaseInsensitive)
                    || n.contains(QStringLiteral("キャンセル")) || n.contains(QStringLiteral("閉じる"))))
                enders << b;
        }
        for (const char *name : {"Bar_1", "Bar_2"}) {
            QToolBar *bar = modal->findChild<QToolBar *>(QStringLiteral("Bar"));
            QAction *a = modal->findChild<QAction *>(QLatin1String(name));
            if (bar && a && bar->widgetForAction(a))
                enders << bar->widgetForAction(a);
        }
        if (!enders.isEmpty()) {
            QWidget *b = enders.at(pick(int(enders.size())));
            log(QStringLiteral("answer %1: button %2").arg(modal->objectName(), b->objectName()));
            later(b, [b] { QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center()); });
            return;
        }
        log(QStringLiteral("answer %1: close box").arg(modal->objectName()));
        later(modal, [modal] { modal->close(); });
    } else {
        log(QStringLiteral("answer %1: close box").arg(modal->objectName()));
        later(modal, [modal] { modal->close(); });
    }
}

CommonDialog::Reply TestRandomInput::fileDialogAnswer(const CommonDialog::Request &request)
{
    CommonDialog::Reply reply;
    ++m_commonDialogs;
    if (chance(20)) {
        log(QStringLiteral("common dialog %1: cancelled").arg(int(request.kind)));
        return reply;
    }
    reply.accepted = true;
    switch (request.kind) {
    case CommonDialog::Color:
        reply.color = qint32(std::uniform_int_distribution<int>(0, 0xFFFFFF)(m_rng));
        break;
    case CommonDialog::Save: {
        static const char *const names[] = {"a.qvn", "b.qvn", "c.QVN", "page.html", "noext", "sub/x.qvn"};
        reply.fileName = m_dir.filePath(QLatin1String(names[pick(int(std::size(names)))]));
        break;
    }
    case CommonDialog::Open: {
        QStringList files = QDir(m_dir.path()).entryList(QDir::Files, QDir::Name);
        files << QStringLiteral("missing.qvn");
        reply.fileName = m_dir.filePath(files.at(pick(int(files.size()))));
        break;
    }
    }
    log(QStringLiteral("common dialog %1: %2").arg(int(request.kind)).arg(reply.fileName));
    return reply;
}

// ---------------------------------------------------------------------------
// Checks

QList<QMainWindow *> TestRandomInput::mainWindows() const
{
    QList<QMainWindow *> list;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmMain") && w->isVisible())
            list << static_cast<QMainWindow *>(w);
    }
    return list;
}

QMainWindow *TestRandomInput::ensureWindow()
{
    QList<QMainWindow *> all = mainWindows();
    if (!all.isEmpty()) {
        QMainWindow *active = qobject_cast<QMainWindow *>(QApplication::activeWindow());
        return all.contains(active) ? active : all.last();
    }
    log(QStringLiteral("new first window"));
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    QApplication::setActiveWindow(w);
    return w;
}

void TestRandomInput::housekeeping()
{
    // Bound what accumulates: main windows from New and Open, help windows.
    QList<QMainWindow *> all = mainWindows();
    while (all.size() > MaxMainWindows) {
        log(QStringLiteral("(too many windows: closing one)"));
        all.takeLast()->close();
    }
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !w->isModal() && w->objectName() != QLatin1String("frmMain")
            && !w->inherits("QMenu") && chance(30)) {
            log(QStringLiteral("(closing %1)").arg(w->objectName()));
            w->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Waits until every dialog and pop-up the step opened has been answered and
// the event queue has been run once more; false if something stays open.
bool TestRandomInput::settle()
{
    bool answered = false;
    QTimer::singleShot(0, this, [&answered] { answered = true; });
    const int hangSeconds = envOr("QUORVAN_RANDOM_HANG_SECONDS", QStringLiteral("300")).toInt();
    return QTest::qWaitFor([&] {
        return answered && !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
    }, hangSeconds * 1000);
}

void TestRandomInput::checkWindows()
{
    for (QMainWindow *w : mainWindows())
        checkWindow(w);
}

void TestRandomInput::checkWindow(QMainWindow *w)
{
    auto *window = qobject_cast<frmMain *>(w);
    const TableModel *model = window ? &window->document().model() : nullptr;
    auto *grid = w->findChild<GridWidget *>(QStringLiteral("Grid"));
    if (!model || !grid) {
        fail(QStringLiteral("window without model or grid"));
        return;
    }
    auto expect = [this](bool ok, const QString &what) {
        if (!ok)
            fail(what);
    };
    // Sizes in range.
    expect(grid->Rows() >= 2 && grid->Rows() <= TableLimits::MaxRows + 1 && grid->Cols() >= 2
                   && grid->Cols() <= TableLimits::MaxCols + 1,
           QStringLiteral("grid size %1 x %2").arg(grid->Cols()).arg(grid->Rows()));
    expect(grid->Row() >= 0 && grid->Row() < grid->Rows() && grid->Col() >= 0 && grid->Col() < grid->Cols(),
           QStringLiteral("current cell %1,%2 outside the grid").arg(grid->Col()).arg(grid->Row()));
    // A box holds as many characters as its limit has digits (the border's two);
    // a pasted "-9" is kept until the box loses the focus.
    const auto fits = [](qint64 v, int limit) {
        qint64 top = 9;
        while (top < limit)
            top = top * 10 + 9;
        return v >= -top / 10 && v <= top;
    };
    expect(fits(model->TableRows, TableLimits::MaxRows) && fits(model->TableCols, TableLimits::MaxCols)
                   && fits(model->TableBorder, 10),
           QStringLiteral("table settings %1 x %2, border %3")
                   .arg(model->TableCols).arg(model->TableRows).arg(model->TableBorder));
    for (int r = 0; r < grid->Rows(); ++r) {
        const int h = grid->rowHeight(r);
        if (h < 0 || h > GridWidget::MaxRowHeight) {
            fail(QStringLiteral("row %1 is %2 twips high").arg(r).arg(h));
            break;
        }
    }

    // The cell settings pane shows the grid's current cell.
    const int col = grid->Col();
    const int row = grid->Row();
    if (col < 1 || row < 1)
        return;
    const CellRecord &rec = model->Cells(col, row);
    const QString where = QStringLiteral(" (cell %1,%2)").arg(col).arg(row);
    auto checked = [w](const char *name) {
        auto *box = w->findChild<QCheckBox *>(QLatin1String(name));
        return box && box->isChecked() ? 1 : 0;
    };
    auto sameNumber = [&](const char *name, qint32 field) {
        auto *box = w->findChild<QLineEdit *>(QLatin1String(name));
        if (!box)
            return fail(QLatin1String(name) + QStringLiteral(" missing"));
        bool ok = false;
        const int shown = box->text().trimmed().toInt(&ok);
        // Text that is not a plain number is read the program's own way; not judged here.
        expect(!ok || shown == field, QLatin1String(name) + QStringLiteral(" shows ") + box->text()
                                              + QStringLiteral(", record has ") + QString::number(field) + where);
    };
    // Over a range the switches and button 7 show what every shown cell has.
    CellRecord all = rec;
    if (grid->hasRange()) {
        const QRect cells = grid->selectedCells();
        all.Header = -1;
        all.WidthOn = all.HeightOn = all.ColSpanOn = all.RowSpanOn = all.BackColorNothing = 1;
        for (int c = cells.left(); c <= cells.right(); ++c)
            for (int r = cells.top(); r <= cells.bottom(); ++r) {
                const CellRecord &o = model->Cells(c, r);
                if (!grid->spanLayout().isWritten(c, r))
                    continue;
                all.Header = o.Header == -1 ? all.Header : 0;
                all.WidthOn = o.WidthOn ? all.WidthOn : 0;
                all.HeightOn = o.HeightOn ? all.HeightOn : 0;
                all.ColSpanOn = o.ColSpanOn ? all.ColSpanOn : 0;
                all.RowSpanOn = o.RowSpanOn ? all.RowSpanOn : 0;
                all.BackColorNothing = o.BackColorNothing ? all.BackColorNothing : 0;
            }
    }
    expect(checked("chkSWidth") == (all.WidthOn != 0 ? 1 : 0), QStringLiteral("chkSWidth") + where);
    expect(checked("chkSHeight") == (all.HeightOn != 0 ? 1 : 0), QStringLiteral("chkSHeight") + where);
    expect(checked("chkWidth") == (all.ColSpanOn != 0 ? 1 : 0), QStringLiteral("chkWidth") + where);
    expect(checked("chkHeight") == (all.RowSpanOn != 0 ? 1 : 0), QStringLiteral("chkHeight") + where);
    expect(checked("chkBackColorNothing2") == (all.BackColorNothing != 0 ? 1 : 0),
           QStringLiteral("chkBackColorNothing2") + where);
    sameNumber("txtSWidth", rec.Width);
    sameNumber("txtSHeight", rec.Height);
    // The generator sets a switched-off span to 1 after the pane was loaded.
    if (rec.ColSpanOn)
        sameNumber("txtMWidth", rec.ColSpan);
    if (rec.RowSpanOn)
        sameNumber("txtMHeight", rec.RowSpan);
    auto *sliW = w->findChild<QSlider *>(QStringLiteral("SliW"));
    auto *sliH = w->findChild<QSlider *>(QStringLiteral("SliH"));
    expect(sliW && sliH && sliW->value() == rec.HAlign && sliH->value() == rec.VAlign,
           QStringLiteral("sliders %1/%2, record %3/%4")
                   .arg(sliW ? sliW->value() : -1).arg(sliH ? sliH->value() : -1)
                   .arg(rec.HAlign).arg(rec.VAlign) + where);
    QAction *header = barAction(*w, ToolbarButton::Header);
    expect(header && header->isChecked() == (all.Header == -1),
           QStringLiteral("button 7 against Header %1").arg(rec.Header) + where);
    auto *insert = w->findChild<QLineEdit *>(QStringLiteral("txtInsert"));
    if (insert && !insert->isVisible()) {
        expect(grid->text(col, row) == HtmlToGridText(rec.Text),
               QStringLiteral("grid shows \"%1\" for \"%2\"").arg(grid->text(col, row).left(40), rec.Text.left(40))
                       + where);
    }
}

void TestRandomInput::fail(const QString &what)
{
    log(QStringLiteral("FAILED: ") + what);
    if (!m_failures.contains(what))
        m_failures << what;
}

void TestRandomInput::log(const QString &what)
{
    std::lock_guard<std::mutex> lock(m_logMutex);
    m_log.push_back(QStringLiteral("[%1] ").arg(m_step) + what);
    if (m_verbose)
        std::fprintf(stdout, "%s\n", qPrintable(m_log.back())), std::fflush(stdout);
    while (m_log.size() > 40)
        m_log.pop_front();
}

void TestRandomInput::printLog(FILE *out)
{
    std::lock_guard<std::mutex> lock(m_logMutex);
    std::fprintf(out, "last actions (seed %llu):\n", static_cast<unsigned long long>(m_seed));
    for (const QString &line : m_log)
        std::fprintf(out, "  %s\n", line.toLocal8Bit().constData());
    std::fflush(out);
}

int main(int argc, char *argv[])
{
    // Long runs by hand last hours; a hang is told by the test's own watchdog.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "604800000");
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestRandomInput test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_random_input.moc"

