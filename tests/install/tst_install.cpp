// Installs the build tree into a temporary prefix and checks what a desktop
// needs from it: the program, its help file, the menu entry, icons, MIME types
// and the software-centre metadata, each in its standard place and valid.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPluginLoader>
#include <QProcess>
#include <QRegularExpression>
#include <QHash>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct RunResult {
    int exitCode = -1;
    QString output; // stdout and stderr together
};

RunResult run(const QString &program, const QStringList &args,
              const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    RunResult r;
    if (!p.waitForStarted()) {
        r.output = program + QStringLiteral(": ") + p.errorString();
        return r;
    }
    p.closeWriteChannel();
    p.waitForFinished(-1);
    r.output = QString::fromLocal8Bit(p.readAll());
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// Width and height from a PNG's header chunk; (0, 0) when it is no PNG.
QSize pngSize(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = f.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return {};
    auto be32 = [&](int at) {
        int v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | quint8(head.at(at + i));
        return v;
    };
    return QSize(be32(16), be32(20));
}

// The keys of a desktop entry's main group. (QSettings would take the ";" of
// list values for comments.)
QHash<QString, QString> desktopEntry(const QString &path)
{
    QHash<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMain = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inMain = line == QLatin1String("[Desktop Entry]");
        else if (inMain && !line.startsWith(QLatin1Char('#')) && line.contains(QLatin1Char('=')))
            keys.insert(line.section(QLatin1Char('='), 0, 0).trimmed(),
                        line.section(QLatin1Char('='), 1).trimmed());
    }
    return keys;
}

} // namespace

class tst_install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFile_data();
    void installedFile();
    void pngIcon_data();
    void pngIcon();
    void scalableIcon();
    void validator_data();
    void validator();
    void desktopEntryMatchesInstalledTree();
    void fileTypes_data();
    void fileTypes();
    void installedPluginIsOne();
    void installedProgramRuns_data();
    void installedProgramRuns();
    void packageBringsQtsJapaneseTexts();

private:
    QString installed(const QString &relative) const { return m_prefix + QLatin1Char('/') + relative; }
    QString data(const QString &relative) const
    {
        return installed(QStringLiteral(QUORVAN_INSTALL_DATADIR "/") + relative);
    }

    QTemporaryDir m_dir;
    QString m_root;
    QString m_prefix;
};

void tst_install::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A prefix ending in usr/, so the tree above it reads like a system's root.
    m_root = m_dir.filePath(QStringLiteral("root"));
    m_prefix = m_root + QStringLiteral("/usr");
    const RunResult r = run(QStringLiteral(QUORVAN_CMAKE_COMMAND),
                            {QStringLiteral("--install"), QStringLiteral(QUORVAN_BUILD_DIR),
                             QStringLiteral("--prefix"), m_prefix});
    QVERIFY2(r.exitCode == 0, qPrintable(r.output));

    // The MIME types are looked up the way a desktop does: through the
    // database built from the installed definition, with the system's types
    // for the parents. Set before the first QMimeDatabase in this process.
    const RunResult u = run(QStringLiteral("update-mime-database"), {data(QStringLiteral("mime"))});
    QVERIFY2(u.exitCode == 0, qPrintable(u.output));
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", (installed(QStringLiteral(QUORVAN_INSTALL_DATADIR)) + QStringLiteral(":/usr/share")).toLocal8Bit());
}

