#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDirIterator>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QtEndian>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/cell_editor/frm_edit.h"
#include "support/editor_test_support.h"
#include "gui/cell_editor/frm_font.h"
#include "gui/cell_editor/frm_link.h"
#include "gui/cell_editor/frm_picture.h"
#include "gui/widgets/color_swatch.h"
#include "gui/widgets/common_dialog.h"
#include "gui/help/help_window.h"
#include "gui/widgets/up_down.h"

using namespace parts;

namespace {

// Types text as a user would: keys for ASCII, Enter for "\n", and an input
// method commit for Japanese.
void typeText(QWidget *w, const QString &text)
{
    QString composed;
    const auto commit = [&] {
        if (composed.isEmpty())
            return;
        QInputMethodEvent event;
        event.setCommitString(composed);
        QApplication::sendEvent(w, &event);
        composed.clear();
    };
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80) {
            composed += ch;
            continue;
        }
        commit();
        if (ch == QLatin1Char('\n'))
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::keyClick(w, ch.toLatin1());
    }
    commit();
}

// Types text into the pane, then selects `selected` characters to the left of
// the caret, which stands `after` characters before the end.
void typeAndSelect(frmEdit &ed, const QString &text, int after, int selected)
{
    ed.txtEdit->setFocus();
    typeText(ed.txtEdit, text);
    for (int i = 0; i < after; ++i)
        QTest::keyClick(ed.txtEdit, Qt::Key_Left);
    for (int i = 0; i < selected; ++i)
        QTest::keyClick(ed.txtEdit, Qt::Key_Left, Qt::ShiftModifier);
}

// Opens a tag dialog from the editor's toolbar and lets `act` work it while
// it runs modally.
template <typename Dialog>
void withDialog(frmEdit &ed, int position, const std::function<void(Dialog *)> &act)
{
    bool seen = false;
    QTimer::singleShot(0, &ed, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<Dialog *>(modal);
        if (!dialog) {
            if (modal)
                modal->close();
            return;
        }
        seen = true;
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    clickBar(ed, position);
    QVERIFY2(seen, "the expected dialog did not open modally");
}

void click(QAbstractButton *button)
{
    // A check box takes clicks on its box and caption only, not on the empty
    // part of a wide cell.
    const QPoint at = qobject_cast<QCheckBox *>(button) ? QPoint(6, button->height() / 2)
                                                        : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void typeInto(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    typeText(box, text);
}

// Whether a right-click menu comes up on the box (closed again at once).
bool contextMenuOpens(QWidget *box)
{
    bool opened = false;
    QTimer::singleShot(0, box, [&opened] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            opened = true;
            popup->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &event);
    QTest::qWait(0);
    return opened;
}

// Registers a copy of a system font under another foundry, so that Qt lists
// its family once per foundry ("DejaVu Sans [PfEd]", "DejaVu Sans [QvTs]").
QString addSecondFoundry()
{
    QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("*.ttf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QByteArray data = file.readAll();
        if (data.size() < 12)
            continue;
        const int tables = qFromBigEndian<quint16>(data.constData() + 4);
        for (int i = 0; i < tables && 12 + 16 * (i + 1) <= data.size(); ++i) {
            const char *entry = data.constData() + 12 + 16 * i;
            const qsizetype offset = qFromBigEndian<quint32>(entry + 8);
            if (QByteArray(entry, 4) != "OS/2" || offset + 62 > data.size())
                continue;
            data.replace(offset + 58, 4, "QvTs"); // the vendor, which names the foundry
            const QStringList added = QFontDatabase::applicationFontFamilies(
                QFontDatabase::addApplicationFontFromData(data));
            if (!added.isEmpty())
                return added.constFirst();
        }
    }
    return QString();
}

CommonDialog::Reply chosen(const QString &path)
{
    CommonDialog::Reply reply;
    reply.accepted = true;
    reply.fileName = path;
    return reply;
}

} // namespace

class TestCellEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsInTextMode();
    void wrapsAndInserts_data();
    void wrapsAndInserts();
    void wrapsTwiceNests();
    void storeAndClose_data();
    void storeAndClose();
    void closeWithoutStoring();
    void escapeKeepsTheText();
    void textSurvivesRoundTrip();
    void toolbarOpensEachDialog();
    void editsTheMainWindowsCell();
    void helpOpensOverTheEditor();

    void linkTag_data();
    void linkTag();
    void linkCancelLeavesText();
    void linkChooser_data();
    void linkChooser();
    void linkChooserCancelled();

    void pictureTag_data();
    void pictureTag();
    void pictureSizeRowsEnableSeparately();
    void pictureBoxesTakeDigitsOnlyAndNoMenu();
    void pictureChooserRelative();

    void fontTag_data();
    void fontTag();
    void fontColourChooser();
    void fontHeadingSwitch();
    void fontListsAtLoad();

private:
    frmEdit *ed = nullptr;
    CellReceiver *cell = nullptr;
    QList<CommonDialog::Request> requests;
    std::function<CommonDialog::Reply(const CommonDialog::Request &)> reply;
};

