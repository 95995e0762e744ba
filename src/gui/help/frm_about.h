#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The version box: the program's picture, name, version and rights line.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

private slots:
    void Command1_Click();

private:
    void Form_Load();

    QLabel *picSpot;
    QLabel *Label1;
    QLabel *lblV;
    QFrame *Line1;
    QLabel *Label2;
    QPushButton *Command1;
};
