#include "gui/panes/cell_settings_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>

#include "gui/widgets/accessible_names.h"
#include "gui/widgets/color_swatch.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/ui_font.h"
#include "gui/widgets/twips.h"
#include "gui/panes/pane_helpers.h"

namespace {

// txtSHeight refills an emptied box with "1" but corrects a bad value with "100".
constexpr pane::Fallbacks SWidthBox{"100", "100", 1, 9999};
constexpr pane::Fallbacks SHeightBox{"1", "100", 1, 9999};
// In per cent of the table, as for the table's own width.
constexpr pane::Fallbacks SWidthPercentBox{"100", "100", 1, 100};
constexpr pane::Fallbacks SHeightPercentBox{"1", "100", 1, 100};
constexpr pane::Fallbacks MHeightBox{"1", "1", 1, TableLimits::MaxRows};
constexpr pane::Fallbacks MWidthBox{"1", "1", 1, TableLimits::MaxCols};

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

} // namespace

CellSettingsPane::CellSettingsPane(TableDocument &doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), Dlg(new CommonDialog(this))
{
    setObjectName(QStringLiteral("picBar"));
    setAutoFillBackground(true);
    setFont(japaneseUiFont(9));
    createControls();
    SetNumberOnly(txtMHeight, pane::digitsFor(TableLimits::MaxRows));
    SetNumberOnly(txtSHeight, 4);
    SetNumberOnly(txtMWidth, pane::digitsFor(TableLimits::MaxCols));
    SetNumberOnly(txtSWidth, 4);
    layOut();

    connect(chkSWidth, &QCheckBox::toggled, this, &CellSettingsPane::chkSWidth_Click);
    connect(chkSHeight, &QCheckBox::toggled, this, &CellSettingsPane::chkSHeight_Click);
    connect(chkHeight, &QCheckBox::toggled, this, &CellSettingsPane::chkHeight_Click);
    connect(chkWidth, &QCheckBox::toggled, this, &CellSettingsPane::chkWidth_Click);
    connect(txtSWidth, &QLineEdit::textChanged, this, &CellSettingsPane::txtSWidth_Change);
    connect(txtSHeight, &QLineEdit::textChanged, this, &CellSettingsPane::txtSHeight_Change);
    connect(txtMHeight, &QLineEdit::textChanged, this, &CellSettingsPane::txtMHeight_Change);
    connect(txtMWidth, &QLineEdit::textChanged, this, &CellSettingsPane::txtMWidth_Change);
    pane::onFocusLost(txtSWidth, [this] { txtSWidth_LostFocus(); });
    pane::onFocusLost(txtSHeight, [this] { txtSHeight_LostFocus(); });
    pane::onFocusLost(txtMHeight, [this] { txtMHeight_LostFocus(); });
    pane::onFocusLost(txtMWidth, [this] { txtMWidth_LostFocus(); });
    connect(SliW, &QSlider::valueChanged, this, &CellSettingsPane::SliW_Click);
    connect(SliH, &QSlider::valueChanged, this, &CellSettingsPane::SliH_Click);
    connect(chkBackColorNothing2, &QCheckBox::toggled, this, &CellSettingsPane::chkBackColorNothing2_Click);
    connect(txtCellClass, &QLineEdit::textChanged, this, &CellSettingsPane::txtCellClass_Change);
    pane::onFocusLost(txtCellClass, [this] { m_doc.closeGesture(); });
    connect(cmbSWidthUnit, &QComboBox::currentIndexChanged, this, &CellSettingsPane::cmbSWidthUnit_Click);
    connect(cmbSHeightUnit, &QComboBox::currentIndexChanged, this, &CellSettingsPane::cmbSHeightUnit_Click);
    connect(txtCellStyle, &QLineEdit::textChanged, this, &CellSettingsPane::txtCellStyle_Change);
    pane::onFocusLost(txtCellStyle, [this] { m_doc.closeGesture(); });
    connect(cmdBackColorSet2, &QAbstractButton::clicked, this, &CellSettingsPane::cmdBackColorSet2_Click);
    connect(&m_doc, &TableDocument::cellsChanged, this, &CellSettingsPane::onCellsChanged);

    // One undo step per click, per colour chosen, per visit to a box and per
    // slider drag; the box handlers above end their own visits.
    for (QCheckBox *c : {chkSWidth, chkSHeight, chkHeight, chkWidth, chkBackColorNothing2})
        connect(c, &QCheckBox::toggled, &m_doc, &TableDocument::closeGesture);
    for (QComboBox *c : {cmbSWidthUnit, cmbSHeightUnit})
        connect(c, &QComboBox::currentIndexChanged, &m_doc, &TableDocument::closeGesture);
    for (QSlider *s : {SliW, SliH}) {
        connect(s, &QSlider::sliderReleased, &m_doc, &TableDocument::closeGesture);
        connect(s, &QSlider::valueChanged, this, [this, s] {
            if (!s->isSliderDown())
                m_doc.closeGesture();
        });
    }
    connect(cmdBackColorSet2, &QAbstractButton::clicked, &m_doc, &TableDocument::closeGesture);
}

