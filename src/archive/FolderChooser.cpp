#include "archive/FolderChooser.h"

#include <QFileDialog>

namespace tickwell {

std::optional<QString> ChooseFolder()
{
    QFileDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Choose Folder for Headlines"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || !QFileInfo(chosen.first()).isDir())
        return std::nullopt;
    return chosen.first();
}

} // namespace tickwell
