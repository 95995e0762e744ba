#include <QtTest>

#include "app/app_paths.h"
#include "app/command_line.h"

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

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