void CellSettingsPane::createControls()
{
    QWidget *picBar = this;

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
    Label333 = new QLabel(tr("背景色(&C)："), picBar);
    named(Label333, "Label333");
    picBackColor2 = new ColorSwatch(picBar);
    named(picBackColor2, "picBackColor2", tr("セルの背景色に設定されている色を表示します。"));
    auto *colorButton = new QPushButton(QStringLiteral("..."), picBar);
    named(colorButton, "cmdBackColorSet2", tr("セルの背景色を設定します。"));
    cmdBackColorSet2 = colorButton;
    chkBackColorNothing2 = new QCheckBox(tr("なし"), picBar);
    named(chkBackColorNothing2, "chkBackColorNothing2", tr(
        "セルの背景色の有無を設定します。チェックすると、全体設定で設定した表の背景が表示されます。"));
    Label333->setBuddy(cmdBackColorSet2);
    cmdBackColorSet2->setAccessibleName(plainCaption(Label333->text()));

    // Width.
    frame(Frame4, "Frame4", tr("幅の変更"));
    inner(Picture1, "Picture1", Frame4);
    chkSWidth = new QCheckBox(tr("変更する"), Picture1);
    named(chkSWidth, "chkSWidth", tr(
        "セルの幅の設定の有無を設定します。チェックすると、セルの幅のサイズの変更ができるようになります。"));
    Label1[0] = new QLabel(tr("ｻｲｽﾞ(ﾋﾟｸｾﾙ)："), Picture1);
    named(Label1[0], "Label1_0");
    txtSWidth = new QLineEdit(Picture1);
    Label1[0]->setBuddy(txtSWidth);
    named(txtSWidth, "txtSWidth", tr("セルの幅のサイズを設定します。"));

    cmbSWidthUnit = new QComboBox(Picture1);
    named(cmbSWidthUnit, "cmbSWidthUnit", tr("セルの幅の単位を選びます。％は表の幅に対する割合です。"));

    // Height.
    frame(Frame5, "Frame5", tr("高さの変更"));
    inner(Picture5, "Picture5", Frame5);
    chkSHeight = new QCheckBox(tr("変更する"), Picture5);
    named(chkSHeight, "chkSHeight", tr(
        "セルの高さの設定の有無を設定します。チェックすると、セルの高さのサイズの変更ができるようになります。"));
    Label1[1] = new QLabel(tr("ｻｲｽﾞ(ﾋﾟｸｾﾙ)："), Picture5);
    named(Label1[1], "Label1_1");
    txtSHeight = new QLineEdit(Picture5);
    Label1[1]->setBuddy(txtSHeight);
    named(txtSHeight, "txtSHeight", tr("セルの高さのサイズを設定します。"));
    cmbSHeightUnit = new QComboBox(Picture5);
    named(cmbSHeightUnit, "cmbSHeightUnit", tr("セルの高さの単位を選びます。％は表の高さに対する割合です。"));
    // In the order of the records' per-cent switch; CSS's own names, short
    // enough to sit beside the box.
    for (QComboBox *c : {cmbSWidthUnit, cmbSHeightUnit})
        c->addItems({QStringLiteral("px"), QStringLiteral("%")});

    // Vertical merge.
    frame(Frame1, "Frame1", tr("縦に結合"));
    inner(Picture2, "Picture2", Frame1);
    chkHeight = new QCheckBox(tr("結合(&H)"), Picture2);
    named(chkHeight, "chkHeight", tr(
        "セルが縦に結合するか設定の有無を設定します。チェックすると、セルの縦の結合の幅が変更できるようになります。"));
    Label10 = new QLabel(tr("個数："), Picture2);
    named(Label10, "Label10");
    txtMHeight = new QLineEdit(Picture2);
    Label10->setBuddy(txtMHeight);
    named(txtMHeight, "txtMHeight", tr("セルを縦に結合する個数を設定します。"));

    // Horizontal merge.
    frame(Frame2, "Frame2", tr("横に結合"));
    inner(Picture3, "Picture3", Frame2);
    chkWidth = new QCheckBox(tr("結合(&W)"), Picture3);
    named(chkWidth, "chkWidth", tr(
        "セルが横に結合するか設定の有無を設定します。チェックすると、セルの横の結合の幅が変更できるようになります。"));
    Label11 = new QLabel(tr("個数："), Picture3);
    named(Label11, "Label11");
    txtMWidth = new QLineEdit(Picture3);
    Label11->setBuddy(txtMWidth);
    named(txtMWidth, "txtMWidth", tr("セルを横に結合する個数を設定します。"));

    // Alignment.
    frame(Frame3, "Frame3", tr("配置"));
    inner(Picture4, "Picture4", Frame3);
    SliW = new QSlider(Qt::Horizontal, Picture4);
    named(SliW, "SliW", tr("セルのテキストの横の配置を設定します。"));
    SliH = new QSlider(Qt::Vertical, Picture4);
    named(SliH, "SliH", tr("セルのテキストの縦の配置を設定します。"));
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
    // A cell as the grid shows it: the theme's base and text, light or dark.
    preview->setAutoFillBackground(true);
    preview->setBackgroundRole(QPalette::Base);
    picText = preview;
    named(picText, "picText", tr("セルの文字列の配置のプレビューです。"));
    lblTextMove = new QLabel(tr("あ"), picText);
    lblTextMove->setForegroundRole(QPalette::Text);
    named(lblTextMove, "lblTextMove");

    lblCellClass = new QLabel(tr("クラス(&L)："), picBar);
    named(lblCellClass, "lblCellClass");
    txtCellClass = new QLineEdit(picBar);
    named(txtCellClass, "txtCellClass", tr("セルの class 属性を入力します。空白で区切って複数書けます。"));
    lblCellClass->setBuddy(txtCellClass);

    lblCellStyle = new QLabel(tr("スタイル(&Y)："), picBar);
    named(lblCellStyle, "lblCellStyle");
    txtCellStyle = new QLineEdit(picBar);
    named(txtCellStyle, "txtCellStyle", tr(
        "セルの style 属性に加える CSS を入力します（例: color: red; font-weight: bold）。HTML5 の出力にだけ書き出されます。"));
    lblCellStyle->setBuddy(txtCellStyle);
}

