#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "core/io/compression.h"
#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "gui/widgets/color_swatch.h"
#include "gui/widgets/common_dialog.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

// OpenFile and SaveFile on the window, acting through the dialog and message
// hooks, and the command-line export writing the same bytes as the window.
class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void openFailuresLeaveNoWindow_data();
    void openFailuresLeaveNoWindow();
    void otherNamesOpenADefaultTable();
    void openedOldFileShowsItsSettings();
    void saveAndReopenThroughTheWindow();
    void saveUnderOtherNameWritesHtml();
    void failedSaveChangesNothing();
    void saveAsCsvForSpreadsheets_data();
    void saveAsCsvForSpreadsheets();
    void exportWritesWhatTheWindowSaves();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    void replyWith(const QString &fileName, bool accepted = true);

    QStringList m_messages;
    QList<CommonDialog::Request> m_requests;
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestFileCommands::initTestCase()
{
    setFileMessageHook([this](QWidget *, const QString &text) { m_messages << text; });
}

void TestFileCommands::init()
{
    m_messages.clear();
    m_requests.clear();
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void TestFileCommands::cleanup()
{
    CommonDialog::setTestHook({});
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    flushDeletes();
}

void TestFileCommands::replyWith(const QString &fileName, bool accepted)
{
    CommonDialog::setTestHook([this, fileName, accepted](const CommonDialog::Request &r) {
        m_requests << r;
        CommonDialog::Reply reply;
        reply.accepted = accepted;
        reply.fileName = fileName;
        return reply;
    });
}

static void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

static QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestFileCommands::openFailuresLeaveNoWindow_data()
{
    QTest::addColumn<QString>("name");        // given to OpenFile; empty: through the dialog
    QTest::addColumn<QByteArray>("contents"); // "-": no file
    QTest::addColumn<QString>("message");     // "%1" stands for the full path

    const QString damaged = QStringLiteral("\"%1\"は壊れているか、\r\nQuorvanのファイルではないため、開くことができませんでした。");
    QByteArray newer = tableText(TableModel());
    newer.replace(0, 5, "4,0,0");
    QTest::newRow("missing file") << "gone.qvn" << QByteArray("-") << damaged;
    QTest::newRow("damaged text") << "bad.qvn" << gzipBytes("3,0,0\r\n2,2,\"\",1,x", 1) << damaged;
    QTest::newRow("not compressed") << "plain.qvn" << tableText(TableModel())
                                    << QStringLiteral("不明なエラーが発生したため、ファイルを開けませんでした。");
    QTest::newRow("newer program") << "new.qvn" << gzipBytes(newer, 1)
            << QStringLiteral("\"%1\"はVer.4.0.0で作られたファイルです。\r\nソフトのバージョンは3.4.0です。\r\n"
                              "このファイルを開くには最新のバージョンが必要です。最新バージョンをダウンロードしてください。");
    QTest::newRow("damaged older file") << "old.qvf" << QByteArray("2,2,\"t\",1") << damaged;
    QTest::newRow("dialog cancelled") << QString() << QByteArray("-") << QString();
}

void TestFileCommands::openFailuresLeaveNoWindow()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    const QString file = name.isEmpty() ? QString() : path(name);
    if (contents != "-")
        writeFile(file, contents);
    replyWith(QString(), false);

    QPointer<frmMain> w = new frmMain;
    w->OpenFile(file);
    QVERIFY(!w || !w->isVisible());
    flushDeletes();
    QVERIFY(w.isNull());
    QVERIFY(frmMain::loadedWindows().isEmpty());
    if (message.isEmpty())
        QCOMPARE(m_messages, QStringList());
    else
        QCOMPARE(m_messages, QStringList(message.arg(file)));
    QCOMPARE(m_requests.size(), name.isEmpty() ? 1 : 0);
    if (name.isEmpty()) {
        QCOMPARE(m_requests.first().title, QStringLiteral("表ファイルを開く"));
        // The table files first; HTML pages beside them.
        QCOMPARE(m_requests.first().filter, QStringLiteral("Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf"
                                                           "|HTMLファイル(*.html;*.htm)|*.html;*.htm"
                                                           "|CSV・TSVファイル(*.csv;*.tsv)|*.csv;*.tsv"
                                                           "|表計算ファイル(*.ods;*.xlsx)|*.ods;*.xlsx"));
        QCOMPARE(m_requests.first().fileName, QString());
    }
}

