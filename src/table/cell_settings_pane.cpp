// The cell settings pane (picBar) and the Cell menu: the attributes of the
// grid's current cell, written into its record the moment a control changes.
#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>

#include "editor/frm_edit.h"
#include "platform/color_swatch.h"
#include "platform/ui_font.h"
#include "platform/common_dialog.h"
#include "table/grid_widget.h"
#include "table/pane_helpers.h"

namespace {

// txtSHeight refills an emptied box with "1" but corrects a bad value with "100".
constexpr pane::Fallbacks SWidthBox{"100", "100", 1, 9999};
constexpr pane::Fallbacks SHeightBox{"1", "100", 1, 9999};
constexpr pane::Fallbacks MHeightBox{"1", "1", 1, 99};
constexpr pane::Fallbacks MWidthBox{"1", "1", 1, 99};

// Where the preview letter goes along one axis for slider position 0, 1 or 2.
int letterOffset(int position, int inner, int letter)
{
    switch (position) {
    case 1:
        return (inner - letter) / 2;
    case 2:
        return inner - letter;
    default:
        return 0;
    }
}

// Where the controls go. Across, the designed positions; down, the rows are
// stacked at the height the Japanese face really needs (it runs taller than the
// designed one), which still fits the pane's designed 5295 twips.
void layOutCellPane(frmMain *w)
{
    constexpr int CheckHeight = 19;
    constexpr int BoxHeight = 22;
    constexpr int Gap = 4;
    const int paneWidth = qRound(2775 / 15.0); // picBar never changes size

    // Colour row.
    int y = 4;
    const int rowHeight = 20;
    w->Label333->setGeometry(8, y, qMin(w->Label333->sizeHint().width(), 63), rowHeight);
    w->picBackColor2->setGeometry(72, y + (rowHeight - 17) / 2, 33, 17);
    w->cmdBackColorSet2->setGeometry(104, y + (rowHeight - 17) / 2, 17, 17);
    w->chkBackColorNothing2->setGeometry(128, y, paneWidth - 128, rowHeight);
    y += rowHeight + Gap;

    // A frame's picture box fills it below the title; the frame is as tall as its rows.
    auto frameAt = [](QGroupBox *f, int left, int top, int width, int contents) {
        f->setGeometry(left, top, width, 100);
        QStyleOptionGroupBox opt;
        opt.initFrom(f);
        opt.text = f->title();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect inner = f->style()->subControlRect(QStyle::CC_GroupBox, &opt,
                                                       QStyle::SC_GroupBoxContents, f);
        const int height = inner.top() + contents + (100 - inner.bottom()) + 2; // + the layout margin
        f->setGeometry(left, top, width, qMax(height, 40));
        if (f->layout())
            f->layout()->activate();
        return top + f->height();
    };

    // Width and height: the switch on top, label and box below it.
    const int sizeRows = CheckHeight + 1 + BoxHeight;
    for (auto [frame, chk, lbl, box] :
         {std::tuple<QGroupBox *, QCheckBox *, QLabel *, QLineEdit *>{w->Frame4, w->chkSWidth, w->Label1[0], w->txtSWidth},
          {w->Frame5, w->chkSHeight, w->Label1[1], w->txtSHeight}}) {
        y = frameAt(frame, 8, y, 137, sizeRows) + Gap;
        chk->setGeometry(0, 0, 110, CheckHeight);
        const int boxLeft = qMax(72, lbl->sizeHint().width() + 1);
        lbl->setGeometry(0, CheckHeight + 1, boxLeft - 1, BoxHeight);
        box->setGeometry(boxLeft, CheckHeight + 1, 41, BoxHeight);
    }
    // Merges, side by side: narrow frames, so the count box follows its label.
    int mergeBottom = y;
    for (auto [frame, left, chk, lbl, box] :
         {std::tuple<QGroupBox *, int, QCheckBox *, QLabel *, QLineEdit *>{w->Frame1, 8, w->chkHeight, w->Label10, w->txtMHeight},
          {w->Frame2, 96, w->chkWidth, w->Label11, w->txtMWidth}}) {
        mergeBottom = frameAt(frame, left, y, 81, sizeRows) + Gap;
        chk->setGeometry(0, 0, 73, CheckHeight);
        const int labelWidth = lbl->sizeHint().width();
        lbl->setGeometry(0, CheckHeight + 1, labelWidth, BoxHeight);
        box->setGeometry(labelWidth + 1, CheckHeight + 1, 28, BoxHeight);
    }
    y = mergeBottom;

    // Alignment: the horizontal slider over the preview, the vertical one beside it.
    const int sliderHeight = 21;
    const int previewHeight = 40;
    frameAt(w->Frame3, 8, y, 169, sliderHeight + 2 + previewHeight);
    w->SliW->setGeometry(8, 0, 97, sliderHeight);
    w->picText->setGeometry(16, sliderHeight + 2, 81, previewHeight);
    w->SliH->setGeometry(104, 0, 37, sliderHeight + 2 + previewHeight);
    w->lblTextMove->resize(w->lblTextMove->sizeHint().expandedTo(QSize(11, 12)));
}

} // namespace

