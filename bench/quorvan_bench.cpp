// Times the actions a user feels on a 99 x 99 table with text in every cell.
//
//   QT_QPA_PLATFORM=offscreen build/bin/quorvan_bench [runs [warm-up runs]] [--huge-kib=N] [--huge-only]
//       [--big-kib=N] [--big-only] [--long-rows=N,...] [--long-only] [--program=PATH]
//
// --huge-kib sets the size of the one cell of the huge-cell tables (default
// 30 MiB of text; 0 leaves those cases out); --huge-only runs only those.
// --big-kib sets the size of every cell of the big 99 x 99 table (default
// 5 KiB: some 48 MB of text); --big-only runs only its cases.
// --long-rows sets the long tables of short values (10 columns; default
// 10000,100000 rows), each a CSV timed on the command line beside pandoc and
// in the window; --long-only runs only those.
// --program times another build's quorvan in the whole-process figures (the
// "before" column); the default is the one beside this benchmark.
// --keep-files=DIR writes the files (largest.qvn, largest.html, largest.csv,
// invalid-bytes.qvf, ...) there and leaves them, to time them by hand.
//
// Whole processes (start-up, the command line, pandoc) are also given as CPU
// time (user + system, `*_cpu`), which a machine busy with other work inflates
// much less than wall-clock time. The first preview needs a display: with
// DISPLAY set (xvfb-run) a child process shows it on the xcb platform.
//
// Every run starts from a fresh window; the warm-up runs (1 unless given) go
// first and are not counted, so one-time costs of the process (fonts, codecs)
// stay out of the medians. Start-up and the export are whole processes anyway.
//
// Prints a plain table and one machine-readable line per figure:
//   BENCH name=<figure> median_ms=<m> min_ms=<a> max_ms=<b> runs=<n>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

#include "core/model/cell_finder.h"
#include "core/model/table_edits.h"
#include <QLocale>
#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/widgets/file_commands.h"
#include "core/import/html_tables.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/url_opener.h"
#include "gui/grid/grid_widget.h"
#include "core/io/table_document_io.h"
#include <QScrollBar>

using namespace parts;

