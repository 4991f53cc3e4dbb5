// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// Starts another program alongside this one.
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    // Starts `program` (a full path, run as it is: no shell, no search of PATH) with `arguments`, each
    // handed over as one argument however many spaces or quotes it holds. Returns as soon as the
    // process exists, without waiting for it to end; its exit status is never examined. Returns false
    // when the process could not be started (no such file, not executable, no resources left); the
    // adapter writes the reason where the operator can find it. Never throws.
    virtual bool start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};