void TestCellEditor::init()
{
    cell = new CellReceiver;
    ed = new frmEdit;
    ed->objForm = cell;
    connect(ed, &frmEdit::textStored, cell, &CellReceiver::SettingText);
    ed->SettingText(QString());
    ed->show();
    QVERIFY(QTest::qWaitForWindowExposed(ed));
    requests.clear();
    reply = [](const CommonDialog::Request &) { return CommonDialog::Reply(); };
    CommonDialog::setTestHook([this](const CommonDialog::Request &r) {
        requests.append(r);
        return reply(r);
    });
}

void TestCellEditor::cleanup()
{
    CommonDialog::setTestHook({});
    delete ed;
    delete cell;
}

void TestCellEditor::loadsInTextMode()
{
    QCOMPARE(ed->windowTitle(), QStringLiteral("複数行編集"));
    QVERIFY(ed->txtEdit->isVisible());
    QVERIFY(!ed->Web->isVisible());
    QVERIFY(ed->button(EditorButton::TagView)->isChecked());
    QVERIFY(!ed->button(EditorButton::Preview)->isChecked());
    for (int i = 1; i <= frmEdit::ButtonCount; ++i)
        QVERIFY2(ed->BarButton[i]->isEnabled(), qPrintable(QString::number(i)));
    QCOMPARE(ed->button(EditorButton::Help)->toolTip(), QStringLiteral("ヘルプを表示します。"));
    // The text pane fills the inner area under the toolbar.
    QCOMPARE(ed->txtEdit->geometry().bottom(), ed->height() - 1);
    QCOMPARE(ed->txtEdit->width(), ed->width());
}

void TestCellEditor::wrapsAndInserts_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("selected");   // characters of "xabcy" selected, ending before "y"
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");       // caret position after the insert

    QTest::newRow("bold wraps the selection") << 12 << 3 << "x<B>abc</B>y" << 11;
    QTest::newRow("italic wraps the selection") << 13 << 3 << "x<I>abc</I>y" << 11;
    QTest::newRow("underline wraps the selection") << 14 << 3 << "x<U>abc</U>y" << 11;
    QTest::newRow("strike wraps the selection") << 15 << 3 << "x<S>abc</S>y" << 11;
    QTest::newRow("line break replaces the selection") << 7 << 3 << "x<BR>y" << 5;
    QTest::newRow("bold at an empty caret") << 12 << 0 << "xabc<B></B>y" << 11;
    QTest::newRow("italic at an empty caret") << 13 << 0 << "xabc<I></I>y" << 11;
    QTest::newRow("underline at an empty caret") << 14 << 0 << "xabc<U></U>y" << 11;
    QTest::newRow("strike at an empty caret") << 15 << 0 << "xabc<S></S>y" << 11;
    QTest::newRow("line break at an empty caret") << 7 << 0 << "xabc<BR>y" << 8;
}

void TestCellEditor::wrapsAndInserts()
{
    QFETCH(int, position);
    QFETCH(int, selected);
    QFETCH(QString, expected);
    QFETCH(int, caret);

    typeAndSelect(*ed, QStringLiteral("xabcy"), 1, selected);
    clickBar(*ed, position);
    QCOMPARE(ed->txtEdit->toPlainText(), expected);
    QVERIFY(!ed->txtEdit->textCursor().hasSelection());
    QCOMPARE(ed->txtEdit->textCursor().position(), caret);
}

