// Times the actions a user feels on a 99 x 99 table with text in every cell.
//
//   QT_QPA_PLATFORM=offscreen build/bin/quorvan_bench [runs [warm-up runs]] [--huge-kib=N] [--huge-only]
//
// --huge-kib sets the size of the one cell of the huge-cell tables (default
// 30 MiB of text; 0 leaves those cases out); --huge-only runs only those.
//
// Every run starts from a fresh window; the warm-up runs (1 unless given) go
// first and are not counted, so one-time costs of the process (fonts, codecs)
// stay out of the medians. Start-up and the export are whole processes anyway.
//
// Prints a plain table and one machine-readable line per figure:
//   BENCH name=<figure> median_ms=<m> min_ms=<a> max_ms=<b> runs=<n>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

#include "app/main_window.h"
#include "support/window_parts.h"
#include "files/file_commands.h"
#include "html/html_tables.h"
#include "platform/common_dialog.h"
#include "platform/url_opener.h"
#include "table/grid_widget.h"

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

int runStartupChild()
{
    // Measured from process start, so the loader and Qt's own start-up count too.
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        std::fprintf(stderr, "window not exposed\n");
    QFile stat(QStringLiteral("/proc/self/stat"));
    stat.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = stat.readAll().split(' ');
    const double ticks = double(sysconf(_SC_CLK_TCK));
    const double startedAt = fields.value(21).toDouble() / ticks;
    QFile uptime(QStringLiteral("/proc/uptime"));
    uptime.open(QIODevice::ReadOnly);
    const double now = uptime.readAll().split(' ').value(0).toDouble();
    std::printf("%.1f\n", (now - startedAt) * 1000.0);
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
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--startup-child")))
        return runStartupChild();

    QStringList positional;
    int hugeKib = 30 * 1024;
    bool hugeOnly = false;
    for (const QString &arg : app.arguments().mid(1)) {
        if (arg == QLatin1String("--huge-only"))
            hugeOnly = true;
        else if (arg.startsWith(QLatin1String("--huge-kib=")))
            hugeKib = qMax(0, arg.mid(11).toInt());
        else
            positional << arg;
    }
    const int runs = positional.size() > 0 ? qMax(1, positional[0].toInt()) : 5;
    const int warmUps = positional.size() > 1 ? qMax(0, positional[1].toInt()) : 1;
    QTemporaryDir dir;
    g_savedPath = dir.filePath(QStringLiteral("largest.qvn"));
    CommonDialog::setTestHook(dialogs);
    setFileMessageHook([](QWidget *, const QString &text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    setUrlOpener([](const QUrl &) {});
    const QString invalidBytesSource = dir.filePath(QStringLiteral("invalid-bytes.qvf"));
    writeInvalidBytesTable(invalidBytesSource);

    const QString deepPage = dir.filePath(QStringLiteral("deep.html"));
    const QString longTextPage = dir.filePath(QStringLiteral("long-text.html"));
    writeHostilePages(deepPage, longTextPage);

    const QString hugeUnbroken = dir.filePath(QStringLiteral("huge-unbroken.qvn"));
    const QString hugeSpaced = dir.filePath(QStringLiteral("huge-spaced.qvn"));
    for (int run = -warmUps; run < (hugeOnly ? -warmUps : runs); ++run) {
        g_recording = run >= 0;
        // Start-up as a whole process, to the first shown window.
        QProcess child;
        QElapsedTimer t;
        t.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-child")});
        child.waitForFinished(30000);
        const double inProcess = child.readAllStandardOutput().trimmed().toDouble();
        record(QStringLiteral("startup_to_shown_window"), inProcess > 0 ? inProcess : t.nsecsElapsed() / 1e6);

        auto *w = new frmMain;
        w->setFileName(newTableName());
        w->show();
        if (!QTest::qWaitForWindowExposed(w))
            std::fprintf(stderr, "window not exposed\n");
        fillLargestTable(*w);

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
        delete w;

        frmMain *opened = nullptr;
        record(QStringLiteral("open_qvn_to_shown_window"), timeIt([&] {
                   opened = new frmMain;
                   opened->OpenFile(g_savedPath);
                   if (!QTest::qWaitForWindowExposed(opened))
                       std::fprintf(stderr, "window not exposed\n");
               }));
        delete opened;

        const QString html = dir.filePath(QStringLiteral("largest.html"));
        QFile::remove(html);
        QProcess exporter;
        record(QStringLiteral("export_html_process"), timeIt([&] {
                   exporter.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvan")),
                                  {QStringLiteral("--export"), g_savedPath, html});
                   exporter.waitForFinished(60000);
               }));
        if (exporter.exitCode() != 0 || !QFile::exists(html))
            std::fprintf(stderr, "export failed: %s\n", exporter.readAllStandardError().constData());
        // A cell of 2 MiB alternating bytes that are no character and "a": every
        // U+FFFD it opens with must be written back as a reference.
        const QString invalidHtml = dir.filePath(QStringLiteral("invalid-bytes.html"));
        QFile::remove(invalidHtml);
        QProcess invalidExporter;
        record(QStringLiteral("export_invalid_bytes_process"), timeIt([&] {
                   invalidExporter.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvan")),
                                         {QStringLiteral("--export"), invalidBytesSource, invalidHtml});
                   invalidExporter.waitForFinished(120000);
               }));
        if (invalidExporter.exitCode() != 0 || !QFile::exists(invalidHtml))
            std::fprintf(stderr, "export failed: %s\n", invalidExporter.readAllStandardError().constData());
        // Reading that page back: decoding, parsing and filling a model.
        QFile page(html);
        const QByteArray pageBytes = page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
        record(QStringLiteral("import_html_table"), timeIt([&] {
                   TableModel imported;
                   if (!importHtmlTable(pageBytes, 0, imported).ok())
                       std::fprintf(stderr, "import failed\n");
               }));
        // Hostile pages through the import: refused, and read whole.
        for (const auto &[figure, page] : {std::pair{QStringLiteral("export_deep_page_process"), deepPage},
                                           std::pair{QStringLiteral("export_long_text_page_process"), longTextPage}}) {
            const QString table = dir.filePath(QStringLiteral("from-page.qvn"));
            QFile::remove(table);
            QProcess importer;
            record(figure, timeIt([&] {
                       importer.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvan")),
                                      {QStringLiteral("--export"), page, table});
                       importer.waitForFinished(120000);
                   }));
            if ((importer.exitCode() == 0) != (page == longTextPage))
                std::fprintf(stderr, "page export: %s\n", importer.readAllStandardError().constData());
        }
        // The same program doing nothing: what any quorvan process pays to start.
        QProcess bare;
        record(QStringLiteral("version_process"), timeIt([&] {
                   bare.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvan")),
                              {QStringLiteral("--version")});
                   bare.waitForFinished(60000);
               }));
    }
    // Taken before the huge-cell cases, whose texts alone are tens of MB.
    const double peakMb = peakMemoryKiB() / 1024.0;

    if (hugeKib > 0) {
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
    for (const Figure &f : std::as_const(g_figures))
        std::printf("BENCH name=%s median_ms=%.2f min_ms=%.2f max_ms=%.2f runs=%d\n", qPrintable(f.name),
                    median(f.ms), *std::min_element(f.ms.cbegin(), f.ms.cend()),
                    *std::max_element(f.ms.cbegin(), f.ms.cend()), int(f.ms.size()));
    std::printf("BENCH name=peak_memory_mb value=%.1f\n", peakMb);
    return 0;
}
