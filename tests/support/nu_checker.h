#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// The Nu HTML checker (vnu.jar from scripts/deps.sh, or $QUORVAN_VNU_JAR) over
// whole pages, in one Java start: it takes seconds. java false: no Java here.
struct NuRun {
    bool java = true;
    QString missing;  // why it could not run although Java is there
    QString report;   // empty when every page is clean
};

inline NuRun runNuChecker(const QList<QByteArray> &pages)
{
    NuRun run;
    const QString java = QStandardPaths::findExecutable(QStringLiteral("java"));
    QString jar = qEnvironmentVariable("QUORVAN_VNU_JAR");
    if (jar.isEmpty())
        jar = QDir::homePath() + QStringLiteral("/.cache/quorvan-tools/node_modules/vnu-jar/build/dist/vnu.jar");
    run.java = !java.isEmpty();
    if (!run.java || !QFile::exists(jar)) {
        run.missing = run.java ? jar + QStringLiteral(" is missing: run scripts/deps.sh") : QString();
        return run;
    }
    QTemporaryDir dir;
    QStringList args{QStringLiteral("-jar"), jar, QStringLiteral("--format"), QStringLiteral("gnu")};
    for (int i = 0; i < pages.size(); ++i) {
        QFile f(dir.filePath(QStringLiteral("page%1.html").arg(i)));
        if (f.open(QIODevice::WriteOnly))
            f.write(pages.at(i));
        args << f.fileName();
    }
    QProcess p;
    p.start(java, args);
    if (!p.waitForFinished(240000))
        run.missing = QStringLiteral("the checker did not finish");
    run.report = QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
    if (run.report.isEmpty() && p.exitCode() != 0)
        run.report = QStringLiteral("the checker failed with exit code %1").arg(p.exitCode());
    return run;
}
