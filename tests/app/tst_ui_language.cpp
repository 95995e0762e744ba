// Qt's own texts (standard dialogs, the overwrite question, the text boxes'
// right-click menus) speak Japanese once start-up has loaded Qt's catalogue.
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

#include "app/ui_language.h"

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

} // namespace

class TestUiLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qtTextsAreJapanese_data();
    void qtTextsAreJapanese();
};

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
