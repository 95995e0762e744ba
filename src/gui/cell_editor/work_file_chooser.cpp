#include "gui/cell_editor/work_file_chooser.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>

#include "core/text/relative_path.h"
#include "gui/widgets/common_dialog.h"

namespace {

bool chooseFile(CommonDialog *dlg, const QString &title, QString &fileName)
{
    const QString anyFile = QCoreApplication::translate("WorkFileChooser", "ファイル(*.*)|*.*");
    return dlg->ShowOpen(title, anyFile, fileName) && !fileName.isEmpty();
}

} // namespace

void chooseWorkFile(CommonDialog *dlg, QLineEdit *txtFolder)
{
    QString fileName;
    if (chooseFile(dlg, QCoreApplication::translate("WorkFileChooser", "作業ファイルの選択"), fileName))
        txtFolder->setText(fileName);
}

void chooseAddress(CommonDialog *dlg, const QString &title, const QLineEdit *txtFolder,
                   const QCheckBox *chkFolder, QLineEdit *txtAdress)
{
    QString fileName;
    if (!chooseFile(dlg, title, fileName))
        return;
    if (!txtFolder->text().isEmpty() && chkFolder->isChecked())
        txtAdress->setText(GetRelativePath(txtFolder->text(), fileName));
    else
        txtAdress->setText(fileName);
}
