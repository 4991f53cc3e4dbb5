// SPDX-License-Identifier: MIT
#include "net/CurlMailer.h"

#include "net/MailMessage.h"
#include "net/SmtpServerText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <random>

namespace {

bool holdsMoreThanSpaces(const std::string& text)
{
    return text.find_first_not_of(' ') != std::string::npos;
}

// A text that no other message of this or any other run will carry.
std::string uniqueToken()
{
    static std::mt19937_64 generator{std::random_device{}()};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    char token[64];
    std::snprintf(token, sizeof token, "%llx.%016llx.sentrybell",
                  static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()),
                  static_cast<unsigned long long>(generator()));
    return token;
}

// libcurl calls it about once a second even while nothing moves.
int onProgress(void* whileWaiting, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    (*static_cast<const std::function<void()>*>(whileWaiting))();
    return 0;
}

// The message, handed to libcurl piece by piece.
struct Upload
{
    std::string_view rest;
};

std::size_t readUpload(char* buffer, std::size_t size, std::size_t count, void* userdata)
{
    auto* upload = static_cast<Upload*>(userdata);
    const std::size_t n = std::min(size * count, upload->rest.size());
    std::memcpy(buffer, upload->rest.data(), n);
    upload->rest.remove_prefix(n);
    return n;
}

// The server's last refusal (a 4xx or 5xx reply), for the reason of a failure: after a refusal
// libcurl still says QUIT, whose "221" would hide it. Only the server's side of the dialogue is looked
// at, so no password passes through here.
int watchDialogue(CURL*, curl_infotype type, char* data, std::size_t size, void* userdata)
{
    if (type == CURLINFO_HEADER_IN && size > 0 && (data[0] == '4' || data[0] == '5')) {
        auto* lastRefusal = static_cast<std::string*>(userdata);
        lastRefusal->assign(data, size);
        while (!lastRefusal->empty() && (lastRefusal->back() == '\r' || lastRefusal->back() == '\n')) {
            lastRefusal->pop_back();
        }
    }
    return 0;
}

enum class Tls
{
    IfOffered, // STARTTLS when the server offers it, plain otherwise
    Required,  // STARTTLS or no message
};

struct Attempt
{
    CURLcode code = CURLE_OK;
    std::string reason;
};

// One SMTP connection that delivers one message.
struct Transfer
{
    const SmtpServer& server;
    const std::string& from;
    const std::string& to;
    const std::string& message;
    const CurlMailer::Options& options;
    bool loopback = false;
    Tls tls = Tls::IfOffered;
    const MailAccount* account = nullptr; // AUTH with it when the server offers AUTH
    std::chrono::milliseconds timeLeft{}; // what the caller has left of its bound; above zero
};

Attempt perform(const Transfer& transfer)
{
    Attempt result;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        result.code = CURLE_FAILED_INIT;
        result.reason = "libcurl could not start";
        return result;
    }
    CURL* handle = curl.get();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    std::string lastRefusal;
    Upload upload{transfer.message};
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> recipients(
        curl_slist_append(nullptr, ("<" + transfer.to + ">").c_str()), &curl_slist_free_all);
    const std::string url = transfer.server.url();
    const std::string mailFrom = "<" + transfer.from + ">";
    const CurlMailer::Options& options = transfer.options;

    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    const auto connectTimeout = std::min(options.connectTimeout, transfer.timeLeft);
    const auto totalTimeout = std::min(options.totalTimeout, transfer.timeLeft);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, watchDialogue);
    curl_easy_setopt(handle, CURLOPT_DEBUGDATA, &lastRefusal);
    if (!transfer.server.implicitTls) {
        curl_easy_setopt(handle, CURLOPT_USE_SSL,
                         static_cast<long>(transfer.tls == Tls::Required ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    }
    // A local relay's self-signed certificate is normal; any other server must prove who it is.
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, transfer.loopback ? 0L : 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, transfer.loopback ? 0L : 2L);
    // Revocation is checked where the server can be reached (Schannel); an unreachable revocation
    // server must not keep the alert from being sent.
    curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    if (options.whileWaiting) {
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &options.whileWaiting);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    }
    if (!options.caFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, options.caFile.c_str());
    }
    if (transfer.account != nullptr) {
        // libcurl authenticates only when the server offers AUTH, and goes on without it otherwise.
        curl_easy_setopt(handle, CURLOPT_USERNAME, transfer.account->account.c_str());
        curl_easy_setopt(handle, CURLOPT_PASSWORD, transfer.account->password.c_str());
    }
    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, mailFrom.c_str());
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(handle, CURLOPT_READDATA, &upload);

    const auto started = std::chrono::steady_clock::now();
    result.code = curl_easy_perform(handle);
    if (result.code != CURLE_OK) {
        result.reason = curl_easy_strerror(result.code);
        if (errorBuffer[0] != '\0' && result.reason != errorBuffer) {
            result.reason += std::string(" (") + errorBuffer + ")";
        }
        if (!lastRefusal.empty()) {
            result.reason += "; the server said: " + lastRefusal;
        }
        // Which bound ended it: the caller's, when the wait took all the time it had left.
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started) +
            std::chrono::milliseconds(100);
        if (result.code == CURLE_OPERATION_TIMEDOUT && waited >= transfer.timeLeft) {
            result.reason += "; the alert's time ran out";
        }
    }
    return result;
}

} // namespace