void TestCellEditor::wrapsTwiceNests()
{
    typeAndSelect(*ed, QStringLiteral("ab\ncd"), 0, 5);
    clickBar(*ed, 12);
    QTest::keyClick(ed->txtEdit, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(ed->txtEdit, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    clickBar(*ed, 13);
    QCOMPARE(ed->paneText(), QStringLiteral("<I><B>ab\r\ncd</B></I>"));
}

void TestCellEditor::storeAndClose_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("empty text stores the empty string") << "" << "";
    QTest::newRow("typed line breaks reach the cell as CR LF") << "a\nb\n" << "a\r\nb\r\n";
    QTest::newRow("japanese text") << "表<B>太字</B>" << "表<B>太字</B>";
}

void TestCellEditor::storeAndClose()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);

    ed->txtEdit->setFocus();
    typeText(ed->txtEdit, typed);
    clickBar(*ed, 1);
    QCOMPARE(cell->calls, 1);
    QCOMPARE(cell->text, stored);
    QVERIFY(!cell->text.isNull() || stored.isEmpty());
    QVERIFY(!ed->isVisible());
    QCOMPARE(ed->result(), int(QDialog::Accepted));
}

void TestCellEditor::closeWithoutStoring()
{
    ed->SettingText(QStringLiteral("old"));
    QTest::keyClicks(ed->txtEdit, QStringLiteral("new"));
    clickBar(*ed, 2);
    QCOMPARE(cell->calls, 0);
    QVERIFY(!ed->isVisible());

    // Without a receiver the store button still closes the window.
    frmEdit orphan;
    orphan.show();
    clickBar(orphan, 1);
    QVERIFY(!orphan.isVisible());
}

void TestCellEditor::escapeKeepsTheText()
{
    // Esc cancels a conversion; pressed once more it must not close the window
    // and lose what was typed.
    ed->txtEdit->setFocus();
    typeText(ed->txtEdit, QStringLiteral("abc表"));
    QTest::keyClick(ed->txtEdit, Qt::Key_Escape);
    QTest::keyClick(ed->txtEdit, Qt::Key_Escape);
    QVERIFY(ed->isVisible());
    QCOMPARE(ed->paneText(), QStringLiteral("abc表"));
    QCOMPARE(cell->calls, 0);
    clickBar(*ed, 1);
    QCOMPARE(cell->text, QStringLiteral("abc表"));
}

void TestCellEditor::textSurvivesRoundTrip()
{
    const QString text = QStringLiteral("a\r\nb\t&nbsp;\u00A0c\r\n\r\n<BR>表");
    ed->SettingText(text);
    QCOMPARE(ed->txtEdit->toPlainText().count(QLatin1Char('\n')), 3);
    clickBar(*ed, 1);
    QCOMPARE(cell->text, text);

    // Shift+Enter is an ordinary line break too.
    frmEdit other;
    other.objForm = cell;
    connect(&other, &frmEdit::textStored, cell, &CellReceiver::SettingText);
    other.show();
    other.txtEdit->setFocus();
    QTest::keyClicks(other.txtEdit, QStringLiteral("a"));
    QTest::keyClick(other.txtEdit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(other.txtEdit, QStringLiteral("b"));
    clickBar(other, 1);
    QCOMPARE(cell->text, QStringLiteral("a\r\nb"));
}

void TestCellEditor::toolbarOpensEachDialog()
{
    withDialog<frmFont>(*ed, 8, [](frmFont *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("フォントの設定"));
        QCOMPARE(d->size(), QSize(297, 169));
    });
    withDialog<frmLink>(*ed, 9, [](frmLink *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("リンクの設定"));
        QCOMPARE(d->size(), QSize(429, 145));
    });
    withDialog<frmPicture>(*ed, 10, [](frmPicture *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("画像の挿入"));
        // Designed 313 x 201, too low for its rows: as tall as they need.
        QCOMPARE(d->size(), QSize(313, 201).expandedTo(d->layout()->totalMinimumSize()));
        QVERIFY(d->height() > 201);
    });
    // Cancelled each time: the text is untouched.
    QCOMPARE(ed->paneText(), QString());
}