void TestFileCommands::otherNamesOpenADefaultTable()
{
    const QString file = path(QStringLiteral("notes.txt"));
    writeFile(file, "not a table");
    replyWith(file);
    auto *w = new frmMain;
    w->OpenFile(QString()); // typed into the open dialog
    QVERIFY(w->isVisible());
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - notes.txt"));
    QCOMPARE(w->FileName(), file);
    QCOMPARE(model(*w).TableRows, 2);
    QCOMPARE(model(*w).TableCols, 2);
    QCOMPARE(m_messages, QStringList());
}

void TestFileCommands::openedOldFileShowsItsSettings()
{
    const QString file = path(QStringLiteral("old.qvf"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"), file));
    auto *w = new frmMain;
    w->OpenFile(file);
    QVERIFY(w->isVisible());
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - old.qvf"));
    QCOMPARE(part<QLineEdit>(*w, "txtWidth")->text(), QStringLiteral("3"));
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->text(), QStringLiteral("2"));
    QCOMPARE(part<QLineEdit>(*w, "txtTitle")->text(), QStringLiteral("旧形式の表"));
    QCOMPARE(part<QLineEdit>(*w, "txtBorder")->text(), QStringLiteral("2"));
    QVERIFY(!part<QCheckBox>(*w, "chkBackColorNothing")->isChecked());
    QCOMPARE(part<ColorSwatch>(*w, "picBackColor")->color(), 255 + 256 * 128 + 65536 * 255);
    QVERIFY(part<QWidget>(*w, "picAllSet")->isVisible());
    QCOMPARE(grid(*w)->Cols(), 4);
    QCOMPARE(grid(*w)->Rows(), 3);
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(-1));
    QCOMPARE(gridEditor(*w)->RowHeightCol.size(), model(*w).TableRows + 2);
}

void TestFileCommands::saveAndReopenThroughTheWindow()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    part<QLineEdit>(*w, "txtTitle")->setText(QStringLiteral("月別, \"売上\""));
    part<QLineEdit>(*w, "txtWidth")->setText(QStringLiteral("5"));
    doc(*w).setCellText(3, 2, QStringLiteral("<A href=\"a.html\">表</A>"));
    doc(*w).setCellField(5, 1, CellField::Header, -1);

    const QString file = path(QStringLiteral("t.qvn"));
    replyWith(file);
    w->SaveFile();
    QCOMPARE(m_requests.size(), 1);
    QCOMPARE(m_requests.at(0).kind, CommonDialog::Save);
    QCOMPARE(m_requests.at(0).title, QStringLiteral("表ファイルの保存"));
    QCOMPARE(m_requests.at(0).filter, QStringLiteral("Quorvan File(*.QVN)|*.qvn|HTMLファイル (*.html;*.htm)|*.html;*.htm"
                                                     "|HTMLページ (*.html)|*.html|CSVファイル (*.csv)|*.csv"
                                                     "|CSV・TSVファイル、数式のまま(*.csv;*.tsv)|*.csv;*.tsv"
                                                     "|TSVファイル (*.tsv)|*.tsv"
                                                     "|Markdownファイル (*.md)|*.md|LaTeXファイル (*.tex)|*.tex"
                                                     "|MediaWikiファイル (*.wiki)|*.wiki|AsciiDocファイル (*.adoc)|*.adoc"
                                                     "|reStructuredTextファイル (*.rst)|*.rst|すべてのファイル(*.*)|*.*"));
    QVERIFY(m_requests.at(0).overwritePrompt);
    QCOMPARE(m_requests.at(0).fileName, QString()); // never saved: no name offered
    QCOMPARE(w->FileName(), file);
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - t.qvn"));
    QCOMPARE(m_messages, QStringList());

    w->SaveFile(); // now the dialog offers the table's own name
    QCOMPARE(m_requests.at(1).fileName, file);

    auto *again = new frmMain;
    again->OpenFile(file);
    QVERIFY(again->isVisible());
    QCOMPARE(model(*again).TableCols, 5);
    QCOMPARE(part<QLineEdit>(*again, "txtTitle")->text(), QStringLiteral("月別, \"売上\""));
    for (int c = 0; c <= 7; ++c)
        for (int r = 0; r <= 2; ++r)
            QVERIFY2(model(*again).Cells(c, r) == model(*w).Cells(c, r), qPrintable(QStringLiteral("%1,%2").arg(c).arg(r)));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList(QStringLiteral("t.qvn")));
}

