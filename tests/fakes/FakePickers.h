// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"
#include "pickers/FolderChooser.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Records every file dialog and answers with `answer`; with `failure` set it throws instead, as a
// dialog that runs out of memory would. Its buffers are Windows' unless a test says otherwise.
class FakeFileChooser : public FileChooser
{
public:
    std::vector<FileDialogRequest> requests;
    FileDialogResult answer; // cancelled unless a test says otherwise
    std::optional<std::string> failure;
    DialogBuffers units;

    DialogBuffers buffers() const override { return units; }

    FileDialogResult choose(const FileDialogRequest& request) override
    {
        requests.push_back(request);
        if (failure) {
            throw std::runtime_error(*failure);
        }
        return answer;
    }

    // The operator accepts the named files of one folder ("/" between folder and name).
    void accept(const std::string& folder, const std::vector<std::string>& names)
    {
        answer = {};
        answer.outcome = FileDialogResult::Outcome::Accepted;
        answer.folder = folder;
        for (const std::string& name : names) {
            answer.files.push_back({folder + "/" + name, name});
        }
    }
    void fail(std::uint32_t code)
    {
        answer = {};
        answer.outcome = FileDialogResult::Outcome::Failed;
        answer.extendedError = code;
    }
};

struct FolderRequest
{
    WindowHandle owner;
    std::string initialFolder;
    std::string prompt;
};

// Records every folder dialog and answers with `answer` (empty: cancelled).
class FakeFolderChooser : public FolderChooser
{
public:
    std::vector<FolderRequest> requests;
    std::string answer;

    std::string browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                const std::string& prompt) override
    {
        requests.push_back({owner, initialFolder, prompt});
        return answer;
    }
};