void TestCellEditor::editsTheMainWindowsCell()
{
    auto *main = new frmMain;
    main->setFileName(newTableName());
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTest::mouseClick(part<QToolBar>(*main, "Bar")->widgetForAction(barAction(*main, ToolbarButton::CellView)), Qt::LeftButton);
    doc(*main).setCellText(1, 1, QStringLiteral("a&amp;b\r\nc"));

    bool edited = false;
    QTimer::singleShot(0, main, [&] {
        auto *editor = qobject_cast<frmEdit *>(QApplication::activeModalWidget());
        if (!editor)
            return;
        // A failed check must not leave the modal editor open.
        const auto closeEditor = qScopeGuard([editor] {
            if (editor->isVisible())
                editor->reject();
        });
        QCOMPARE(editor->objForm, main);
        QCOMPARE(editor->paneText(), QStringLiteral("a&amp;b\r\nc"));
        editor->txtEdit->setFocus();
        QTest::keyClick(editor->txtEdit, Qt::Key_A, Qt::ControlModifier);
        clickBar(*editor, 12);
        clickBar(*editor, 1);
        edited = true;
    });
    part<QAction>(*main, "mnuSelEditMax")->trigger();
    QVERIFY(edited);
    QCOMPARE(model(*main).Cells(1, 1).Text, QStringLiteral("<B>a&amp;b\r\nc</B>"));
    delete main;
}

void TestCellEditor::helpOpensOverTheEditor()
{
    QVERIFY(!HelpWindow::forOwner(ed, false));
    clickBar(*ed, 17);
    HelpWindow *help = HelpWindow::forOwner(ed, false);
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(ed->isVisible());
    delete help;
}

// --- link dialog ---------------------------------------------------------------

void TestCellEditor::linkTag_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("frameOn");
    QTest::addColumn<bool>("newWindow");
    QTest::addColumn<QString>("frameName");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("expected");

    QTest::newRow("selection becomes the link text")
        << "x.html" << false << false << "" << 3 << R"(x<A href="x.html">abc</A>y)";
    QTest::newRow("new window sets target _blank")
        << "x.html" << true << true << "" << 3 << R"(x<A href="x.html" target="_blank">abc</A>y)";
    QTest::newRow("typed frame name") << "x.html" << true << false << "main" << 3
                                      << R"(x<A href="x.html" target="main">abc</A>y)";
    QTest::newRow("frame name ignored when unchecked")
        << "x.html" << false << true << "" << 3 << R"(x<A href="x.html">abc</A>y)";
    QTest::newRow("checked frame with empty name") << "x.html" << true << false << "" << 3
                                                   << R"(x<A href="x.html" target="">abc</A>y)";
    QTest::newRow("empty address, empty caret") << "" << false << false << "" << 0
                                                << R"(xabc<A href=""></A>y)";
    QTest::newRow("values go in as typed") << "a b&c\"" << false << false << "" << 3
                                           << "x<A href=\"a b&c\"\">abc</A>y";
}

void TestCellEditor::linkTag()
{
    QFETCH(QString, address);
    QFETCH(bool, frameOn);
    QFETCH(bool, newWindow);
    QFETCH(QString, frameName);
    QFETCH(int, selected);
    QFETCH(QString, expected);

    typeAndSelect(*ed, QStringLiteral("xabcy"), 1, selected);
    withDialog<frmLink>(*ed, 9, [&](frmLink *d) {
        QVERIFY(!d->Frame->isEnabled());
        QVERIFY(!d->txtFolder->isEnabled());
        typeInto(d->txtAdress, address);
        click(d->chkFrame);
        QVERIFY(d->txtFrame->isEnabled());
        if (newWindow)
            click(d->cmdFrame);
        if (!frameName.isEmpty())
            typeInto(d->txtFrame, frameName);
        if (!frameOn)
            click(d->chkFrame);
        QCOMPARE(d->txtFrame->isEnabled(), frameOn);
        click(d->cmdOK);
    });
    QCOMPARE(ed->paneText(), expected);
    QVERIFY(!ed->txtEdit->textCursor().hasSelection());
}

void TestCellEditor::linkCancelLeavesText()
{
    typeAndSelect(*ed, QStringLiteral("abc"), 0, 3);
    withDialog<frmLink>(*ed, 9, [&](frmLink *d) {
        typeInto(d->txtAdress, QStringLiteral("x.html"));
        click(d->cmdCancel);
    });
    QCOMPARE(ed->paneText(), QStringLiteral("abc"));
}

void TestCellEditor::linkChooser_data()
{
    QTest::addColumn<bool>("folderOn");
    QTest::addColumn<QString>("workFile");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("address");

    QTest::newRow("relative to the work file") << true << R"(C:\site\pages\index.html)"
                                               << R"(C:\site\img\a.gif)" << "../img/a.gif";
    QTest::newRow("linux work file") << true << "/home/u/site/index.html"
                                     << "/home/u/site/img/a.gif" << "img/a.gif";
    QTest::newRow("work file unchecked: full path") << false << R"(C:\site\pages\index.html)"
                                                    << R"(C:\site\img\a.gif)"
                                                    << R"(C:\site\img\a.gif)";
    QTest::newRow("checked but empty: full path") << true << "" << R"(C:\site\img\a.gif)"
                                                  << R"(C:\site\img\a.gif)";
}

