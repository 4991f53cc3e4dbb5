// SPDX-License-Identifier: MIT
#include "support/SmtpTestServer.h"

#include "support/Files.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

#ifndef SENTRYBELL_TEST_SUPPORT_DIR
#error "SENTRYBELL_TEST_SUPPORT_DIR must name the folder of smtp_test_server.py"
#endif

namespace {

using namespace std::chrono_literals;

constexpr auto StartBound = 30s;
constexpr auto StopBound = 5s;

std::string unhex(std::string_view hex)
{
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, separator)) {
        fields.push_back(field);
    }
    if (!text.empty() && text.back() == separator) {
        fields.emplace_back();
    }
    return fields;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// A TCP socket bound to 127.0.0.1 at a port the system picks.
int boundLoopbackSocket(std::uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::runtime_error("socket() failed");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot bind a loopback port");
    }
    port = ntohs(address.sin_port);
    return fd;
}

const char* modeName(SmtpTestServer::Mode mode)
{
    using Mode = SmtpTestServer::Mode;
    switch (mode) {
    case Mode::StartTls:
        return "starttls";
    case Mode::ImplicitTls:
        return "implicit-tls";
    case Mode::StallAfterGreeting:
        return "stall-after-greeting";
    case Mode::DropInData:
        return "drop-in-data";
    case Mode::Plain:
    case Mode::Silent:
    case Mode::Closed:
        break;
    }
    return "plain";
}

} // namespace

std::vector<std::pair<std::string, std::string>> SmtpTestServer::Mail::headers() const
{
    std::vector<std::pair<std::string, std::string>> result;
    const auto end = data.find("\r\n\r\n");
    std::istringstream in(data.substr(0, end == std::string::npos ? data.size() : end + 2));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !result.empty()) {
            result.back().second += line; // a folded line continues the field before it
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string value = line.substr(colon + 1);
        if (!value.empty() && value[0] == ' ') {
            value.erase(0, 1);
        }
        result.emplace_back(line.substr(0, colon), value);
    }
    return result;
}

std::string SmtpTestServer::Mail::header(std::string_view name) const
{
    for (const auto& [field, value] : headers()) {
        if (sameName(field, name)) {
            return value;
        }
    }
    return {};
}

SmtpTestServer::SmtpTestServer(Options options) : m_options(std::move(options))
{
    if (m_options.mode == Mode::Silent || m_options.mode == Mode::Closed) {
        startSocketOnly();
    } else {
        startAiosmtpd();
    }
}

SmtpTestServer::~SmtpTestServer()
{
    stop();
}

std::string SmtpTestServer::address() const
{
    return host() + ":" + std::to_string(m_port);
}

std::string SmtpTestServer::certificateFile() const
{
    const bool tls = m_options.mode == Mode::StartTls || m_options.mode == Mode::ImplicitTls;
    return tls ? m_folder / "cert.pem" : std::string();
}

void SmtpTestServer::startSocketOnly()
{
    m_socket = boundLoopbackSocket(m_port);
    // Silent: the kernel completes every handshake into the backlog, and nobody ever reads or writes.
    // Closed: bound but not listening, so the port answers with a reset and no one else can take it.
    if (m_options.mode == Mode::Silent && ::listen(m_socket, 64) != 0) {
        throw std::runtime_error("listen() failed");
    }
}

void SmtpTestServer::startAiosmtpd()
{
    std::vector<std::string> args{"/usr/bin/python3",
                                  "-u",
                                  std::string(SENTRYBELL_TEST_SUPPORT_DIR) + "/smtp_test_server.py",
                                  "--record",
                                  m_folder / "record",
                                  "--folder",
                                  m_folder.path(),
                                  "--mode",
                                  modeName(m_options.mode),
                                  "--user",
                                  m_options.user,
                                  "--password",
                                  m_options.password,
                                  "--reject-recipient",
                                  m_options.rejectRecipient};
    if (m_options.offerAuth) {
        args.emplace_back("--offer-auth");
    }
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2() failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start /usr/bin/python3: " + std::string(std::strerror(error)));
    }
    m_pid = pid;

    // Read "READY <port>\n", within a bound.
    std::string line;
    const auto until = std::chrono::steady_clock::now() + StartBound;
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
        pollfd ready{pipeFds[0], POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) {
            continue;
        }
        char buffer[128];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break; // the server ended before it was ready
        }
        line.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    if (line.rfind("READY ", 0) != 0) {
        stop();
        throw std::runtime_error("the SMTP test server did not start (is python3-aiosmtpd installed?): " + line);
    }
    m_port = static_cast<std::uint16_t>(std::stoi(line.substr(6)));
}

void SmtpTestServer::stop()
{
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
    if (m_pid <= 0) {
        return;
    }
    const pid_t pid = std::exchange(m_pid, -1);
    ::kill(pid, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + StopBound;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
}

std::vector<std::vector<std::string>> SmtpTestServer::records() const
{
    std::vector<std::vector<std::string>> result;
    std::istringstream in(ReadWholeFile(m_folder / "record"));
    std::string line;
    while (std::getline(in, line)) {
        result.push_back(splitAt(line, '\t'));
    }
    return result;
}

std::vector<SmtpTestServer::Mail> SmtpTestServer::mails() const
{
    std::vector<Mail> result;
    for (const auto& fields : records()) {
        if (fields.size() != 8 || fields[0] != "MAIL") {
            continue;
        }
        Mail mail;
        mail.mailFrom = unhex(fields[1]);
        for (const std::string& recipient : splitAt(fields[2], ',')) {
            mail.recipients.push_back(unhex(recipient));
        }
        mail.authenticatedAs = unhex(fields[3]);
        mail.overTls = fields[4] == "1";
        mail.data = unhex(fields[5]);
        mail.subject = unhex(fields[6]);
        mail.body = unhex(fields[7]);
        result.push_back(std::move(mail));
    }
    return result;
}

std::vector<SmtpTestServer::AuthAttempt> SmtpTestServer::authAttempts() const
{
    std::vector<AuthAttempt> result;
    for (const auto& fields : records()) {
        if (fields.size() != 6 || fields[0] != "AUTH") {
            continue;
        }
        result.push_back({unhex(fields[1]), unhex(fields[2]), unhex(fields[3]), fields[4] == "1", fields[5] == "1"});
    }
    return result;
}

std::vector<std::string> SmtpTestServer::droppedMessages() const
{
    std::vector<std::string> result;
    for (const auto& fields : records()) {
        if (fields.size() == 2 && fields[0] == "DROPPED") {
            result.push_back(unhex(fields[1]));
        }
    }
    return result;
}

bool SmtpTestServer::waitForMails(std::size_t count, std::chrono::milliseconds bound) const
{
    const auto until = std::chrono::steady_clock::now() + bound;
    while (mails().size() < count) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}
