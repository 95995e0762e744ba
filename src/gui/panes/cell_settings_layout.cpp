// The cell settings pane's layout: designed positions, scaled with the desktop's font.
#include "gui/panes/cell_settings_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <tuple>
#include <utility>

#include "gui/widgets/color_swatch.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/ui_font.h"

// Where the controls go. Across, the designed positions; down, the rows are
// stacked at the height the Japanese face really needs (it runs taller than the
// designed one), which still fits the pane's designed 5295 twips.
void CellSettingsPane::layOut()
{
    CellSettingsPane *w = this;
    // Designed at 9 points; a larger desktop font makes everything larger alike.
    const qreal k = desktopFontScale();
    auto px = [k](int designed) { return qRound(designed * k); };
    const int CheckHeight = px(19);
    const int BoxHeight = px(22);
    // Gaps of 3 rather than 4: the style row needs their room.
    const int Gap = px(3);
    const int paneWidth = paneSize().width(); // picBar never changes size

    // Colour row.
    int y = px(4);
    const int rowHeight = px(20);
    w->Label333->setGeometry(px(8), y, qMin(w->Label333->sizeHint().width(), px(63)), rowHeight);
    w->picBackColor2->setGeometry(px(72), y + (rowHeight - px(17)) / 2, px(33), px(17));
    w->cmdBackColorSet2->setGeometry(px(104), y + (rowHeight - px(17)) / 2, px(17), px(17));
    w->chkBackColorNothing2->setGeometry(px(128), y, paneWidth - px(128), rowHeight);
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

    // Width and height: the switch on top, label, box and unit below it; as
    // wide as the alignment frame, for the unit.
    const int sizeRows = CheckHeight + 1 + BoxHeight;
    for (auto [frame, chk, lbl, box, unit] :
         {std::tuple<QGroupBox *, QCheckBox *, QLabel *, QLineEdit *, QComboBox *>{
                  w->Frame4, w->chkSWidth, w->Label1[0], w->txtSWidth, w->cmbSWidthUnit},
          {w->Frame5, w->chkSHeight, w->Label1[1], w->txtSHeight, w->cmbSHeightUnit}}) {
        y = frameAt(frame, px(8), y, px(169), sizeRows) + Gap;
        chk->setGeometry(0, 0, px(110), CheckHeight);
        const int boxLeft = qMax(px(72), lbl->sizeHint().width() + 1);
        lbl->setGeometry(0, CheckHeight + 1, boxLeft - 1, BoxHeight);
        box->setGeometry(boxLeft, CheckHeight + 1, px(41), BoxHeight);
        const int unitLeft = boxLeft + px(43);
        unit->setGeometry(unitLeft, CheckHeight + 1, qMax(unit->sizeHint().width(), unit->parentWidget()->width() - unitLeft),
                          BoxHeight);
    }
    // Merges, side by side: narrow frames, so the count box follows its label.
    int mergeBottom = y;
    for (auto [frame, left, chk, lbl, box] :
         {std::tuple<QGroupBox *, int, QCheckBox *, QLabel *, QLineEdit *>{w->Frame1, px(8), w->chkHeight, w->Label10, w->txtMHeight},
          {w->Frame2, px(96), w->chkWidth, w->Label11, w->txtMWidth}}) {
        mergeBottom = frameAt(frame, left, y, px(81), sizeRows) + Gap;
        chk->setGeometry(0, 0, px(73), CheckHeight);
        const int labelWidth = lbl->sizeHint().width();
        lbl->setGeometry(0, CheckHeight + 1, labelWidth, BoxHeight);
        box->setGeometry(labelWidth + 1, CheckHeight + 1, px(28), BoxHeight);
    }
    y = mergeBottom;

    // Alignment: the horizontal slider over the preview, the vertical one beside it.
    const int sliderHeight = px(21);
    const int previewHeight = px(32);
    y = frameAt(w->Frame3, px(8), y, px(169), sliderHeight + 2 + previewHeight) + Gap;
    w->SliW->setGeometry(px(8), 0, px(97), sliderHeight);
    w->picText->setGeometry(px(16), sliderHeight + 2, px(81), previewHeight);
    w->SliH->setGeometry(px(104), 0, px(37), sliderHeight + 2 + previewHeight);
    w->lblTextMove->resize(w->lblTextMove->sizeHint().expandedTo(QSize(11, 12)));

    // The class and style rows, below the alignment.
    const int classLeft = std::max({px(72), w->lblCellClass->sizeHint().width() + px(12),
                                w->lblCellStyle->sizeHint().width() + px(12)});
    for (auto [lbl, box] : {std::pair<QLabel *, QLineEdit *>{w->lblCellClass, w->txtCellClass},
                            {w->lblCellStyle, w->txtCellStyle}}) {
        lbl->setGeometry(px(8), y, classLeft - px(9), BoxHeight);
        box->setGeometry(classLeft, y, paneWidth - classLeft - px(8), BoxHeight);
        y += BoxHeight + Gap;
    }
}

// The designed 2775 x 5295 twips, and below them the class row that the
// designed controls leave no room for (the window's smallest client area
// still holds it); the style row takes the room the closer gaps and the
// shorter preview leave.
QSize CellSettingsPane::paneSize()
{
    constexpr int ClassRow = 22 + 4 + 4; // the box, the gap above it, a margin below
    return QSize(twipsToPixels(2775), twipsToPixels(5295) + ClassRow) * desktopFontScale();
}
