// A table built by everyone: with keys only, and readable in a dark theme.
// The screen reader's walk runs over AT-SPI (atspi_walk.py).
#include <QtTest>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTimer>

#include "core/io/table_document_io.h"
#include "gui/cell_editor/frm_edit.h"
#include "gui/widgets/common_dialog.h"
#include "support/window_parts.h"

using namespace parts;

namespace {

// Each key to whatever has the focus then, as a keyboard sends it.
void keys(QKeyCombination key)
{
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
}
void type(const QString &text)
{
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

} // namespace

class TestEveryone : public QObject
{
    Q_OBJECT

private slots:
    void keysAloneBuildAndSaveATable();
    void cellTextReadsInADarkTheme_data();
    void cellTextReadsInADarkTheme();
};

void TestEveryone::keysAloneBuildAndSaveATable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.qvn"));
    CommonDialog::setTestHook([&](const CommonDialog::Request &) { return CommonDialog::Reply{true, path, 0, 0}; });
    auto w = shownWindow();

    keys(Qt::CTRL | Qt::Key_2);
    QCOMPARE(QApplication::focusWidget(), grid(*w));
    for (const char *text : {"one", "two", "three"}) {
        type(QLatin1String(text));
        keys(QKeyCombination(Qt::Key_Tab));
    }
    // Out of the grid to the cell pane and back, the same keys both ways.
    keys(Qt::CTRL | Qt::Key_Tab);
    QVERIFY(part<QWidget>(*w, "picBar")->isAncestorOf(QApplication::focusWidget()));
    keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), grid(*w));
    keys(QKeyCombination(Qt::Key_F6));
    keys(QKeyCombination(Qt::Key_F6));
    QCOMPARE(QApplication::focusWidget(), grid(*w));

    // The fourth cell in the editor, stored with Ctrl+Enter.
    bool stored = false;
    QTimer::singleShot(0, [&stored] {
        auto *ed = qobject_cast<frmEdit *>(QApplication::activeModalWidget());
        if (!ed)
            return;
        ed->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), ed);
        type(QStringLiteral("four"));
        keys(Qt::CTRL | Qt::Key_B);
        keys(Qt::CTRL | Qt::Key_Return);
        stored = !ed->isVisible();
        ed->reject(); // never left hanging
    });
    keys(Qt::SHIFT | Qt::Key_F2);
    QVERIFY(stored);
    w->activateWindow(); // the window manager's part
    QTRY_COMPARE(QApplication::activeWindow(), w.get());

    keys(Qt::CTRL | Qt::Key_S);
    TableModel saved;
    QVERIFY(openTableDocument(path, saved).ok());
    QCOMPARE((QStringList{saved.Cells(1, 1).Text, saved.Cells(2, 1).Text, saved.Cells(1, 2).Text, saved.Cells(2, 2).Text}),
             (QStringList{"one", "two", "three", "four<B></B>"}));

    // Merged, the covered cell reads as empty to a screen reader and its owner tells its reach.
    doc(*w).setCellField(1, 1, CellField::ColSpanOn, 1);
    doc(*w).setCellField(1, 1, CellField::ColSpan, 2);
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(grid(*w))->tableInterface();
    QCOMPARE(table->cellAt(0, 1)->text(QAccessible::Name), QString());
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Description), QStringLiteral("2 列 × 1 行に結合"));

    CommonDialog::setTestHook(nullptr);
}

void TestEveryone::cellTextReadsInADarkTheme_data()
{
    QTest::addColumn<int>("colour"); // -1: none of its own
    QTest::addColumn<bool>("frame");  // the current cell's frame rather than the text
    QTest::newRow("no colour of its own") << -1 << false;
    QTest::newRow("a dark colour") << 0x401010 << false;
    QTest::newRow("a light colour") << 0xC0F0FF << false;
    QTest::newRow("focus frame, no colour of its own") << -1 << true;
}

void TestEveryone::cellTextReadsInADarkTheme()
{
    QFETCH(int, colour);
    QFETCH(bool, frame);
    const QPalette saved = QApplication::palette();
    QPalette dark(Qt::white, QColor(0x35, 0x35, 0x35), Qt::gray, Qt::black, Qt::gray, Qt::white, Qt::white,
                  QColor(0x2A, 0x2A, 0x2A), QColor(0x35, 0x35, 0x35)); // light text on a dark base
    dark.setColor(QPalette::Highlight, QColor(0x12, 0x60, 0x8A)); // 2 : 1 on that base
    QApplication::setPalette(dark);
    auto w = shownWindow();
    keys(Qt::CTRL | Qt::Key_2);
    doc(*w).setCellText(1, 1, QStringLiteral("WWWWWWWW")); // wide strokes of full colour
    doc(*w).setCellField(1, 1, CellField::BackColorNothing, colour < 0);
    doc(*w).setCellField(1, 1, CellField::BackColor, qMax(colour, 0));
    if (!frame)
        keys(QKeyCombination(Qt::Key_Down)); // the frame of the current cell elsewhere
    GridWidget *g = grid(*w);
    const QRect whole = g->cellRect(1, 1);
    const QRect cell = frame ? QRect(whole.left() + 1, whole.center().y(), 1, 1) : whole.adjusted(3, 3, -3, -3);
    const QImage image = g->viewport()->grab().toImage();
    const QColor fill = image.pixelColor(whole.adjusted(3, 3, -3, -3).bottomRight());
    auto luminance = [](QColor c) { // as the web's accessibility guidelines define it
        auto ch = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
    };
    qreal best = 1;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            best = std::max(best, (std::max(luminance(image.pixelColor(x, y)), luminance(fill)) + 0.05)
                                          / (std::min(luminance(image.pixelColor(x, y)), luminance(fill)) + 0.05));
    QApplication::setPalette(saved);
    if (colour < 0)
        QCOMPARE(fill, dark.color(QPalette::Base));
    QVERIFY2(best >= (frame ? 3.0 : 4.5), qPrintable(QString::number(best)));
}

QTEST_MAIN(TestEveryone)
#include "tst_everyone.moc"
