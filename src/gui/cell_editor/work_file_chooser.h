#pragma once

#include <QString>

class CommonDialog;
class QCheckBox;
class QLineEdit;

// The file choosers of the link and picture dialogs, which share a work-file group.

// Puts the chosen work file into txtFolder; a cancel changes nothing.
void chooseWorkFile(CommonDialog *dlg, QLineEdit *txtFolder);

// Puts the chosen file's address into txtAdress: relative to the work file
// while chkFolder is checked and txtFolder holds one, else the full path.
void chooseAddress(CommonDialog *dlg, const QString &title, const QLineEdit *txtFolder,
                   const QCheckBox *chkFolder, QLineEdit *txtAdress);
