#pragma once

// Runs the Nu HTML checker (vnu.jar, installed by scripts/deps.sh) over pages.
// One Java start for all of them: it takes seconds.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

struct NuRun {
    bool java = true;      // false: no Java on this machine, the check cannot run
    QString missing;       // why the checker could not run although Java is there
    QString report;        // the checker's messages; empty when every page is clean
};

inline QString nuCheckerJar()
{
    const QString fromEnv = qEnvironmentVariable("QUORVAN_VNU_JAR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir::homePath() + QStringLiteral("/.cache/quorvan-tools/node_modules/vnu-jar/build/dist/vnu.jar");
}

// pages: whole UTF-8 documents.
inline NuRun runNuChecker(const QList<QByteArray> &pages)
{
    NuRun run;
    const QString java = QStandardPaths::findExecutable(QStringLiteral("java"));
    if (java.isEmpty()) {
        run.java = false;
        return run;
    }
    const QString jar = nuCheckerJar();
    if (!QFile::exists(jar)) {
        run.missing = jar + QStringLiteral(" is missing: scripts/deps.sh installs it");
        return run;
    }
    QTemporaryDir dir;
    QStringList args{QStringLiteral("-jar"), jar, QStringLiteral("--format"), QStringLiteral("gnu")};
    for (int i = 0; i < pages.size(); ++i) {
        QFile f(dir.filePath(QStringLiteral("page%1.html").arg(i)));
        if (!f.open(QIODevice::WriteOnly)) {
            run.missing = QStringLiteral("cannot write ") + f.fileName();
            return run;
        }
        f.write(pages.at(i));
        args << f.fileName();
    }
    QProcess p;
    p.start(java, args);
    if (!p.waitForFinished(240000)) {
        run.missing = QStringLiteral("the checker did not finish");
        return run;
    }
    run.report = QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
    if (run.report.isEmpty() && p.exitCode() != 0)
        run.report = QStringLiteral("the checker failed with exit code %1").arg(p.exitCode());
    return run;
}
