#include "gui/cell_editor/frm_link.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/cell_editor/dialog_placement.h"
#include "gui/cell_editor/frm_edit.h"
#include "gui/cell_editor/work_file_chooser.h"
#include "core/text/tag_builders.h"
#include "gui/widgets/accessible_names.h"
#include "gui/widgets/common_dialog.h"

frmLink::frmLink(frmEdit *owner)
    : QDialog(owner, toolWindowFlags), m_editor(owner)
{
    setObjectName(QStringLiteral("frmLink"));
    setWindowTitle(tr("リンクの設定"));

    Label2 = named(new QLabel(tr("リンク先(&H)："), this), "Label2");
    txtAdress = named(new QLineEdit(this), "txtAdress", tr("リンクのリンク先を入力します。"));
    cmdAddress = named(new QPushButton(QStringLiteral("..."), this), "cmdAddress",
                       tr("リンク先がドライブの保存されている場合に、ファイルを選択します。"));
    chkFolder = named(new QCheckBox(tr("作業ファイルの設定(&S)"), this), "chkFolder",
                      tr("作業ファイルを設定するか設定します。チェックすると、作業ファイルを設定できるようになります。"));
    Label3 = named(new QLabel(tr("作業ファイル："), this), "Label3");
    txtFolder = named(new QLineEdit(this), "txtFolder",
                      tr("この表を埋め込むページが存在するフォルダまたは埋め込むページを指定します。"));
    cmdFolder = named(new QPushButton(QStringLiteral("..."), this), "cmdFolder",
                      tr("作業ファイルを設定します。"));
    chkFrame = named(new QCheckBox(tr("フレームを設定する(&F)"), this), "chkFrame",
                     tr("リンクするフレームを設定するか設定します。"));
    Frame = named(new QGroupBox(tr("フレームの設定"), this), "Frame");
    Picture1 = named(new QWidget(Frame), "Picture1");
    Label1 = named(new QLabel(tr("フレーム名(&N)："), Picture1), "Label1");
    txtFrame = named(new QLineEdit(Picture1), "txtFrame", tr("リンク先のフレーム名を入力します。"));
    cmdFrame = named(new QPushButton(tr("新しいウィンドウ(&W)"), Picture1), "cmdFrame",
                     tr("新しいウィンドウでリンク先を開きます。"));
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK",
                  tr("このウィンドウを閉じて、タグを挿入します。"));
    cmdCancel = named(new QPushButton(tr("キャンセル"), this), "cmdCancel",
                      tr("タグを挿入せずに、ウィンドウを閉じます。"));
    Dlg = new CommonDialog(this);
    Label2->setBuddy(txtAdress);
    Label1->setBuddy(txtFrame);
    cmdOK->setDefault(true);
    for (QPushButton *dots : {cmdAddress, cmdFolder})
        dots->setFixedWidth(28);
    cmdFrame->setMinimumWidth(cmdFrame->sizeHint().width() + 12);

    // Address and work file on top, the frame group below beside OK and Cancel.
    auto *top = new QGridLayout;
    top->setHorizontalSpacing(6);
    top->setVerticalSpacing(4);
    top->addWidget(Label2, 0, 0);
    top->addWidget(txtAdress, 0, 1);
    top->addWidget(cmdAddress, 0, 2);
    auto *switches = new QHBoxLayout;
    switches->addWidget(chkFolder);
    switches->addStretch();
    switches->addWidget(chkFrame);
    top->addLayout(switches, 1, 0, 1, 3);
    top->addWidget(Label3, 2, 0);
    top->addWidget(txtFolder, 2, 1);
    top->addWidget(cmdFolder, 2, 2);

    auto *frameRow = new QHBoxLayout(Picture1);
    frameRow->setContentsMargins(0, 0, 0, 0);
    frameRow->addWidget(Label1);
    frameRow->addWidget(txtFrame, 1);
    frameRow->addWidget(cmdFrame);
    auto *frameLayout = new QVBoxLayout(Frame);
    frameLayout->setContentsMargins(6, 2, 6, 6);
    frameLayout->addWidget(Picture1);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(Frame, 1);
    bottom->addLayout(buttons);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(8, 4, 8, 4);
    main->setSpacing(4);
    main->addLayout(top);
    main->addStretch();
    main->addLayout(bottom);

    connect(chkFolder, &QCheckBox::clicked, this, &frmLink::chkFolder_Click);
    connect(chkFrame, &QCheckBox::clicked, this, &frmLink::chkFrame_Click);
    connect(cmdFolder, &QPushButton::clicked, this, &frmLink::cmdFolder_Click);
    connect(cmdAddress, &QPushButton::clicked, this, &frmLink::cmdAddress_Click);
    connect(cmdFrame, &QPushButton::clicked, this, &frmLink::cmdFrame_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmLink::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLink::cmdCancel_Click);

    fitDesignedSize(this, QSize(429, 145));
    nameControls(this);
    Form_Load();
}

void frmLink::Form_Load()
{
    chkFrame->setChecked(false);
    chkFrame_Click();
    chkFolder->setChecked(false);
    chkFolder_Click();
}

void frmLink::chkFolder_Click()
{
    const bool on = chkFolder->isChecked();
    txtFolder->setEnabled(on);
    cmdFolder->setEnabled(on);
}

void frmLink::chkFrame_Click()
{
    const bool on = chkFrame->isChecked();
    Frame->setEnabled(on);
    txtFrame->setEnabled(on);
    cmdFrame->setEnabled(on);
    Label1->setEnabled(on);
}

void frmLink::cmdFolder_Click()
{
    chooseWorkFile(Dlg, txtFolder);
}

void frmLink::cmdAddress_Click()
{
    chooseAddress(Dlg, tr("リンク先の選択"), txtFolder, chkFolder, txtAdress);
}

void frmLink::cmdFrame_Click()
{
    txtFrame->setText(QStringLiteral("_blank"));
}

void frmLink::cmdOK_Click()
{
    hide();
    if (m_editor)
        m_editor->setSelText(linkTag(txtAdress->text(), chkFrame->isChecked(), txtFrame->text(),
                                     m_editor->selText()));
    accept();
}

void frmLink::cmdCancel_Click()
{
    reject();
}

void frmLink::showEvent(QShowEvent *event)
{
    centreOnOwner(this);
    QDialog::showEvent(event);
}
