#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// The program run as a shell script would run it, with no display to reach.
struct HeadlessRun {
    int exitCode = -1;   // -1: crashed or did not end
    QByteArray out, err;
};

// A program that never ends is killed after timeoutMs: a failure, not a hang of the suite.
inline HeadlessRun runHeadless(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    HeadlessRun r;
    if (!p.waitForFinished(timeoutMs))
        p.kill();
    else if (p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
