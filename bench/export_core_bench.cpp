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
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
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
