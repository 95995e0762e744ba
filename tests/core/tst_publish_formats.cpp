// Tables as authors publish them: a page comes in, and "quorvan --export"
// writes LaTeX, MediaWiki, AsciiDoc, reStructuredText and Markdown, each read
// back by its own reader to the cells, spans, header cells, formatting and
// alignment of the table's own HTML5.
#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "support/headless_run.h"

namespace {

struct Sample {
    const char *name;
    const char *page;        // the table of an HTML page
    const char *mdAlign;     // the Markdown columns' alignment: l, c, r, or - for none
    bool japanese;           // LaTeX needs CJK for it
};

const Sample Samples[] = {
    {"merges", "<tr><th>A</th><th>B</th><th>C</th><th>D</th></tr>"
               "<tr><td colspan=2>ab</td><td rowspan=2>c</td><td>d</td></tr>"
               "<tr><td>a3</td><td>b3</td><td>d3</td></tr>"
               "<tr><td colspan=2 rowspan=2>ab45</td><td>c4</td><td>d4</td></tr>"
               "<tr><td>c5</td><td>d5</td></tr>"
               "<tr><td>a6</td><td colspan=3>bcd6</td></tr>", "llll", false},
    {"header rows", "<caption>Two <b>heads</b></caption>"
                    "<tr><th rowspan=2>Item</th><th colspan=2>Price</th></tr><tr><th>net</th><th>gross</th></tr>"
                    "<tr><th>Tea</th><td>1</td><td>2</td></tr><tr><th>Cake</th><td>3</td><td>4</td></tr>", "-ll", false},
    {"alignment", "<tr><th>Name</th><th>Qty</th><th>Price</th></tr>"
                  "<tr><td>Tea</td><td style='text-align:center'>3</td><td style='text-align:right'>1,200</td></tr>"
                  "<tr><td>Cake</td><td style='text-align:center'>12</td><td style='text-align:right'>350</td></tr>"
                  "<tr><td>Sum</td><td style='text-align:right'>15</td><td style='text-align:right'>1,550</td></tr>",
     "lcr", false},
    {"special characters", "<caption>[x] | *y* &amp; 100%</caption><tr><th>Kind</th><th>Text</th></tr>"
                           "<tr><td>TeX</td><td># $ % &amp; _ { } ~ ^ \\ -- &lt;&gt; [x]</td></tr>"
                           "<tr><td>wiki</td><td>|| !! [[x]] {{t}} ''q'' ~~~~ __TOC__ ----</td></tr>"
                           "<tr><td>AsciiDoc</td><td>*b* _i_ `c` #m# ^s^ ~t~ (C) a -- b ... -&gt; {attr} ++p++ it's</td></tr>"
                           "<tr><td>rst</td><td>*x* **y** `z` _u_ |s| x_ :role:`r` a::</td></tr>"
                           "<tr><td>markup</td><td><B>bold <I>both</I></B> <EM>em</EM>"
                           " <A href=\"https://example.org/a_b?c=1&amp;d=2#f\">a link</A><BR>- next line &amp;amp; &eacute;</td></tr>"
                           "<tr><td colspan=2>a | b + c || d ++ e | f + g</td></tr>", "ll", false},
    {"Japanese", "<caption>価格表（税込）</caption><tr><th>品名</th><th>価格</th></tr>"
                 "<tr><td rowspan=2>りんご<BR>青森県産</td><td style='text-align:right'>１２０円</td></tr>"
                 "<tr><td style='text-align:right'>ｶﾀｶﾅ 98円</td></tr>"
                 "<tr><td colspan=2>合計は<B>「税込」</B>です</td></tr>", "lr", true},
};

struct Format {
    const char *ext;
    const char *reader;
};

const Format Formats[] = {
    {"tex", "pdflatex"}, {"wiki", "pandoc and mwparserfromhell"}, {"adoc", "asciidoctor"},
    {"rst", "docutils"}, {"md", "pandoc"},
};

QString python()
{
    // The system's: the readers' Python modules come from Debian's packages.
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

} // namespace

class TestPublishFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readersGetTheCells_data();
    void readersGetTheCells();

private:
    HeadlessRun run(const QStringList &args) { return runHeadless(m_program, args, 60000); }
    QString m_program;
};