namespace {

struct Figure {
    QString name;
    QVector<double> ms;
};

QVector<Figure> g_figures;
bool g_recording = true;

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void record(const QString &name, double ms)
{
    if (!g_recording)
        return;
    for (Figure &f : g_figures) {
        if (f.name == name) {
            f.ms.append(ms);
            return;
        }
    }
    g_figures.append({name, {ms}});
}

double timeIt(const std::function<void()> &action)
{
    QElapsedTimer t;
    t.start();
    action();
    // What the user waits for includes the repaint that follows.
    QCoreApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

// A large table: Japanese text, tags, entities, multi-line cells, merges, colours.
void fillLargestTable(frmMain &w)
{
    static const QString samples[] = {
        QStringLiteral("東京都千代田区"),
        QStringLiteral("<B>太字</B>と普通の文字"),
        QStringLiteral("一行目<BR>二行目<BR>三行目"),
        QStringLiteral("&lt;タグ&gt; &amp; 記号 &copy;2026"),
        QStringLiteral("<A href=\"a.html\">リンク</A>"),
        QStringLiteral("価格：1,980円（税込）"),
        QStringLiteral("<FONT COLOR=\"#FF0000\">赤い文字</FONT><br>次の行"),
        QStringLiteral("Quorvan table cell with a longer English text that wraps"),
    };
    part<QLineEdit>(w, "txtWidth")->setText(QStringLiteral("99"));
    part<QLineEdit>(w, "txtHeight")->setText(QStringLiteral("99"));
    TableModel table = model(w);
    for (int c = 1; c <= 99; ++c) {
        for (int r = 1; r <= 99; ++r) {
            CellRecord &rec = table.Cells(c, r);
            rec.Text = samples[(c * 7 + r) % 8] + QString::number(c * 100 + r);
            if (r == 1)
                rec.Header = -1;
            if ((c + r) % 11 == 0) {
                rec.BackColorNothing = 0;
                rec.BackColor = 0x00CCFF + c;
            }
            rec.HAlign = qint16((c + r) % 3);
            rec.VAlign = qint16((c * r) % 3);
            if (c % 17 == 0 && r % 13 == 0 && c < 99 && r < 99) {
                rec.ColSpanOn = 1;
                rec.ColSpan = 2;
                rec.RowSpanOn = 1;
                rec.RowSpan = 2;
            }
        }
    }
    doc(w).replaceModel(table);
}

// Tab-separated text as a spreadsheet copies it: 99 lines of 99 values, some
// quoted with a line break inside; new texts on every run.
QString pastedBlockText(int run)
{
    QString text;
    for (int r = 1; r <= 99; ++r) {
        for (int c = 1; c <= 99; ++c) {
            if (c > 1)
                text += QLatin1Char('\t');
            if ((c + r) % 7 == 0)
                text += QStringLiteral("\"貼り付け %1\n二行目 %2\"").arg(c).arg(r + run);
            else
                text += QStringLiteral("値 %1-%2 & <%3>").arg(c).arg(r).arg(run);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

long peakMemoryKiB()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

QString g_savedPath;

CommonDialog::Reply dialogs(const CommonDialog::Request &r)
{
    CommonDialog::Reply reply;
    reply.accepted = true;
    reply.fileName = g_savedPath;
    reply.color = r.color;
    return reply;
}

// An old-layout table whose one cell holds 2 MiB of "\x80a" pairs.
// Ranges and columns on the filled table, in the cell view: every cell
// selected and given a colour (one step), then a column put in before column 1
// (one made free first, untimed).
void timeRangeCommands(frmMain &w)
{
    GridWidget *g = grid(w);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(1, 1).center());
    record(QStringLiteral("select_all_apply_colour"), timeIt([&] {
               g->selectAll();
               part<QCheckBox>(w, "chkBackColorNothing2")->click();
           }));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(1, 1).center());
    gridEditor(w)->deleteCols();
    record(QStringLiteral("insert_column_at_1"), timeIt([&] { gridEditor(w)->insertCols(false); }));

    // Find through every cell without a match, replace a letter in every
    // cell (one step), and sort all rows by column 2 once the merges are
    // undone (a row span refuses a sort).
    FindOptions absent;
    absent.pattern = QStringLiteral("not in any cell");
    record(QStringLiteral("find_no_match"), timeIt([&] { gridEditor(w)->findNext(CellFinder(absent), false); }));
    FindOptions letter;
    letter.pattern = QStringLiteral("a");
    record(QStringLiteral("replace_all"), timeIt([&] { gridEditor(w)->replaceAll(CellFinder(letter), QStringLiteral("A")); }));
    g->selectAll();
    gridEditor(w)->unmergeSelection();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(2, 1).center());
    record(QStringLiteral("sort_rows"), timeIt([&] { gridEditor(w)->sortRows(false, tableedits::SortKey::Text); }));
}

void writeInvalidBytesTable(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write("1,1,\"\",1,0,255,255,255\r\n0,0,\"");
    f.write(QByteArray("\x80" "a").repeated(1024 * 1024));
    f.write("\",0,0,1,0,1,0,0\r\n");
}

// Pages the HTML import must not stall on: 20 000 nested <div> (refused
// after a scan) and a table whose one cell holds 30 MiB of text (parsed
// without the middle of it, imported whole).
void writeHostilePages(const QString &deep, const QString &longText)
{
    QFile d(deep);
    if (d.open(QIODevice::WriteOnly))
        d.write(QByteArray("<div>").repeated(20000) + "<table><tr><td>x</td></tr></table>");
    QFile l(longText);
    if (l.open(QIODevice::WriteOnly)) {
        l.write("<table><tr><td>");
        l.write(QByteArray("xxxxxxx ").repeated(30 * 1024 * 1024 / 8));
        l.write("</td></tr></table>");
    }
}

// A small table whose first cell holds `kib` KiB of x, unbroken or as
// seven-letter words, saved as a table file: a file of a few KiB that opens
// into a huge cell text.
void saveHugeCellTable(const QString &path, int kib, bool spaced)
{
    QString text;
    text.reserve(qsizetype(kib) * 1024);
    if (spaced) {
        while (text.size() < qsizetype(kib) * 1024)
            text += QStringLiteral("xxxxxxx ");
        text.truncate(qsizetype(kib) * 1024);
    } else {
        text.fill(QLatin1Char('x'), qsizetype(kib) * 1024);
    }
    frmMain w;
    w.setFileName(newTableName());
    part<QLineEdit>(w, "txtWidth")->setText(QStringLiteral("3"));
    part<QLineEdit>(w, "txtHeight")->setText(QStringLiteral("3"));
    doc(w).setCellText(1, 1, text);
    doc(w).setCellText(2, 1, QStringLiteral("隣のセル"));
    doc(w).setCellText(1, 2, QStringLiteral("下のセル"));
    const QString keep = g_savedPath;
    g_savedPath = path;
    w.SaveFile();
    g_savedPath = keep;
}

// Opening the huge-cell table, then a click on its cell, typing in the cell
// beside it (the row is re-fitted around the huge cell) and typing over it.
void timeHugeCell(const QString &path, const QString &kind)
{
    frmMain *opened = nullptr;
    record(QStringLiteral("open_huge_%1_to_shown_window").arg(kind), timeIt([&] {
               opened = new frmMain;
               opened->OpenFile(path);
               if (!QTest::qWaitForWindowExposed(opened))
                   std::fprintf(stderr, "window not exposed\n");
           }));
    opened->Bar_ButtonClick(ToolbarButton::CellView);
    QCoreApplication::processEvents();
    GridWidget *grid = parts::grid(*opened);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(2, 2).center());
    record(QStringLiteral("click_huge_%1_cell").arg(kind), timeIt([&] {
               QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 1).center());
           }));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(2, 1).center());
    record(QStringLiteral("type_beside_huge_%1_cell").arg(kind), timeIt([&] {
               QTest::keyClick(grid, Qt::Key_X);
               QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
           }));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 1).center());
    record(QStringLiteral("type_over_huge_%1_cell").arg(kind), timeIt([&] {
               QTest::keyClick(grid, Qt::Key_X);
               QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
           }));
    if (model(*opened).Cells(1, 1).Text != QLatin1String("x"))
        std::fprintf(stderr, "typing over the huge cell did not replace it\n");
    delete opened;
}

