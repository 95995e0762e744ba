// The interface's language: Qt's own texts (standard dialogs, the overwrite
// question, the text boxes' right-click menus) speak Japanese once start-up has
// loaded Qt's catalogue; an English locale gets every window in English, with
// mnemonics of its own, and the same HTML.
#include <QtTest>

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>

#include <QComboBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QTreeWidget>

#include "gui/help/frm_about.h"
#include "core/app/app_paths.h"
#include "core/app/command_line.h"
#include "gui/window/main_window.h"
#include "core/app/ui_language.h"
#include "gui/cell_editor/frm_edit.h"
#include "gui/cell_editor/frm_font.h"
#include "gui/cell_editor/frm_link.h"
#include "gui/cell_editor/frm_picture.h"
#include "gui/grid/find_replace_dialog.h"
#include "gui/help/help_window.h"
#include "support/headless_run.h"
#include "support/window_parts.h"
#include "core/model/table_model.h"

namespace {

// Everything a user reads in a window: its title, labels and buttons.
QStringList textsOf(QWidget *w)
{
    QStringList texts{w->windowTitle()};
    for (QLabel *label : w->findChildren<QLabel *>())
        texts << label->text();
    for (QAbstractButton *button : w->findChildren<QAbstractButton *>())
        texts << button->text();
    return texts;
}

// No English left once the mnemonic "(&X)", a shortcut after a tab and the
// words Japanese keeps as they are ("OK", "HTML") are taken out.
bool readsJapanese(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|\\bOK\\b|\\bHTML\\b")));
    return !text.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

// Hiragana, katakana, kanji, Japanese punctuation and full- or half-width forms.
bool hasJapanese(const QString &text)
{
    static const QRegularExpression japanese(
            QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(japanese);
}

// The letter after a single '&', lower case; none for "&&" or no '&'.
QChar mnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toLower();
        ++i;
    }
    return QChar();
}

// The texts with a mnemonic a window's Alt key reaches: its menu bar's menus
// and its own labels, buttons and group boxes (not the items inside menus).
QStringList altTexts(QWidget *window)
{
    QStringList texts;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // A hidden view's controls take no keys.
        if (w->window() != window || !w->isVisibleTo(window))
            continue;
        if (auto *bar = qobject_cast<QMenuBar *>(w)) {
            for (QAction *a : bar->actions())
                if (a->isVisible())
                    texts << a->text();
        } else if (auto *l = qobject_cast<QLabel *>(w)) {
            texts << l->text();
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            texts << b->text();
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            texts << g->title();
        }
    }
    return texts;
}

// Which two texts share a mnemonic; empty when none do.
QString sharedMnemonic(const QStringList &texts)
{
    QHash<QChar, QString> seen;
    for (const QString &t : texts) {
        const QChar m = mnemonic(t);
        if (m.isNull())
            continue;
        if (seen.contains(m))
            return seen.value(m) + QStringLiteral(" / ") + t;
        seen.insert(m, t);
    }
    return QString();
}

// Everything a user reads in a window and its menus: captions, labels, buttons,
// group and column titles, list items, tips, what a screen reader says, and
// the actions' texts and tips.
QStringList everyText(QWidget *top)
{
    QStringList texts{top->windowTitle(), top->toolTip()};
    for (QWidget *w : top->findChildren<QWidget *>()) {
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (auto *l = qobject_cast<QLabel *>(w))
            texts << l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            texts << b->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            texts << g->title();
        else if (auto *m = qobject_cast<QMenu *>(w))
            texts << m->title();
        else if (auto *c = qobject_cast<QComboBox *>(w); c && !c->isEditable()) {
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        } else if (auto *t = qobject_cast<QTreeWidget *>(w)) {
            texts << t->headerItem()->text(0);
            for (QTreeWidgetItemIterator it(t); *it; ++it)
                texts << (*it)->text(0);
        } else if (auto *b = qobject_cast<QTextBrowser *>(w)) {
            texts << b->toPlainText();
        }
    }
    for (QAction *a : top->findChildren<QAction *>())
        texts << a->text() << a->toolTip();
    return texts;
}

