#include "gui/cell_editor/frm_font.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/cell_editor/dialog_placement.h"
#include "gui/cell_editor/frm_edit.h"
#include "core/text/tag_builders.h"
#include "gui/widgets/color_swatch.h"
#include "gui/widgets/accessible_names.h"
#include "gui/widgets/common_dialog.h"

namespace {

// A list the user picks from or types into; typed text never becomes an entry.
QComboBox *listCombo(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// Qt names a family offered by several foundries once per foundry, as
// "Nimbus Sans [urw]"; a browser knows only "Nimbus Sans". Each family once,
// sorted.
QStringList faceNames(QStringList families)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    for (QString &family : families)
        family.remove(foundry);
    families.removeDuplicates();
    std::stable_sort(families.begin(), families.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return families;
}

} // namespace

QString frmFont::preferredFace()
{
    return QStringLiteral("ＭＳ Ｐゴシック");
}

frmFont::frmFont(frmEdit *owner)
    : QDialog(owner, toolWindowFlags), m_editor(owner)
{
    setObjectName(QStringLiteral("frmFont"));
    setWindowTitle(tr("フォントの設定"));

    chkHead = named(new QCheckBox(tr("見出し(&H)"), this), "chkHead",
                    tr("見出しにするか設定します。"));
    chkFont = named(new QCheckBox(tr("フォントの指定"), this), "chkFont",
                    tr("フォントを指定するかどうか設定します。"));
    Label1 = named(new QLabel(tr("フォントの種類(&F):"), this), "Label1");
    cmbFont = named(listCombo(this), "cmbFont", tr("フォントを設定します。"));
    chkSize = named(new QCheckBox(tr("サイズの指定"), this), "chkSize",
                    tr("サイズを指定するかどうか設定します。"));
    Label2 = named(new QLabel(tr("サイズ(&S):"), this), "Label2");
    cmbSize = named(listCombo(this), "cmbSize", tr("文字サイズを設定します。"));
    chkColor = named(new QCheckBox(tr("文字色の指定"), this), "chkColor",
                     tr("文字色を指定するかどうか設定します。"));
    Label3 = named(new QLabel(tr("文字色(&C)："), this), "Label3");
    picBackColor = named(new ColorSwatch(this), "picBackColor",
                         tr("文字の文字色に設定されている色を表示します。"));
    cmdBackColorSet = named(new QPushButton(QStringLiteral("..."), this), "cmdBackColorSet",
                            tr("文字の文字色を設定します。"));
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK",
                  tr("設定した通りにタグを挿入して閉じます。"));
    cmdCancel = named(new QPushButton(tr("キャンセル"), this), "cmdCancel",
                      tr("設定を反映せずに閉じます。"));
    Dlg = new CommonDialog(this);
    cmdOK->setDefault(true);
    cmdBackColorSet->setFixedWidth(28);
    picBackColor->setFixedSize(40, 20);
    Label1->setBuddy(cmbFont);
    Label2->setBuddy(cmbSize);
    Label3->setBuddy(cmdBackColorSet);
    cmbFont->setMinimumContentsLength(8);
    cmbFont->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbSize->setFixedWidth(56);

