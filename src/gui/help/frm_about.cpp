#include "gui/help/frm_about.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "gui/widgets/icons.h"
#include "gui/widgets/ui_font.h"
#include "core/model/table_model.h"

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("Quorvanのバージョン情報"));
    setFixedSize(273, 145);
    setFont(japaneseUiFont(9));

    picSpot = new QLabel(this);
    picSpot->setObjectName(QStringLiteral("picSpot"));
    picSpot->setGeometry(8, 8, 72, 72);
    picSpot->setPixmap(appPicture(72));
    // Only a tip: pressing the picture, in any order, does nothing.
    picSpot->setToolTip(tr("この絵の四隅を左上、右上、右下、左下の順に押してください。"));

    Label1 = new QLabel(QStringLiteral("Quorvan"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(japaneseUiFont(28));
    Label1->setGeometry(92, 6, 176, 48);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lblV = new QLabel(QStringLiteral("Ver."), this);
    lblV->setObjectName(QStringLiteral("lblV"));
    lblV->setFont(japaneseUiFont(12, true));
    lblV->setGeometry(96, 54, 172, 24);
    lblV->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(8, 86, 257, 4);

    Label2 = new QLabel(QStringLiteral("Copyright (C) 2026 Quorvan developers"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 92, 257, 18);
    Label2->setAlignment(Qt::AlignCenter);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry((273 - 81) / 2, 145 - 23 - 8, 81, 23);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    Form_Load();

    // Centred on the screen, not on the window that asked for it.
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void frmAbout::Form_Load()
{
    lblV->setText(QStringLiteral("Ver.%1.%2.%3")
                      .arg(AppVersion::Major)
                      .arg(AppVersion::Minor)
                      .arg(AppVersion::Revision));
}

void frmAbout::Command1_Click()
{
    accept();
}
