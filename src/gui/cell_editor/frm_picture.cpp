#include "gui/cell_editor/frm_picture.h"

#include <QCheckBox>
#include <QGridLayout>
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
#include "gui/widgets/number_box.h"
#include "gui/widgets/up_down.h"

namespace {

// A number box with its arrows right beside it.
QHBoxLayout *spinRow(QLineEdit *box, UpDown *arrows)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    box->setFixedWidth(40);
    arrows->setFixedWidth(15);
    row->addWidget(box);
    row->addWidget(arrows);
    return row;
}

} // namespace

frmPicture::frmPicture(frmEdit *owner)
    : QDialog(owner, toolWindowFlags), m_editor(owner)
{
    setObjectName(QStringLiteral("frmPicture"));
    setWindowTitle(tr("画像の挿入"));

    Label1 = named(new QLabel(tr("画像のアドレス(&A)："), this), "Label1");
    txtAdress = named(new QLineEdit(this), "txtAdress", tr("挿入する画像のアドレスを入力します。"));
    cmdAddress = named(new QPushButton(QStringLiteral("..."), this), "cmdAddress",
                       tr("挿入する画像がドライブの保存されている場合に、ファイルを選択します。"));
    Label2 = named(new QLabel(tr("代替テキスト(&T)："), this), "Label2");
    txtAlt = named(new QLineEdit(this), "txtAlt",
                   tr("画像の上にポイントしたときに、表示されるテキストを設定します。"));
    Label3 = named(new QLabel(tr("枠の太さ(&B)："), this), "Label3");
    txtBorder = named(new QLineEdit(QStringLiteral("0"), this), "txtBorder",
                      tr("画像の枠の太さを指定します。"));
    UpDown1 = named(new UpDown(this), "UpDown1");
    Label4 = named(new QLabel(tr("縦の大きさ(&H)："), this), "Label4");
    txtHeight = named(new QLineEdit(QStringLiteral("100"), this), "txtHeight",
                      tr("画像の縦の大きさを%で指定します。"));
    UpDown2 = named(new UpDown(this), "UpDown2");
    Label5 = named(new QLabel(tr("ﾋﾟｸｾﾙ"), this), "Label5");
    chkSize[0] = named(new QCheckBox(this), "chkSize_0");
    Label6 = named(new QLabel(tr("横の大きさ(&W)："), this), "Label6");
    txtWidth = named(new QLineEdit(QStringLiteral("100"), this), "txtWidth",
                     tr("画像の横の大きさを%で指定します。"));
    UpDown3 = named(new UpDown(this), "UpDown3");
    Label7 = named(new QLabel(tr("ﾋﾟｸｾﾙ"), this), "Label7");
    chkSize[1] = named(new QCheckBox(this), "chkSize_1");
    chkFolder = named(new QCheckBox(tr("作業ファイルの設定(&S)"), this), "chkFolder",
                      tr("作業ファイルを設定するか設定します。チェックすると、作業ファイルを設定できるようになります。"));
    Label8 = named(new QLabel(tr("作業ファイル："), this), "Label8");
    txtFolder = named(new QLineEdit(this), "txtFolder",
                      tr("この表を埋め込むページが存在するフォルダまたは埋め込むページを指定します。"));
    cmdFolder = named(new QPushButton(QStringLiteral("..."), this), "cmdFolder",
                      tr("作業ファイルを設定します。"));
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK",
                  tr("このウィンドウを閉じて、タグを挿入します。"));
    cmdCancel = named(new QPushButton(tr("キャンセル"), this), "cmdCancel",
                      tr("タグを挿入せずに、ウィンドウを閉じます。"));
    Dlg = new CommonDialog(this);
    cmdOK->setDefault(true);
    for (QPushButton *dots : {cmdAddress, cmdFolder})
        dots->setFixedWidth(28);

    UpDown1->setBuddy(txtBorder);
    UpDown1->setRange(0, 10);
    UpDown2->setBuddy(txtHeight);
    UpDown2->setRange(0, 200);
    UpDown3->setBuddy(txtWidth);
    UpDown3->setRange(0, 200);
    // The check boxes have no caption; their label is the unit beside them.
    chkSize[0]->setAccessibleName(tr("縦の大きさをピクセルで指定"));
    chkSize[1]->setAccessibleName(tr("横の大きさをピクセルで指定"));
    Label1->setBuddy(txtAdress);
    Label2->setBuddy(txtAlt);
    Label3->setBuddy(txtBorder);
    Label4->setBuddy(txtHeight);
    Label6->setBuddy(txtWidth);

    // Address and alternative text across the top; the three number rows with
    // OK and Cancel beside them; the work file at the foot.
    auto *top = new QGridLayout;
    top->setHorizontalSpacing(6);
    top->setVerticalSpacing(3);
    top->addWidget(Label1, 0, 0);
    top->addWidget(txtAdress, 0, 1);
    top->addWidget(cmdAddress, 0, 2);
    top->addWidget(Label2, 1, 0);
    top->addWidget(txtAlt, 1, 1, 1, 2);

    auto *numbers = new QGridLayout;
    numbers->setHorizontalSpacing(4);
    numbers->setVerticalSpacing(3);
    numbers->addWidget(Label3, 0, 0);
    numbers->addLayout(spinRow(txtBorder, UpDown1), 0, 1);
    numbers->addWidget(Label4, 1, 0);
    numbers->addLayout(spinRow(txtHeight, UpDown2), 1, 1);
    numbers->addWidget(Label5, 1, 2);
    numbers->addWidget(chkSize[0], 1, 3);
    numbers->addWidget(Label6, 2, 0);
    numbers->addLayout(spinRow(txtWidth, UpDown3), 2, 1);
    numbers->addWidget(Label7, 2, 2);
    numbers->addWidget(chkSize[1], 2, 3);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    for (QPushButton *b : {cmdOK, cmdCancel}) {
        b->setFixedWidth(72);
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto *middle = new QHBoxLayout;
    middle->setSpacing(6);
    middle->addLayout(numbers);
    middle->addStretch();
    middle->addLayout(buttons);

    auto *folderRow = new QHBoxLayout;
    folderRow->setSpacing(6);
    folderRow->addWidget(Label8);
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(cmdFolder);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(8, 6, 8, 6);
    main->setSpacing(3);
    main->addLayout(top);
    main->addLayout(middle);
    main->addWidget(chkFolder);
    main->addLayout(folderRow);
    main->addStretch();

    connect(chkFolder, &QCheckBox::clicked, this, &frmPicture::chkFolder_Click);
    connect(chkSize[0], &QCheckBox::clicked, this, &frmPicture::chkSize_Click);
    connect(chkSize[1], &QCheckBox::clicked, this, &frmPicture::chkSize_Click);
    connect(cmdFolder, &QPushButton::clicked, this, &frmPicture::cmdFolder_Click);
    connect(cmdAddress, &QPushButton::clicked, this, &frmPicture::cmdAddress_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmPicture::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPicture::cmdCancel_Click);

    fitDesignedSize(this, QSize(313, 201));
    nameControls(this);
    Form_Load();
}