void CellSettingsPane::load(int col, int row, const CellRecord &rec)
{
    m_col = col;
    m_row = row;
    {
        const QSignalBlocker b1(chkSHeight), b2(chkSWidth), b3(txtSHeight), b4(txtSWidth),
                b5(chkHeight), b6(chkWidth), b7(txtMHeight), b8(txtMWidth), b9(SliH), b10(SliW),
                b11(chkBackColorNothing2), b12(txtCellClass), b13(cmbSWidthUnit), b14(cmbSHeightUnit),
                b15(txtCellStyle);
        chkSHeight->setChecked(rec.HeightOn != 0);
        chkSWidth->setChecked(rec.WidthOn != 0);
        txtSHeight->setText(QString::number(rec.Height));
        txtSWidth->setText(QString::number(rec.Width));
        chkHeight->setChecked(rec.RowSpanOn != 0);
        chkWidth->setChecked(rec.ColSpanOn != 0);
        txtMHeight->setText(QString::number(rec.RowSpan));
        txtMWidth->setText(QString::number(rec.ColSpan));
        SliH->setValue(rec.VAlign);
        SliW->setValue(rec.HAlign);
        picBackColor2->setColor(rec.BackColor);
        chkBackColorNothing2->setChecked(rec.BackColorNothing != 0);
        txtCellClass->setText(rec.Class);
        cmbSWidthUnit->setCurrentIndex(rec.WidthPercent != 0 ? 1 : 0);
        cmbSHeightUnit->setCurrentIndex(rec.HeightPercent != 0 ? 1 : 0);
        // A style typed in the box stays as typed; the output writes what is safe of it.
        if (txtCellStyle->text() != rec.Style) {
            txtCellStyle->setText(rec.Style);
            txtCellStyle->setCursorPosition(0); // a long style shows from its start
        }
    }
    showEnabledStates();
    const bool header = rec.Header == -1;
    SliH->setEnabled(!header);
    SliW->setEnabled(!header);
    moveLetter();
    // Netscape mode drops the alignment in HTML 4 only.
    Frame3->setVisible(m_doc.model().NetscapeMode != 1 || m_doc.model().OutputProfile == MarkupProfile::Html5);
}