void tst_install::installedFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    const QString bin = QStringLiteral(QUORVAN_INSTALL_BINDIR "/");
    const QString share = QStringLiteral(QUORVAN_INSTALL_DATADIR "/");
    QTest::newRow("program on the PATH") << bin + QStringLiteral("quorvan") << true;
    QTest::newRow("help file in the data folder") << share + QStringLiteral("quorvan/Qrvn.CHM") << false;
    QTest::newRow("English help file in the data folder") << share + QStringLiteral("quorvan/Qrvn_en.CHM") << false;
    // Found by the program relative to itself: bin/../lib/quorvan.
    const QString lib = QStringLiteral(QUORVAN_INSTALL_PKGLIBDIR "/");
    QTest::newRow("the editor library") << lib + QStringLiteral("libquorvan_gui.so") << false;
    QTest::newRow("the web preview plugin") << lib + QStringLiteral("libquorvan_webpreview.so") << false;
    QTest::newRow("menu entry") << share + QStringLiteral("applications/io.github.quorvan.Quorvan.desktop") << false;
    QTest::newRow("MIME definition") << share + QStringLiteral("mime/packages/quorvan.xml") << false;
    QTest::newRow("metainfo") << share + QStringLiteral("metainfo/io.github.quorvan.Quorvan.metainfo.xml")
                              << false;
}

void tst_install::installedFile()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo fi(installed(path));
    QVERIFY2(fi.isFile(), qPrintable(fi.filePath()));
    QVERIFY(fi.size() > 0);
    QCOMPARE(fi.isExecutable(), executable);
}

void tst_install::pngIcon_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("%1x%1").arg(size))) << size;
}

void tst_install::pngIcon()
{
    QFETCH(int, size);
    const QString path = data(QStringLiteral("icons/hicolor/%1x%1/apps/quorvan.png").arg(size));
    QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    // A picture of the wrong size in a size folder is scaled and blurred by every desktop.
    QCOMPARE(pngSize(path), QSize(size, size));
}

void tst_install::scalableIcon()
{
    QFile f(data(QStringLiteral("icons/hicolor/scalable/apps/quorvan.svg")));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    QVERIFY(f.readAll().contains("<svg"));
}

void tst_install::validator_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("desktop entry")
        << QStringLiteral("desktop-file-validate")
        << QStringList{data(QStringLiteral("applications/io.github.quorvan.Quorvan.desktop"))};
    QTest::newRow("metainfo")
        << QStringLiteral("appstreamcli")
        << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                       data(QStringLiteral("metainfo/io.github.quorvan.Quorvan.metainfo.xml"))};
    // The metadata as a software centre reads it: with its desktop entry beside it.
    QTest::newRow("metainfo in the installed tree")
        << QStringLiteral("appstreamcli")
        << QStringList{QStringLiteral("validate-tree"), QStringLiteral("--no-net"), m_root};
    QTest::newRow("MIME definition")
        << QStringLiteral("xmllint")
        << QStringList{QStringLiteral("--noout"), data(QStringLiteral("mime/packages/quorvan.xml"))};
}

void tst_install::validator()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    if (program == QLatin1String("xmllint") && QStandardPaths::findExecutable(program).isEmpty())
        QSKIP("xmllint is not installed");
    const RunResult r = run(program, args);
    QVERIFY2(r.exitCode == 0, qPrintable(program + QLatin1Char('\n') + r.output));
}

