#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "core/io/compression.h"
#include "support/headless_run.h"
#include "support/hostile_pages.h"
#include "core/io/table_document_io.h"
#include "core/io/table_export.h"
#include "core/markup/table_markup.h"
#include "core/io/table_file.h"
#include "core/import/html_tables.h"
#include "core/model/table_model.h"

// Hostile sources for "quorvan --export SOURCE TARGET", run as a process:
// whatever the input, the program ends by itself, a bad source gives the
// open's message on stderr, a non-zero status and no target, and a good one
// gives the right output.
class TestHostileExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void sources_data();
    void sources();
    void longTextSurvivesATableFile();
    void pagesThatSlippedPastTheScan_data();
    void pagesThatSlippedPastTheScan();
    void linksInASharedFolder_data();
    void linksInASharedFolder();

private:
    using Run = HeadlessRun;
    Run run(const QStringList &args);
    QString make(const QString &name, const QByteArray &bytes);
    QString m_program;
    QTemporaryDir m_dir;
    QString m_work;          // the folder each row works in
};

namespace {

const int OneMiB = 1024 * 1024;

// A 2 x 2 table text whose cell (1, 1) holds text (CP932 bytes, as stored).
QByteArray tableWithCell(const QByteArray &text)
{
    TableModel m;
    m.Cells(1, 1).Text = QStringLiteral("@@");
    QByteArray bytes = tableText(m);
    bytes.replace("\"@@\"", '"' + text + '"');
    return bytes;
}

QByteArray oldTableWithCell(const QByteArray &text)
{
    return "2,2,\"\",1,0,255,255,255\r\n0,0,\"" + text + "\",0,0,1,0,1,1,1\r\n";
}

QString damaged(const QString &path)
{
    return damagedFileMessage(path);
}

// A refused page's message names the limit it went past.
QString refused(const QString &path, const QString &limit)
{
    const QString subject = QLatin1Char('"') + path + QLatin1Char('"');
    if (limit == QLatin1String("depth"))
        return subject + QStringLiteral("は要素の入れ子が深すぎるため、読み込めませんでした。");
    if (limit == QLatin1String("size"))
        return subject + QStringLiteral("は大きすぎる（128 MiB を超える）ため、読み込めませんでした。");
    if (limit == QLatin1String("memory"))
        return subject + QStringLiteral("は大きさの割に読み取りに必要なメモリーが多すぎるため、読み込めませんでした。");
    return subject + QStringLiteral("は大きさの割に読み取りに時間がかかりすぎるため、読み込めませんでした。");
}

// Pages whose parse would take far too long: the scan in front of the parser
// refuses them. The "@" in a text is the table the page ends with.
QByteArray hostilePage(const QString &kind)
{
    const QByteArray table("<table><tr><td>@</td></tr></table>");
    if (kind == QLatin1String("nested-div.html"))
        return QByteArray("<div>").repeated(20000) + table;
    if (kind == QLatin1String("nested-tables.html"))
        return QByteArray("<table><tr><td>").repeated(5000) + "x";
    if (kind == QLatin1String("reopened.html")) {
        QByteArray page;
        for (int i = 0; i < 3000; ++i)
            page += "<p><b id=" + QByteArray::number(i) + ">x</p>";
        return page + table;
    }
    if (kind == QLatin1String("attributes.html")) {
        QByteArray page("<div");
        for (int i = 0; i < 30000; ++i)
            page += " a" + QByteArray::number(i);
        return page + '>' + table;
    }
    if (kind == QLatin1String("foreign.html"))
        return "<svg><foreignObject>" + QByteArray("<section/>").repeated(50000) + table;
    return QByteArray();
}

// A page whose cell holds 3.5 MiB of text: runs of 56 KiB of kanji and blanks
// between references and line ends, parsed without their middles and
// imported whole.
QByteArray longCellText()
{
    const QByteArray run = QByteArray("ab \xe8\xa1\xa8\t").repeated(8 * 1024);
    return (run + "&amp;\r\n").repeated(64);
}

} // namespace

void TestHostileExport::initTestCase()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(m_dir.isValid());
}

void TestHostileExport::init()
{
    QString tag = QString::fromLatin1(QTest::currentDataTag());
    for (QChar &c : tag) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    m_work = m_dir.filePath(QStringLiteral("row_") + tag);
    QVERIFY(QDir().mkpath(m_work));
}

TestHostileExport::Run TestHostileExport::run(const QStringList &args)
{
    return runHeadless(m_program, args, 240000);
}