void TestCellEditor::linkChooser()
{
    QFETCH(bool, folderOn);
    QFETCH(QString, workFile);
    QFETCH(QString, picked);
    QFETCH(QString, address);

    withDialog<frmLink>(*ed, 9, [&](frmLink *d) {
        click(d->chkFolder);
        // The work file comes from its own chooser.
        reply = [&](const CommonDialog::Request &) { return chosen(workFile); };
        click(d->cmdFolder);
        QCOMPARE(d->txtFolder->text(), workFile);
        if (!folderOn)
            click(d->chkFolder);
        reply = [&](const CommonDialog::Request &) { return chosen(picked); };
        click(d->cmdAddress);
        QCOMPARE(d->txtAdress->text(), address);
        click(d->cmdOK);
    });
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).title, QStringLiteral("作業ファイルの選択"));
    QCOMPARE(requests.at(1).title, QStringLiteral("リンク先の選択"));
    QCOMPARE(requests.at(1).kind, CommonDialog::Open);
    QCOMPARE(requests.at(1).filter, QStringLiteral("ファイル(*.*)|*.*"));
    QCOMPARE(ed->paneText(), QStringLiteral("<A href=\"%1\"></A>").arg(address));
}

void TestCellEditor::linkChooserCancelled()
{
    withDialog<frmLink>(*ed, 9, [&](frmLink *d) {
        typeInto(d->txtAdress, QStringLiteral("kept.html"));
        click(d->chkFolder);
        typeInto(d->txtFolder, QStringLiteral("kept"));
        click(d->cmdFolder);
        click(d->cmdAddress);
        QCOMPARE(d->txtAdress->text(), QStringLiteral("kept.html"));
        QCOMPARE(d->txtFolder->text(), QStringLiteral("kept"));
        click(d->cmdOK);
    });
    QCOMPARE(ed->paneText(), QStringLiteral("<A href=\"kept.html\"></A>"));
}

// --- picture dialog --------------------------------------------------------------

void TestCellEditor::pictureTag_data()
{
    QTest::addColumn<QString>("alt");
    QTest::addColumn<QString>("border");   // null: leave the default "0"
    QTest::addColumn<QString>("width");    // null: row left unchecked
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("expected");

    const QString none;
    QTest::newRow("defaults") << "" << none << none << none << R"(x<IMG SRC="a.gif" ALT="">y)";
    QTest::newRow("border 2") << "" << "2" << none << none
                              << R"(x<IMG SRC="a.gif" ALT="" BORDER="2">y)";
    QTest::newRow("border 00 is no border") << "" << "00" << none << none
                                            << R"(x<IMG SRC="a.gif" ALT="">y)";
    QTest::newRow("empty border is no border") << "" << "" << none << none
                                               << R"(x<IMG SRC="a.gif" ALT="">y)";
    QTest::newRow("border kept as typed") << "" << "03" << none << none
                                          << R"(x<IMG SRC="a.gif" ALT="" BORDER="03">y)";
    QTest::newRow("width only; height value ignored") << "" << none << "120" << none
                                                      << R"(x<IMG SRC="a.gif" ALT="" WIDTH="120">y)";
    QTest::newRow("both rows") << "" << none << "120" << "80"
                               << R"(x<IMG SRC="a.gif" ALT="" WIDTH="120" HEIGHT="80">y)";
    QTest::newRow("all attributes in order") << "写真" << "1" << "120" << "80"
        << R"(x<IMG SRC="a.gif" ALT="写真" BORDER="1" WIDTH="120" HEIGHT="80">y)";
}

