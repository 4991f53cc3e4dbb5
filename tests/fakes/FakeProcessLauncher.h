// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/ProcessLauncher.h"

#include <string>
#include <vector>

// Records every start instead of starting anything; `succeed` is the answer.
class FakeProcessLauncher : public ProcessLauncher
{
public:
    struct Start
    {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Start> starts;
    bool succeed = true;

    bool start(const std::string& program, const std::vector<std::string>& arguments) override
    {
        starts.push_back({program, arguments});
        return succeed;
    }
};