// The largest table that reopens: 99 x 99 cells of kib KiB of English words
// each, written straight from a model.
void saveBigTable(const QString &path, int kib)
{
    static const char *const words[] = {"alpha", "table", "cell", "width", "header", "merge",
                                        "colour", "row", "column", "text", "value", "line"};
    TableModel m;
    m.TableRows = 99;
    m.TableCols = 99;
    quint32 seed = 1;
    for (int r = 1; r <= 99; ++r) {
        for (int c = 1; c <= 99; ++c) {
            QString text;
            text.reserve(qsizetype(kib) * 1024 + 8);
            while (text.size() < qsizetype(kib) * 1024) {
                seed = seed * 1103515245u + 12345u;
                text += QLatin1String(words[(seed >> 16) % 12]);
                text += QLatin1Char(' ');
            }
            text.truncate(qsizetype(kib) * 1024);
            m.Cells(c, r).Text = text;
        }
    }
    if (!saveTableDocument(m, path).ok)
        std::fprintf(stderr, "the big table was not saved\n");
}

// Opening the big table in the process, the first switch to the cells view,
// scrolling down a screen at a time, and typing in a cell.
void timeBigTable(const QString &path)
{
    frmMain *opened = nullptr;
    record(QStringLiteral("open_big_to_shown_window"), timeIt([&] {
               opened = new frmMain;
               opened->OpenFile(path);
               opened->show();
               if (!QTest::qWaitForWindowExposed(opened))
                   std::fprintf(stderr, "window not exposed\n");
           }));
    record(QStringLiteral("first_switch_big_cells_view"), timeIt([&] {
               opened->Bar_ButtonClick(ToolbarButton::CellView);
               QCoreApplication::processEvents();
           }));
    GridWidget *grid = parts::grid(*opened);
    // A page down the table, as the scroll bar's page step gives it: the rows
    // that come into view are measured then, unless the idle pass got there.
    QScrollBar *bar = grid->verticalScrollBar();
    double slowest = 0;
    for (int step = 0; step < 10; ++step) {
        const double ms = timeIt([&] {
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        slowest = qMax(slowest, ms);
    }
    record(QStringLiteral("scroll_big_page_slowest_of_10"), slowest);
    // The thumb dragged to ten places down the table, right after the switch:
    // the rows there were not measured yet.
    slowest = 0;
    for (int step = 1; step <= 10; ++step) {
        const double ms = timeIt([&] {
            bar->setValue(bar->maximum() * step / 11);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        slowest = qMax(slowest, ms);
    }
    record(QStringLiteral("scroll_big_jump_slowest_of_10"), slowest);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(2, grid->Row()).center());
    record(QStringLiteral("type_in_big_cell"), timeIt([&] {
               QTest::keyClick(grid, Qt::Key_X);
               QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
           }));
    delete opened;
}

// A long table of short values as a CSV file: rows x 10, an item name, a
// price with a thousands separator, a number, words and dates.
void writeLongCsv(const QString &path, int rows)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    QByteArray out;
    out.reserve(qsizetype(rows) * 80);
    out += "item,price,qty,code,colour,size,date,town,note,flag\r\n";
    quint32 seed = 7;
    static const char *const colours[] = {"red", "green", "blue", "black", "white"};
    static const char *const towns[] = {"Tokyo", "Osaka", "Kyoto", "Nara", "Kobe", "Sapporo"};
    for (int r = 1; r < rows; ++r) {
        seed = seed * 1103515245u + 12345u;
        const int price = int((seed >> 8) % 100000);
        out += "item " + QByteArray::number(r) + ",\"" + QLocale(QLocale::English).toString(price).toLatin1() + "\","
                + QByteArray::number((seed >> 4) % 500) + ",C" + QByteArray::number(seed % 9973) + ','
                + colours[(seed >> 3) % 5] + ',' + QByteArray::number((seed >> 5) % 50) + ",2026-"
                + QByteArray::number(1 + (seed >> 6) % 12) + '-' + QByteArray::number(1 + (seed >> 7) % 28) + ','
                + towns[(seed >> 9) % 6] + ",ok," + ((seed >> 10) % 2 ? "yes" : "no") + "\r\n";
    }
    f.write(out);
}

// A process under /usr/bin/time: its peak memory in MB, 0 when that is not there.
double peakOfProcessMb(const QString &program, const QStringList &args)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/bin/time")))
        return 0;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("%M")} + QStringList{program} + args);
    p.waitForFinished(300000);
    const QList<QByteArray> lines = p.readAllStandardError().trimmed().split('\n');
    return lines.isEmpty() ? 0 : lines.last().toDouble() / 1024.0;
}