    // Face and size side by side, each under its own switch; colour below the
    // face; OK and Cancel at the lower right.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    grid->addWidget(chkHead, 0, 0, 1, 2);
    grid->addWidget(chkFont, 1, 0);
    grid->addWidget(chkSize, 1, 1);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(Label2, 2, 1);
    grid->addWidget(cmbFont, 3, 0);
    grid->addWidget(cmbSize, 3, 1, Qt::AlignLeft);
    grid->setRowMinimumHeight(4, 6);
    grid->addWidget(chkColor, 5, 0);
    grid->addWidget(cmdOK, 5, 1);
    auto *colorRow = new QHBoxLayout;
    colorRow->setSpacing(4);
    colorRow->addWidget(Label3);
    colorRow->addWidget(picBackColor);
    colorRow->addWidget(cmdBackColorSet);
    colorRow->addStretch();
    grid->addLayout(colorRow, 6, 0);
    grid->addWidget(cmdCancel, 6, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(7, 1);

    connect(chkHead, &QCheckBox::clicked, this, &frmFont::chkHead_Click);
    connect(chkFont, &QCheckBox::clicked, this, &frmFont::chkFont_Click);
    connect(chkSize, &QCheckBox::clicked, this, &frmFont::chkSize_Click);
    connect(chkColor, &QCheckBox::clicked, this, &frmFont::chkColor_Click);
    connect(cmdBackColorSet, &QPushButton::clicked, this, &frmFont::cmdBackColorSet_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFont::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFont::cmdCancel_Click);

    fitDesignedSize(this, QSize(297, 169));
    nameControls(this);
    Form_Load();
}

void frmFont::Form_Load()
{
    chkHead->setChecked(false);
    chkHead_Click();
    chkFont->setChecked(false);
    chkFont_Click();
    chkSize->setChecked(false);
    chkSize_Click();
    chkColor->setChecked(false);
    chkColor_Click();
    picBackColor->setColor(0);

    cmbFont->addItems(faceNames(QFontDatabase::families()));
    cmbFont->setCurrentIndex(-1);
    for (int i = 0; i < cmbFont->count(); ++i) {
        if (cmbFont->itemText(i) == preferredFace())
            cmbFont->setCurrentIndex(i);
    }

    for (int n = 1; n <= 7; ++n)
        cmbSize->addItem(QString::number(n));
    cmbSize->setCurrentIndex(0);
}

void frmFont::chkColor_Click()
{
    const bool on = chkColor->isChecked();
    Label3->setEnabled(on);
    picBackColor->setEnabled(on);
    cmdBackColorSet->setEnabled(on);
}

void frmFont::chkFont_Click()
{
    const bool on = chkFont->isChecked();
    Label1->setEnabled(on);
    cmbFont->setEnabled(on);
}

void frmFont::chkSize_Click()
{
    const bool on = chkSize->isChecked();
    Label2->setEnabled(on);
    cmbSize->setEnabled(on);
}

void frmFont::chkHead_Click()
{
    if (chkHead->isChecked()) {
        // Only the size list stays: it picks the heading level.
        for (QWidget *w : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(picBackColor),
                           static_cast<QWidget *>(cmdBackColorSet), static_cast<QWidget *>(chkColor),
                           static_cast<QWidget *>(chkSize)})
            w->setEnabled(false);
        Label2->setEnabled(true);
        cmbSize->setEnabled(true);
        chkFont->setEnabled(false);
        Label1->setEnabled(false);
        cmbFont->setEnabled(false);
    } else {
        chkColor_Click();
        chkColor->setEnabled(true);
        chkSize->setEnabled(true);
        chkFont->setEnabled(true);
        chkSize_Click();
        chkFont_Click();
    }
}

void frmFont::cmdBackColorSet_Click()
{
    qint32 color = picBackColor->color();
    if (Dlg->ShowColor(color))
        picBackColor->setColor(color);
}

int frmFont::sizeNumber() const
{
    // The entry whose text the list's field shows; typed text that matches no
    // entry leaves nothing selected.
    return cmbSize->findText(cmbSize->currentText(), Qt::MatchExactly) + 1;
}

void frmFont::cmdOK_Click()
{
    hide();
    FontTagInputs in;
    in.heading = chkHead->isChecked();
    in.faceOn = chkFont->isChecked();
    // The field shows the selected entry, or what was typed, or nothing.
    in.face = cmbFont->currentText();
    in.sizeOn = chkSize->isChecked();
    in.size = sizeNumber();
    in.colorOn = chkColor->isChecked();
    in.color = picBackColor->color();
    in.html5 = m_editor && m_editor->profile == MarkupProfile::Html5;
    if (m_editor)
        m_editor->setSelText(fontTag(in, m_editor->selText()));
    accept();
}

void frmFont::cmdCancel_Click()
{
    reject();
}

void frmFont::showEvent(QShowEvent *event)
{
    centreOnOwner(this);
    QDialog::showEvent(event);
}
