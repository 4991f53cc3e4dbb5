// SPDX-License-Identifier: MIT
#include "linux/LinuxAdapters.h"

#include "linux/PlatformWords.h"

LinuxAdapters::LinuxAdapters(std::function<void()> whileWaiting) : m_mailer(mailOptions(whileWaiting))
{
    m_internet.setWhileWaiting(std::move(whileWaiting));
}

CurlMailer::Options LinuxAdapters::mailOptions(std::function<void()> whileWaiting)
{
    CurlMailer::Options options;
    options.report = [](ReportKind, const std::string& text) { ReportToSystemLog(text); };
    options.whileWaiting = std::move(whileWaiting);
    return options;
}

Form1Services LinuxAdapters::services(const ViewPorts& view)
{
    return {clock,      environment,  m_files,  m_encoding, view.messageBox, view.tray,        view.lifetime,
            view.shell, m_internet,   m_mailer, m_launcher, m_registry,      view.fileChooser, view.folderChooser,
            m_report,   LinuxNotice()};
}

void LinuxAdapters::takeMailAccountFrom(Form1& form)
{
    m_mailer.setCredentials([&form] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });
}