void frmPicture::Form_Load()
{
    txtAdress->clear();
    txtAlt->clear();
    chkFolder->setChecked(false);
    chkFolder_Click();
    chkSize[0]->setChecked(false);
    chkSize[1]->setChecked(false);
    for (QLineEdit *box : {txtBorder, txtWidth, txtHeight})
        SetNumberOnly(box);
    for (QLineEdit *box : {txtBorder, txtWidth, txtHeight})
        HookContextMenu(box);
    chkSize_Click();
}

void frmPicture::Form_Unload()
{
    for (QLineEdit *box : {txtBorder, txtWidth, txtHeight})
        UnhookContextMenu(box);
}

void frmPicture::chkFolder_Click()
{
    const bool on = chkFolder->isChecked();
    txtFolder->setEnabled(on);
    cmdFolder->setEnabled(on);
}

void frmPicture::chkSize_Click()
{
    const bool heightOn = chkSize[0]->isChecked();
    txtHeight->setEnabled(heightOn);
    UpDown2->setEnabled(heightOn);
    const bool widthOn = chkSize[1]->isChecked();
    txtWidth->setEnabled(widthOn);
    UpDown3->setEnabled(widthOn);
}

void frmPicture::cmdFolder_Click()
{
    chooseWorkFile(Dlg, txtFolder);
}

void frmPicture::cmdAddress_Click()
{
    chooseAddress(Dlg, tr("画像ファイルの選択"), txtFolder, chkFolder, txtAdress);
}

void frmPicture::cmdOK_Click()
{
    hide();
    ImageTagInputs in;
    in.address = txtAdress->text();
    in.alt = txtAlt->text();
    in.borderText = txtBorder->text();
    in.widthOn = chkSize[1]->isChecked();
    in.widthText = txtWidth->text();
    in.heightOn = chkSize[0]->isChecked();
    in.heightText = txtHeight->text();
    if (m_editor)
        m_editor->setSelText(imageTag(in));
    accept();
}

void frmPicture::cmdCancel_Click()
{
    reject();
}

void frmPicture::showEvent(QShowEvent *event)
{
    centreOnOwner(this);
    QDialog::showEvent(event);
}

void frmPicture::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}