void CellSettingsPane::showRangeSwitches(const CellRecord &all)
{
    {
        const QSignalBlocker b1(chkSHeight), b2(chkSWidth), b3(chkHeight), b4(chkWidth), b5(chkBackColorNothing2);
        chkSHeight->setChecked(all.HeightOn != 0);
        chkSWidth->setChecked(all.WidthOn != 0);
        chkHeight->setChecked(all.RowSpanOn != 0);
        chkWidth->setChecked(all.ColSpanOn != 0);
        chkBackColorNothing2->setChecked(all.BackColorNothing != 0);
    }
    showEnabledStates();
}

void CellSettingsPane::commitFocusedBox()
{
    if (txtSWidth->hasFocus())
        txtSWidth_LostFocus();
    else if (txtSHeight->hasFocus())
        txtSHeight_LostFocus();
    else if (txtMHeight->hasFocus())
        txtMHeight_LostFocus();
    else if (txtMWidth->hasFocus())
        txtMWidth_LostFocus();
}

void CellSettingsPane::showEnabledStates()
{
    const bool widthOn = chkSWidth->isChecked();
    Label1[0]->setEnabled(widthOn);
    txtSWidth->setEnabled(widthOn);
    const bool heightOn = chkSHeight->isChecked();
    Label1[1]->setEnabled(heightOn);
    txtSHeight->setEnabled(heightOn);
    cmbSWidthUnit->setEnabled(widthOn);
    cmbSHeightUnit->setEnabled(heightOn);
    // The label says the unit the box holds, and so does its name for a screen reader.
    for (int i = 0; i < 2; ++i) {
        const bool percent = (i == 0 ? cmbSWidthUnit : cmbSHeightUnit)->currentIndex() == 1;
        const QString caption = percent ? tr("ｻｲｽﾞ(％)：") : tr("ｻｲｽﾞ(ﾋﾟｸｾﾙ)：");
        if (Label1[i]->text() != caption) {
            Label1[i]->setText(caption);
            (i == 0 ? txtSWidth : txtSHeight)->setAccessibleName(plainCaption(caption));
        }
    }
    Label10->setEnabled(chkHeight->isChecked());
    txtMHeight->setEnabled(chkHeight->isChecked());
    Label11->setEnabled(chkWidth->isChecked());
    txtMWidth->setEnabled(chkWidth->isChecked());
    const bool none = chkBackColorNothing2->isChecked();
    Label333->setEnabled(!none);
    picBackColor2->setEnabled(!none);
    picBackColor2->setNone(none);
    cmdBackColorSet2->setEnabled(!none);
}

