#include "gui/panes/table_settings_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>
#include <tuple>

#include "gui/widgets/color_swatch.h"
#include "gui/widgets/ui_font.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/up_down.h"
#include "gui/widgets/twips.h"
#include "core/markup/table_markup.h"
#include "gui/panes/pane_helpers.h"
#include "document/table_document.h"

namespace {

// Each box has its own fallbacks: txtWidth refills an emptied box with "2"
// but corrects a bad value with "1".
constexpr pane::Fallbacks WidthBox{"2", "1", 1, TableLimits::MaxCols};
constexpr pane::Fallbacks HeightBox{"1", "1", 1, TableLimits::MaxRows};
// 0 is a border too: no lines, no spacing.
constexpr pane::Fallbacks BorderBox{"1", "1", 0, 10};
constexpr pane::Fallbacks PixelWidthBox{"100", "100", 1, 9999};
constexpr pane::Fallbacks PercentWidthBox{"100", "100", 1, 100};
constexpr pane::Fallbacks FooterRowsBox{"0", "0", 0, TableLimits::MaxRows};

// The unit combo's rows, in WidthUnit's order.
const pane::Fallbacks &widthBox(WidthUnit unit)
{
    return unit == WidthUnit::Percent ? PercentWidthBox : PixelWidthBox;
}

} // namespace