CurlMailer::CurlMailer(Options options) : m_options(std::move(options))
{
    if (!m_options.isLoopback) {
        m_options.isLoopback = [](const std::string& host) { return IsLoopbackHost(host); };
    }
    if (!m_options.report) {
        m_options.report = [](ReportKind, const std::string& text) {
            std::fprintf(stderr, "sentrybell: %s\n", text.c_str());
        };
    }
}

std::string CurlMailer::SendMail(const std::string& serverText, const std::string& recipient, const std::string& sender,
                                 const std::string& subject, const std::string& body, const std::string& /*sixth*/,
                                 std::chrono::milliseconds timeLeft)
{
    const auto start = std::chrono::steady_clock::now();
    const auto stillLeft = [&] {
        return timeLeft -
               std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    };
    const std::string to = EnvelopeAddress(recipient);
    const std::string from = EnvelopeAddress(sender);
    const std::string shownTo = TrimmedAddress(recipient);
    const auto fail = [&](const std::string& why) {
        const std::string text = "mail to \"" + shownTo + "\" via \"" + serverText + "\" failed: " + why;
        m_options.report(ReportKind::MailNotSent, text);
        return text;
    };

    std::string parseError;
    const std::optional<SmtpServer> server = ParseSmtpServer(serverText, parseError);
    if (!server) {
        return fail(parseError);
    }
    if (to.empty()) {
        return fail("no recipient address");
    }
    // Refused here, each message on its own: the alert's other addresses are still tried.
    if (const std::string fault = EnvelopeAddressFault(to); !fault.empty()) {
        return fail("the recipient's address \"" + to + "\" " + fault);
    }
    if (const std::string fault = EnvelopeAddressFault(from); !fault.empty()) {
        return fail("the sender's address \"" + from + "\" " + fault);
    }
    if (timeLeft <= std::chrono::milliseconds::zero()) {
        return fail("the alert's time had run out");
    }

    const MailAccount account = m_credentials ? m_credentials() : MailAccount{};
    const bool wantAuth = holdsMoreThanSpaces(account.account) && holdsMoreThanSpaces(account.password);
    const bool loopback = m_options.isLoopback(server->host);

    // The headers show the addresses as typed ("Ops <ops@example.test>"), the envelope the bare ones.
    const std::string message =
        BuildMailMessage({TrimmedAddress(sender), shownTo, subject, body, MailDate(std::chrono::system_clock::now()),
                          MessageId(from, uniqueToken())});

    Transfer transfer{*server, from, to, message, m_options, loopback};
    transfer.timeLeft = timeLeft;
    // A password goes only over TLS, or to this machine itself.
    if (wantAuth && !loopback && !server->implicitTls) {
        transfer.tls = Tls::Required;
        transfer.account = &account;
        const Attempt secured = perform(transfer);
        if (secured.code == CURLE_OK) {
            return "OK";
        }
        if (secured.code != CURLE_USE_SSL_FAILED) {
            return fail(secured.reason);
        }
        const std::string why = server->host + " offers no TLS, and the password is never sent in clear";
        transfer.tls = Tls::IfOffered;
        transfer.account = nullptr;
        transfer.timeLeft = stillLeft();
        if (transfer.timeLeft <= std::chrono::milliseconds::zero()) {
            return fail("the alert's time ran out; " + why);
        }
        const Attempt plain = perform(transfer);
        if (plain.code != CURLE_OK) {
            return fail(plain.reason + "; tried without AUTH because " + why);
        }
        const std::string text = "OK without AUTH: " + why;
        m_options.report(ReportKind::MailSentWithoutAuth,
                         "mail to \"" + shownTo + "\" via \"" + serverText + "\": " + text);
        return text;
    }
    transfer.account = wantAuth ? &account : nullptr;
    const Attempt sent = perform(transfer);
    return sent.code == CURLE_OK ? std::string("OK") : fail(sent.reason);
}