// Every window of the interface, made in the language in force.
struct Windows {
    Windows()
    {
        main->setFileName(newTableName());
        main->show();
        help.openFile(helpFilePath());
    }
    ~Windows()
    {
        for (frmMain *w : frmMain::loadedWindows())
            delete w;
    }
    QList<QWidget *> all() { return {main, &editor, &link, &font, &picture, &about, &help}; }

    frmMain *main = new frmMain;
    frmEdit editor;
    frmLink link{&editor};
    frmFont font{&editor};
    frmPicture picture{&editor};
    frmAbout about;
    HelpWindow help;
};

// The tag view's text of a small table with a title, a header cell and a
// coloured cell, in the given profile.
QString tagText(int profile)
{
    Windows w;
    frmMain &main = *w.main;
    using namespace parts;
    part<QComboBox>(main, "cmbProfile")->setCurrentIndex(profile);
    box(main, "txtTitle")->setText(QStringLiteral("料金 & Prices"));
    doc(main).setCellText(1, 1, QStringLiteral("<B>x</B>"));
    doc(main).setCellField(1, 1, CellField::Header, -1);
    doc(main).setCellField(2, 2, CellField::BackColor, 0x00FF00);
    doc(main).setCellField(2, 2, CellField::BackColorNothing, 0);
    clickBar(main, ToolbarButton::CellView);
    clickBar(main, ToolbarButton::TagView);
    return part<QPlainTextEdit>(main, "txtTag")->toPlainText();
}

} // namespace

class TestUiLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qtTextsAreJapanese_data();
    void qtTextsAreJapanese();
    void languageFollowsTheLocale_data();
    void languageFollowsTheLocale();
    void englishWindowsShowNoJapanese();
    void mnemonicsAreDistinct_data();
    void mnemonicsAreDistinct();
    void japaneseWindowsKeepTheirDesignedTexts();
    void htmlIsTheSameInBothLanguages_data();
    void htmlIsTheSameInBothLanguages();
    void exportSpeaksTheChosenLanguage();
    void cleanup();
};

void TestUiLanguage::cleanup()
{
    setUiLanguage(UiLanguage::Japanese);
}

void TestUiLanguage::languageFollowsTheLocale_data()
{
    QTest::addColumn<QStringList>("environment"); // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("english");
    QTest::newRow("English locale") << QStringList{"", "", "", "en_US.UTF-8"} << "" << true;
    QTest::newRow("Japanese locale") << QStringList{"", "", "", "ja_JP.UTF-8"} << "" << false;
    QTest::newRow("C locale: the designed Japanese") << QStringList{"", "", "", "C.UTF-8"} << "" << false;
    QTest::newRow("any other language: Japanese") << QStringList{"", "", "", "de_DE.UTF-8"} << "" << false;
    QTest::newRow("nothing set: Japanese") << QStringList{"", "", "", ""} << "" << false;
    QTest::newRow("LANGUAGE first") << QStringList{"en_GB:ja", "", "", "ja_JP.UTF-8"} << "" << true;
    QTest::newRow("LANGUAGE first, Japanese") << QStringList{"ja:en", "", "", "en_US.UTF-8"} << "" << false;
    QTest::newRow("LC_ALL over LANG") << QStringList{"", "en_US.UTF-8", "", "ja_JP.UTF-8"} << "" << true;
    QTest::newRow("LC_MESSAGES over LANG") << QStringList{"", "", "en_US.UTF-8", "ja_JP.UTF-8"} << "" << true;
    QTest::newRow("--lang ja over an English locale") << QStringList{"", "", "", "en_US.UTF-8"} << "ja" << false;
    QTest::newRow("--lang en over a Japanese locale") << QStringList{"", "", "", "ja_JP.UTF-8"} << "en" << true;
}

