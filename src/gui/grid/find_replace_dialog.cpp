#include "gui/grid/find_replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/model/cell_finder.h"
#include "gui/grid/grid_editor.h"

FindReplaceDialog::FindReplaceDialog(GridEditor &grid, QWidget *parent)
    : QDialog(parent), m_grid(grid)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(tr("検索と置換"));
    setModal(false);

    auto *lblFind = new QLabel(tr("検索する文字列(&N)："), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    lblFind->setBuddy(txtFind);
    lblReplace = new QLabel(tr("置換後の文字列(&P)："), this);
    txtReplace = new QLineEdit(this);
    txtReplace->setObjectName(QStringLiteral("txtReplace"));
    lblReplace->setBuddy(txtReplace);
    chkMatchCase = new QCheckBox(tr("大文字と小文字を区別する(&C)"), this);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    chkWholeCell = new QCheckBox(tr("セル全体が一致するものだけ(&O)"), this);
    chkWholeCell->setObjectName(QStringLiteral("chkWholeCell"));
    chkRegex = new QCheckBox(tr("正規表現を使う(&E)"), this);
    chkRegex->setObjectName(QStringLiteral("chkRegex"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto button = [this](QPushButton *&b, const char *name, const QString &text) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
    };
    button(cmdFindNext, "cmdFindNext", tr("次を検索(&F)"));
    button(cmdFindPrev, "cmdFindPrev", tr("前を検索(&B)"));
    button(cmdReplace, "cmdReplace", tr("置換(&R)"));
    button(cmdReplaceAll, "cmdReplaceAll", tr("すべて置換(&A)"));
    cmdFindNext->setDefault(true);
    auto *close = new QPushButton(tr("閉じる"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);

    auto *boxes = new QGridLayout;
    boxes->addWidget(lblFind, 0, 0);
    boxes->addWidget(txtFind, 0, 1);
    boxes->addWidget(lblReplace, 1, 0);
    boxes->addWidget(txtReplace, 1, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {cmdFindNext, cmdFindPrev, cmdReplace, cmdReplaceAll, close})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addLayout(boxes);
    for (QWidget *w : {static_cast<QWidget *>(chkMatchCase), static_cast<QWidget *>(chkWholeCell),
                       static_cast<QWidget *>(chkRegex), static_cast<QWidget *>(lblStatus)})
        left->addWidget(w);
    left->addStretch();
    auto *all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);
    txtFind->setMinimumWidth(220);

    connect(cmdFindNext, &QPushButton::clicked, this, &FindReplaceDialog::cmdFindNext_Click);
    connect(cmdFindPrev, &QPushButton::clicked, this, &FindReplaceDialog::cmdFindPrev_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &FindReplaceDialog::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::cmdReplaceAll_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(txtFind, &QLineEdit::textChanged, this, [this] { lblStatus->clear(); });
}

void FindReplaceDialog::open(bool replace)
{
    lblReplace->setVisible(replace);
    txtReplace->setVisible(replace);
    cmdReplace->setVisible(replace);
    cmdReplaceAll->setVisible(replace);
    setWindowTitle(replace ? tr("置換") : tr("検索"));
    lblStatus->clear();
    show();
    raise();
    activateWindow();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

FindOptions FindReplaceDialog::options() const
{
    FindOptions o;
    o.pattern = txtFind->text();
    o.matchCase = chkMatchCase->isChecked();
    o.wholeCell = chkWholeCell->isChecked();
    o.regex = chkRegex->isChecked();
    return o;
}

void FindReplaceDialog::say(const QString &text)
{
    lblStatus->setText(text);
}

bool FindReplaceDialog::find(bool backward)
{
    const CellFinder finder(options());
    if (txtFind->text().isEmpty())
        return false;
    if (!finder.isValid()) {
        say(tr("正規表現が正しくありません：%1").arg(finder.errorString()));
        return false;
    }
    if (!m_grid.findNext(finder, backward)) {
        say(tr("「%1」は見つかりません。").arg(txtFind->text()));
        return false;
    }
    say(QString());
    return true;
}

void FindReplaceDialog::cmdFindNext_Click()
{
    find(false);
}

void FindReplaceDialog::cmdFindPrev_Click()
{
    find(true);
}

// The cell found last is replaced, then the next one is found.
void FindReplaceDialog::cmdReplace_Click()
{
    const CellFinder finder(options());
    if (!finder.isValid()) {
        find(false);
        return;
    }
    const int count = m_grid.replaceInCurrent(finder, txtReplace->text());
    if (find(false) || count)
        say(count ? tr("%1 個所を置換しました。").arg(count) : QString());
}

void FindReplaceDialog::cmdReplaceAll_Click()
{
    const CellFinder finder(options());
    if (txtFind->text().isEmpty())
        return;
    if (!finder.isValid()) {
        say(tr("正規表現が正しくありません：%1").arg(finder.errorString()));
        return;
    }
    const int count = m_grid.replaceAll(finder, txtReplace->text());
    say(count ? tr("%1 個所を置換しました。").arg(count) : tr("「%1」は見つかりません。").arg(txtFind->text()));
}
