#include "gui/window/html_table_chooser.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

HtmlTableChooser::HtmlTableChooser(const QVector<HtmlTable> &tables, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgHtmlTable"));
    setWindowTitle(QStringLiteral("Quorvan"));
    auto *label = new QLabel(tr("開く表を選んでください（データの表と見られるものを選んであります）。"), this);
    label->setWordWrap(true);
    lstTables = new QTreeWidget(this);
    lstTables->setObjectName(QStringLiteral("lstTables"));
    lstTables->setHeaderLabels({tr("表"), tr("大きさ"), tr("見出し・id"), tr("最初のセル")});
    lstTables->setAccessibleName(tr("ページの表"));
    lstTables->setRootIsDecorated(true);
    lstTables->setUniformRowHeights(true);
    label->setBuddy(lstTables);

    // Nested tables under the one they sit in; the list is in document order,
    // so a table's parent always has its item before it.
    std::vector<QTreeWidgetItem *> items(size_t(tables.size()), nullptr);
    for (int i = 0; i < tables.size(); ++i) {
        const HtmlTable &t = tables.at(i);
        const QStringList texts{
                tr("表 %1").arg(i + 1),
                tr("%1 × %2").arg(QCoreApplication::translate("HtmlImport", "%n 行", nullptr, t.rows),
                                  QCoreApplication::translate("HtmlImport", "%n 列", nullptr, t.cols)),
                htmlTableTitle(t), htmlTableFirstCells(t)};
        QTreeWidgetItem *parentItem = t.parent >= 0 && t.parent < i ? items[size_t(t.parent)] : nullptr;
        auto *item = parentItem ? new QTreeWidgetItem(parentItem, texts) : new QTreeWidgetItem(lstTables, texts);
        item->setData(0, Qt::UserRole, i);
        items[size_t(i)] = item;
    }
    lstTables->expandAll();
    for (int c = 0; c < 3; ++c)
        lstTables->resizeColumnToContents(c);
    if (!items.empty())
        lstTables->setCurrentItem(items[size_t(preferredHtmlTable(tables))]);
    connect(lstTables, &QTreeWidget::itemActivated, this, &QDialog::accept);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("開く"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(lstTables);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 20);
}

int HtmlTableChooser::chosen() const
{
    const QTreeWidgetItem *item = lstTables->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

int HtmlTableChooser::choose(QWidget *parent, const QVector<HtmlTable> &tables)
{
    if (tables.size() <= 1)
        return 0;
    // A window that is being opened is not on screen yet; the chooser stands alone then.
    HtmlTableChooser dialog(tables, parent && parent->isVisible() ? parent : nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return dialog.chosen();
}
