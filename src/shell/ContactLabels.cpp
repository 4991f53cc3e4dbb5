// SPDX-License-Identifier: MIT
#include "shell/ContactLabels.h"

#include "common/Environment.h"
#include "shell/Form1.h"
#include "shell/UiServices.h"

std::string DocumentPath(Form1& owner, const std::string& document)
{
    const Environment& environment = owner.services().environment;
    std::string folder = environment.executableFolder();
    const char separator = environment.pathSeparator();
    if (folder.empty() || folder.back() != separator) {
        folder += separator;
    }
    return folder + "doc" + separator + document;
}

// Both elements of a notice open the same page; the index is not looked at.
void Form1::Label4_Click(int /*index*/)
{
    services().shell.openDocument(DocumentPath(*this, UserGuideDocument));
}

void Form1::Label5_Click(int /*index*/)
{
    services().shell.openDocument(DocumentPath(*this, services().notice.document));
}
