#include "gui/grid/sort_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

using tabletools::SortKind;

namespace {

// The kinds in the order the box lists them.
const SortKind Kinds[] = {SortKind::Text, SortKind::Number, SortKind::Natural, SortKind::Date};

} // namespace

SortDialog::SortDialog(const QStringList &columns, std::function<SortKind(int)> guess, QWidget *parent)
    : QDialog(parent), m_guess(std::move(guess))
{
    setObjectName(QStringLiteral("frmSort"));
    setWindowTitle(tr("並べ替え"));

    chkSortHeader = new QCheckBox(tr("先頭行は見出し(&F)"), this);
    chkSortHeader->setObjectName(QStringLiteral("chkSortHeader"));
    chkSortHeader->setToolTip(tr("見出しの行、フッター行と、チェックするとその下の最初の行は、並べ替えても動きません。"));

    const QString labels[KeyCount] = {tr("第 1 キー(&1)："), tr("第 2 キー(&2)："), tr("第 3 キー(&3)：")};
    auto *grid = new QGridLayout;
    for (int i = 0; i < KeyCount; ++i) {
        KeyRow &row = m_rows[i];
        auto combo = [this, i](const char *name, const QString &spoken) {
            auto *box = new QComboBox(this);
            box->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i + 1));
            box->setAccessibleName(spoken.arg(i + 1));
            return box;
        };
        row.col = combo("cmbSortCol", tr("第 %1 キーの列"));
        row.kind = combo("cmbSortKind", tr("第 %1 キーの読み方"));
        row.order = combo("cmbSortOrder", tr("第 %1 キーの順序"));
        // The first key always sorts; the others may be left out.
        if (i > 0)
            row.col->addItem(tr("（なし）"), 0);
        for (int c = 0; c < columns.size(); ++c)
            row.col->addItem(columns.at(c), c + 1);
        row.kind->addItem(tr("文字列"));
        row.kind->addItem(tr("数値"));
        row.kind->addItem(tr("自然順（項目2 < 項目10）"));
        row.kind->addItem(tr("日付"));
        row.kind->setCurrentIndex(2);
        row.order->addItem(tr("昇順"));
        row.order->addItem(tr("降順"));
        auto *label = new QLabel(labels[i], this);
        label->setBuddy(row.col);
        grid->addWidget(label, i, 0);
        grid->addWidget(row.col, i, 1);
        grid->addWidget(row.kind, i, 2);
        grid->addWidget(row.order, i, 3);
        connect(row.col, &QComboBox::activated, this, [this, i] { columnChosen(i); });
    }
    grid->setColumnStretch(1, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *all = new QVBoxLayout(this);
    all->addWidget(chkSortHeader);
    all->addLayout(grid);
    all->addStretch();
    all->addWidget(buttons);
}

void SortDialog::columnChosen(int key)
{
    const int col = m_rows[key].col->currentData().toInt();
    if (col < 1 || !m_guess)
        return;
    const SortKind kind = m_guess(col);
    m_rows[key].kind->setCurrentIndex(int(std::find(std::begin(Kinds), std::end(Kinds), kind) - std::begin(Kinds)));
}

void SortDialog::setFirstKey(const tabletools::SortKey &key)
{
    KeyRow &row = m_rows[0];
    row.col->setCurrentIndex(std::max(0, row.col->findData(key.col)));
    row.kind->setCurrentIndex(int(std::find(std::begin(Kinds), std::end(Kinds), key.kind) - std::begin(Kinds)));
    row.order->setCurrentIndex(key.descending ? 1 : 0);
}

void SortDialog::setFirstRowIsHeader(bool on, bool fixed)
{
    chkSortHeader->setChecked(on);
    chkSortHeader->setEnabled(!fixed);
}

bool SortDialog::firstRowIsHeader() const
{
    return chkSortHeader->isChecked();
}

QVector<tabletools::SortKey> SortDialog::keys() const
{
    QVector<tabletools::SortKey> keys;
    for (const KeyRow &row : m_rows) {
        const int col = row.col->currentData().toInt();
        if (col < 1)
            continue;
        keys.append({col, Kinds[std::clamp(row.kind->currentIndex(), 0, 3)], row.order->currentIndex() == 1});
    }
    return keys;
}
