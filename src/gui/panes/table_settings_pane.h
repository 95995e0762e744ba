#pragma once

#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class ColorSwatch;
class CommonDialog;
class TableDocument;
class UpDown;

// The table settings pane, picAllSet: the table-wide settings, each
// written into the document the moment its control changes.
class TableSettingsPane : public QWidget
{
    Q_OBJECT

public:
    TableSettingsPane(TableDocument &doc, QWidget *parent);

    // The document's settings into the controls, without writing them back;
    // chkNet only when the whole table is new (load, open).
    void load(bool withNet);
    // The number in a size box, as Val() reads it.
    int columnsInBox() const;
    int rowsInBox() const;
    // What the generator reads from the controls rather than the document.
    // A number box being typed in is checked now, as leaving it would.
    void commitFocusedBox();

private slots:
    void txtWidth_Change();
    void txtHeight_Change();
    void txtBorder_Change();
    void txtWidth_LostFocus();
    void txtHeight_LostFocus();
    void txtBorder_LostFocus();
    void txtTitle_Change();
    void chkBackColorNothing_Click();
    void cmdBackColorSet_Click();
    void chkNet_Click();
    void cmbProfile_Click();
    void cmbWidthUnit_Click();
    void txtTableWidth_Change();
    void txtTableWidth_LostFocus();
    void cmbStyle_Click();
    void txtTableId_Change();
    void txtTableClass_Change();
    void txtFooterRows_Change();
    void txtFooterRows_LostFocus();
    void cmbPreset_Click();
    void cmbCss_Click();
    void chkResponsive_Click();

private:
    void layOut();
    void showColourEnabled();
    void showWidthEnabled();
    void showProfileEnabled();

    TableDocument &m_doc;
    CommonDialog *Dlg;
    QLabel *Label101, *Label201, *Label601, *Label801, *Label2, *lblProfile, *lblTableWidth,
            *lblStyle, *lblTableId, *lblTableClass, *lblFooterRows, *lblPreset, *lblCss;
    QLineEdit *txtWidth, *txtHeight, *txtTitle, *txtBorder, *txtTableWidth, *txtTableId, *txtTableClass,
            *txtFooterRows;
    UpDown *UpDownWidth, *UpDownHeight, *UpDown1, *UpDownFooterRows;
    ColorSwatch *picBackColor;
    QAbstractButton *cmdBackColorSet;
    QCheckBox *chkBackColorNothing, *chkNet, *chkResponsive;
    QComboBox *cmbProfile, *cmbWidthUnit, *cmbStyle, *cmbPreset, *cmbCss;
};