void tst_install::desktopEntryMatchesInstalledTree()
{
    const QHash<QString, QString> entry = desktopEntry(data(QStringLiteral("applications/io.github.quorvan.Quorvan.desktop")));

    // Exec: the installed program, taking any number of files.
    const QString exec = entry.value(QStringLiteral("Exec"));
    QCOMPARE(exec, QStringLiteral("quorvan %F"));
    QVERIFY(QFileInfo(installed(QStringLiteral(QUORVAN_INSTALL_BINDIR "/quorvan"))).isExecutable());

    // Icon: a name the installed icon theme folders provide.
    const QString icon = entry.value(QStringLiteral("Icon"));
    QVERIFY(QFileInfo::exists(data(QStringLiteral("icons/hicolor/scalable/apps/") + icon + QStringLiteral(".svg"))));

    // MimeType: exactly the types the installed definition declares.
    QStringList entryTypes = entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QFile xml(data(QStringLiteral("mime/packages/quorvan.xml")));
    QVERIFY(xml.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(xml.readAll());
    QStringList declared;
    const QRegularExpression typeAttr(QStringLiteral("<mime-type type=\"([^\"]+)\""));
    for (auto it = typeAttr.globalMatch(text); it.hasNext();)
        declared << it.next().captured(1);
    entryTypes.sort();
    declared.sort();
    QCOMPARE(entryTypes, declared);

    // The Japanese desktop shows Japanese texts.
    QVERIFY(!entry.value(QStringLiteral("Comment[ja]")).isEmpty());
    QVERIFY(!entry.value(QStringLiteral("Name[ja]")).isEmpty());
}

void tst_install::fileTypes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("parent");

    // gzip of "3,0,0\r\n": what a saved table starts with.
    const QByteArray gzip = QByteArray::fromHex("1f8b08000000000002ff33d631d031e0e502003f7f5c4e07000000");
    QTest::newRow("table file") << "table.qvn" << gzip << "application/x-quorvan-table"
                                << "application/gzip";
    QTest::newRow("table file, upper-case extension")
        << "TABLE.QVN" << gzip << "application/x-quorvan-table" << "application/gzip";
    QTest::newRow("old table file") << "old.qvf" << QByteArray("2,2,\"\",1,0,255,255,255\r\n")
                                    << "application/x-quorvan-table-old" << "text/plain";
    QTest::newRow("other gzip file stays gzip") << "table.gz" << gzip << "application/gzip"
                                                << "";
}

void tst_install::fileTypes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, type);
    QFETCH(QString, parent);

    const QString path = m_dir.filePath(name);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    const QMimeType mime = QMimeDatabase().mimeTypeForFile(path);
    QCOMPARE(mime.name(), type);
    if (!parent.isEmpty())
        QVERIFY2(mime.inherits(parent), qPrintable(mime.parentMimeTypes().join(QLatin1Char(' '))));
}

void tst_install::installedProgramRuns_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("--version prints the version") << "--version" << "3.4.0";
    QTest::newRow("--help names the options") << "--help" << "--version";
    QTest::newRow("--help says several files may be named") << "--help" << "FILE...";
}

void tst_install::installedPluginIsOne()
{
    // What QPluginLoader reads before it loads anything.
    const QString path = installed(QStringLiteral(QUORVAN_INSTALL_PKGLIBDIR "/libquorvan_webpreview.so"));
    QCOMPARE(QPluginLoader(path).metaData().value(QStringLiteral("IID")).toString(),
             QStringLiteral("io.github.quorvan.WebViewFactory/1.1"));
}

void tst_install::installedProgramRuns()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    // The installed copy, not the build tree's: it must start without the build's run path.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const RunResult r = run(installed(QStringLiteral(QUORVAN_INSTALL_BINDIR "/quorvan")), {option}, env);
    QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    QVERIFY2(r.output.contains(expected), qPrintable(r.output));
}

void tst_install::packageBringsQtsJapaneseTexts()
{
    // The Debian package depends on the package that owns the catalogue the
    // program loads for Qt's dialogs and menus.
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg")).isEmpty())
        QSKIP("not a Debian system");
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
    const RunResult owner = run(QStringLiteral("dpkg"), {QStringLiteral("-S"), catalogue});
    QVERIFY2(owner.exitCode == 0, qPrintable(owner.output));
    const QString package = owner.output.section(QLatin1Char(':'), 0, 0).trimmed();

    QFile config(QStringLiteral(QUORVAN_BUILD_DIR "/CPackConfig.cmake"));
    QVERIFY(config.open(QIODevice::ReadOnly | QIODevice::Text));
    const QRegularExpression dependsLine(QStringLiteral("CPACK_DEBIAN_PACKAGE_DEPENDS \"([^\"]*)\""));
    const QRegularExpressionMatch depends = dependsLine.match(QString::fromUtf8(config.readAll()));
    QVERIFY(depends.hasMatch());
    QStringList names;
    for (const QString &entry : depends.captured(1).split(QLatin1Char(',')))
        names << entry.trimmed().section(QLatin1Char(' '), 0, 0);
    QVERIFY2(names.contains(package), qPrintable(package + QStringLiteral(" not in ") + depends.captured(1)));
}

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
