// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"

#include <QPointer>
#include <QWidget>

// The file dialogs as QFileDialog, drawn by Qt itself (not the desktop's native dialog), so that they
// look and behave alike everywhere and tests can answer them.
class QtFileChooser : public FileChooser
{
public:
    // The window the dialogs are modal to when a request names none.
    void setParent(QWidget* parent) { m_parent = parent; }
    FileDialogResult choose(const FileDialogRequest& request) override;

private:
    QPointer<QWidget> m_parent;
};

// The file-type entry as QFileDialog writes it: "Text (*.txt *.log)"; an entry without a pattern
// lists every file.
QString QtNameFilter(const FileFilter& filter);