void TestUiLanguage::languageFollowsTheLocale()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, option);
    QFETCH(bool, english);
    const char *names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    QByteArray saved[4];
    for (int i = 0; i < 4; ++i) {
        saved[i] = qgetenv(names[i]);
        qputenv(names[i], environment.at(i).toLocal8Bit());
    }
    const CommandLine cl = parseCommandLine(
            option.isEmpty() ? QStringList{"quorvan"} : QStringList{"quorvan", "--lang", option});
    const UiLanguage chosen = chooseUiLanguage(cl.language);
    for (int i = 0; i < 4; ++i)
        qputenv(names[i], saved[i]);
    QCOMPARE(chosen == UiLanguage::English, english);
}

void TestUiLanguage::englishWindowsShowNoJapanese()
{
    QVERIFY(setUiLanguage(UiLanguage::English));
    QVERIFY(helpFilePath().endsWith(QLatin1String("Qrvn_en.CHM")));
    Windows w;
    QCOMPARE(parts::caption(*w.main), QStringLiteral("Quorvan - New Table"));
    QCOMPARE(w.help.windowTitle(), QStringLiteral("Quorvan Help"));
    // Qt's own dialogs too: its Japanese catalogue is gone.
    QColorDialog colour;
    colour.setOption(QColorDialog::DontUseNativeDialog);
    const QList<QWidget *> windows = w.all() << &colour;
    for (QWidget *window : windows) {
        const QStringList texts = everyText(window);
        QVERIFY(texts.size() > 5);
        for (const QString &text : texts)
            QVERIFY2(!hasJapanese(text), qPrintable(window->objectName() + QStringLiteral(": ") + text));
    }
}

void TestUiLanguage::mnemonicsAreDistinct_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("window"); // three views of the main window, the dialogs of Windows, find and replace
    const char *const windows[] = {"table settings view", "cell settings view", "tag view", "editor", "link",
                                   "font", "picture", "about", "help", "find and replace"};
    for (int i = 0; i < 20; ++i)
        QTest::addRow("%s: %s", i < 10 ? "ja" : "en", windows[i % 10]) << int(i < 10 ? UiLanguage::Japanese : UiLanguage::English) << i % 10;
}

// What Alt and a letter reach: no two controls of a view or dialog, or of a
// view and its window's menu bar, on one letter; nor two items of one menu.
void TestUiLanguage::mnemonicsAreDistinct()
{
    QFETCH(int, language);
    QFETCH(int, window);
    QVERIFY(setUiLanguage(UiLanguage(language)));
    Windows w;
    QWidget *shown = window < 3 ? w.main : w.all().value(window - 2);
    if (window < 3)
        parts::clickBar(*w.main, ToolbarButton(int(ToolbarButton::TableView) + window));
    if (window == 9) {
        parts::item(*w.main, "mnuReplace")->trigger();
        shown = w.main->findChild<FindReplaceDialog *>();
    }
    shown->show();
    const QStringList texts = altTexts(shown);
    QVERIFY2(texts.size() > 2 && sharedMnemonic(texts).isEmpty(), qPrintable(sharedMnemonic(texts)));
    for (QMenu *menu : shown->findChildren<QMenu *>()) {
        QStringList items;
        for (QAction *a : menu->actions())
            items << a->text();
        QVERIFY2(sharedMnemonic(items).isEmpty(), qPrintable(menu->title() + QStringLiteral(": ") + sharedMnemonic(items)));
    }
}

void TestUiLanguage::japaneseWindowsKeepTheirDesignedTexts()
{
    // Back from English: the designed texts, with their designed letters.
    QVERIFY(setUiLanguage(UiLanguage::English));
    QVERIFY(setUiLanguage(UiLanguage::Japanese));
    QVERIFY(helpFilePath().endsWith(QLatin1String("/Qrvn.CHM")));
    Windows w;
    using namespace parts;
    QCOMPARE(parts::caption(*w.main), QStringLiteral("Quorvan - 新規テーブル"));
    QCOMPARE(w.main->menuBar()->actions().at(2)->text(), QStringLiteral("セル(&S)"));
    QCOMPARE(item(*w.main, "mnuSelEditMax")->text(), QStringLiteral("セル複数行編集(&M)"));
    QCOMPARE(part<QLabel>(*w.main, "Label101")->text(), QStringLiteral("行の数(&W)："));
    QCOMPARE(part<QCheckBox>(*w.main, "chkHeight")->text(), QStringLiteral("結合(&H)"));
    QCOMPARE(part<QLabel>(w.picture, "Label1")->text(), QStringLiteral("画像のアドレス(&A)："));
    QCOMPARE(w.link.windowTitle(), QStringLiteral("リンクの設定"));
    QCOMPARE(w.about.windowTitle(), QStringLiteral("Quorvanのバージョン情報"));
    QCOMPARE(w.help.windowTitle(), QStringLiteral("Quorvan ヘルプ"));
}