// The long table in the window, as a user works through it: open, the cells
// view, scrolling, moving the current cell, typing, a row put in at the top
// and taken back, a view switch and back, a sort by numbers, save and open again.
void timeLongTable(const QString &csv, const QString &saved, int rows)
{
    const QString n = QString::number(rows);
    frmMain *w = nullptr;
    record(QStringLiteral("long_%1_open_csv_to_shown_window").arg(n), timeIt([&] {
               w = new frmMain;
               w->OpenFile(csv);
               w->show();
               if (!QTest::qWaitForWindowExposed(w))
                   std::fprintf(stderr, "window not exposed\n");
           }));
    if (model(*w).TableRows != rows)
        std::fprintf(stderr, "long table: %d rows opened, not %d\n", int(model(*w).TableRows), rows);
    record(QStringLiteral("long_%1_first_switch_cells_view").arg(n), timeIt([&] {
               w->Bar_ButtonClick(ToolbarButton::CellView);
           }));
    GridWidget *g = grid(*w);
    QScrollBar *bar = g->verticalScrollBar();
    double slowest = 0;
    for (int step = 0; step < 10; ++step)
        slowest = qMax(slowest, timeIt([&] {
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }));
    record(QStringLiteral("long_%1_scroll_page_slowest_of_10").arg(n), slowest);
    slowest = 0;
    for (int step = 1; step <= 10; ++step)
        slowest = qMax(slowest, timeIt([&] {
            bar->setValue(bar->maximum() * step / 11);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }));
    record(QStringLiteral("long_%1_scroll_jump_slowest_of_10").arg(n), slowest);
    g->moveCurrentTo(2, rows / 2);
    g->setFocus();
    slowest = 0;
    for (int step = 0; step < 10; ++step)
        slowest = qMax(slowest, timeIt([&] { QTest::keyClick(g, Qt::Key_Down); }));
    record(QStringLiteral("long_%1_move_down_slowest_of_10").arg(n), slowest);
    record(QStringLiteral("long_%1_type_in_cell").arg(n), timeIt([&] {
               QTest::keyClick(g, Qt::Key_X);
               QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
           }));
    g->moveCurrentTo(2, 1);
    record(QStringLiteral("long_%1_insert_row_at_top").arg(n), timeIt([&] { item(*w, "mnuInsertRowAbove")->trigger(); }));
    record(QStringLiteral("long_%1_undo_insert_row").arg(n), timeIt([&] { item(*w, "mnuUndo")->trigger(); }));
    record(QStringLiteral("long_%1_redo_insert_row").arg(n), timeIt([&] { item(*w, "mnuRedo")->trigger(); }));
    item(*w, "mnuUndo")->trigger();
    g->moveCurrentTo(3, rows / 3);
    const QPoint before(g->Col(), g->Row());
    record(QStringLiteral("long_%1_view_switch_and_back").arg(n), timeIt([&] {
               w->Bar_ButtonClick(ToolbarButton::TableView);
               w->Bar_ButtonClick(ToolbarButton::CellView);
           }));
    if (QPoint(g->Col(), g->Row()) != before)
        std::fprintf(stderr, "long table: the view switch moved the current cell\n");
    g->moveCurrentTo(3, 1);
    g->selectCells(QRect(3, 2, 1, rows - 1));
    record(QStringLiteral("long_%1_sort_by_number").arg(n), timeIt([&] {
               gridEditor(*w)->sortRows(false, tableedits::SortKey::Number);
           }));
    const TableModel sorted = model(*w);
    const QString keep = g_savedPath;
    g_savedPath = saved;
    QFile::remove(saved);
    record(QStringLiteral("long_%1_save_qvn").arg(n), timeIt([&] { w->SaveFile(); }));
    g_savedPath = keep;
    delete w;
    record(QStringLiteral("long_%1_open_qvn_to_shown_window").arg(n), timeIt([&] {
               w = new frmMain;
               w->OpenFile(saved);
               w->show();
               if (!QTest::qWaitForWindowExposed(w))
                   std::fprintf(stderr, "window not exposed\n");
           }));
    if (model(*w).Cells != sorted.Cells || model(*w).TableRows != sorted.TableRows)
        std::fprintf(stderr, "long table: the saved table reads back otherwise\n");
    delete w;
}

double monotonicMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// CPU time (user + system) of the children waited for so far, in ms.
double childrenCpuMs()
{
    rusage u {};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Runs a program to its end; records its wall-clock time as name and its CPU
// time as name_cpu. False when it failed.
bool timeProcess(const QString &name, const QString &program, const QStringList &args)
{
    QProcess p;
    const double cpu = childrenCpuMs();
    const double ms = timeIt([&] {
        p.start(program, args);
        p.waitForFinished(120000);
    });
    record(name, ms);
    record(name + QStringLiteral("_cpu"), childrenCpuMs() - cpu);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(name), p.readAllStandardError().constData());
        return false;
    }
    return true;
}

// Starts a program with the start-up probe preloaded and times it, from just
// before the start to its first shown window (see startup_probe.cpp), as name;
// its CPU time to then as name_cpu, its peak memory (MB) in *peakMb.
void timeStartup(const QString &name, const QString &program, const QStringList &args, double *peakMb = nullptr)
{
    const QString out = QDir::temp().filePath(QStringLiteral("quorvan-probe-%1").arg(QCoreApplication::applicationPid()));
    QFile::remove(out);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"),
               QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libquorvan_bench_probe.so")));
    env.insert(QStringLiteral("QUORVAN_PROBE_OUT"), out);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // With a display to reach, the offscreen platform would make its OpenGL
    // context there: start-up is timed the same with or without xvfb-run.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    const double cpu = childrenCpuMs();
    const double started = monotonicMs();
    p.start(program, args);
    if (!p.waitForFinished(60000))
        p.kill();
    QFile f(out);
    const QList<QByteArray> fields = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().split(' ') : QList<QByteArray>();
    f.remove();
    if (fields.size() != 2) {
        std::fprintf(stderr, "%s: no window shown: %s\n", qPrintable(name), p.readAllStandardError().constData());
        return;
    }
    record(name, fields[0].toDouble() / 1e6 - started);
    record(name + QStringLiteral("_cpu"), childrenCpuMs() - cpu);
    if (peakMb)
        *peakMb = qMax(*peakMb, fields[1].toDouble() / 1024.0);
}

