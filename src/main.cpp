// The program. The command line (--export, --help, --version) is done here,
// with QtCore and the core library only: no display, no widgets, no web
// engine is loaded for it. The editor is a library of its own,
// libquorvan_gui.so, loaded into this same process only when a window is
// wanted; see BENCHMARKS.md for why.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <dlfcn.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include "core/app/command_line.h"
#include "gui/entry/gui_entry.h"
#include "core/app/library_paths.h"
#include "core/app/ui_language.h"
#include "core/io/table_export.h"
#include "core/markup/table_markup.h"
#include "version.h"

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// The whole output, built before: a failure found before writing leaves
// standard output empty. A reader that went away is a failure, not a signal.
bool writeStandardOutput(const QByteArray &bytes)
{
    std::signal(SIGPIPE, SIG_IGN);
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    return std::fflush(stdout) == 0 && written;
}

int finishExport(const ExportResult &r, const QString &program)
{
    if (!r.ok) {
        print(stderr, r.message);
        return 1;
    }
    if (!r.output.isEmpty() && !writeStandardOutput(r.output)) {
        print(stderr, program + QStringLiteral(": standard output: ") + QString::fromLocal8Bit(std::strerror(errno)));
        return 1;
    }
    for (const QString &note : r.notes)
        print(stderr, note);
    return 0;
}

// Every first touch of a 4 KiB page is a fault, and on a virtual machine a
// costly one: about a third of an export's time, and of the editor's start,
// went there. So the heap is grown once, up front, in huge pages where the
// system allows them (only the address space is taken: pages are touched as
// the work needs them), and freed memory up to keepFreed stays for reuse.
// Where malloc is not the system's (sanitizers) the heap does not move and
// nothing is asked.
void prepareHeap(int mmapThreshold, int keepFreed)
{
    constexpr size_t reserve = size_t(24) << 20;
    constexpr uintptr_t hugePage = uintptr_t(2) << 20;
    mallopt(M_MMAP_THRESHOLD, 32 << 20); // the most malloc takes: the reserve comes from the heap
    mallopt(M_TRIM_THRESHOLD, keepFreed);
    mallopt(M_TOP_PAD, 16 << 20);
    const auto before = reinterpret_cast<uintptr_t>(sbrk(0));
    void *volatile block = std::malloc(reserve); // volatile: the pair must not be optimised away
    std::free(block);
    const auto after = reinterpret_cast<uintptr_t>(sbrk(0));
    mallopt(M_MMAP_THRESHOLD, mmapThreshold);
    const uintptr_t from = (before + hugePage - 1) & ~(hugePage - 1);
    const uintptr_t to = after & ~(hugePage - 1);
    if (after > before + reserve / 2 && to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
}

// Loads the editor library and runs it; a missing or broken library is
// reported, never a crash.
int startEditor(int &argc, char **argv, const CommandLine &cl, const QString &program)
{
    const QString name = QStringLiteral("libquorvan_gui.so");
    QStringList reasons;
    for (const QString &dir : programLibraryDirs()) {
        const QString path = QDir(dir).filePath(name);
        if (!QFileInfo::exists(path))
            continue;
        // Local: the library has its own copy of the core and must bind to it.
        void *library = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_LOCAL);
        if (!library) {
            reasons << QString::fromLocal8Bit(dlerror());
            continue;
        }
        if (auto entry = reinterpret_cast<GuiEntry>(dlsym(library, QUORVAN_GUI_ENTRY)))
            return entry(argc, argv, cl);
        reasons << path + QStringLiteral(": no entry point ") + QLatin1String(QUORVAN_GUI_ENTRY);
    }
    if (reasons.isEmpty())
        reasons << name + QStringLiteral(" not found in ") + programLibraryDirs().join(QStringLiteral(", "));
    print(stderr, program + QStringLiteral(": the editor cannot start: ") + reasons.join(QStringLiteral("; ")));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Everything but the editor runs without a display, before any application object.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(args);
    const QString program = QFileInfo(args.value(0, QStringLiteral("quorvan"))).fileName();
    switch (cl.mode) {
    case CommandLine::Help:
        print(stdout, usageText(program));
        return 0;
    case CommandLine::Version:
        print(stdout, QStringLiteral(QUORVAN_VERSION_TEXT));
        return 0;
    case CommandLine::Wrong:
        print(stderr, cl.error + QLatin1Char('\n') + usageText(program));
        return 2;
    case CommandLine::Export: {
        // One short burst of large allocations (the text, the table, the
        // HTML, its bytes): all of it from the heap, kept until the end.
        prepareHeap(32 << 20, 256 << 20);
        QCoreApplication tool(argc, argv);
        setUiLanguage(chooseUiLanguage(cl.language));
        ExportOptions options;
        if (!cl.profile.isEmpty())
            options.profile = markupProfileFromName(cl.profile);
        if (!cl.style.isEmpty())
            options.style = presentationStyleFromName(cl.style);
        if (!cl.from.isEmpty())
            options.from = tableFormatFromName(cl.from, false);
        if (!cl.to.isEmpty())
            options.to = tableFormatFromName(cl.to, true);
        options.table = cl.table;
        options.page = cl.page;
        options.text.keepFormulas = cl.csvFormulas;
        options.sheet = cl.sheet;
        ExportResult r;
        try {
            r = exportTable(cl.files.at(0), cl.files.at(1), options);
        } catch (const std::bad_alloc &) {
            // The whole output is built in memory first: running out ends the command, said.
            r.ok = false;
            r.message = program + QStringLiteral(": not enough memory for ") + cl.files.at(0);
        }
        return finishExport(r, program);
    }
    case CommandLine::ListTables: {
        QCoreApplication tool(argc, argv);
        setUiLanguage(chooseUiLanguage(cl.language));
        return finishExport(listTables(cl.files.at(0), cl.from.isEmpty() ? std::nullopt
                                                                         : tableFormatFromName(cl.from, false)),
                            program);
    }
    case CommandLine::Edit:
        break;
    }
    // A long-lived process: large blocks (a huge cell's text) still go back to
    // the system when freed, and so does a heap that shrank by much.
    prepareHeap(4 << 20, 32 << 20);
    return startEditor(argc, argv, cl, program);
}
