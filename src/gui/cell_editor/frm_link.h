#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CommonDialog;
class frmEdit;

// Turns the editor's selected text into a link: <A href="…" target="…">…</A>.
class frmLink : public QDialog
{
    Q_OBJECT

public:
    explicit frmLink(frmEdit *owner);

    QLabel *Label2 = nullptr;
    QLineEdit *txtAdress = nullptr;
    QPushButton *cmdAddress = nullptr;
    QCheckBox *chkFolder = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtFolder = nullptr;
    QPushButton *cmdFolder = nullptr;
    QCheckBox *chkFrame = nullptr;
    QGroupBox *Frame = nullptr;
    QWidget *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *txtFrame = nullptr;
    QPushButton *cmdFrame = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    CommonDialog *Dlg = nullptr;

private slots:
    void chkFolder_Click();
    void chkFrame_Click();
    void cmdFolder_Click();
    void cmdAddress_Click();
    void cmdFrame_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();

    frmEdit *m_editor;
};