void TestFileCommands::saveUnderOtherNameWritesHtml()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    doc(*w).setCellText(1, 1, QStringLiteral("表&nbsp;1"));
    const QString file = path(QStringLiteral("t.html"));
    replyWith(file);
    w->SaveFile();
    const QString html = w->BuildTableHtml();
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->toPlainText(), QString(html).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    QCOMPARE(readFile(file), htmlDocumentBytes(html));
    QVERIFY(readFile(file).contains("<TD ALIGN=\"center\" VALIGN=\"center\">\x95\x5c&nbsp;1</TD>"));
    QCOMPARE(w->FileName(), newTableName());
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - 新規テーブル*")); // the table itself is not saved
}

void TestFileCommands::failedSaveChangesNothing()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    replyWith(path(QStringLiteral("no/such/folder/t.qvn")));
    w->SaveFile();
    QCOMPARE(m_messages, QStringList(QStringLiteral("不明なエラーが発生したため、ファイルを保存できませんでした。")));
    QCOMPARE(w->FileName(), newTableName());
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - 新規テーブル"));

    m_messages.clear();
    replyWith(path(QStringLiteral("t.qvn")), false); // cancelled
    w->SaveFile();
    QCOMPARE(m_messages, QStringList());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void TestFileCommands::saveAsCsvForSpreadsheets_data()
{
    QTest::addColumn<int>("type");        // the file type chosen in Save As
    QTest::addColumn<QString>("typed");   // the name typed
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CSV: a formula is written as text, a name gets .csv")
            << 3 << "t" << "t.csv" << QByteArray("\xEF\xBB\xBF'=1+1,\"x\ny\"\r\n");
    QTest::newRow("CSV with its formulas kept") << 4 << "t.csv" << "t.csv" << QByteArray("\xEF\xBB\xBF=1+1,\"x\ny\"\r\n");
    QTest::newRow("TSV guarded the same") << 3 << "t.tsv" << "t.tsv" << QByteArray("'=1+1\t\"x\ny\"\n");
}

// A table of a formula and two lines, saved for a spreadsheet.
void TestFileCommands::saveAsCsvForSpreadsheets()
{
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QFETCH(QByteArray, bytes);
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    part<QLineEdit>(*w, "txtHeight")->setText(QStringLiteral("1"));
    doc(*w).setCellText(1, 1, QStringLiteral("=1+1"));
    doc(*w).setCellText(2, 1, QStringLiteral("x<BR>y"));
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        m_requests << r;
        return CommonDialog::Reply{true, path(typed), 0, type};
    });
    w->SaveFile();
    QCOMPARE(m_messages, QStringList());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList(saved));
    QCOMPARE(readFile(path(saved)), bytes);
    QCOMPARE(w->FileName(), newTableName()); // the table itself is not saved
}

// The command-line export opens and saves as the window does: same bytes.
void TestFileCommands::exportWritesWhatTheWindowSaves()
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    const QString source = path(QStringLiteral("old.qvf"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVAN_TEST_DATA "/old_layout.qvf"), source));

    auto *w = new frmMain;
    w->OpenFile(source);
    QVERIFY(w->isVisible());
    for (const QString &target : {QStringLiteral("window.qvn"), QStringLiteral("window.html")}) {
        replyWith(path(target));
        w->SaveFile();
    }

    auto run = [&](const QString &from, const QString &to) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(program, {QStringLiteral("--export"), from, to});
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    QVERIFY(run(source, path(QStringLiteral("cli.qvn"))));
    QVERIFY(run(path(QStringLiteral("cli.qvn")), path(QStringLiteral("cli.html"))));
    QCOMPARE(readFile(path(QStringLiteral("cli.qvn"))), readFile(path(QStringLiteral("window.qvn"))));
    QCOMPARE(readFile(path(QStringLiteral("cli.html"))), readFile(path(QStringLiteral("window.html"))));
    QVERIFY(readFile(path(QStringLiteral("cli.html"))).startsWith("<TABLE BORDER=\"2\""));
}

QTEST_MAIN(TestFileCommands)
#include "tst_file_commands.moc"
