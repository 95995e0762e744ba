#include <QtTest>

#include <QInputMethodEvent>
#include <QLineEdit>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/widgets/number_box.h"

using namespace parts;

namespace {

// What a Japanese input method sends: the conversion shown as preedit, then committed.
void commit(QWidget *box, const QString &text)
{
    QInputMethodEvent composing(text, {});
    QApplication::sendEvent(box, &composing);
    QInputMethodEvent done;
    done.setCommitString(text);
    QApplication::sendEvent(box, &done);
}

} // namespace

class tst_NumberBox : public QObject
{
    Q_OBJECT

private slots:
    void typedAndCommittedText_data();
    void typedAndCommittedText();
    void mainWindowBoxesTakeInputMethodDigits();
};

void tst_NumberBox::typedAndCommittedText_data()
{
    QTest::addColumn<int>("maxDigits");
    QTest::addColumn<QString>("keys");     // typed key by key
    QTest::addColumn<QString>("committed"); // then committed by the input method
    QTest::addColumn<QString>("expected");

    QTest::newRow("full-width digits become ASCII") << 0 << "" << "１２０" << "120";
    QTest::newRow("kana and letters are refused") << 0 << "" << "ひゃく" << "";
    QTest::newRow("mixed commit keeps its digits") << 0 << "" << "１あ2ｂ" << "12";
    QTest::newRow("commit after typed digits") << 0 << "4" << "５" << "45";
    QTest::newRow("commit beyond the limit is cut") << 2 << "" << "１２３" << "12";
    QTest::newRow("full box refuses a commit") << 2 << "12" << "３" << "12";
    QTest::newRow("typed letters refused") << 0 << "1a-2" << "" << "12";
    QTest::newRow("full-width digit key") << 0 << "１" << "" << "1";
}

void tst_NumberBox::typedAndCommittedText()
{
    QFETCH(int, maxDigits);
    QFETCH(QString, keys);
    QFETCH(QString, committed);
    QFETCH(QString, expected);

    QLineEdit box;
    SetNumberOnly(&box, maxDigits);
    box.show();
    box.setFocus();
    for (const QChar ch : keys)
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    if (!committed.isEmpty())
        commit(&box, committed);
    QCOMPARE(box.text(), expected);
}

void tst_NumberBox::mainWindowBoxesTakeInputMethodDigits()
{
    frmMain w;
    w.show();
    const std::pair<QLineEdit *, int> boxes[] = {{part<QLineEdit>(w, "txtBorder"), 2}, {part<QLineEdit>(w, "txtSWidth"), 4}};
    for (const auto &[box, maxDigits] : boxes) {
        box->setFocus();
        box->end(false);
        const QString before = box->text();
        commit(box, QStringLiteral("あ"));
        QCOMPARE(box->text(), before);
        commit(box, QStringLiteral("１２"));
        QCOMPARE(box->text(), (before + QStringLiteral("12")).left(maxDigits));
    }
}

QTEST_MAIN(tst_NumberBox)
#include "tst_number_box.moc"
