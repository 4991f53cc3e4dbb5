// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"

#include <QPointer>
#include <QWidget>

// The file dialogs as QFileDialog, drawn by Qt itself (not the desktop's native dialog), so that they
// look and behave alike everywhere and tests can answer them. A name typed without an extension gets
// the one Windows' dialog gives it (TypedNameExtension), following the file type the operator selects.
class QtFileChooser : public FileChooser
{
public:
    // The window the dialogs are modal to when a request names none.
    void setParent(QWidget* parent) { m_parent = parent; }
    FileDialogResult choose(const FileDialogRequest& request) override;
    // Bytes of UTF-8, as many as the system takes: a path of PATH_MAX, a name of NAME_MAX.
    DialogBuffers buffers() const override;

private:
    QPointer<QWidget> m_parent;
};

// The file-type entry as QFileDialog writes it: "Text (*.txt *.log)"; an entry without a pattern
// lists every file.
QString QtNameFilter(const FileFilter& filter);
