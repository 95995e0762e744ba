#pragma once

class QLineEdit;
class QWidget;

// Digits-only entry on a box, as typed or committed by an input method
// (full-width digits become ASCII ones). Text the program sets, or that is
// pasted, is not filtered; maxDigits limits typed text only.
void SetNumberOnly(QLineEdit *box, int maxDigits = 0);

// No right-click menu on the box until UnhookContextMenu; the box otherwise
// behaves as before.
void HookContextMenu(QWidget *box);
void UnhookContextMenu(QWidget *box);