void TestUiLanguage::htmlIsTheSameInBothLanguages_data()
{
    QTest::addColumn<int>("profile");
    QTest::newRow("HTML 4") << int(MarkupProfile::Html4);
    QTest::newRow("HTML5") << int(MarkupProfile::Html5);
}

void TestUiLanguage::htmlIsTheSameInBothLanguages()
{
    QFETCH(int, profile);
    QVERIFY(setUiLanguage(UiLanguage::Japanese));
    const QString japanese = tagText(profile);
    QVERIFY(setUiLanguage(UiLanguage::English));
    const QString english = tagText(profile);
    QVERIFY(japanese.contains(QStringLiteral("料金 & Prices")));
    QCOMPARE(english, japanese);
}

// The window-less run says its failures in the language chosen.
void TestUiLanguage::exportSpeaksTheChosenLanguage()
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvan");
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("none.html"));
    const QString target = dir.filePath(QStringLiteral("t.qvn"));
    const HeadlessRun en = runHeadless(program, {"--lang", "en", "--export", source, target}, 60000);
    QCOMPARE(en.exitCode, 1);
    QVERIFY2(en.err.contains("could not be read") && !hasJapanese(QString::fromUtf8(en.err)), en.err.constData());
    const HeadlessRun ja = runHeadless(program, {"--lang", "ja", "--export", source, target}, 60000);
    QCOMPARE(ja.exitCode, 1);
    QVERIFY2(QString::fromUtf8(ja.err).contains(QStringLiteral("を読み込めませんでした。")), ja.err.constData());
}

void TestUiLanguage::initTestCase()
{
    QVERIFY2(loadQtTranslations(), "Qt's Japanese catalogue is missing (qt6-translations-l10n)");
    QVERIFY(loadQtTranslations()); // loading again replaces the catalogue, still Japanese
}

void TestUiLanguage::qtTextsAreJapanese_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("text box right-click menu") << "menu";
    QTest::newRow("colour dialog") << "colour";
    QTest::newRow("save dialog") << "save";
    QTest::newRow("overwrite question") << "overwrite";
}

void TestUiLanguage::qtTextsAreJapanese()
{
    QFETCH(QString, what);
    QStringList texts;
    if (what == QLatin1String("menu")) {
        QLineEdit box;
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        for (QAction *action : menu->actions())
            texts << action->text();
    } else if (what == QLatin1String("colour")) {
        QColorDialog dialog;
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        texts = textsOf(&dialog);
    } else {
        QTemporaryDir dir;
        QFile existing(dir.filePath(QStringLiteral("t.qvn")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QFileDialog dialog(nullptr, QStringLiteral("表ファイルの保存"), dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (what == QLatin1String("save")) {
            texts = textsOf(&dialog);
        } else {
            // Saving over the existing file asks first; answer no.
            dialog.show();
            dialog.selectFile(QStringLiteral("t.qvn"));
            QTimer::singleShot(0, &dialog, [&texts] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    texts = textsOf(box).replaceInStrings(QStringLiteral("t.qvn"), QString());
                    box->done(QMessageBox::No);
                }
            });
            auto *buttons = dialog.findChild<QDialogButtonBox *>();
            QVERIFY(buttons && buttons->button(QDialogButtonBox::Save));
            QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
            QVERIFY(dialog.isVisible()); // "no" keeps the dialog open
        }
    }
    QVERIFY(texts.size() > 1);
    for (const QString &text : std::as_const(texts))
        QVERIFY2(readsJapanese(text), qPrintable(text));
}

QTEST_MAIN(TestUiLanguage)
#include "tst_ui_language.moc"
