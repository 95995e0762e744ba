#include <QtTest>

#include "core/app/app_paths.h"
#include "core/app/command_line.h"

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void rawTextRule_data();
    void rawTextRule();
    void argumentsToRawText_data();
    void argumentsToRawText();
    void fileNamePart_data();
    void fileNamePart();
    void options_data();
    void options();
};

void TestCommandLine::rawTextRule_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("path");
    QTest::newRow("empty: new table") << "" << false << "";
    QTest::newRow("quoted path") << R"("C:\data\table.qvn")" << true << R"(C:\data\table.qvn)";
    QTest::newRow("unquoted path: new table") << R"(C:\data\table.qvn)" << false << "";
    QTest::newRow("opening quote only: new table") << R"("C:\data\table.qvn)" << false << "";
    QTest::newRow("spaces around are trimmed") << R"(   "C:\data\table.qvn"  )" << true << R"(C:\data\table.qvn)";
    QTest::newRow("tabs are not trimmed") << "\t\"a.qvn\"" << false << "";
    QTest::newRow("two quotes: open dialog") << R"("")" << true << "";
    QTest::newRow("lone quote: new table") << R"(")" << false << "";
    QTest::newRow("spaces inside the quotes kept") << R"(" a b.qvn ")" << true << " a b.qvn ";
}

void TestCommandLine::rawTextRule()
{
    QFETCH(QString, raw);
    QFETCH(bool, opens);
    QFETCH(QString, path);
    const StartRequest req = startRequestFromRawText(raw);
    QCOMPARE(req.openFile, opens);
    QCOMPARE(req.path, path);
}

void TestCommandLine::argumentsToRawText_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("path");
    QTest::newRow("no argument") << QStringList() << false << "";
    QTest::newRow("one path") << QStringList{"/home/u/表.qvn"} << true << "/home/u/表.qvn";
    QTest::newRow("path with spaces") << QStringList{"/home/u/my table.qvn"} << true << "/home/u/my table.qvn";
    QTest::newRow("lone double quote") << QStringList{"\""} << false << "";
    QTest::newRow("empty argument: open dialog") << QStringList{""} << true << "";
}

void TestCommandLine::argumentsToRawText()
{
    QFETCH(QStringList, args);
    QFETCH(bool, opens);
    QFETCH(QString, path);
    const StartRequest req = startRequestFromRawText(rawTextFromArguments(args));
    QCOMPARE(req.openFile, opens);
    QCOMPARE(req.path, path);
}

void TestCommandLine::fileNamePart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("part");
    QTest::newRow("windows path") << R"(C:\a\b.qvn)" << "b.qvn";
    QTest::newRow("name alone") << "b.qvn" << "b.qvn";
    QTest::newRow("ends in backslash") << R"(C:\a\)" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("linux path") << "/home/u/表.qvn" << "表.qvn";
    QTest::newRow("ends in slash") << "/home/u/" << "";
    QTest::newRow("mixed separators") << R"(C:\a/b\c.qvn)" << "c.qvn";
    QTest::newRow("new table marker") << "新規テーブル" << "新規テーブル";
}

void TestCommandLine::fileNamePart()
{
    QFETCH(QString, path);
    QFETCH(QString, part);
    QCOMPARE(GetFileNamePart(path), part);
}

