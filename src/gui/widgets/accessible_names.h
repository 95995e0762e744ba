#pragma once

#include <QString>

class QWidget;

// What a screen reader says for a control: its label's caption without the
// mnemonic and the colon, "結合(&H)" -> "結合", "&Border:" -> "Border".
QString plainCaption(QString caption);

// Every control under root that a user can reach and that has no name yet
// takes one: the caption of the label that is its buddy, or else the first
// sentence of its tip (icon buttons, "..." buttons, boxes without a label).
// Buttons named by their own text keep it.
void nameControls(QWidget *root);
