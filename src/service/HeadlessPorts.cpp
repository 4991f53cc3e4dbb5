// SPDX-License-Identifier: MIT
#include "service/HeadlessPorts.h"

#include <algorithm>

namespace {

std::string oneLine(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

void StreamMessageBox::MsgBox(const std::string& text, int /*style*/, const std::string& title)
{
    m_out << "sentrybell: " << oneLine(title) << ": " << oneLine(text) << std::endl;
}

void ServiceLifetime::unloadWindow()
{
    // A request to end at once, made first, is not turned into an unload.
    if (m_ending == Ending::None) {
        m_ending = Ending::Unload;
    }
}

ServiceLifetime::Ending ServiceLifetime::takeEnding()
{
    const Ending ending = m_ending;
    if (m_ending == Ending::Unload) {
        m_ending = Ending::None;
    }
    return ending;
}

void RefusingShell::openDocument(const std::string& document)
{
    m_out << "sentrybell: not opening " << oneLine(document) << ": the service has no desktop to open it on"
          << std::endl;
}