QString TestHostileExport::make(const QString &name, const QByteArray &bytes)
{
    const QString path = m_work + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

void TestHostileExport::sources_data()
{
    // How SOURCE is made, the text expected on stderr (empty: success) and,
    // on success, a piece the HTML output must hold ("" = a new table's HTML).
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");      // "damaged", "unexpected", "unreadable", a page limit or ""
    QTest::addColumn<QByteArray>("expected");

    const QByteArray longText(OneMiB, 'w');
    QTest::newRow("1 MiB unbroken cell text, qvn") << "long.qvn" << "" << longText;
    QTest::newRow("1 MiB unbroken cell text, qvf") << "long.qvf" << "" << longText;
    // Each undecodable byte becomes one replacement character, which CP932
    // output writes as a character reference; no neighbouring byte is lost.
    const QByteArray replaced("a&#65533; b&#65533;&#65533;c");
    QTest::newRow("undecodable bytes in a cell, qvn") << "undecodable.qvn" << "" << replaced;
    QTest::newRow("undecodable bytes in a cell, qvf") << "undecodable.qvf" << "" << replaced;
    QTest::newRow("undecodable bytes for a number") << "undecodable-number.qvn" << "damaged" << QByteArray();
    QTest::newRow("lead byte cut off at the end") << "cut-lead.qvf" << "damaged" << QByteArray();
    QTest::newRow("gzip bomb past the cap") << "bomb.qvn" << "damaged" << QByteArray();
    QTest::newRow("table text cut short") << "short.qvn" << "damaged" << QByteArray();
    QTest::newRow("not gzip at all") << "plain.qvn" << "unexpected" << QByteArray();
    QTest::newRow("empty qvn") << "empty.qvn" << "unexpected" << QByteArray();
    QTest::newRow("empty qvf") << "empty.qvf" << "damaged" << QByteArray();
    QTest::newRow("folder named qvn") << "folder.qvn" << "damaged" << QByteArray();
    QTest::newRow("folder named qvf") << "folder.qvf" << "damaged" << QByteArray();
    QTest::newRow("fifo named qvn") << "fifo.qvn" << "damaged" << QByteArray();
    QTest::newRow("fifo named qvf") << "fifo.qvf" << "damaged" << QByteArray();
    QTest::newRow("link to /dev/zero named qvf") << "zero.qvf" << "damaged" << QByteArray();
    QTest::newRow("link to /dev/null named qvn") << "null.qvn" << "damaged" << QByteArray();
    // Neither extension: nothing is read, the new table is written.
    QTest::newRow("/dev/null") << "/dev/null" << "" << QByteArray();
    QTest::newRow("a folder without extension") << "folder" << "" << QByteArray();
    // Pages: the importer's message for a page it refuses or cannot read.
    QTest::newRow("20 000 nested div") << "nested-div.html" << "depth" << QByteArray();
    QTest::newRow("5 000 nested tables") << "nested-tables.html" << "depth" << QByteArray();
    QTest::newRow("formatting reopened in 3 000 paragraphs") << "reopened.html" << "time" << QByteArray();
    QTest::newRow("30 000 attributes on one tag") << "attributes.html" << "time" << QByteArray();
    QTest::newRow("50 000 self-closed sections in SVG") << "foreign.html" << "depth" << QByteArray();
    QTest::newRow("page past the page limit") << "huge.html" << "size" << QByteArray();
    QTest::newRow("link to /dev/zero named html") << "zero.html" << "unreadable" << QByteArray();
    QTest::newRow("fifo named html") << "fifo.html" << "unreadable" << QByteArray();
    QTest::newRow("3.5 MiB cell text in a page") << "long.html" << "" << longCellText();
}

void TestHostileExport::sources()
{
    QFETCH(QString, kind);
    QFETCH(QString, error);
    QFETCH(QByteArray, expected);

    QString source;
    if (kind == QLatin1String("long.qvn")) {
        source = make(kind, gzipBytes(tableWithCell(expected), 1));
    } else if (kind == QLatin1String("long.qvf")) {
        source = make(kind, oldTableWithCell(expected));
    } else if (kind == QLatin1String("undecodable.qvn")) {
        source = make(kind, gzipBytes(tableWithCell("a\x81\x20" "b\xa0\xff" "c"), 1));
    } else if (kind == QLatin1String("undecodable.qvf")) {
        source = make(kind, oldTableWithCell("a\x81\x20" "b\xa0\xff" "c"));
    } else if (kind == QLatin1String("undecodable-number.qvn")) {
        QByteArray text = tableWithCell("x");
        text.replace("3,0,0\r\n2,2,", "3,0,0\r\n2,\x82\xff,");
        source = make(kind, gzipBytes(text, 1));
    } else if (kind == QLatin1String("cut-lead.qvf")) {
        source = make(kind, "2,2,\"\",1,0,255,255,255\r\n0,0,\"a\x82");
    } else if (kind == QLatin1String("bomb.qvn")) {
        // A valid table whose cell runs past the 64 MiB cap: a few hundred KiB on disk.
        QByteArray text = tableWithCell(QByteArray(int(MaxTableTextBytes), 'x'));
        source = make(kind, gzipBytes(text, 9));
        QVERIFY(QFileInfo(source).size() < 4 * OneMiB);
    } else if (kind == QLatin1String("short.qvn")) {
        source = make(kind, gzipBytes(tableWithCell("x").left(40), 1));
    } else if (kind == QLatin1String("plain.qvn")) {
        source = make(kind, tableWithCell("x"));
    } else if (kind.startsWith(QLatin1String("empty."))) {
        source = make(kind, QByteArray());
    } else if (kind.startsWith(QLatin1String("folder"))) {
        source = m_work + QLatin1Char('/') + kind;
        QVERIFY(QDir().mkpath(source));
    } else if (kind.startsWith(QLatin1String("fifo."))) {
        source = m_work + QLatin1Char('/') + kind;
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
    } else if (!hostilePage(kind).isEmpty()) {
        source = make(kind, hostilePage(kind));
    } else if (kind == QLatin1String("huge.html")) {
        source = make(kind, QByteArray());
        QVERIFY(QFile(source).resize(MaxHtmlPageBytes + 1)); // sparse: nothing is written
    } else if (kind == QLatin1String("long.html")) {
        source = make(kind, "<table><tr><td>" + expected + "</td></tr></table>");
    } else if (kind == QLatin1String("zero.qvf") || kind == QLatin1String("null.qvn")
               || kind == QLatin1String("zero.html")) {
        source = m_work + QLatin1Char('/') + kind;
        QVERIFY(QFile::link(kind.startsWith(QLatin1Char('z')) ? QStringLiteral("/dev/zero")
                                                              : QStringLiteral("/dev/null"),
                            source));
    } else {
        source = kind;
    }

    const QStringList before = QDir(m_work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    const QString target = m_dir.filePath(QStringLiteral("out.html"));
    QFile::remove(target);
    const Run r = run({QStringLiteral("--export"), source, target});

    if (!error.isEmpty()) {
        const QString subject = QLatin1Char('"') + source + QLatin1Char('"');
        const QString message = error == QLatin1String("damaged") ? damaged(source)
                : QStringList{"depth", "time", "size"}.contains(error) ? refused(source, error)
                : error == QLatin1String("unreadable") ? subject + QStringLiteral("を読み込めませんでした。")
                                                       : openErrorMessage();
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.err), message + QLatin1Char('\n'));
        QVERIFY(!QFileInfo::exists(target));
    } else {
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QFile out(target);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray html = out.readAll();
        if (expected.isEmpty()) {
            TableModel fresh;
            QCOMPARE(html, htmlDocumentBytes(buildTableMarkup(fresh)));
        } else {
            QVERIFY2(html.contains('>' + expected + '<'), html.left(200).constData());
        }
    }
    // The source is only read.
    QCOMPARE(QDir(m_work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);
}

void TestHostileExport::longTextSurvivesATableFile()
{
    // 1 MiB of two-byte characters with no break anywhere, .qvf to .qvn.
    const QByteArray kanji = QByteArray("\x8a\xbf").repeated(OneMiB / 2);
    const QString source = make(QStringLiteral("long.qvf"), oldTableWithCell(kanji));
    const QString target = m_dir.filePath(QStringLiteral("long.qvn"));
    const Run r = run({QStringLiteral("--export"), source, target});
    QCOMPARE(r.exitCode, 0);
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray text;
    QCOMPARE(gunzipBytes(f.readAll(), text), GunzipStatus::Ok);
    TableModel m;
    QVERIFY(readTableText(text, m).ok());
    QCOMPARE(m.Cells(1, 1).Text, QString(OneMiB / 2, QChar(0x6F22)));
}


void TestHostileExport::linksInASharedFolder_data()
{
    QTest::addColumn<QString>("linkOwner");   // who made the link in the sticky folder
    QTest::addColumn<bool>("dangling");
    QTest::addColumn<QString>("error");       // "" when the export writes through the link
    QTest::newRow("another user's link to the victim's file") << "stranger" << false << "stranger";
    QTest::newRow("another user's link to nothing") << "stranger" << true << "stranger";
    QTest::newRow("the user's own link to nothing") << "victim" << true << "dangling";
    QTest::newRow("the user's own link") << "victim" << false << "";
}

// Two users on one machine, as in /tmp: the victim exports to a name in a
// sticky, world-writable folder where another user may have put a link.
void TestHostileExport::linksInASharedFolder()
{
    if (::geteuid() != 0)
        QSKIP("needs root to act as two users");
    QFETCH(QString, linkOwner);
    QFETCH(bool, dangling);
    QFETCH(QString, error);
    const auto as = [](const QString &who, const QString &program, const QStringList &args) {
        const QString id = who == QLatin1String("stranger") ? QStringLiteral("4242") : QStringLiteral("4343");
        return runHeadless(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=") + id,
                           QStringLiteral("--regid=") + id, QStringLiteral("--clear-groups"), program} + args, 60000);
    };
    for (const QString &folder : {m_dir.path(), m_work})
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther | QFile::ReadOther);
    const QString shared = m_work + QStringLiteral("/shared");
    const QString home = m_work + QStringLiteral("/home");
    QVERIFY(QDir().mkpath(shared) && QDir().mkpath(home));
    QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    QCOMPARE(::chown(QFile::encodeName(home).constData(), 4343, 4343), 0);
    const QString source = make(QStringLiteral("table.qvn"), gzipBytes(tableWithCell("x"), 1));
    QFile::setPermissions(source, QFile::permissions(source) | QFile::ReadOther);
    const QString victimFile = home + QStringLiteral("/.bashrc");
    if (!dangling)
        QCOMPARE(as(QStringLiteral("victim"), QStringLiteral("sh"),
                    {QStringLiteral("-c"), QStringLiteral("umask 077 && echo mine > ") + victimFile}).exitCode, 0);
    const QString link = shared + QStringLiteral("/report.html");
    QCOMPARE(as(linkOwner, QStringLiteral("ln"), {QStringLiteral("-s"), victimFile, link}).exitCode, 0);

    const Run r = as(QStringLiteral("victim"), m_program, {QStringLiteral("--export"), source, link});
    if (error.isEmpty()) {
        QCOMPARE(r.exitCode, 0);
        QFile written(victimFile);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith("<TABLE"));
        // The user's own file keeps its mode; the link stays a link.
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(victimFile).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0600));
        QVERIFY(QFileInfo(link).isSymLink());
        return;
    }
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QString::fromUtf8(r.err),
             refusedTargetMessage(link, error == QLatin1String("dangling") ? TargetRefusal::DanglingLink
                                                                           : TargetRefusal::StrangersLink)
                     + QLatin1Char('\n'));
    if (dangling) {
        QVERIFY(!QFileInfo::exists(victimFile));
    } else {
        QFile kept(victimFile);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("mine\n"));
    }
    QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList{QStringLiteral("report.html")});
}

