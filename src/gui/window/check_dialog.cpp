#include "gui/window/check_dialog.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "document/table_document.h"

CheckDialog::CheckDialog(TableDocument &doc, QWidget *parent)
    : QDialog(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("dlgCheck"));
    setWindowTitle(tr("アクセシビリティの確認"));
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lstFindings = new QListWidget(this);
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setAccessibleName(tr("見つかったこと"));
    lblSummary->setBuddy(lstFindings);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("閉じる"));
    cmdFix = buttons->addButton(tr("直す(&F)"), QDialogButtonBox::ActionRole);
    cmdFix->setObjectName(QStringLiteral("cmdFix"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmdFix, &QPushButton::clicked, this, &CheckDialog::fixSelected);
    connect(lstFindings, &QListWidget::currentRowChanged, this, [this](int row) {
        const bool fixable = row >= 0 && row < m_report.findings.size()
                && m_report.findings.at(row).fix != CheckFix::None;
        cmdFix->setEnabled(fixable);
        cmdFix->setToolTip(fixable ? fixText(m_report.findings.at(row)) : QString());
    });
    connect(lstFindings, &QListWidget::itemActivated, this, &CheckDialog::fixSelected);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(lstFindings);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 20);
    refresh();
}

void CheckDialog::refresh()
{
    const int was = lstFindings->currentRow();
    m_report = checkTable(m_doc.model());
    lstFindings->clear();
    for (const CheckFinding &f : std::as_const(m_report.findings)) {
        auto *item = new QListWidgetItem(findingText(f), lstFindings);
        item->setToolTip(fixText(f));
    }
    const qint64 count = m_report.findings.size() + m_report.leftOut;
    lblSummary->setText(count == 0 ? tr("見つかったことはありません。")
                        : m_report.leftOut > 0 ? tr("%1 件見つかりました（最初の %2 件を示します）。").arg(count).arg(m_report.findings.size())
                                               : tr("%1 件見つかりました。").arg(count));
    if (lstFindings->count() > 0)
        lstFindings->setCurrentRow(std::clamp(was, 0, lstFindings->count() - 1));
    else
        cmdFix->setEnabled(false);
}

void CheckDialog::fixSelected()
{
    const int row = lstFindings->currentRow();
    if (row < 0 || row >= m_report.findings.size() || m_report.findings.at(row).fix == CheckFix::None)
        return;
    const CheckFinding f = m_report.findings.at(row);
    QString caption;
    if (f.fix == CheckFix::AddCaption) {
        bool ok = false;
        caption = QInputDialog::getText(this, tr("表題を付ける"), tr("表題(&C)："), QLineEdit::Normal, QString(), &ok);
        if (!ok || caption.trimmed().isEmpty())
            return;
    }
    bool changed = false;
    m_doc.editModel(fixText(f), [&](TableModel &m) { changed = applyFix(m, f, caption); });
    if (changed)
        emit fixed();
    refresh();
}