void TestCommandLine::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("files");
    using C = CommandLine;
    QTest::newRow("nothing: a new table") << QStringList() << int(C::Edit) << QStringList();
    QTest::newRow("files in order") << QStringList{"a.qvn", "b.qvf"} << int(C::Edit) << QStringList{"a.qvn", "b.qvf"};
    QTest::newRow("an option after a file") << QStringList{"a.qvn", "--version"} << int(C::Version) << QStringList{"a.qvn"};
    QTest::newRow("short help") << QStringList{"-h"} << int(C::Help) << QStringList();
    QTest::newRow("short version") << QStringList{"-v"} << int(C::Version) << QStringList();
    QTest::newRow("unknown option is refused, not opened") << QStringList{"--bogus"} << int(C::Wrong) << QStringList();
    QTest::newRow("unknown option after a file") << QStringList{"a.qvn", "-x"} << int(C::Wrong) << QStringList();
    QTest::newRow("a name starting with - after --") << QStringList{"--", "-x.qvn"} << int(C::Edit) << QStringList{"-x.qvn"};
    QTest::newRow("export anywhere") << QStringList{"s.qvn", "--export", "t.html"} << int(C::Export) << QStringList{"s.qvn", "t.html"};
    QTest::newRow("export needs two names") << QStringList{"--export", "only.qvn"} << int(C::Wrong) << QStringList{"only.qvn"};
    QTest::newRow("export refuses an empty name") << QStringList{"--export", "s.qvn", ""} << int(C::Wrong) << QStringList{"s.qvn", ""};
    QTest::newRow("the toolkit's options pass with their values") << QStringList{"-platform", "offscreen", "a.qvn"} << int(C::Edit) << QStringList{"a.qvn"};
    QTest::newRow("empty argument kept: open dialog") << QStringList{""} << int(C::Edit) << QStringList{""};
    QTest::newRow("lone quote kept for the raw rule") << QStringList{"\""} << int(C::Edit) << QStringList{"\""};
    QTest::newRow("a language with files") << QStringList{"--lang", "en", "a.qvn"} << int(C::Edit) << QStringList{"a.qvn"};
    QTest::newRow("a language with export") << QStringList{"--export", "s.qvn", "t.html", "--lang=ja"} << int(C::Export) << QStringList{"s.qvn", "t.html"};
    QTest::newRow("only ja and en are languages") << QStringList{"--lang", "fr", "a.qvn"} << int(C::Wrong) << QStringList{"a.qvn"};
    QTest::newRow("a pipe needs no --export") << QStringList{"--from", "csv", "--to", "html", "-", "-"} << int(C::Export) << QStringList{"-", "-"};
    QTest::newRow("standard output as TARGET") << QStringList{"t.qvn", "-"} << int(C::Export) << QStringList{"t.qvn", "-"};
    QTest::newRow("a page's table by number") << QStringList{"--table", "2", "--export", "p.html", "t.qvn"} << int(C::Export) << QStringList{"p.html", "t.qvn"};
    QTest::newRow("tables count from 1") << QStringList{"--table", "0", "--export", "p.html", "t.qvn"} << int(C::Wrong) << QStringList{"p.html", "t.qvn"};
    QTest::newRow("no Markdown reader") << QStringList{"--from", "md", "t.md", "t.qvn"} << int(C::Wrong) << QStringList{"t.md", "t.qvn"};
    QTest::newRow("tables of a page listed") << QStringList{"--list-tables", "p.html"} << int(C::ListTables) << QStringList{"p.html"};
    QTest::newRow("--table needs an export") << QStringList{"--table", "2", "p.html"} << int(C::Wrong) << QStringList{"p.html"};
    QTest::newRow("a look by name") << QStringList{"--preset", "Striped", "--css", "file", "--responsive", "--export", "t.qvn", "t.html"} << int(C::Export) << QStringList{"t.qvn", "t.html"};
    QTest::newRow("no such preset") << QStringList{"--preset", "fancy", "--export", "t.qvn", "t.html"} << int(C::Wrong) << QStringList{"t.qvn", "t.html"};
    QTest::newRow("a look needs an export") << QStringList{"--responsive", "t.qvn"} << int(C::Wrong) << QStringList{"t.qvn"};
}

void TestCommandLine::options()
{
    QFETCH(QStringList, args);
    QFETCH(int, mode);
    QFETCH(QStringList, files);
    const CommandLine cl = parseCommandLine(QStringList{QStringLiteral("quorvan")} + args);
    QCOMPARE(int(cl.mode), mode);
    QCOMPARE(cl.files, files);
    QCOMPARE(cl.error.isEmpty(), mode != CommandLine::Wrong);
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