void frmMain::createCellSettingsPane()
{
    picBar = new QWidget(client);
    picBar->setObjectName(QStringLiteral("picBar"));
    picBar->setAutoFillBackground(true);
    picBar->setFont(japaneseUiFont(9));

    auto named = [](QWidget *w, const char *name, const QString &tip = QString()) {
        w->setObjectName(QLatin1String(name));
        if (!tip.isEmpty())
            w->setToolTip(tip);
    };
    auto frame = [&](QGroupBox *&f, const char *name, const QString &title) {
        f = new QGroupBox(title, picBar);
        named(f, name);
    };
    // Each group frame holds one picture box, filling the frame below its title.
    auto inner = [&](QWidget *&p, const char *name, QGroupBox *parent) {
        p = new QWidget(parent);
        named(p, name);
        auto *layout = new QVBoxLayout(parent);
        layout->setContentsMargins(4, 0, 4, 2);
        layout->addWidget(p);
    };

    // Cell colour.
    Label333 = new QLabel(QStringLiteral("背景色(&C)："), picBar);
    named(Label333, "Label333");
    picBackColor2 = new ColorSwatch(picBar);
    named(picBackColor2, "picBackColor2", QStringLiteral("セルの背景色に設定されている色を表示します。"));
    auto *colorButton = new QPushButton(QStringLiteral("..."), picBar);
    named(colorButton, "cmdBackColorSet2", QStringLiteral("セルの背景色を設定します。"));
    cmdBackColorSet2 = colorButton;
    chkBackColorNothing2 = new QCheckBox(QStringLiteral("なし"), picBar);
    named(chkBackColorNothing2, "chkBackColorNothing2", QStringLiteral(
        "セルの背景色の有無を設定します。チェックすると、全体設定で設定した表の背景が表示されます。"));
    Label333->setBuddy(cmdBackColorSet2);

    // Width.
    frame(Frame4, "Frame4", QStringLiteral("幅の変更"));
    inner(Picture1, "Picture1", Frame4);
    chkSWidth = new QCheckBox(QStringLiteral("変更する"), Picture1);
    named(chkSWidth, "chkSWidth", QStringLiteral(
        "セルの幅の設定の有無を設定します。チェックすると、セルの幅のサイズの変更ができるようになります。"));
    Label1[0] = new QLabel(QStringLiteral("ｻｲｽﾞ(ﾋﾟｸｾﾙ)："), Picture1);
    named(Label1[0], "Label1_0");
    txtSWidth = new QLineEdit(Picture1);
    named(txtSWidth, "txtSWidth", QStringLiteral("セルの幅のサイズを設定します。"));

    // Height.
    frame(Frame5, "Frame5", QStringLiteral("高さの変更"));
    inner(Picture5, "Picture5", Frame5);
    chkSHeight = new QCheckBox(QStringLiteral("変更する"), Picture5);
    named(chkSHeight, "chkSHeight", QStringLiteral(
        "セルの高さの設定の有無を設定します。チェックすると、セルの高さのサイズの変更ができるようになります。"));
    Label1[1] = new QLabel(QStringLiteral("ｻｲｽﾞ(ﾋﾟｸｾﾙ)："), Picture5);
    named(Label1[1], "Label1_1");
    txtSHeight = new QLineEdit(Picture5);
    named(txtSHeight, "txtSHeight", QStringLiteral("セルの高さのサイズを設定します。"));

    // Vertical merge.
    frame(Frame1, "Frame1", QStringLiteral("縦に結合"));
    inner(Picture2, "Picture2", Frame1);
    chkHeight = new QCheckBox(QStringLiteral("結合(&H)"), Picture2);
    named(chkHeight, "chkHeight", QStringLiteral(
        "セルが縦に結合するか設定の有無を設定します。チェックすると、セルの縦の結合の幅が変更できるようになります。"));
    Label10 = new QLabel(QStringLiteral("個数："), Picture2);
    named(Label10, "Label10");
    txtMHeight = new QLineEdit(Picture2);
    named(txtMHeight, "txtMHeight", QStringLiteral("セルを縦に結合する個数を設定します。"));

    // Horizontal merge.
    frame(Frame2, "Frame2", QStringLiteral("横に結合"));
    inner(Picture3, "Picture3", Frame2);
    chkWidth = new QCheckBox(QStringLiteral("結合(&W)"), Picture3);
    named(chkWidth, "chkWidth", QStringLiteral(
        "セルが横に結合するか設定の有無を設定します。チェックすると、セルの横の結合の幅が変更できるようになります。"));
    Label11 = new QLabel(QStringLiteral("個数："), Picture3);
    named(Label11, "Label11");
    txtMWidth = new QLineEdit(Picture3);
    named(txtMWidth, "txtMWidth", QStringLiteral("セルを横に結合する個数を設定します。"));

    // Alignment.
    frame(Frame3, "Frame3", QStringLiteral("配置"));
    inner(Picture4, "Picture4", Frame3);
    SliW = new QSlider(Qt::Horizontal, Picture4);
    named(SliW, "SliW", QStringLiteral("セルのテキストの横の配置を設定します。"));
    SliH = new QSlider(Qt::Vertical, Picture4);
    named(SliH, "SliH", QStringLiteral("セルのテキストの縦の配置を設定します。"));
    for (QSlider *s : {SliW, SliH}) {
        s->setRange(0, 2);
        s->setPageStep(1);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(1);
    }
    SliH->setInvertedAppearance(true); // 0 at the top
    SliH->setInvertedControls(true);
    auto *preview = new QFrame(Picture4);
    preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    preview->setAutoFillBackground(true);
    QPalette white = preview->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    preview->setPalette(white);
    picText = preview;
    named(picText, "picText", QStringLiteral("セルの文字列の配置のプレビューです。"));
    lblTextMove = new QLabel(QStringLiteral("あ"), picText);
    named(lblTextMove, "lblTextMove");

    layOutCellPane(this);

    connect(chkSWidth, &QCheckBox::toggled, this, &frmMain::chkSWidth_Click);
    connect(chkSHeight, &QCheckBox::toggled, this, &frmMain::chkSHeight_Click);
    connect(chkHeight, &QCheckBox::toggled, this, &frmMain::chkHeight_Click);
    connect(chkWidth, &QCheckBox::toggled, this, &frmMain::chkWidth_Click);
    connect(txtSWidth, &QLineEdit::textChanged, this, &frmMain::txtSWidth_Change);
    connect(txtSHeight, &QLineEdit::textChanged, this, &frmMain::txtSHeight_Change);
    connect(txtMHeight, &QLineEdit::textChanged, this, &frmMain::txtMHeight_Change);
    connect(txtMWidth, &QLineEdit::textChanged, this, &frmMain::txtMWidth_Change);
    pane::onFocusLost(txtSWidth, [this] { txtSWidth_LostFocus(); });
    pane::onFocusLost(txtSHeight, [this] { txtSHeight_LostFocus(); });
    pane::onFocusLost(txtMHeight, [this] { txtMHeight_LostFocus(); });
    pane::onFocusLost(txtMWidth, [this] { txtMWidth_LostFocus(); });
    connect(SliW, &QSlider::valueChanged, this, &frmMain::SliW_Click);
    connect(SliH, &QSlider::valueChanged, this, &frmMain::SliH_Click);
    connect(chkBackColorNothing2, &QCheckBox::toggled, this, &frmMain::chkBackColorNothing2_Click);
    connect(cmdBackColorSet2, &QAbstractButton::clicked, this, &frmMain::cmdBackColorSet2_Click);
}