TableSettingsPane::TableSettingsPane(TableDocument &doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), Dlg(new CommonDialog(this))
{
    setObjectName(QStringLiteral("picAllSet"));
    setAutoFillBackground(true);
    setFont(japaneseUiFont(9));

    auto label = [this](QLabel *&l, const char *name, const QString &caption) {
        l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
    };
    auto box = [this](QLineEdit *&b, const char *name, const QString &tip) {
        b = new QLineEdit(this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
    };
    auto spinner = [this](UpDown *&u, const char *name, QLineEdit *buddy, int hi) {
        u = new UpDown(this);
        u->setObjectName(QLatin1String(name));
        u->setBuddy(buddy);
        u->setRange(0, hi);
    };

    // The row/column labels and tips read swapped (the row label names the
    // column box); files and manuals refer to them so, so they stay.
    label(Label101, "Label101", tr("行の数(&W)："));
    box(txtWidth, "txtWidth", tr("表の行の数を入力します。"));
    spinner(UpDownWidth, "UpDownWidth", txtWidth, TableLimits::MaxCols);
    label(Label201, "Label201", tr("列の数(&D)："));
    box(txtHeight, "txtHeight", tr("表の列の数を入力します。"));
    spinner(UpDownHeight, "UpDownHeight", txtHeight, TableLimits::MaxRows);
    label(Label601, "Label601", tr("タイトル(&T)："));
    box(txtTitle, "txtTitle", tr("表のタイトル（表の上に配置されます）を入力します。"));
    txtTitle->setMaxLength(std::numeric_limits<int>::max());
    label(Label801, "Label801", tr("線の太さ(&B)："));
    box(txtBorder, "txtBorder", tr("表の罫線の太さを入力します。"));
    spinner(UpDown1, "UpDown1", txtBorder, 10);

    label(Label2, "Label2", tr("背景色(&C)："));
    picBackColor = new ColorSwatch(this);
    picBackColor->setObjectName(QStringLiteral("picBackColor"));
    picBackColor->setToolTip(tr("表の背景色に設定されている色を表示します。"));
    auto *colorButton = new QPushButton(QStringLiteral("..."), this);
    colorButton->setObjectName(QStringLiteral("cmdBackColorSet"));
    colorButton->setToolTip(tr("表の背景色を設定します。"));
    cmdBackColorSet = colorButton;
    chkBackColorNothing = new QCheckBox(tr("なし"), this);
    chkBackColorNothing->setObjectName(QStringLiteral("chkBackColorNothing"));
    chkBackColorNothing->setToolTip(tr(
        "表の背景色の有無を決めます。チェックするとホームページの背景がそのまま表示されます。"));
    chkNet = new QCheckBox(tr("Netscape対応"), this);
    chkNet->setObjectName(QStringLiteral("chkNet"));
    chkNet->setToolTip(tr(
        "表をNetscape対応にするかを決定します。チェックすると、Netscapeで対応していないタグは省かれます。"));

    label(lblProfile, "lblProfile", tr("出力形式(&K)："));
    cmbProfile = new QComboBox(this);
    cmbProfile->setObjectName(QStringLiteral("cmbProfile"));
    cmbProfile->setToolTip(tr("書き出すHTMLの形式を選びます。"));
    // In MarkupProfile's order.
    cmbProfile->addItems({tr("HTML 4 (従来)"), QStringLiteral("HTML5")});
    label(lblTableWidth, "lblTableWidth", tr("表の幅(&I)："));
    cmbWidthUnit = new QComboBox(this);
    cmbWidthUnit->setObjectName(QStringLiteral("cmbWidthUnit"));
    cmbWidthUnit->setToolTip(tr("表の幅の単位を選びます。「なし」ではブラウザが幅を決めます。"));
    // In WidthUnit's order.
    cmbWidthUnit->addItems({tr("なし"), tr("ピクセル"), tr("％")});
    box(txtTableWidth, "txtTableWidth", tr("表の幅を入力します。"));
    label(lblStyle, "lblStyle", tr("スタイル(&Y)："));
    cmbStyle = new QComboBox(this);
    cmbStyle->setObjectName(QStringLiteral("cmbStyle"));
    cmbStyle->setToolTip(tr("HTML5 で、見た目を style 属性で書くか、構造だけを書いてサイトの CSS に任せるかを選びます。"));
    // In PresentationStyle's order.
    cmbStyle->addItems({tr("インライン CSS"), tr("なし（構造のみ）")});
    label(lblTableId, "lblTableId", tr("ID(&E)："));
    box(txtTableId, "txtTableId", tr("表の id 属性を入力します。"));
    label(lblTableClass, "lblTableClass", tr("クラス(&L)："));
    box(txtTableClass, "txtTableClass", tr("表の class 属性を入力します。空白で区切って複数書けます。"));
    label(lblFooterRows, "lblFooterRows", tr("フッター行(&O)："));
    box(txtFooterRows, "txtFooterRows", tr("表の最後の何行をフッター（HTML5 の tfoot）にするかを入力します。0 でフッターなし。"));
    spinner(UpDownFooterRows, "UpDownFooterRows", txtFooterRows, FooterRowsBox.hi);

    Label101->setBuddy(txtWidth);
    Label201->setBuddy(txtHeight);
    Label601->setBuddy(txtTitle);
    Label801->setBuddy(txtBorder);
    Label2->setBuddy(cmdBackColorSet);
    lblProfile->setBuddy(cmbProfile);
    lblTableWidth->setBuddy(cmbWidthUnit);
    lblStyle->setBuddy(cmbStyle);
    lblTableId->setBuddy(txtTableId);
    lblTableClass->setBuddy(txtTableClass);
    lblFooterRows->setBuddy(txtFooterRows);
    SetNumberOnly(txtFooterRows, pane::digitsFor(TableLimits::MaxRows));
    SetNumberOnly(txtTableWidth, 4);
    SetNumberOnly(txtBorder, 2);
    SetNumberOnly(txtHeight, pane::digitsFor(TableLimits::MaxRows));
    SetNumberOnly(txtWidth, pane::digitsFor(TableLimits::MaxCols));

    layOut();

    connect(txtWidth, &QLineEdit::textChanged, this, &TableSettingsPane::txtWidth_Change);
    connect(txtHeight, &QLineEdit::textChanged, this, &TableSettingsPane::txtHeight_Change);
    connect(txtBorder, &QLineEdit::textChanged, this, &TableSettingsPane::txtBorder_Change);
    connect(txtTitle, &QLineEdit::textChanged, this, &TableSettingsPane::txtTitle_Change);
    pane::onFocusLost(txtWidth, [this] { txtWidth_LostFocus(); });
    pane::onFocusLost(txtHeight, [this] { txtHeight_LostFocus(); });
    pane::onFocusLost(txtBorder, [this] { txtBorder_LostFocus(); });
    connect(chkBackColorNothing, &QCheckBox::toggled, this, &TableSettingsPane::chkBackColorNothing_Click);
    connect(cmdBackColorSet, &QAbstractButton::clicked, this, &TableSettingsPane::cmdBackColorSet_Click);
    connect(chkNet, &QCheckBox::toggled, this, &TableSettingsPane::chkNet_Click);
    connect(cmbProfile, &QComboBox::currentIndexChanged, this, &TableSettingsPane::cmbProfile_Click);
    connect(cmbWidthUnit, &QComboBox::currentIndexChanged, this, &TableSettingsPane::cmbWidthUnit_Click);
    connect(txtTableWidth, &QLineEdit::textChanged, this, &TableSettingsPane::txtTableWidth_Change);
    pane::onFocusLost(txtTableWidth, [this] { txtTableWidth_LostFocus(); });
    connect(cmbStyle, &QComboBox::currentIndexChanged, this, &TableSettingsPane::cmbStyle_Click);
    connect(txtTableId, &QLineEdit::textChanged, this, &TableSettingsPane::txtTableId_Change);
    connect(txtTableClass, &QLineEdit::textChanged, this, &TableSettingsPane::txtTableClass_Change);
    pane::onFocusLost(txtTableId, [this] { m_doc.closeGesture(); });
    pane::onFocusLost(txtTableClass, [this] { m_doc.closeGesture(); });
    connect(txtFooterRows, &QLineEdit::textChanged, this, &TableSettingsPane::txtFooterRows_Change);
    pane::onFocusLost(txtFooterRows, [this] { txtFooterRows_LostFocus(); });
    // A paste in the grid (or its undo) resizes the table: the size boxes follow,
    // so the next view switch sizes the grid from them right.
    connect(&m_doc, &TableDocument::tableChanged, this, [this](TableFields fields) {
        const auto follow = [](QLineEdit *box, qint32 value) {
            if (pane::valNumber(box->text()) == value)
                return;
            const QSignalBlocker blocker(box);
            box->setText(QString::number(value));
        };
        if (fields & TableField::Rows)
            follow(txtHeight, m_doc.model().TableRows);
        if (fields & TableField::Cols)
            follow(txtWidth, m_doc.model().TableCols);
    });

    // One undo step per visit to a box, per click, per choice and per hold
    // of a spinner; the box handlers above end their own visits.
    pane::onFocusLost(txtTitle, [this] { m_doc.closeGesture(); });
    for (UpDown *u : {UpDownWidth, UpDownHeight, UpDown1, UpDownFooterRows})
        for (QAbstractButton *arrow : u->findChildren<QAbstractButton *>()) {
            // The release comes before the arrow's last step: the hold ends after it.
            connect(arrow, &QAbstractButton::pressed, &m_doc, &TableDocument::closeGesture);
            connect(arrow, &QAbstractButton::released, &m_doc, &TableDocument::closeGesture, Qt::QueuedConnection);
        }
    for (QCheckBox *c : {chkBackColorNothing, chkNet})
        connect(c, &QCheckBox::toggled, &m_doc, &TableDocument::closeGesture);
    for (QComboBox *c : {cmbProfile, cmbWidthUnit, cmbStyle})
        connect(c, &QComboBox::currentIndexChanged, &m_doc, &TableDocument::closeGesture);
    connect(cmdBackColorSet, &QAbstractButton::clicked, &m_doc, &TableDocument::closeGesture);
}

void TableSettingsPane::layOut()
{
    // Designed rows, each centred where it was designed. The Japanese faces
    // that stand in for the designed one run wider, so the column of boxes moves
    // right as far as the widest label needs; nothing is clipped.
    // Designed at 9 points; a larger desktop font makes everything larger alike.
    const qreal k = desktopFontScale();
    const int BoxHeight = qRound(22 * k);
    auto twips = [k](int t) { return qRound(twipsToPixels(t) * k); };
    int labelsRight = 0;
    for (auto [l, left] : {std::pair<QLabel *, int>{Label101, 120}, {Label201, 120}, {Label601, 120},
                           {Label801, 120}, {Label2, 120},
                           {lblProfile, 120}, {lblTableWidth, 120}, {lblStyle, 120},
                           {lblTableId, 120}, {lblTableClass, 120}, {lblFooterRows, 120}})
        labelsRight = qMax(labelsRight, twips(left) + l->sizeHint().width());
    const int shift = qMax(0, labelsRight + 3 - twips(1080));
    auto row = [&](QWidget *w, int left, int top, int width, int height, bool moves) {
        const int centre = twips(top) + twips(height) / 2;
        int h = twips(height);
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<UpDown *>(w))
            h = qMax(h, BoxHeight);
        else if (qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w))
            h = qMax(h, w->sizeHint().height());
        int wd = twips(width);
        if (qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w))
            wd = qMax(wd, w->sizeHint().width());
        w->setGeometry(twips(left) + (moves ? shift : 0), centre - h / 2, wd, h);
    };
    row(Label101, 120, 120, 885, 180, false);
    row(txtWidth, 1080, 75, 375, 270, true);
    row(UpDownWidth, 1440, 75, 255, 270, true);
    row(Label201, 120, 480, 870, 180, false);
    row(txtHeight, 1080, 435, 375, 270, true);
    row(UpDownHeight, 1440, 435, 255, 270, true);
    row(Label601, 120, 840, 900, 180, false);
    row(txtTitle, 1080, 795, 2655, 270, true);
    // Designed flush with the edge, where the Japanese face's first stroke is cut:
    // it lines up with the other labels instead.
    row(Label801, 120, 1200, 1005, 180, false);
    row(txtBorder, 1080, 1155, 375, 270, true);
    row(UpDown1, 1440, 1155, 255, 270, true);
    row(Label2, 120, 1545, 870, 180, false);
    // The colour row sits a little lower: the boxes above it grew taller than designed.
    const int colourTop = 1515 + 60;
    row(picBackColor, 1080, colourTop, 495, 255, true);
    row(cmdBackColorSet, 1560, colourTop, 255, 255, true);
    row(chkBackColorNothing, 1920, colourTop, 615, 255, true);
    Label2->move(Label2->x(), picBackColor->geometry().center().y() - Label2->height() / 2);
    row(chkNet, 1080, 1920 + 60, 1455, 255, true);
    // The rows added after the designed ones keep its 360-twip pitch below chkNet.
    row(lblProfile, 120, 2340 + 105, 900, 180, false);
    row(cmbProfile, 1080, 2340 + 60, 1455, 270, true);
    row(lblTableWidth, 120, 2700 + 105, 900, 180, false);
    row(cmbWidthUnit, 1080, 2700 + 60, 1095, 270, true);
    row(txtTableWidth, 2220, 2700 + 60, 555, 270, true);
    row(lblStyle, 120, 3060 + 105, 900, 180, false);
    row(cmbStyle, 1080, 3060 + 60, 1455, 270, true);
    row(lblTableId, 120, 3420 + 105, 900, 180, false);
    row(txtTableId, 1080, 3420 + 60, 2655, 270, true);
    row(lblTableClass, 120, 3780 + 105, 900, 180, false);
    row(txtTableClass, 1080, 3780 + 60, 2655, 270, true);
    row(lblFooterRows, 120, 4140 + 105, 900, 180, false);
    row(txtFooterRows, 1080, 4140 + 60, 375, 270, true);
    row(UpDownFooterRows, 1440, 4140 + 60, 255, 270, true);
    for (QComboBox *c : {cmbProfile, cmbWidthUnit, cmbStyle}) {
        // A combo's face needs its own height and its longest item's width.
        const QRect g = c->geometry();
        const int h = qMax(g.height(), c->sizeHint().height());
        c->setGeometry(g.x(), g.center().y() - h / 2 + 1, qMax(g.width(), c->sizeHint().width()), h);
    }
    txtTableWidth->move(qMax(txtTableWidth->x(), cmbWidthUnit->geometry().right() + 1 + twips(60)), txtTableWidth->y());
    // The count boxes were drawn for two digits; a table may now have seven.
    // Each box holds every digit its limit has, its arrows kept against it.
    for (auto [box, arrows, digits] : {std::tuple<QLineEdit *, QWidget *, int>{txtWidth, UpDownWidth, pane::digitsFor(TableLimits::MaxCols)},
                                      {txtHeight, UpDownHeight, pane::digitsFor(TableLimits::MaxRows)},
                                      {txtFooterRows, UpDownFooterRows, pane::digitsFor(TableLimits::MaxRows)}}) {
        const int needed = box->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + qRound(12 * k);
        if (needed <= box->width())
            continue;
        const int overlap = box->geometry().right() + 1 - arrows->x();
        box->resize(needed, box->height());
        arrows->move(box->geometry().right() + 1 - overlap, arrows->y());
    }
}

