// SPDX-License-Identifier: MIT
#include "linux/LinuxAdapters.h"

LinuxAdapters::LinuxAdapters(std::function<void()> whileWaiting) : m_mailer(mailOptions(whileWaiting))
{
    m_internet.setWhileWaiting(std::move(whileWaiting));
}

CurlMailer::Options LinuxAdapters::mailOptions(std::function<void()> whileWaiting)
{
    CurlMailer::Options options;
    options.report = ReportToSystemLog;
    options.whileWaiting = std::move(whileWaiting);
    return options;
}

Form1Services LinuxAdapters::services(const ViewPorts& view)
{
    Form1Services services{clock, environment, m_files, m_encoding, view.messageBox, view.tray, view.lifetime};
    services.shell = &view.shell;
    services.internet = &m_internet;
    services.launcher = &m_launcher;
    services.mail = &m_mailer;
    services.fileChooser = &view.fileChooser;
    services.folderChooser = &view.folderChooser;
    services.registry = &m_registry;
    services.report = &m_report;
    return services;
}

void LinuxAdapters::takeMailAccountFrom(Form1& form)
{
    m_mailer.setCredentials([&form] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });
}