// --- switch boxes: each enables its label and box, and keeps the number as it was

void frmMain::chkSWidth_Click()
{
    const bool on = chkSWidth->isChecked();
    Label1[0]->setEnabled(on);
    txtSWidth->setEnabled(on);
    Cells(Grid->Col(), Grid->Row()).WidthOn = on ? 1 : 0;
}

void frmMain::chkSHeight_Click()
{
    const bool on = chkSHeight->isChecked();
    Label1[1]->setEnabled(on);
    txtSHeight->setEnabled(on);
    Cells(Grid->Col(), Grid->Row()).HeightOn = on ? 1 : 0;
}

void frmMain::chkHeight_Click()
{
    const bool on = chkHeight->isChecked();
    Label10->setEnabled(on);
    txtMHeight->setEnabled(on);
    Cells(Grid->Col(), Grid->Row()).RowSpanOn = on ? 1 : 0;
}

void frmMain::chkWidth_Click()
{
    const bool on = chkWidth->isChecked();
    Label11->setEnabled(on);
    txtMWidth->setEnabled(on);
    Cells(Grid->Col(), Grid->Row()).ColSpanOn = on ? 1 : 0;
}

// --- number boxes

void frmMain::txtSWidth_Change()
{
    pane::numberChanged(txtSWidth, Cells(Grid->Col(), Grid->Row()).Width, SWidthBox);
}

