// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Facts about the machine and the installed program. None of these calls fails: an answer that
// cannot be had is the empty text.
class Environment
{
public:
    virtual ~Environment() = default;
    // Folder holding the executable, links resolved, without a trailing separator unless it is the root.
    virtual std::string executableFolder() const = 0;
    // Folder holding the iisreset command (the system folder on Windows, the install folder elsewhere),
    // without a trailing separator.
    virtual std::string systemFolder() const = 0;
    // The computer's own name.
    virtual std::string computerName() const = 0;
    // "/" or "\": the separator that the program writes between a folder and a file name.
    virtual char pathSeparator() const = 0;
    // Appended to a program's name to form its file name: "" or ".exe".
    virtual std::string executableSuffix() const = 0;
};