void TestCellEditor::pictureTag()
{
    QFETCH(QString, alt);
    QFETCH(QString, border);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, expected);

    // The selection is replaced, not wrapped.
    typeAndSelect(*ed, QStringLiteral("xabcy"), 1, 3);
    withDialog<frmPicture>(*ed, 10, [&](frmPicture *d) {
        QCOMPARE(d->txtBorder->text(), QStringLiteral("0"));
        QCOMPARE(d->txtWidth->text(), QStringLiteral("100"));
        QCOMPARE(d->txtHeight->text(), QStringLiteral("100"));
        typeInto(d->txtAdress, QStringLiteral("a.gif"));
        typeInto(d->txtAlt, alt);
        if (!border.isNull())
            typeInto(d->txtBorder, border);
        typeInto(d->txtHeight, QStringLiteral("77")); // typed while disabled: ignored
        if (!width.isNull()) {
            click(d->chkSize[1]);
            typeInto(d->txtWidth, width);
        }
        if (!height.isNull()) {
            click(d->chkSize[0]);
            typeInto(d->txtHeight, height);
        }
        click(d->cmdOK);
    });
    QCOMPARE(ed->paneText(), expected);
}

void TestCellEditor::pictureSizeRowsEnableSeparately()
{
    withDialog<frmPicture>(*ed, 10, [&](frmPicture *d) {
        QVERIFY(!d->txtHeight->isEnabled() && !d->UpDown2->isEnabled());
        QVERIFY(!d->txtWidth->isEnabled() && !d->UpDown3->isEnabled());
        QVERIFY(d->txtBorder->isEnabled() && d->UpDown1->isEnabled());
        click(d->chkSize[0]);
        QVERIFY(d->txtHeight->isEnabled() && d->UpDown2->isEnabled());
        QVERIFY(!d->txtWidth->isEnabled() && !d->UpDown3->isEnabled());
        click(d->chkSize[1]);
        click(d->chkSize[0]);
        QVERIFY(!d->txtHeight->isEnabled() && !d->UpDown2->isEnabled());
        QVERIFY(d->txtWidth->isEnabled() && d->UpDown3->isEnabled());

        // The arrows stay in their ranges.
        QCOMPARE(d->UpDown1->maximum(), 10);
        QCOMPARE(d->UpDown3->maximum(), 200);
        typeInto(d->txtBorder, QStringLiteral("10"));
        d->UpDown1->stepUp();
        QCOMPARE(d->txtBorder->text(), QStringLiteral("10"));
        d->UpDown1->stepDown();
        QCOMPARE(d->txtBorder->text(), QStringLiteral("9"));
        click(d->cmdCancel);
    });
}

void TestCellEditor::pictureBoxesTakeDigitsOnlyAndNoMenu()
{
    withDialog<frmPicture>(*ed, 10, [&](frmPicture *d) {
        typeInto(d->txtBorder, QStringLiteral("1a-2"));
        QCOMPARE(d->txtBorder->text(), QStringLiteral("12"));
        // The input method's full-width digits count; its kana do not.
        typeInto(d->txtBorder, QStringLiteral("１あ0"));
        QCOMPARE(d->txtBorder->text(), QStringLiteral("10"));
        // No right-click menu on the three number boxes.
        for (QLineEdit *box : {d->txtBorder, d->txtWidth, d->txtHeight})
            QVERIFY2(!contextMenuOpens(box), qPrintable(box->objectName()));
        // Pasted text is not filtered; OK then counts it as no border.
        d->txtBorder->setText(QStringLiteral("x"));
        typeInto(d->txtAdress, QStringLiteral("a.gif"));
        click(d->cmdOK);
        // Unloading gives the boxes their menu back.
        QVERIFY(contextMenuOpens(d->txtBorder));
    });
    QCOMPARE(ed->paneText(), QStringLiteral(R"(<IMG SRC="a.gif" ALT="">)"));
}

void TestCellEditor::pictureChooserRelative()
{
    withDialog<frmPicture>(*ed, 10, [&](frmPicture *d) {
        click(d->chkFolder);
        typeInto(d->txtFolder, QStringLiteral(R"(C:\site\pages\index.html)"));
        reply = [](const CommonDialog::Request &) { return chosen(QStringLiteral(R"(C:\site\top.gif)")); };
        click(d->cmdAddress);
        QCOMPARE(d->txtAdress->text(), QStringLiteral("../top.gif"));
        click(d->cmdOK);
    });
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).title, QStringLiteral("画像ファイルの選択"));
    QCOMPARE(ed->paneText(), QStringLiteral(R"(<IMG SRC="../top.gif" ALT="">)"));
}

// --- font dialog --------------------------------------------------------------------