void frmMain::txtSHeight_Change()
{
    pane::numberChanged(txtSHeight, Cells(Grid->Col(), Grid->Row()).Height, SHeightBox);
}

void frmMain::txtMHeight_Change()
{
    pane::numberChanged(txtMHeight, Cells(Grid->Col(), Grid->Row()).RowSpan, MHeightBox);
}

void frmMain::txtMWidth_Change()
{
    pane::numberChanged(txtMWidth, Cells(Grid->Col(), Grid->Row()).ColSpan, MWidthBox);
}

void frmMain::txtSWidth_LostFocus()
{
    pane::numberLeft(txtSWidth, Cells(Grid->Col(), Grid->Row()).Width, SWidthBox);
}

void frmMain::txtSHeight_LostFocus()
{
    pane::numberLeft(txtSHeight, Cells(Grid->Col(), Grid->Row()).Height, SHeightBox);
}

void frmMain::txtMHeight_LostFocus()
{
    pane::numberLeft(txtMHeight, Cells(Grid->Col(), Grid->Row()).RowSpan, MHeightBox);
}

void frmMain::txtMWidth_LostFocus()
{
    pane::numberLeft(txtMWidth, Cells(Grid->Col(), Grid->Row()).ColSpan, MWidthBox);
}

// --- alignment: the preview letter, the record and the grid cell

void frmMain::SliW_Click()
{
    const QRect inner = picText->contentsRect();
    lblTextMove->move(inner.left() + letterOffset(SliW->value(), inner.width(), lblTextMove->width()),
                      lblTextMove->y());
    CellRecord &rec = Cells(Grid->Col(), Grid->Row());
    rec.HAlign = qint16(SliW->value());
    Grid->setCellAlignment(Grid->Col(), Grid->Row(), rec.HAlign * 3 + rec.VAlign);
}

void frmMain::SliH_Click()
{
    const QRect inner = picText->contentsRect();
    lblTextMove->move(lblTextMove->x(),
                      inner.top() + letterOffset(SliH->value(), inner.height(), lblTextMove->height()));
    CellRecord &rec = Cells(Grid->Col(), Grid->Row());
    rec.VAlign = qint16(SliH->value());
    Grid->setCellAlignment(Grid->Col(), Grid->Row(), rec.HAlign * 3 + rec.VAlign);
}

// --- cell colour

void frmMain::chkBackColorNothing2_Click()
{
    const bool none = chkBackColorNothing2->isChecked();
    Label333->setEnabled(!none);
    picBackColor2->setEnabled(!none);
    cmdBackColorSet2->setEnabled(!none);
    // A cell without its own colour shows white, not the table's colour.
    Grid->setCellBackColor(Grid->Col(), Grid->Row(), none ? 0xFFFFFF : picBackColor2->color());
    Cells(Grid->Col(), Grid->Row()).BackColorNothing = none ? 1 : 0;
}

void frmMain::cmdBackColorSet2_Click()
{
    qint32 color = picBackColor2->color();
    if (!Dlg->ShowColor(color))
        return; // cancelled: swatch, record and grid stay as they are
    picBackColor2->setColor(color);
    CellRecord &rec = Cells(Grid->Col(), Grid->Row());
    rec.BackColor = color;
    Grid->setCellBackColor(Grid->Col(), Grid->Row(), color);
    rec.BackColorNothing = chkBackColorNothing2->isChecked() ? 1 : 0;
}

// --- the Cell menu

void frmMain::mnuSel_Click()
{
    mnuBold->setChecked(Cells(Grid->Col(), Grid->Row()).Header != 0);
}

void frmMain::mnuBold_Click()
{
    CellRecord &rec = Cells(Grid->Col(), Grid->Row());
    const bool header = rec.Header == 0;
    rec.Header = header ? -1 : 0;
    SliH->setEnabled(!header);
    SliW->setEnabled(!header);
    Grid->setCellBold(Grid->Col(), Grid->Row(), header);
    mnuBold->setChecked(header);
    BarButton[7]->setChecked(header);
}

void frmMain::mnuSelEdit_Click()
{
    Grid_DblClick();
}

void frmMain::mnuSelEditMax_Click()
{
    // The editor starts from what the box shows; a box left open would
    // later be committed over the editor's text.
    commitOpenBox();
    frmEdit ed(this);
    ed.objForm = this;
    ed.SettingText(Cells(Grid->Col(), Grid->Row()).Text);
    ed.exec();
}
