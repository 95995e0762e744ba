#pragma once

#include <QRect>
#include <QWidget>

#include <functional>

#include "document/table_document.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class ColorSwatch;
class CommonDialog;
namespace pane {
struct Fallbacks;
}

// The cell settings pane, picBar: the attributes of one cell, the grid's
// current one, written into the document the moment a control changes.
class CellSettingsPane : public QWidget
{
    Q_OBJECT

public:
    CellSettingsPane(TableDocument &doc, QWidget *parent);

    // The designed 2775 x 5295 twips, larger with a larger desktop font.
    static QSize paneSize();

    // Shows rec as the record of cell (col, row) and edits that cell from now
    // on. Loading never writes back. rec is usually the document's own record;
    // the generator's walk shows a cell as it was before the walk changed it.
    void load(int col, int row, const CellRecord &rec);
    // The cells a change goes to besides the shown one (the grid's range);
    // used while it holds the shown cell.
    void setSelectionSource(std::function<QRect()> source) { m_selection = std::move(source); }
    // A number box being typed in is checked now, as leaving it would.
    void commitFocusedBox();
    // Over a range the switches show what every cell has (1 in all's fields),
    // so that a click sets a mixed range whole, as bold does in an editor.
    void showRangeSwitches(const CellRecord &all);

private slots:
    void chkSWidth_Click();
    void chkSHeight_Click();
    void chkWidth_Click();
    void chkHeight_Click();
    void txtSWidth_Change();
    void txtSHeight_Change();
    void txtMWidth_Change();
    void txtMHeight_Change();
    void txtSWidth_LostFocus();
    void txtSHeight_LostFocus();
    void txtMWidth_LostFocus();
    void txtMHeight_LostFocus();
    void SliW_Click();
    void SliH_Click();
    void chkBackColorNothing2_Click();
    void cmdBackColorSet2_Click();
    void txtCellClass_Change();
    void cmbSWidthUnit_Click();
    void cmbSHeightUnit_Click();
    void txtCellStyle_Change();

private:
    void createControls();
    void layOut();
    void showEnabledStates();
    void moveLetter();
    void onCellsChanged(QRect cells, CellFields fields);
    void store(CellField field, qint32 value);
    // What the width or height box holds: pixels or per cent, as its unit says.
    const pane::Fallbacks &sizeBox(bool width) const;
    void unitChosen(bool width);

    TableDocument &m_doc;
    int m_col = 1;
    int m_row = 1;
    std::function<QRect()> m_selection;
    CommonDialog *Dlg;
    QLabel *Label333 = nullptr;
    ColorSwatch *picBackColor2 = nullptr;
    QAbstractButton *cmdBackColorSet2 = nullptr;
    QCheckBox *chkBackColorNothing2 = nullptr;
    QGroupBox *Frame4 = nullptr, *Frame5 = nullptr, *Frame1 = nullptr, *Frame2 = nullptr,
              *Frame3 = nullptr;
    QWidget *Picture1 = nullptr, *Picture5 = nullptr, *Picture2 = nullptr, *Picture3 = nullptr,
            *Picture4 = nullptr;
    QCheckBox *chkSWidth = nullptr, *chkSHeight = nullptr, *chkHeight = nullptr, *chkWidth = nullptr;
    QLabel *Label1[2] = {};                 // control array: 0 width group, 1 height group
    QLabel *Label10 = nullptr, *Label11 = nullptr;
    QLineEdit *txtSWidth = nullptr, *txtSHeight = nullptr, *txtMHeight = nullptr,
              *txtMWidth = nullptr;
    QSlider *SliW = nullptr, *SliH = nullptr;
    QWidget *picText = nullptr;
    QLabel *lblTextMove = nullptr;
    QLabel *lblCellClass = nullptr;
    QLineEdit *txtCellClass = nullptr;
    QComboBox *cmbSWidthUnit = nullptr, *cmbSHeightUnit = nullptr; // 0 pixels, 1 per cent
    QLabel *lblCellStyle = nullptr;
    QLineEdit *txtCellStyle = nullptr;
};
