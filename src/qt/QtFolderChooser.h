// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FolderChooser.h"

#include <QPointer>
#include <QWidget>

// The folder browser as a QFileDialog that lists folders only, drawn by Qt itself. The dialog opens
// in the initial folder, so accepting it at once gives that folder back. The prompt is its caption
// and a line of its own above the folders, and the accept button reads "OK", as the prompt tells the
// operator to press it.
class QtFolderChooser : public FolderChooser
{
public:
    // The window the dialog is modal to when the caller names none.
    void setParent(QWidget* parent) { m_parent = parent; }
    std::string browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                const std::string& prompt) override;

private:
    QPointer<QWidget> m_parent;
};