void TableSettingsPane::load(bool withNet)
{
    // Loading never writes back: the document holds the switches as the boxes
    // store them.
    const TableModel &m = m_doc.model();
    {
        const QSignalBlocker b1(txtHeight), b2(txtWidth), b3(txtTitle), b4(txtBorder),
                b5(chkBackColorNothing), b6(chkNet), b7(cmbProfile), b8(cmbWidthUnit), b9(txtTableWidth),
                b10(cmbStyle), b11(txtTableId), b12(txtTableClass), b13(txtFooterRows);
        txtHeight->setText(QString::number(m.TableRows));
        txtWidth->setText(QString::number(m.TableCols));
        txtTitle->setText(m.TableTitle);
        txtBorder->setText(QString::number(m.TableBorder));
        picBackColor->setColor(m.TableBackColor);
        chkBackColorNothing->setChecked(m.TableBackColorNothing != 0);
        if (withNet)
            chkNet->setChecked(m.NetscapeMode != 0);
        cmbProfile->setCurrentIndex(m.OutputProfile == MarkupProfile::Html5 ? 1 : 0);
        cmbWidthUnit->setCurrentIndex(int(m.TableWidthUnit));
        txtTableWidth->setText(QString::number(m.TableWidth));
        cmbStyle->setCurrentIndex(int(m.OutputStyle));
        txtTableId->setText(m.TableId);
        txtTableClass->setText(m.TableClass);
        txtFooterRows->setText(QString::number(m.FooterRows));
    }
    showColourEnabled();
    showWidthEnabled();
    showProfileEnabled();
}

