#pragma once

class QLineEdit;
class QWidget;

// Digits-only entry on a box, as typed. Text the program sets, or that is
// pasted, is not filtered, and no length limit is imposed here.
void SetNumberOnly(QLineEdit *box, int maxDigits = 0);

// No right-click menu on the box until UnhookContextMenu; the box otherwise
// behaves as before.
void HookContextMenu(QWidget *box);
void UnhookContextMenu(QWidget *box);
