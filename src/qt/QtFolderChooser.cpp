// SPDX-License-Identifier: MIT
#include "qt/QtFolderChooser.h"

#include "qt/DialogOwner.h"
#include "qt/QtServices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::string QtFolderChooser::browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                             const std::string& prompt)
{
    if (!WidgetsAvailable()) {
        return {};
    }
    QFileDialog dialog(DialogOwner(owner, m_parent));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setWindowTitle(toQString(prompt));
    // A missing folder leaves the dialog where it would open anyway.
    const QFileInfo initial(toQString(initialFolder));
    if (!initialFolder.empty() && initial.isDir()) {
        dialog.setDirectory(initial.absoluteFilePath());
    }

    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || !QFileInfo(chosen.first()).isDir()) {
        return {};
    }
    // The path as the platform writes it: no "." or ".." parts and no separator at its end, whichever
    // way the folder was chosen.
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(chosen.first()).absoluteFilePath()))
        .toUtf8()
        .toStdString();
}