void TestHostileExport::pagesThatSlippedPastTheScan_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("expected"); // in the output; empty: refused
    QTest::addColumn<QString>("limit");       // the limit a refusal names
    for (const char *kind : {"comment ended by --!>", "made-up name hashed like plaintext",
                             "font without attributes stays in SVG",
                             "annotation-xml without encoding holds MathML", "style inside select is dropped"})
        QTest::newRow(kind) << QString::fromLatin1(kind) << QByteArray() << "time";
    QTest::newRow("formatting bomb behind 8 MiB of text")
            << "formatting bomb behind 8 MiB of text" << QByteArray() << "memory";
    QTest::newRow("900 KB of comments in a style")
            << "900 KB of comments in a style" << QByteArray("<td style=\"width: 40px\">@</td>") << "";
    QTest::newRow("CDATA end inside long text")
            << "CDATA end inside long text" << QByteArray("</svg></td><td>second</td></tr>\r\n</tbody>") << "";
}

// Each once took from 6 s to minutes and gigabytes, and died under this limit.
void TestHostileExport::pagesThatSlippedPastTheScan()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, expected);
    QFETCH(QString, limit);
    const QString source = make(QStringLiteral("page.html"), hostile::page(kind));
    const QString target = m_work + QStringLiteral("/out.html");
    const Run r = runHeadless(QStringLiteral("prlimit"),
                              {QStringLiteral("--as=1073741824"), m_program, QStringLiteral("--export"), source, target},
                              120000);
    if (expected.isEmpty()) {
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(QString::fromUtf8(r.err), refused(source, limit) + QLatin1Char('\n'));
        QVERIFY(!QFileInfo::exists(target));
        return;
    }
    QCOMPARE(r.exitCode, 0);
    QFile out(target);
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QByteArray html = out.readAll();
    QVERIFY2(html.contains(expected), html.right(300).constData());
}

QTEST_GUILESS_MAIN(TestHostileExport)
#include "tst_hostile_export.moc"