void TableSettingsPane::commitFocusedBox()
{
    if (txtWidth->hasFocus())
        txtWidth_LostFocus();
    else if (txtHeight->hasFocus())
        txtHeight_LostFocus();
    else if (txtBorder->hasFocus())
        txtBorder_LostFocus();
    else if (txtTableWidth->hasFocus())
        txtTableWidth_LostFocus();
    else if (txtFooterRows->hasFocus())
        txtFooterRows_LostFocus();
}

int TableSettingsPane::columnsInBox() const
{
    return pane::valNumber(txtWidth->text());
}

int TableSettingsPane::rowsInBox() const
{
    return pane::valNumber(txtHeight->text());
}

void TableSettingsPane::txtWidth_Change()
{
    pane::numberChanged<qint32>(txtWidth, [this](qint32 v) { m_doc.setTableField(TableField::Cols, v); }, WidthBox);
}

void TableSettingsPane::txtHeight_Change()
{
    pane::numberChanged<qint32>(txtHeight, [this](qint32 v) { m_doc.setTableField(TableField::Rows, v); }, HeightBox);
}

void TableSettingsPane::txtBorder_Change()
{
    pane::numberChanged<qint16>(txtBorder, [this](qint16 v) { m_doc.setTableField(TableField::Border, v); }, BorderBox);
}