void CellSettingsPane::moveLetter()
{
    // A screen reader names the place, not the slider's number.
    static const char *const across[] = {QT_TR_NOOP("左"), QT_TR_NOOP("中央"), QT_TR_NOOP("右")};
    static const char *const down[] = {QT_TR_NOOP("上"), QT_TR_NOOP("中央"), QT_TR_NOOP("下")};
    SliW->setAccessibleName(tr("横の配置: %1").arg(tr(across[qBound(0, SliW->value(), 2)])));
    SliH->setAccessibleName(tr("縦の配置: %1").arg(tr(down[qBound(0, SliH->value(), 2)])));
    const QRect inner = picText->contentsRect();
    lblTextMove->move(inner.left() + letterOffset(SliW->value(), inner.width(), lblTextMove->width()),
                      inner.top() + letterOffset(SliH->value(), inner.height(), lblTextMove->height()));
}

// The header switch lives in the window's command table; the sliders follow it here.
void CellSettingsPane::onCellsChanged(QRect cells, CellFields fields)
{
    if (!(fields & CellField::Header) || !cells.contains(m_col, m_row))
        return;
    const bool header = m_doc.cell(m_col, m_row).Header != 0;
    SliH->setEnabled(!header);
    SliW->setEnabled(!header);
}

// Every selected cell takes the change, as one step.
void CellSettingsPane::store(CellField field, qint32 value)
{
    const QRect range = m_selection ? m_selection() : QRect();
    if (range.contains(m_col, m_row))
        m_doc.setCellsField(range, field, value);
    else
        m_doc.setCellField(m_col, m_row, field, value);
}

// --- switch boxes: each enables its label and box, and keeps the number as it was

void CellSettingsPane::chkSWidth_Click()
{
    showEnabledStates();
    store(CellField::WidthOn, chkSWidth->isChecked() ? 1 : 0);
}

void CellSettingsPane::chkSHeight_Click()
{
    showEnabledStates();
    store(CellField::HeightOn, chkSHeight->isChecked() ? 1 : 0);
}

void CellSettingsPane::chkHeight_Click()
{
    showEnabledStates();
    store(CellField::RowSpanOn, chkHeight->isChecked() ? 1 : 0);
}

void CellSettingsPane::chkWidth_Click()
{
    showEnabledStates();
    store(CellField::ColSpanOn, chkWidth->isChecked() ? 1 : 0);
}

// --- number boxes

void CellSettingsPane::txtSWidth_Change()
{
    pane::numberChanged<qint32>(txtSWidth, [this](qint32 v) { store(CellField::Width, v); }, sizeBox(true));
}

void CellSettingsPane::txtSHeight_Change()
{
    pane::numberChanged<qint32>(txtSHeight, [this](qint32 v) { store(CellField::Height, v); }, sizeBox(false));
}

void CellSettingsPane::txtMHeight_Change()
{
    pane::numberChanged<qint32>(txtMHeight, [this](qint32 v) { store(CellField::RowSpan, v); }, MHeightBox);
}

void CellSettingsPane::txtMWidth_Change()
{
    pane::numberChanged<qint32>(txtMWidth, [this](qint32 v) { store(CellField::ColSpan, v); }, MWidthBox);
}

