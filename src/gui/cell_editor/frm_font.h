#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class ColorSwatch;
class CommonDialog;
class frmEdit;

// Wraps the editor's selected text in a FONT tag (face, size, colour) or in a
// heading tag H1..H7.
class frmFont : public QDialog
{
    Q_OBJECT

public:
    explicit frmFont(frmEdit *owner);

    // The face selected at load when the system has it.
    static QString preferredFace();

    QCheckBox *chkHead = nullptr;
    QCheckBox *chkFont = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cmbFont = nullptr;
    QCheckBox *chkSize = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cmbSize = nullptr;
    QCheckBox *chkColor = nullptr;
    QLabel *Label3 = nullptr;
    ColorSwatch *picBackColor = nullptr;
    QPushButton *cmdBackColorSet = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    CommonDialog *Dlg = nullptr;

private slots:
    void chkHead_Click();
    void chkFont_Click();
    void chkSize_Click();
    void chkColor_Click();
    void cmdBackColorSet_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    int sizeNumber() const;

    frmEdit *m_editor;
};