void TableSettingsPane::txtWidth_LostFocus()
{
    pane::numberLeft<qint32>(txtWidth, [this](qint32 v) { m_doc.setTableField(TableField::Cols, v); }, WidthBox);
    m_doc.closeGesture();
}

void TableSettingsPane::txtHeight_LostFocus()
{
    pane::numberLeft<qint32>(txtHeight, [this](qint32 v) { m_doc.setTableField(TableField::Rows, v); }, HeightBox);
    m_doc.closeGesture();
}

void TableSettingsPane::txtBorder_LostFocus()
{
    pane::numberLeft<qint16>(txtBorder, [this](qint16 v) { m_doc.setTableField(TableField::Border, v); }, BorderBox);
    m_doc.closeGesture();
}

void TableSettingsPane::txtTitle_Change()
{
    m_doc.setTitle(txtTitle->text());
}

void TableSettingsPane::showColourEnabled()
{
    const bool none = chkBackColorNothing->isChecked();
    Label2->setEnabled(!none);
    picBackColor->setEnabled(!none);
    picBackColor->setNone(none);
    cmdBackColorSet->setEnabled(!none);
}

void TableSettingsPane::chkBackColorNothing_Click()
{
    showColourEnabled();
    m_doc.setTableField(TableField::BackColorNothing, chkBackColorNothing->isChecked() ? 1 : 0);
}