// The 99 x 99 cell texts as CSV, for pandoc.
void writeCsv(const TableModel &table, const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    for (int r = 1; r <= 99; ++r) {
        QStringList row;
        for (int c = 1; c <= 99; ++c) {
            QString text = table.Cells(c, r).Text;
            text.replace(QLatin1Char('"'), QLatin1String("\"\""));
            row << QLatin1Char('"') + text + QLatin1Char('"');
        }
        f.write(row.join(QLatin1Char(',')).toUtf8() + "\r\n");
    }
}

// In a process of its own, with a display: the 99 x 99 table (or a new 2 x 2
// one) in a window, then the first preview, from the click to the page loaded and painted. Prints ms.
int runFirstPreviewChild(bool largest)
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        return 1;
    if (largest)
        fillLargestTable(*w);
    w->Bar_ButtonClick(ToolbarButton::CellView);
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    // The click makes the view (loading the plugin and the engine); the page
    // is shown once the engine reports it loaded and the window has repainted.
    w->Bar_ButtonClick(ToolbarButton::Preview);
    QWidget *view = w->findChild<QWidget *>(QStringLiteral("webView"));
    if (!view) {
        std::fprintf(stderr, "no web view: is the plugin there?\n");
        return 1;
    }
    QEventLoop loop;
    QObject::connect(view, SIGNAL(loadFinished(bool)), &loop, SLOT(quit()));
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
    std::printf("%.1f\n", t.nsecsElapsed() / 1e6);
    return 0;
}

