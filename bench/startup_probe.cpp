// Preloaded into a program (LD_PRELOAD) by the benchmark to time its start-up
// from outside, the same way for Quorvan and for a bare Qt Widgets program:
// once the first window has been exposed and the events of that have been
// handled (its first paint), it writes the monotonic time in nanoseconds and
// its peak resident memory in KiB to the file $QUORVAN_PROBE_OUT, and ends
// the process at once.
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class ExposeProbe : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed()) {
            m_seen = true;
            // Queued: runs after the exposure (and the paint it causes) is handled.
            QMetaObject::invokeMethod(this, &ExposeProbe::report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static void report()
    {
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        // The peak of this program's own memory: getrusage() would report at
        // least that of the parent it was forked from.
        long peakKib = 0;
        if (FILE *status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status))
                if (std::sscanf(line, "VmHWM: %ld", &peakKib) == 1)
                    break;
            std::fclose(status);
        }
        if (FILE *out = std::fopen(qgetenv("QUORVAN_PROBE_OUT").constData(), "w")) {
            std::fprintf(out, "%lld %ld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec, peakKib);
            std::fclose(out);
        }
        _exit(0);
    }

    bool m_seen = false;
};

void installProbe()
{
    if (qEnvironmentVariableIsEmpty("QUORVAN_PROBE_OUT"))
        return;
    QCoreApplication::instance()->installEventFilter(new ExposeProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