void TestCellEditor::fontTag_data()
{
    QTest::addColumn<bool>("head");
    QTest::addColumn<QString>("face");   // null: face unchecked
    QTest::addColumn<int>("sizeDowns");  // Down presses in the size list; -1: field cleared
    QTest::addColumn<bool>("sizeOn");
    QTest::addColumn<bool>("colorOn");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("expected5"); // in an HTML5 table: CSS on a span, never FACE=""

    const QString none;
    QTest::newRow("nothing checked") << false << none << 0 << false << false << 3
                                     << "x<FONT>abc</FONT>y"
        << QStringLiteral(R"(xabcy)");
    QTest::newRow("face and size") << false << "ＭＳ Ｐゴシック" << 2 << true << false << 3
                                   << R"(x<FONT FACE="ＭＳ Ｐゴシック" SIZE="3">abc</FONT>y)"
        << QStringLiteral(R"(x<span style="font-family: ＭＳ Ｐゴシック; font-size: medium">abc</span>y)");
    QTest::newRow("colour without chooser is black") << false << none << 0 << false << true << 3
                                                     << R"(x<FONT COLOR="#000000">abc</FONT>y)"
        << QStringLiteral(R"(x<span style="color: #000000">abc</span>y)");
    QTest::newRow("face, size and colour in order") << false << "Serif" << 6 << true << true << 3
        << R"(x<FONT FACE="Serif" SIZE="7" COLOR="#000000">abc</FONT>y)"
        << QStringLiteral(R"(x<span style="font-family: Serif; font-size: xxx-large; color: #000000">abc</span>y)");
    QTest::newRow("heading 4 ignores the other switches") << true << "Serif" << 3 << true << true
                                                          << 3 << "x<H4>abc</H4>y"
        << QStringLiteral(R"(x<H4>abc</H4>y)");
    QTest::newRow("heading level 7") << true << none << 6 << false << false << 3 << "x<H7>abc</H7>y"
        << QStringLiteral(R"(x<H7>abc</H7>y)");
    QTest::newRow("empty caret: tags side by side") << false << none << 0 << true << false << 0
                                                    << R"(xabc<FONT SIZE="1"></FONT>y)"
        << QStringLiteral(R"(xabc<span style="font-size: x-small"></span>y)");
    QTest::newRow("size 0 with no entry selected") << false << none << -1 << true << false << 0
                                                   << R"(xabc<FONT SIZE="0"></FONT>y)"
        << QStringLiteral(R"(xabcy)");
    QTest::newRow("heading 0 with no entry selected") << true << none << -1 << false << false << 3
                                                      << "x<H0>abc</H0>y"
        << QStringLiteral(R"(x<H0>abc</H0>y)");
    QTest::newRow("face checked with empty field") << false << "" << 0 << false << false << 3
                                                   << R"(x<FONT FACE="">abc</FONT>y)"
        << QStringLiteral(R"(xabcy)");
}

void TestCellEditor::fontTag()
{
    QFETCH(bool, head);
    QFETCH(QString, face);
    QFETCH(int, sizeDowns);
    QFETCH(bool, sizeOn);
    QFETCH(bool, colorOn);
    QFETCH(int, selected);
    QFETCH(QString, expected);
    QFETCH(QString, expected5);

    for (MarkupProfile profile : {MarkupProfile::Html4, MarkupProfile::Html5}) {
    ed->profile = profile;
    ed->SettingText(QString());
    typeAndSelect(*ed, QStringLiteral("xabcy"), 1, selected);
    withDialog<frmFont>(*ed, 8, [&](frmFont *d) {
        if (!face.isNull()) {
            click(d->chkFont);
            QLineEdit *field = d->cmbFont->lineEdit();
            field->setFocus();
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Backspace);
            typeText(field, face);
        }
        if (sizeOn)
            click(d->chkSize);
        if (colorOn)
            click(d->chkColor);
        if (head)
            click(d->chkHead);
        if (sizeDowns != 0) {
            if (!sizeOn && !head)
                click(d->chkSize);
            d->cmbSize->setFocus();
            if (sizeDowns < 0) {
                d->cmbSize->lineEdit()->selectAll();
                QTest::keyClick(d->cmbSize->lineEdit(), Qt::Key_Backspace);
            }
            for (int i = 0; i < sizeDowns; ++i)
                QTest::keyClick(d->cmbSize, Qt::Key_Down);
            if (!sizeOn && !head)
                click(d->chkSize);
        }
        click(d->cmdOK);
    });
    QCOMPARE(ed->paneText(), profile == MarkupProfile::Html5 ? expected5 : expected);
    }
}

void TestCellEditor::fontColourChooser()
{
    typeAndSelect(*ed, QStringLiteral("abc"), 0, 3);
    withDialog<frmFont>(*ed, 8, [&](frmFont *d) {
        click(d->chkColor);
        reply = [](const CommonDialog::Request &r) {
            CommonDialog::Reply rep;
            rep.accepted = true;
            rep.color = r.color == 0x0000FF ? 0x00FF00 : 0x0000FF; // red, then green
            return rep;
        };
        click(d->cmdBackColorSet);
        QCOMPARE(d->picBackColor->color(), 0x0000FF);
        // Cancelling leaves the swatch as it was.
        reply = [](const CommonDialog::Request &) { return CommonDialog::Reply(); };
        click(d->cmdBackColorSet);
        QCOMPARE(d->picBackColor->color(), 0x0000FF);
        click(d->cmdOK);
    });
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).kind, CommonDialog::Color);
    QCOMPARE(requests.at(0).color, 0);          // starts from the swatch, black
    QCOMPARE(requests.at(1).color, 0x0000FF);
    QCOMPARE(ed->paneText(), QStringLiteral(R"(<FONT COLOR="#FF0000">abc</FONT>)"));
}

void TestCellEditor::fontHeadingSwitch()
{
    withDialog<frmFont>(*ed, 8, [&](frmFont *d) {
        click(d->chkFont);
        click(d->chkColor);
        click(d->chkHead);
        QVERIFY(d->cmbSize->isEnabled() && d->Label2->isEnabled());
        for (QWidget *w : std::initializer_list<QWidget *>{d->chkFont, d->cmbFont, d->Label1,
                                                           d->chkColor, d->picBackColor,
                                                           d->cmdBackColorSet, d->chkSize})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        // Off again: each part follows its own switch.
        click(d->chkHead);
        QVERIFY(d->chkFont->isEnabled() && d->chkSize->isEnabled() && d->chkColor->isEnabled());
        QVERIFY(d->cmbFont->isEnabled());
        QVERIFY(d->cmdBackColorSet->isEnabled());
        QVERIFY(!d->cmbSize->isEnabled() && !d->Label2->isEnabled());
        click(d->cmdCancel);
    });
}

void TestCellEditor::fontListsAtLoad()
{
    const QString twice = addSecondFoundry(); // empty: no font to do it with
    withDialog<frmFont>(*ed, 8, [&](frmFont *d) {
        for (QWidget *w : std::initializer_list<QWidget *>{d->cmbFont, d->cmbSize,
                                                           d->cmdBackColorSet, d->picBackColor})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(d->chkFont->isEnabled() && d->chkSize->isEnabled() && d->chkColor->isEnabled());
        QCOMPARE(d->cmbSize->count(), 7);
        QCOMPARE(d->cmbSize->itemText(6), QStringLiteral("7"));
        QCOMPARE(d->cmbSize->currentText(), QStringLiteral("1"));
        QCOMPARE(d->picBackColor->color(), 0);

        // Names a browser can match: no foundry suffix, each family once, sorted.
        QStringList faces;
        for (int i = 0; i < d->cmbFont->count(); ++i)
            faces << d->cmbFont->itemText(i);
        if (!twice.isEmpty()) {
            QVERIFY(QFontDatabase::families().contains(twice + QStringLiteral(" [QvTs]")));
            QCOMPARE(faces.count(twice), 1);
        }
        const QString all = faces.join(QLatin1Char('|'));
        QVERIFY2(!all.contains(QLatin1String(" [")), qPrintable(all));
        QCOMPARE(QSet<QString>(faces.begin(), faces.end()).size(), faces.size());
        for (int i = 1; i < faces.size(); ++i)
            QVERIFY(QString::compare(faces.at(i - 1), faces.at(i), Qt::CaseInsensitive) <= 0);
        const int preferred = d->cmbFont->findText(frmFont::preferredFace(), Qt::MatchExactly);
        QCOMPARE(d->cmbFont->currentIndex(), preferred);
        QCOMPARE(d->cmbFont->currentText(),
                 preferred < 0 ? QString() : frmFont::preferredFace());
        click(d->cmdCancel);
    });
}

QTEST_MAIN(TestCellEditor)
#include "tst_cell_editor.moc"
