// SPDX-License-Identifier: MIT
#include "win/SmtpPeer.h"

#include "win/WinFiles.h"

#include <atomic>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <windows.h>

namespace {

std::string unhex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        fields.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

} // namespace

std::optional<SmtpPeer> SmtpPeer::find(const std::string& name)
{
    const char* value = std::getenv(("SENTRYBELL_SMTP_" + name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    const auto fields = splitAt(value, ';');
    if (fields.size() != 3) {
        return std::nullopt;
    }
    SmtpPeer peer;
    peer.m_port = static_cast<std::uint16_t>(std::stoi(fields[0]));
    peer.m_record = fields[1];
    peer.m_certificate = fields[2];
    return peer;
}

std::string SmtpPeer::address(const std::string& host) const
{
    return host + ":" + std::to_string(m_port);
}

std::vector<SmtpPeer::Mail> SmtpPeer::mailsTo(const std::string& prefix) const
{
    std::vector<Mail> mails;
    std::istringstream lines(ReadWholeFile(m_record).value_or(""));
    std::string line;
    while (std::getline(lines, line)) {
        const auto fields = splitAt(line, '\t');
        if (fields.size() != 8 || fields[0] != "MAIL") {
            continue; // an AUTH line, or one still being written
        }
        Mail mail;
        mail.mailFrom = unhex(fields[1]);
        bool ours = false;
        for (const std::string& recipient : splitAt(fields[2], ',')) {
            mail.recipients.push_back(unhex(recipient));
            ours = ours || mail.recipients.back().starts_with(prefix);
        }
        if (!ours) {
            continue;
        }
        mail.authenticatedAs = unhex(fields[3]);
        mail.overTls = fields[4] == "1";
        mail.data = unhex(fields[5]);
        mail.subject = unhex(fields[6]);
        mail.body = unhex(fields[7]);
        mails.push_back(std::move(mail));
    }
    return mails;
}

std::vector<SmtpPeer::Mail> SmtpPeer::waitForMailsTo(const std::string& prefix, std::size_t count,
                                                     std::chrono::milliseconds bound) const
{
    const auto until = std::chrono::steady_clock::now() + bound;
    auto mails = mailsTo(prefix);
    while (mails.size() < count && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        mails = mailsTo(prefix);
    }
    return mails;
}

std::string UniqueMailbox(const std::string& what)
{
    static std::atomic<unsigned> counter{0};
    // A process id alone may come again later in the same run; with the time it does not.
    return what + "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount64()) + "." +
           std::to_string(counter++);
}
