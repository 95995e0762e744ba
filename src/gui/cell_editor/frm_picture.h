#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CommonDialog;
class UpDown;
class frmEdit;

// Puts an image tag <IMG SRC ALT BORDER WIDTH HEIGHT> in place of the editor's selection.
class frmPicture : public QDialog
{
    Q_OBJECT

public:
    explicit frmPicture(frmEdit *owner);

    QLabel *Label1 = nullptr;
    QLineEdit *txtAdress = nullptr;
    QPushButton *cmdAddress = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtAlt = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtBorder = nullptr;
    UpDown *UpDown1 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtHeight = nullptr;
    UpDown *UpDown2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *txtWidth = nullptr;
    UpDown *UpDown3 = nullptr;
    QLabel *Label7 = nullptr;
    QCheckBox *chkSize[2] = {};          // control array: 0 height row, 1 width row
    QCheckBox *chkFolder = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *txtFolder = nullptr;
    QPushButton *cmdFolder = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    CommonDialog *Dlg = nullptr;

private slots:
    void chkFolder_Click();
    void chkSize_Click();
    void cmdFolder_Click();
    void cmdAddress_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void Form_Load();
    void Form_Unload();

    frmEdit *m_editor;
};
