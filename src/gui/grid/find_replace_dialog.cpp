#include "gui/grid/find_replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/io/compression.h"
#include "core/model/cell_finder.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"

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
    // The text the grid shows is searched unless the user asks for the markup.
    chkSource = new QCheckBox(tr("HTML のソースで検索(&H)"), this);
    chkSource->setObjectName(QStringLiteral("chkSource"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(2 * lblStatus->fontMetrics().lineSpacing());

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
                       static_cast<QWidget *>(chkRegex), static_cast<QWidget *>(chkSource),
                       static_cast<QWidget *>(lblStatus)})
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

bool FindReplaceDialog::hasSearch() const
{
    return !txtFind->text().isEmpty();
}

void FindReplaceDialog::findAgain(bool backward)
{
    say(find(backward));
}

FindOptions FindReplaceDialog::options() const
{
    FindOptions o;
    o.pattern = txtFind->text();
    o.matchCase = chkMatchCase->isChecked();
    o.wholeCell = chkWholeCell->isChecked();
    o.regex = chkRegex->isChecked();
    o.inSource = chkSource->isChecked();
    return o;
}

void FindReplaceDialog::say(const QString &text)
{
    lblStatus->setText(text);
    // A long message wraps; the dialog grows to show it whole.
    layout()->activate();
    const int need = layout()->totalHeightForWidth(width());
    if (need > height())
        resize(width(), need);
    emit said(text);
}

QString FindReplaceDialog::find(bool backward, bool *found)
{
    if (found)
        *found = false;
    const CellFinder finder(options());
    if (txtFind->text().isEmpty())
        return QString();
    if (!finder.isValid())
        return finder.errorString();
    const FoundCell at = m_grid.findNext(finder, backward);
    switch (at.status) {
    case FindStatus::NotFound:
        return tr("「%1」は見つかりません。").arg(txtFind->text());
    case FindStatus::GaveUp:
        return tr("検索を打ち切りました。時間がかかりすぎるか、正規表現の繰り返しが多すぎます。");
    case FindStatus::Found:
        break;
    }
    if (found)
        *found = true;
    keepClearOf(at.cell);
    if (!at.wrapped)
        return QString();
    return backward ? tr("表の先頭まで検索したので、末尾から続けて検索しました。")
                    : tr("表の末尾まで検索したので、先頭から続けて検索しました。");
}

// The found cell is already scrolled into view; the dialog gets out of its way.
void FindReplaceDialog::keepClearOf(QPoint cell)
{
    GridWidget *grid = m_grid.grid();
    const QRect inView = grid->cellRect(cell.x(), cell.y());
    if (!isVisible() || inView.isEmpty())
        return;
    const QRect target(grid->viewport()->mapToGlobal(inView.topLeft()), inView.size());
    const QRect mine = frameGeometry();
    if (!mine.intersects(target))
        return;
    constexpr int gap = 12;
    const QRect room = screen() ? screen()->availableGeometry() : QRect();
    const QPoint places[] = {
        QPoint(mine.left(), target.bottom() + gap),
        QPoint(mine.left(), target.top() - gap - mine.height()),
        QPoint(target.right() + gap, mine.top()),
        QPoint(target.left() - gap - mine.width(), mine.top()),
    };
    for (const QPoint &p : places) {
        if (room.isEmpty() || room.contains(QRect(p, mine.size()))) {
            move(p);
            return;
        }
    }
    move(places[0]);
}

QString FindReplaceDialog::summary(const ReplaceSummary &s) const
{
    using Stop = ReplaceSummary::Stop;
    switch (s.stop) {
    case Stop::GaveUp:
        return tr("検索を打ち切りました。時間がかかりすぎるか、正規表現の繰り返しが多すぎます。何も置換していません。");
    case Stop::TooLarge:
        return tr("置換すると表のテキストが表ファイルの上限の %1 MB を超えるため、何も置換していません。")
                .arg(MaxTableTextBytes / (1024 * 1024));
    case Stop::NoMemory:
        return tr("メモリが足りないため、置換を中止しました。");
    case Stop::None:
        break;
    }
    QString text;
    if (s.replaced)
        text = tr("%1 個所を置換しました。").arg(s.replaced);
    if (s.skipped)
        text += tr("%1 個所はタグ（改行など）だけにかかるため、置換していません。").arg(s.skipped);
    return text;
}

void FindReplaceDialog::cmdFindNext_Click()
{
    say(find(false));
}

void FindReplaceDialog::cmdFindPrev_Click()
{
    say(find(true));
}

// The cell found last is replaced, then the next one is found.
void FindReplaceDialog::cmdReplace_Click()
{
    const CellFinder finder(options());
    if (!finder.isValid()) {
        say(find(false));
        return;
    }
    const ReplaceSummary s = m_grid.replaceInCurrent(finder, txtReplace->text());
    if (s.stop != ReplaceSummary::Stop::None) {
        say(summary(s));
        return;
    }
    bool found = false;
    const QString next = find(false, &found);
    const QString done = summary(s);
    // What was replaced comes first; a search that found nothing more says so.
    say(done.isEmpty() ? next : found ? done : done + next);
}

void FindReplaceDialog::cmdReplaceAll_Click()
{
    const CellFinder finder(options());
    if (txtFind->text().isEmpty())
        return;
    if (!finder.isValid()) {
        say(finder.errorString());
        return;
    }
    const ReplaceSummary s = m_grid.replaceAll(finder, txtReplace->text());
    const QString text = summary(s);
    say(text.isEmpty() ? tr("「%1」は見つかりません。").arg(txtFind->text()) : text);
}