void CellSettingsPane::txtSWidth_LostFocus()
{
    pane::numberLeft<qint32>(txtSWidth, [this](qint32 v) { store(CellField::Width, v); }, sizeBox(true));
    m_doc.closeGesture();
}

void CellSettingsPane::txtSHeight_LostFocus()
{
    pane::numberLeft<qint32>(txtSHeight, [this](qint32 v) { store(CellField::Height, v); }, sizeBox(false));
    m_doc.closeGesture();
}

void CellSettingsPane::txtMHeight_LostFocus()
{
    pane::numberLeft<qint32>(txtMHeight, [this](qint32 v) { store(CellField::RowSpan, v); }, MHeightBox);
    m_doc.closeGesture();
}

void CellSettingsPane::txtMWidth_LostFocus()
{
    pane::numberLeft<qint32>(txtMWidth, [this](qint32 v) { store(CellField::ColSpan, v); }, MWidthBox);
    m_doc.closeGesture();
}

// --- alignment: the preview letter and the record; the grid follows the record

void CellSettingsPane::SliW_Click()
{
    moveLetter();
    store(CellField::HAlign, SliW->value());
}

void CellSettingsPane::SliH_Click()
{
    moveLetter();
    store(CellField::VAlign, SliH->value());
}

// --- cell colour

void CellSettingsPane::chkBackColorNothing2_Click()
{
    showEnabledStates();
    // The grid shows a cell without its own colour white, not in the table's colour.
    store(CellField::BackColorNothing, chkBackColorNothing2->isChecked() ? 1 : 0);
}

void CellSettingsPane::cmdBackColorSet2_Click()
{
    qint32 color = picBackColor2->color();
    if (!Dlg->ShowColor(color))
        return; // cancelled: swatch, record and grid stay as they are
    picBackColor2->setColor(color);
    StepScope step(m_doc, TableDocument::stepName(CellField::BackColor));
    store(CellField::BackColor, color);
    store(CellField::BackColorNothing, chkBackColorNothing2->isChecked() ? 1 : 0);
}

// --- class: every selected cell takes it, as for the other fields

void CellSettingsPane::txtCellClass_Change()
{
    const QRect range = m_selection ? m_selection() : QRect();
    m_doc.setCellsClass(range.contains(m_col, m_row) ? range : QRect(m_col, m_row, 1, 1),
                        txtCellClass->text());
}

// --- units of the width and height, and the cell's own style

const pane::Fallbacks &CellSettingsPane::sizeBox(bool width) const
{
    if (width)
        return cmbSWidthUnit->currentIndex() == 1 ? SWidthPercentBox : SWidthBox;
    return cmbSHeightUnit->currentIndex() == 1 ? SHeightPercentBox : SHeightBox;
}

void CellSettingsPane::unitChosen(bool width)
{
    QComboBox *unit = width ? cmbSWidthUnit : cmbSHeightUnit;
    QLineEdit *box = width ? txtSWidth : txtSHeight;
    const CellField field = width ? CellField::Width : CellField::Height;
    // The unit and the size it brings into range are one step: 500 pixels
    // read as per cent would be five times the table.
    StepScope step(m_doc, TableDocument::stepName(field));
    store(width ? CellField::WidthPercent : CellField::HeightPercent, unit->currentIndex() == 1 ? 1 : 0);
    showEnabledStates();
    pane::numberLeft<qint32>(box, [this, field](qint32 v) { store(field, v); }, sizeBox(width));
}

void CellSettingsPane::cmbSWidthUnit_Click()
{
    unitChosen(true);
}

void CellSettingsPane::cmbSHeightUnit_Click()
{
    unitChosen(false);
}

void CellSettingsPane::txtCellStyle_Change()
{
    const QRect range = m_selection ? m_selection() : QRect();
    m_doc.setCellsStyle(range.contains(m_col, m_row) ? range : QRect(m_col, m_row, 1, 1),
                        txtCellStyle->text());
}
