// SPDX-License-Identifier: MIT
#include "monitor/FetchCheckPage.h"

#include "common/Environment.h"
#include "common/FileSystem.h"
#include "config/FieldRules.h"
#include "monitor/InternetClient.h"
#include "shell/Form1.h"

#include <algorithm>
#include <array>

namespace {

// Writes are gathered into pieces of this size, so a large page costs a few system calls, not one
// per 1024-byte read, while memory stays bounded whatever the size of the page.
constexpr std::size_t CopyChunkSize = 64 * 1024;

// The page copy being written: the body goes to a temporary of a fixed name beside the copy and
// replaces it when the attempt ends, so the operator never sees half a page and a crash leaves at
// most one stray file. A copy that cannot be written is skipped; the fetch goes on regardless.
class PageCopyWriter
{
public:
    PageCopyWriter(FileSystem& files, const std::string& path)
    {
        if (!path.empty()) {
            m_staged = files.stageFile(path, CheckPageTemporaryName);
        }
        if (m_staged) {
            m_pending.reserve(CopyChunkSize);
        }
    }

    void append(std::string_view bytes)
    {
        if (!m_staged) {
            return;
        }
        m_pending.append(bytes);
        if (m_pending.size() >= CopyChunkSize) {
            flush();
        }
    }

    void commit()
    {
        if (!m_staged) {
            return;
        }
        flush();
        m_staged->commit(); // a failed commit leaves the earlier copy as it was
        m_staged.reset();
    }

private:
    void flush()
    {
        m_staged->write(m_pending); // a failed write makes the commit fail
        m_pending.clear();
    }

    std::unique_ptr<StagedFile> m_staged;
    std::string m_pending;
};

std::string trimSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int readBody(InternetRequest& request, PageCopyWriter& copy)
{
    std::array<char, CheckPageReadSize> buffer{};
    for (;;) {
        const auto count = request.read(buffer);
        if (!count) {
            return FetchReadFailed; // what came before the failure stays in the copy
        }
        if (*count == 0) {
            return FetchSucceeded;
        }
        copy.append(std::string_view(buffer.data(), std::min(*count, buffer.size())));
    }
}

} // namespace

std::string CheckPagePath(Form1& form)
{
    const std::string& folder = form.txtParaPath.Text();
    if (folder.empty()) {
        return {}; // no save folder chosen: never a copy at the root of the file system
    }
    return folder + form.services().environment.pathSeparator() + CheckPageFileName;
}

int FetchCheckPage(Form1& form)
{
    Form1Services& services = form.services();
    const std::string copyPath = CheckPagePath(form);
    std::optional<PageCopyWriter> copy;

    const int outcome = [&] {
        const auto session = services.internet.openSession(CheckPageAgent, trimSpaces(form.txtProxy.Text()));
        if (!session) {
            return FetchNoSession;
        }
        const auto timeout = TimeoutMilliseconds(form.txtTimeout.Text());
        if (!timeout || !session->setReceiveTimeout(*timeout)) {
            return FetchTimeoutNotSet;
        }
        const auto request = session->openUrl(form.txtUrl.Text());
        if (!request) {
            return FetchUrlNotOpened;
        }
        copy.emplace(services.files, copyPath);
        return readBody(*request, *copy);
        // The request closes here, before its session.
    }();

    if (copy) {
        copy->commit();
    } else if (!copyPath.empty()) {
        services.files.createIfMissing(copyPath); // an existing copy is left as it was
    }
    return outcome;
}
