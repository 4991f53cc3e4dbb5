// SPDX-License-Identifier: MIT
#include "qt/QtFileChooser.h"

#include "qt/DialogOwner.h"
#include "qt/QtServices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString QtNameFilter(const FileFilter& filter)
{
    QStringList patterns = toQString(filter.pattern).split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
    }
    patterns.removeAll(QString());
    const QString list = patterns.isEmpty() ? QStringLiteral("*") : patterns.join(' ');
    return QStringLiteral("%1 (%2)").arg(toQString(filter.description), list);
}

namespace {

std::string toUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

QFileDialog::FileMode fileMode(const FileDialogRequest& request)
{
    if (request.mode == FileDialogMode::Save) {
        return QFileDialog::AnyFile;
    }
    if ((request.flags & FileDialogOption::AllowMultiSelect) != 0) {
        return QFileDialog::ExistingFiles;
    }
    return (request.flags & FileDialogOption::FileMustExist) != 0 ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
}

void applyFilters(QFileDialog& dialog, const FileDialogRequest& request)
{
    if (request.filters.empty()) {
        return; // every file is listed
    }
    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        filters << QtNameFilter(filter);
    }
    dialog.setNameFilters(filters);
    const auto index = static_cast<qsizetype>(request.filterIndex);
    dialog.selectNameFilter(filters.at(index >= 1 && index <= filters.size() ? index - 1 : 0));
}

} // namespace

FileDialogResult QtFileChooser::choose(const FileDialogRequest& request)
{
    FileDialogResult result;
    if (!WidgetsAvailable()) {
        result.outcome = FileDialogResult::Outcome::Failed;
        result.extendedError = FileDialogFault::DialogFailure;
        return result;
    }

    QFileDialog dialog(DialogOwner(request.owner, m_parent));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.mode == FileDialogMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(fileMode(request));
    // Only an explicit request asks before replacing an existing file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (request.flags & FileDialogOption::OverwritePrompt) == 0);
    if (!request.title.empty()) {
        dialog.setWindowTitle(toQString(request.title));
    }
    applyFilters(dialog, request);
    if (!request.initialFolder.empty()) {
        dialog.setDirectory(toQString(request.initialFolder));
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(toQString(request.fileName));
    }
    if (!request.defaultExt.empty()) {
        dialog.setDefaultSuffix(toQString(request.defaultExt));
    }

    if (dialog.exec() != QDialog::Accepted) {
        return result; // Cancelled
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        result.outcome = FileDialogResult::Outcome::Failed;
        result.extendedError = FileDialogFault::DialogFailure;
        return result;
    }
    result.outcome = FileDialogResult::Outcome::Accepted;
    result.folder = toUtf8(QDir::toNativeSeparators(QFileInfo(chosen.first()).absolutePath()));
    for (const QString& file : chosen) {
        const QFileInfo info(file);
        result.files.push_back({toUtf8(QDir::toNativeSeparators(info.absoluteFilePath())), toUtf8(info.fileName())});
    }
    const auto selected = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    result.filterIndex = selected < 0 ? 0 : static_cast<std::int32_t>(selected + 1);
    return result;
}
