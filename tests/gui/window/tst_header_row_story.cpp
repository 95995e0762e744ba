// A table pasted from a spreadsheet made readable: its first row made the
// header in one command, then the accessibility check finds the missing
// caption and its Fix adds one; every step undoes on its own.
#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>

#include "gui/window/check_dialog.h"
#include "core/markup/table_markup.h"
#include "support/window_parts.h"

using namespace parts;

class TstHeaderRowStory : public QObject
{
    Q_OBJECT

private slots:
    void pastedTableMadeReadable();
};

void TstHeaderRowStory::pastedTableMadeReadable()
{
    auto w = shownWindow();
    clickBar(*w, ToolbarButton::CellView);
    grid(*w)->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("Item\tPrice\nTea\t3\nCake\t5\n"));
    QTest::keyClick(grid(*w), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model(*w).Cells(2, 3).Text, QStringLiteral("5"));

    // Ctrl+Shift+H on a cell of the first row: both cells become headers, one step.
    QTest::keyClick(grid(*w), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(-1));
    QCOMPARE(model(*w).Cells(2, 1).Header, qint16(-1));
    QCOMPARE(model(*w).Cells(1, 2).Header, qint16(0));
    QVERIFY(barAction(*w, ToolbarButton::Header)->isChecked());
    QTest::keyClick(grid(*w), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(model(*w).Cells(2, 1).Header, qint16(0));
    QTest::keyClick(grid(*w), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(model(*w).Cells(2, 1).Header, qint16(-1));

    // File > Check Accessibility: the caption is all that is missing; Fix asks for it.
    QString listed, after;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<CheckDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto *list = part<QListWidget>(*dialog, "lstFindings");
        listed = list->count() == 1 ? list->item(0)->text() : QString::number(list->count());
        QTimer::singleShot(0, [] {
            auto *ask = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(ask);
            ask->setTextValue(QStringLiteral("Prices"));
            ask->accept();
        });
        part<QPushButton>(*dialog, "cmdFix")->click();
        after = part<QLabel>(*dialog, "lblSummary")->text();
        dialog->reject();
    });
    item(*w, "mnuCheck")->trigger();
    QVERIFY2(listed.startsWith(QStringLiteral("表: 表題がありません")), qPrintable(listed));
    QCOMPARE(after, QStringLiteral("見つかったことはありません。"));
    QCOMPARE(model(*w).TableTitle, QStringLiteral("Prices"));
    QCOMPARE(box(*w, "txtTitle")->text(), QStringLiteral("Prices"));

    // HTML5 now names the table and heads both columns.
    TableModel out = model(*w);
    out.OutputProfile = MarkupProfile::Html5;
    out.OutputStyle = PresentationStyle::None;
    QVERIFY(buildTableMarkup(out).contains(
            QLatin1String("<caption>Prices</caption>\r\n<thead>\r\n<tr><th scope=\"col\">Item</th><th scope=\"col\">Price</th></tr>")));

    QCOMPARE(item(*w, "mnuUndo")->text(), QStringLiteral("元に戻す(&U) - 表題を付けます"));
    item(*w, "mnuUndo")->trigger();
    QCOMPARE(model(*w).TableTitle, QString());
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(-1));
}

QTEST_MAIN(TstHeaderRowStory)
#include "tst_header_row_story.moc"
