// Times the work of "quorvan --export SOURCE TARGET" without the start of the
// program: the core's exportTable alone, in a process that links QtCore only.
//
//   build/bin/export_core_bench SOURCE TARGET [runs]
//
// Each run is timed on its own (wall clock, CPU time of the process, minor
// page faults). The first run is the one a real export does, in a fresh
// process whose allocator has nothing to reuse; later runs reuse freed memory
// and show the work without most of its page faults. Prints one line a run and
//   BENCH name=export_core first_ms=<wall> first_cpu_ms=<cpu> first_faults=<n> median_ms=<m>
//
//   build/bin/export_core_bench --text-tables DIR [runs]
//
// times Open on CSV files it writes into DIR: 60 MiB after an unclosed quote
// in 1 M and in 4 M lines (one cell; the two must take about the same time,
// the reading being linear), and 10 000 rows of 10 short values, read whole.
// One line each:
//   BENCH name=<file> first_ms=<wall> median_ms=<m> cpu_ms=<cpu of the median run> read|refused
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <utility>
#include <vector>

#include "core/io/table_export.h"

namespace {

struct Usage {
    double cpuMs;
    long faults;
};

Usage usage()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    const double cpu = (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3
            + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
    return {cpu, u.ru_minflt};
}

// The CSV files of --text-tables, written once.
void writeTextTables(const QDir &dir)
{
    constexpr qint64 quoted = 60 << 20;
    for (const auto &[name, lines] : {std::pair{"unclosed_quote_1m_lines", 1 << 20},
                                      std::pair{"unclosed_quote_4m_lines", 4 << 20}}) {
        QFile f(dir.filePath(QLatin1String(name) + QStringLiteral(".csv")));
        if (f.exists())
            continue;
        if (!f.open(QIODevice::WriteOnly))
            return;
        const QByteArray line = QByteArray(int(quoted / lines - 1), 'x') + '\n';
        f.write("\"");
        for (int i = 0; i < lines; ++i)
            f.write(line);
    }
    // 10 000 rows: a table holds them all.
    QFile f(dir.filePath(QStringLiteral("short_values_10000x10.csv")));
    if (!f.exists() && f.open(QIODevice::WriteOnly)) {
        for (int r = 0; r < 10000; ++r) {
            QByteArray line;
            for (int c = 0; c < 10; ++c)
                line += (c ? "," : "") + QByteArray::number(r * 10 + c);
            f.write(line + "\r\n");
        }
    }
}

int timeTextTables(const QString &folder, int runs)
{
    const QDir dir(folder);
    writeTextTables(dir);
    for (const char *name : {"unclosed_quote_1m_lines", "unclosed_quote_4m_lines", "short_values_10000x10"}) {
        const QString path = dir.filePath(QLatin1String(name) + QStringLiteral(".csv"));
        std::vector<std::pair<double, double>> times; // wall, CPU
        bool read = false;
        for (int run = 0; run < runs; ++run) {
            TableModel model;
            const Usage before = usage();
            QElapsedTimer t;
            t.start();
            const OpenResult r = openTextTable(path, model);
            const double ms = t.nsecsElapsed() / 1e6;
            // Past the table's limits a file is refused once counted: that is timed too.
            if (!r.ok() && run == 0)
                std::fprintf(stderr, "%s\n", qPrintable(r.message));
            read = r.ok();
            times.emplace_back(ms, usage().cpuMs - before.cpuMs);
        }
        const double first = times.front().first;
        std::sort(times.begin(), times.end());
        const auto &mid = times[times.size() / 2];
        std::printf("BENCH name=%s first_ms=%.1f median_ms=%.1f cpu_ms=%.1f %s\n", name, first, mid.first,
                    mid.second, read ? "read" : "refused");
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("--text-tables"))
        return timeTextTables(args.at(2), args.size() > 3 ? std::max(1, args.at(3).toInt()) : 5);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: export_core_bench SOURCE TARGET [runs]\n");
        return 2;
    }
    const int runs = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 1;
    std::vector<double> wall;
    Usage first {};
    for (int run = 0; run < runs; ++run) {
        QFile::remove(args.at(2));
        const Usage before = usage();
        QElapsedTimer t;
        t.start();
        const ExportResult r = exportTable(args.at(1), args.at(2));
        const double ms = t.nsecsElapsed() / 1e6;
        const Usage after = usage();
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(r.message));
            return 1;
        }
        const Usage spent {after.cpuMs - before.cpuMs, after.faults - before.faults};
        if (run == 0)
            first = spent;
        wall.push_back(ms);
        std::printf("run %d: %.1f ms, CPU %.1f ms, %ld minor faults\n", run + 1, ms, spent.cpuMs,
                    spent.faults);
    }
    const double firstMs = wall.front();
    std::sort(wall.begin(), wall.end());
    std::printf("BENCH name=export_core first_ms=%.1f first_cpu_ms=%.1f first_faults=%ld median_ms=%.1f\n",
                firstMs, first.cpuMs, first.faults, wall[wall.size() / 2]);
    return 0;
}
