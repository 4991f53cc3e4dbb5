// SPDX-License-Identifier: MIT
#include "qt/QtFolderChooser.h"

#include "qt/DialogOwner.h"
#include "qt/QtServices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <vector>

namespace {

// Puts the prompt in a row of its own at the top of the dialog, every other row moved down one.
void showPromptAbove(QFileDialog& dialog, const QString& prompt)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr) {
        return;
    }
    struct Placed
    {
        QLayoutItem* item;
        int row, column, rowSpan, columnSpan;
    };
    std::vector<Placed> placed;
    while (grid->count() > 0) {
        Placed one{};
        grid->getItemPosition(0, &one.row, &one.column, &one.rowSpan, &one.columnSpan);
        one.item = grid->takeAt(0);
        placed.push_back(one);
    }
    for (int row = grid->rowCount() - 1; row >= 0; --row) {
        grid->setRowStretch(row + 1, grid->rowStretch(row));
    }
    grid->setRowStretch(0, 0);
    auto* label = new QLabel(prompt, &dialog);
    label->setObjectName("prompt");
    label->setWordWrap(true);
    grid->addWidget(label, 0, 0, 1, grid->columnCount());
    for (const Placed& one : placed) {
        grid->addItem(one.item, one.row + 1, one.column, one.rowSpan, one.columnSpan);
    }
}

} // namespace

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
    dialog.setLabelText(QFileDialog::Accept, "OK");
    showPromptAbove(dialog, toQString(prompt));
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