// Undo and redo of one change to every cell of the filled table, shown once,
// from the Edit menu's items: the grid, the panes and the current cell follow.
void timeWholeTableUndo(frmMain &w)
{
    doc(w).editModel(QStringLiteral("bench"), [](TableModel &m) {
        for (int c = 1; c <= 99; ++c)
            for (int r = 1; r <= 99; ++r) {
                m.Cells(c, r).Text += QStringLiteral("<BR>*");
                m.Cells(c, r).HAlign = qint16((m.Cells(c, r).HAlign + 1) % 3);
            }
    });
    w.Bar_ButtonClick(ToolbarButton::CellView); // the change as its command shows it
    grid(w)->setFocus();
    record(QStringLiteral("undo_whole_table"), timeIt([&] { item(w, "mnuUndo")->trigger(); }));
    record(QStringLiteral("redo_whole_table"), timeIt([&] { item(w, "mnuRedo")->trigger(); }));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--first-preview-child") == 0) {
        // As the program starts its editor (gui_main.cpp), for the web engine.
        if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        return runFirstPreviewChild(argc < 3 || qstrcmp(argv[2], "small") != 0);
    }
    const bool haveDisplay = !qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    QStringList positional;
    int hugeKib = 30 * 1024;
    bool hugeOnly = false;
    int bigKib = 5;
    bool bigOnly = false;
    QList<int> longRows{10000, 100000};
    bool longOnly = false;
    QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvan"));
    QString keepIn;
    for (const QString &arg : app.arguments().mid(1)) {
        if (arg == QLatin1String("--huge-only"))
            hugeOnly = true;
        else if (arg == QLatin1String("--big-only"))
            bigOnly = true;
        else if (arg == QLatin1String("--long-only"))
            longOnly = true;
        else if (arg.startsWith(QLatin1String("--long-rows="))) {
            longRows.clear();
            for (const QString &v : arg.mid(12).split(QLatin1Char(','), Qt::SkipEmptyParts))
                longRows << v.toInt();
        } else if (arg.startsWith(QLatin1String("--big-kib=")))
            bigKib = qMax(0, arg.mid(10).toInt());
        else if (arg.startsWith(QLatin1String("--huge-kib=")))
            hugeKib = qMax(0, arg.mid(11).toInt());
        else if (arg.startsWith(QLatin1String("--program=")))
            program = QFileInfo(arg.mid(10)).absoluteFilePath();
        else if (arg.startsWith(QLatin1String("--keep-files=")))
            keepIn = arg.mid(13);
        else
            positional << arg;
    }
    const int runs = positional.size() > 0 ? qMax(1, positional[0].toInt()) : 5;
    const int warmUps = positional.size() > 1 ? qMax(0, positional[1].toInt()) : 1;
    std::printf("program: %s\n", qPrintable(program));
    const QString bareWindow = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvan_bare_window"));
    const QString qtpaths = QStandardPaths::findExecutable(QStringLiteral("qtpaths6"));
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    QTemporaryDir temporary;
    if (!keepIn.isEmpty())
        QDir().mkpath(keepIn);
    const QDir dir(keepIn.isEmpty() ? temporary.path() : keepIn);
    g_savedPath = dir.filePath(QStringLiteral("largest.qvn"));
    CommonDialog::setTestHook(dialogs);
    setFileMessageHook([](QWidget *, const QString &text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    setUrlOpener([](const QUrl &) {});
    const QString invalidBytesSource = dir.filePath(QStringLiteral("invalid-bytes.qvf"));
    writeInvalidBytesTable(invalidBytesSource);
    const QString csv = dir.filePath(QStringLiteral("largest.csv"));
    double programPeakMb = 0;

    const QString deepPage = dir.filePath(QStringLiteral("deep.html"));
    const QString longTextPage = dir.filePath(QStringLiteral("long-text.html"));
    writeHostilePages(deepPage, longTextPage);

    const QString hugeUnbroken = dir.filePath(QStringLiteral("huge-unbroken.qvn"));
    const QString hugeSpaced = dir.filePath(QStringLiteral("huge-spaced.qvn"));
    for (int run = -warmUps; run < (hugeOnly || bigOnly || longOnly ? -warmUps : runs); ++run) {
        g_recording = run >= 0;
        // Start-up as a whole process, to the first shown window with a new
        // table, and the same for a window of a bare Qt Widgets program.
        timeStartup(QStringLiteral("startup_to_shown_window"), program, {});
        timeStartup(QStringLiteral("bare_widgets_window_floor"), bareWindow, {});

        auto *w = new frmMain;
        w->setFileName(newTableName());
        w->show();
        if (!QTest::qWaitForWindowExposed(w))
            std::fprintf(stderr, "window not exposed\n");
        fillLargestTable(*w);
        if (run == -warmUps)
            writeCsv(model(*w), csv);

        record(QStringLiteral("view_switch_cell_settings"), timeIt([&] { w->Bar_ButtonClick(ToolbarButton::CellView); }));
        record(QStringLiteral("click_other_cell"), timeIt([&] {
                   const QRect rect = grid(*w)->cellRect(3, 4);
                   QTest::mouseClick(grid(*w)->viewport(), Qt::LeftButton, {}, rect.center());
               }));
        record(QStringLiteral("setting_text"), timeIt([&] {
                   w->SettingText(QStringLiteral("一<BR>二<BR>三<BR>四<BR>五"));
               }));
        record(QStringLiteral("inplace_commit_row_height"), timeIt([&] {
                   QTest::keyClick(grid(*w), Qt::Key_X);
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
               }));
        // Every later switch finds the row heights' measurements already made.
        record(QStringLiteral("view_switch_again"), timeIt([&] { w->Bar_ButtonClick(ToolbarButton::CellView); }));
        timeWholeTableUndo(*w);
        record(QStringLiteral("tag_view"), timeIt([&] { w->Bar_ButtonClick(ToolbarButton::TagView); }));
        doc(*w).setTableField(TableField::OutputProfile, int(MarkupProfile::Html5));
        record(QStringLiteral("tag_view_html5"), timeIt([&] { w->Bar_ButtonClick(ToolbarButton::TagView); }));
        doc(*w).setTableField(TableField::OutputProfile, int(MarkupProfile::Html4));
        record(QStringLiteral("preview_page_write"), timeIt([&] { w->Bar_ButtonClick(ToolbarButton::BrowserPreview); }));
        QFile::remove(g_savedPath);
        record(QStringLiteral("save_qvn"), timeIt([&] { w->SaveFile(); }));
        w->Bar_ButtonClick(ToolbarButton::CellView);
        timeRangeCommands(*w);
        // A spreadsheet's 99 x 99 block over the whole table: Ctrl+V on cell (1, 1).
        QTest::mouseClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(1, 1).center());
        QApplication::clipboard()->setText(pastedBlockText(run));
        record(QStringLiteral("paste_tsv_99x99"), timeIt([&] {
                   QTest::keyClick(grid(*w), Qt::Key_V, Qt::ControlModifier);
               }));
        delete w;

        frmMain *opened = nullptr;
        record(QStringLiteral("open_qvn_to_shown_window"), timeIt([&] {
                   opened = new frmMain;
                   opened->OpenFile(g_savedPath);
                   if (!QTest::qWaitForWindowExposed(opened))
                       std::fprintf(stderr, "window not exposed\n");
               }));
        delete opened;
        // The program started on that file: its peak memory is that of the
        // largest table on show, without a preview.
        timeStartup(QStringLiteral("open_qvn_process_to_shown_window"), program, {g_savedPath}, &programPeakMb);

        // The command line, each a whole process.
        const QString html = dir.filePath(QStringLiteral("largest.html"));
        const QString html5 = dir.filePath(QStringLiteral("largest5.html"));
        const QString imported = dir.filePath(QStringLiteral("imported.qvn"));
        const QString invalidHtml = dir.filePath(QStringLiteral("invalid-bytes.html"));
        for (const QString &f : {html, html5, imported, invalidHtml})
            QFile::remove(f);
        timeProcess(QStringLiteral("export_html_process"), program, {QStringLiteral("--export"), g_savedPath, html});
        timeProcess(QStringLiteral("export_html5_process"), program,
                    {QStringLiteral("--profile"), QStringLiteral("html5"), QStringLiteral("--export"), g_savedPath, html5});
        // The page just written, read back as a web page into a table file.
        timeProcess(QStringLiteral("import_html_page_process"), program, {QStringLiteral("--export"), html, imported});
        // The cells' text in the other formats, and a CSV read back.
        for (const char *kind : {"csv", "tsv", "md"})
            timeProcess(QStringLiteral("export_%1_process").arg(QLatin1String(kind)), program,
                        {QStringLiteral("--export"), g_savedPath, dir.filePath(QStringLiteral("exported.") + QLatin1String(kind))});
        timeProcess(QStringLiteral("import_csv_process"), program,
                    {QStringLiteral("--export"), dir.filePath(QStringLiteral("exported.csv")), dir.filePath(QStringLiteral("from-csv.qvn"))});
        // A cell of 2 MiB alternating bytes that are no character and "a": every
        // U+FFFD it opens with must be written back as a reference.
        timeProcess(QStringLiteral("export_invalid_bytes_process"), program,
                    {QStringLiteral("--export"), invalidBytesSource, invalidHtml});
        // The same program doing nothing: what any quorvan process pays to
        // start; and a bare QtCore program doing the same, the floor.
        timeProcess(QStringLiteral("version_process"), program, {QStringLiteral("--version")});
        if (!qtpaths.isEmpty())
            timeProcess(QStringLiteral("version_floor_qtpaths6"), qtpaths, {QStringLiteral("--version")});
        // Another converter on the same cells, from CSV.
        if (!pandoc.isEmpty())
            timeProcess(QStringLiteral("pandoc_csv_to_html_process"), pandoc,
                        {QStringLiteral("-f"), QStringLiteral("csv"), QStringLiteral("-t"), QStringLiteral("html"),
                         QStringLiteral("-o"), dir.filePath(QStringLiteral("pandoc.html")), csv});

        // Reading that page in the process: decoding, parsing and filling a model.
        QFile page(html);
        const QByteArray pageBytes = page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
        record(QStringLiteral("import_html_table"), timeIt([&] {
                   TableModel imported;
                   if (!importHtmlTable(pageBytes, 0, imported).ok())
                       std::fprintf(stderr, "import failed\n");
               }));
        // Hostile pages through the import: the deep one is refused (its
        // failure is expected), the long text is read whole.
        const QString fromPage = dir.filePath(QStringLiteral("from-page.qvn"));
        QFile::remove(fromPage);
        timeProcess(QStringLiteral("export_deep_page_process"), program,
                    {QStringLiteral("--export"), deepPage, fromPage});
        QFile::remove(fromPage);
        timeProcess(QStringLiteral("export_long_text_page_process"), program,
                    {QStringLiteral("--export"), longTextPage, fromPage});
    }
    // The first preview of a process: the plugin, the engine's start and the page.
    if (!hugeOnly && !bigOnly && haveDisplay) {
        for (int run = 0; run < 2 * qMin(runs, 3); ++run) {
            const bool small = run % 2;
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--first-preview-child"), small ? QStringLiteral("small") : QStringLiteral("largest")});
            child.waitForFinished(120000);
            const double ms = child.readAllStandardOutput().trimmed().toDouble();
            if (ms > 0)
                record(small ? QStringLiteral("first_preview_shown_small") : QStringLiteral("first_preview_shown"), ms);
            else
                std::fprintf(stderr, "first preview failed: %s\n", child.readAllStandardError().constData());
        }
    }
    // Taken before the huge-cell cases, whose texts alone are tens of MB.
    const double peakMb = peakMemoryKiB() / 1024.0;

    // Long tables of short values: the command line beside pandoc on the same
    // CSV, then the window.
    QStringList longPeaks;
    if (!hugeOnly && !bigOnly) {
        for (int rows : std::as_const(longRows)) {
            const QString n = QString::number(rows);
            const QString csvPath = dir.filePath(QStringLiteral("long-%1.csv").arg(n));
            const QString htmlPath = dir.filePath(QStringLiteral("long-%1.html").arg(n));
            const QString qvnPath = dir.filePath(QStringLiteral("long-%1.qvn").arg(n));
            writeLongCsv(csvPath, rows);
            for (int run = -warmUps; run < runs; ++run) {
                g_recording = run >= 0;
                timeProcess(QStringLiteral("long_%1_export_csv_to_html_process").arg(n), program,
                            {QStringLiteral("--export"), csvPath, htmlPath});
                if (!pandoc.isEmpty())
                    timeProcess(QStringLiteral("long_%1_pandoc_csv_to_html_process").arg(n), pandoc,
                                {QStringLiteral("-f"), QStringLiteral("csv"), QStringLiteral("-t"), QStringLiteral("html"),
                                 csvPath, QStringLiteral("-o"), htmlPath + QStringLiteral(".pandoc")});
                double openPeak = 0;
                timeStartup(QStringLiteral("long_%1_open_csv_process_to_shown_window").arg(n), program, {csvPath}, &openPeak);
                timeLongTable(csvPath, qvnPath, rows);
                if (run == runs - 1) {
                    longPeaks << QStringLiteral("long_%1_export_peak_mb %2").arg(n).arg(peakOfProcessMb(program, {QStringLiteral("--export"), csvPath, htmlPath}), 0, 'f', 1);
                    if (!pandoc.isEmpty())
                        longPeaks << QStringLiteral("long_%1_pandoc_peak_mb %2").arg(n).arg(
                                peakOfProcessMb(pandoc, {QStringLiteral("-f"), QStringLiteral("csv"), QStringLiteral("-t"),
                                                         QStringLiteral("html"), csvPath, QStringLiteral("-o"),
                                                         htmlPath + QStringLiteral(".pandoc")}), 0, 'f', 1);
                    longPeaks << QStringLiteral("long_%1_open_csv_process_peak_mb %2").arg(n).arg(openPeak, 0, 'f', 1);
                }
            }
            const auto ratioOf = [&](const QString &a, const QString &b) {
                const Figure *x = nullptr, *y = nullptr;
                for (const Figure &f : std::as_const(g_figures)) {
                    if (f.name == a) x = &f;
                    if (f.name == b) y = &f;
                }
                return x && y && median(y->ms) > 0 ? median(x->ms) / median(y->ms) : 0.0;
            };
            longPeaks << QStringLiteral("long_%1_pandoc_over_export %2").arg(n).arg(
                    ratioOf(QStringLiteral("long_%1_pandoc_csv_to_html_process").arg(n),
                            QStringLiteral("long_%1_export_csv_to_html_process").arg(n)), 0, 'f', 1);
        }
    }

    double bigPeakMb = 0;
    if (bigKib > 0 && !hugeOnly && !longOnly) {
        const QString big = dir.filePath(QStringLiteral("big.qvn"));
        saveBigTable(big, bigKib);
        for (int run = -warmUps; run < runs; ++run) {
            g_recording = run >= 0;
            timeStartup(QStringLiteral("open_big_process_to_shown_window"), program, {big}, &bigPeakMb);
            timeBigTable(big);
        }
    }

    if (hugeKib > 0 && !bigOnly && !longOnly) {
        saveHugeCellTable(hugeUnbroken, hugeKib, false);
        saveHugeCellTable(hugeSpaced, hugeKib, true);
        for (int run = -warmUps; run < runs; ++run) {
            g_recording = run >= 0;
            timeHugeCell(hugeUnbroken, QStringLiteral("unbroken"));
            timeHugeCell(hugeSpaced, QStringLiteral("spaced"));
        }
    }

    std::printf("%-34s %10s %10s %10s\n", "figure", "median ms", "min ms", "max ms");
    for (const Figure &f : std::as_const(g_figures))
        std::printf("%-34s %10.1f %10.1f %10.1f\n", qPrintable(f.name), median(f.ms),
                    *std::min_element(f.ms.cbegin(), f.ms.cend()), *std::max_element(f.ms.cbegin(), f.ms.cend()));
    std::printf("%-34s %10.1f MB (no preview shown)\n", "peak_memory", peakMb);
    std::printf("%-34s %10.1f MB (the largest table on show, no preview)\n", "peak_memory_program", programPeakMb);
    if (bigKib > 0)
        std::printf("%-34s %10.1f MB (99 x 99 cells of %d KiB on show)\n", "peak_memory_program_big", bigPeakMb, bigKib);
    if (pandoc.isEmpty())
        std::printf("pandoc not found: no pandoc figure\n");
    if (!haveDisplay && !hugeOnly)
        std::printf("no DISPLAY: first preview not timed (run under xvfb-run)\n");
    // Side by side: how many times as long the other takes.
    const auto ratio = [](const char *label, const QString &over, const QString &under) {
        const Figure *a = nullptr, *b = nullptr;
        for (const Figure &f : std::as_const(g_figures)) {
            if (f.name == over)
                a = &f;
            if (f.name == under)
                b = &f;
        }
        if (a && b && median(b->ms) > 0)
            std::printf("RATIO name=%s value=%.2f (%s / %s, medians)\n", label, median(a->ms) / median(b->ms),
                        qPrintable(over), qPrintable(under));
    };
    ratio("pandoc_over_export", QStringLiteral("pandoc_csv_to_html_process"), QStringLiteral("export_html_process"));
    ratio("pandoc_over_csv_export", QStringLiteral("pandoc_csv_to_html_process"), QStringLiteral("export_csv_process"));
    ratio("pandoc_over_export_cpu", QStringLiteral("pandoc_csv_to_html_process_cpu"), QStringLiteral("export_html_process_cpu"));
    ratio("version_over_qtpaths6", QStringLiteral("version_process"), QStringLiteral("version_floor_qtpaths6"));
    ratio("version_over_qtpaths6_cpu", QStringLiteral("version_process_cpu"), QStringLiteral("version_floor_qtpaths6_cpu"));
    ratio("open_largest_over_startup", QStringLiteral("open_qvn_process_to_shown_window"), QStringLiteral("startup_to_shown_window"));
    ratio("startup_over_bare_window", QStringLiteral("startup_to_shown_window"), QStringLiteral("bare_widgets_window_floor"));
    ratio("startup_over_bare_window_cpu", QStringLiteral("startup_to_shown_window_cpu"), QStringLiteral("bare_widgets_window_floor_cpu"));
    for (const Figure &f : std::as_const(g_figures))
        std::printf("BENCH name=%s median_ms=%.2f min_ms=%.2f max_ms=%.2f runs=%d\n", qPrintable(f.name),
                    median(f.ms), *std::min_element(f.ms.cbegin(), f.ms.cend()),
                    *std::max_element(f.ms.cbegin(), f.ms.cend()), int(f.ms.size()));
    for (const QString &line : std::as_const(longPeaks))
        std::printf("LONG %s\n", qPrintable(line));
    std::printf("BENCH name=peak_memory_mb value=%.1f\n", peakMb);
    std::printf("BENCH name=peak_memory_program_mb value=%.1f\n", programPeakMb);
    return 0;
}