void TableSettingsPane::cmdBackColorSet_Click()
{
    qint32 color = picBackColor->color();
    if (!Dlg->ShowColor(color))
        return; // cancelled: nothing changes
    picBackColor->setColor(color);
    m_doc.setTableField(TableField::BackColor, color);
}

void TableSettingsPane::chkNet_Click()
{
    m_doc.setTableField(TableField::NetscapeMode, chkNet->isChecked() ? 1 : 0);
}

void TableSettingsPane::cmbProfile_Click()
{
    m_doc.setTableField(TableField::OutputProfile,
                        qint32(cmbProfile->currentIndex() == 1 ? MarkupProfile::Html5 : MarkupProfile::Html4));
    showProfileEnabled();
}

// Netscape mode is an HTML 4 matter and the presentation an HTML5 one; each
// is greyed out under the other profile, with a tip saying why.
void TableSettingsPane::showProfileEnabled()
{
    const bool html5 = cmbProfile->currentIndex() == 1;
    chkNet->setEnabled(!html5);
    chkNet->setToolTip(html5 ? tr("Netscape対応は HTML 4 の設定です。HTML5 では配置を省きません。")
                             : tr("表をNetscape対応にするかを決定します。チェックすると、Netscapeで対応していないタグは省かれます。"));
    lblStyle->setEnabled(html5);
    cmbStyle->setEnabled(html5);
}

void TableSettingsPane::cmbStyle_Click()
{
    m_doc.setTableField(TableField::Style, qint32(qBound(0, cmbStyle->currentIndex(), 1)));
}

void TableSettingsPane::txtTableId_Change()
{
    m_doc.setTableText(TableField::Id, txtTableId->text());
}

void TableSettingsPane::txtTableClass_Change()
{
    m_doc.setTableText(TableField::Class, txtTableClass->text());
}

void TableSettingsPane::txtFooterRows_Change()
{
    pane::numberChanged<qint32>(txtFooterRows, [this](qint32 v) { m_doc.setTableField(TableField::FooterRows, v); },
                                FooterRowsBox);
}

void TableSettingsPane::txtFooterRows_LostFocus()
{
    pane::numberLeft<qint32>(txtFooterRows, [this](qint32 v) { m_doc.setTableField(TableField::FooterRows, v); },
                             FooterRowsBox);
    m_doc.closeGesture();
}

void TableSettingsPane::showWidthEnabled()
{
    txtTableWidth->setEnabled(cmbWidthUnit->currentIndex() != int(WidthUnit::None));
}

void TableSettingsPane::cmbWidthUnit_Click()
{
    const auto unit = WidthUnit(qBound(0, cmbWidthUnit->currentIndex(), 2));
    // The unit and the width it brings into range are one step.
    StepScope step(m_doc, TableDocument::stepName(TableField::WidthUnit));
    m_doc.setTableField(TableField::WidthUnit, qint32(unit));
    showWidthEnabled();
    // 500 pixels read as per cent would be five times the page: bring the
    // width into the new unit's range at once.
    if (unit != WidthUnit::None)
        pane::numberLeft<qint32>(txtTableWidth, [this](qint32 v) { m_doc.setTableField(TableField::Width, v); },
                                 widthBox(unit));
}

void TableSettingsPane::txtTableWidth_Change()
{
    pane::numberChanged<qint32>(txtTableWidth, [this](qint32 v) { m_doc.setTableField(TableField::Width, v); },
                                widthBox(m_doc.model().TableWidthUnit));
}

void TableSettingsPane::txtTableWidth_LostFocus()
{
    pane::numberLeft<qint32>(txtTableWidth, [this](qint32 v) { m_doc.setTableField(TableField::Width, v); },
                             widthBox(m_doc.model().TableWidthUnit));
    m_doc.closeGesture();
}
