#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// The Nu HTML checker (vnu.jar from scripts/deps.sh, or $QUORVAN_VNU_JAR) over
// whole pages, in one Java start: it takes seconds. java false: no Java here.
// Stylesheets of their own (.css files) are checked in a second start.
struct NuRun {
    bool java = true;
    QString missing;  // why it could not run although Java is there
    QString report;   // empty when every page is clean
};

inline NuRun runNuChecker(const QList<QByteArray> &pages, const QList<QByteArray> &styleSheets = {})
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
    QStringList cssArgs{QStringLiteral("-jar"), jar, QStringLiteral("--css"), QStringLiteral("--format"),
                        QStringLiteral("gnu")};
    for (int i = 0; i < styleSheets.size(); ++i) {
        QFile f(dir.filePath(QStringLiteral("sheet%1.css").arg(i)));
        if (f.open(QIODevice::WriteOnly))
            f.write(styleSheets.at(i));
        cssArgs << f.fileName();
    }
    QList<QStringList> starts{args};
    if (!styleSheets.isEmpty())
        starts << cssArgs;
    for (const QStringList &a : std::as_const(starts)) {
        QProcess p;
        p.start(java, a);
        if (!p.waitForFinished(240000))
            run.missing = QStringLiteral("the checker did not finish");
        QString report = QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
        if (report.isEmpty() && p.exitCode() != 0)
            report = QStringLiteral("the checker failed with exit code %1").arg(p.exitCode());
        run.report += report;
    }
    return run;
}