void TestPublishFormats::initTestCase()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
}

void TestPublishFormats::readersGetTheCells_data()
{
    QTest::addColumn<int>("sample");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("note"); // on standard error; empty: nothing there
    for (int s = 0; s < int(std::size(Samples)); ++s)
        for (const Format &f : Formats) {
            const QString ext = QLatin1String(f.ext);
            QString note;
            if (ext == QLatin1String("md"))
                note = s == 2 ? QStringLiteral("列ごと") : QStringLiteral("結合したセル");
            else if (ext == QLatin1String("rst") && s != 0 && s != 3)
                note = QStringLiteral("文字揃えは書き出していません");
            QTest::addRow("%s: %s, read by %s", Samples[s].name, f.ext, f.reader) << s << ext << note;
        }
}

void TestPublishFormats::readersGetTheCells()
{
    QFETCH(int, sample);
    QFETCH(QString, ext);
    QFETCH(QString, note);
    const Sample &sm = Samples[sample];
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.html")), table = dir.filePath(QStringLiteral("t.qvn"));
    QFile f(page);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("<!DOCTYPE html><meta charset=\"utf-8\"><table>") + sm.page + "</table>");
    f.close();
    QCOMPARE(run({QStringLiteral("--export"), page, table}).exitCode, 0);
    const QString html5 = dir.filePath(QStringLiteral("t.html")), out = dir.filePath(QStringLiteral("t.") + ext);
    QCOMPARE(run({QStringLiteral("--export"), table, html5, QStringLiteral("--profile"), QStringLiteral("html5")}).exitCode, 0);
    const HeadlessRun written = run({QStringLiteral("--export"), table, out});
    QCOMPARE(written.exitCode, 0);
    if (note.isEmpty())
        QCOMPARE(QString::fromUtf8(written.err), QString());
    else
        QVERIFY2(QString::fromUtf8(written.err).contains(note), written.err.constData());

    QProcess reader;
    reader.setWorkingDirectory(dir.path());
    if (ext == QLatin1String("tex")) {
        // It compiles standalone in a minimal document; Japanese needs CJK.
        const QString pdflatex = QStandardPaths::findExecutable(QStringLiteral("pdflatex"));
        if (pdflatex.isEmpty())
            QSKIP("pdflatex is not installed (scripts/deps.sh installs it)");
        QFile doc(dir.filePath(QStringLiteral("doc.tex")));
        QVERIFY(doc.open(QIODevice::WriteOnly));
        doc.write(QByteArray("\\documentclass{article}\n\\usepackage{booktabs}\n\\usepackage{multirow}\n")
                  + (sm.japanese ? "\\usepackage{CJKutf8}\n\\begin{document}\n\\begin{CJK}{UTF8}{min}\n"
                                   "\\input{t.tex}\n\\end{CJK}\n"
                                 : "\\begin{document}\n\\input{t.tex}\n")
                  + "\\end{document}\n");
        doc.close();
        reader.start(pdflatex, {QStringLiteral("-interaction=nonstopmode"), QStringLiteral("-halt-on-error"), doc.fileName()});
        QVERIFY(reader.waitForFinished(120000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardOutput().right(1500).constData());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("doc.pdf"))).size() > 0);
        return;
    }

    const QString script = QStringLiteral(QUORVAN_TEST_DATA "/../support/published_cells.py");
    auto read = [&](const QStringList &args) {
        reader.start(python(), QStringList{script} + args);
        reader.waitForFinished(120000);
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    };
    QJsonObject got = read({ext, out});
    if (reader.exitCode() == 77)
        QSKIP(reader.readAllStandardError().constData());
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QJsonObject expected = read({QStringLiteral("expect"), ext, html5});
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    if (ext == QLatin1String("md")) {
        QStringList align;
        for (const QJsonValue &a : got.take(QStringLiteral("align")).toArray())
            align << (a.isNull() ? QStringLiteral("-") : a.toString().left(1));
        QCOMPARE(align.join(QString()), QLatin1String(sm.mdAlign));
    }
    if (got != expected)
        qWarning("%s\n---\n%s", QJsonDocument(got).toJson().constData(), QJsonDocument(expected).toJson().constData());
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestPublishFormats)
#include "tst_publish_formats.moc"
