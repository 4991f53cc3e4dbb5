// SPDX-License-Identifier: MIT
#include "net/MailMessage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::string_view Crlf = "\r\n";
// RFC 5322's limit for a line without its CR LF.
constexpr std::size_t MaxLine = 998;
// RFC 2047: an encoded word is at most 75 characters; "=?UTF-8?B?" and "?=" take 12 of them,
// leaving 63 for base64, which carries 45 bytes in 60 characters.
constexpr std::size_t EncodedWordBytes = 45;

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7f;
}

bool isPrintableAscii(std::string_view text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (isControl(u) && c != '\t')) {
            return false;
        }
    }
    return true;
}

// The length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xf0 && lead < 0xf8) {
        return 4;
    }
    if (lead >= 0xe0) {
        return lead < 0xf0 ? 3 : 1;
    }
    if (lead >= 0xc0) {
        return 2;
    }
    return 1;
}

bool sevenBitBody(std::string_view body)
{
    if (body.empty()) {
        return true;
    }
    if (!body.ends_with(Crlf)) {
        return false;
    }
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c >= 0x80 || c == 0) {
            return false;
        }
        if (c == '\r' || c == '\n') {
            // Only CR LF pairs end lines; a bare CR or LF would be changed on the way.
            if (c == '\n' || i + 1 >= body.size() || body[i + 1] != '\n') {
                return false;
            }
            if (i - lineStart > MaxLine) {
                return false;
            }
            ++i;
            lineStart = i + 1;
        }
    }
    return true;
}

std::string base64Lines(std::string_view bytes)
{
    const std::string encoded = Base64(bytes);
    std::string lines;
    for (std::size_t i = 0; i < encoded.size(); i += 76) {
        lines.append(encoded, i, 76).append(Crlf);
    }
    return lines;
}

} // namespace

std::string TrimmedAddress(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string EnvelopeAddress(std::string_view text)
{
    const auto open = text.rfind('<');
    if (open != std::string_view::npos) {
        const auto close = text.find('>', open);
        if (close != std::string_view::npos) {
            return TrimmedAddress(text.substr(open + 1, close - open - 1));
        }
    }
    return TrimmedAddress(text);
}

std::string EnvelopeAddressFault(std::string_view address)
{
    if (HoldsControlCharacter(address)) {
        return "holds a line break or another control character";
    }
    for (const char c : {' ', '<', '>', ','}) {
        if (address.find(c) != std::string_view::npos) {
            return c == ' ' ? std::string("holds a space") : std::string("holds \"") + c + "\"";
        }
    }
    return {};
}

bool HoldsControlCharacter(std::string_view text)
{
    for (const char c : text) {
        if (isControl(static_cast<unsigned char>(c))) {
            return true;
        }
    }
    return false;
}

std::string NeutralizedHeaderValue(std::string_view value)
{
    std::string result(value);
    for (char& c : result) {
        if (isControl(static_cast<unsigned char>(c)) && c != '\t') {
            c = ' ';
        }
    }
    return result;
}

std::string EncodedSubject(std::string_view subject)
{
    const std::string text = NeutralizedHeaderValue(subject);
    if (isPrintableAscii(text) && text.find("=?") == std::string::npos && text.size() + 9 <= MaxLine) {
        return text;
    }
    std::string result;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = begin;
        while (end < text.size()) {
            const std::size_t next = end + sequenceLength(static_cast<unsigned char>(text[end]));
            if (next - begin > EncodedWordBytes) {
                break;
            }
            end = std::min(next, text.size());
        }
        if (!result.empty()) {
            result += "\r\n "; // folding: the space between encoded words is not part of the text
        }
        result += "=?UTF-8?B?" + Base64(std::string_view(text).substr(begin, end - begin)) + "?=";
        begin = end;
    }
    return result;
}

std::string MailDate(std::chrono::system_clock::time_point when)
{
    using namespace std::chrono;
    static constexpr std::array<const char*, 7> weekdays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(when - day)};
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d +0000", weekdays[weekday{day}.c_encoding()],
                  static_cast<unsigned>(date.day()), months[static_cast<unsigned>(date.month()) - 1],
                  static_cast<int>(date.year()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
    return text;
}

std::string MessageId(std::string_view sender, std::string_view unique)
{
    const std::string address = EnvelopeAddress(sender);
    const auto at = address.rfind('@');
    const std::string domain = at == std::string::npos ? std::string() : address.substr(at + 1);
    const bool usable =
        !domain.empty() && domain.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") == std::string::npos;
    // Built by appending: GCC 12 at -O3 takes the chain of operator+ for an overlapping copy
    // (-Wrestrict, a false positive) and would fail a release build.
    std::string id = "<";
    id.append(unique).append("@").append(usable ? domain : std::string("localhost")).append(">");
    return id;
}

std::string Base64(std::string_view bytes)
{
    static constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const auto n = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
        out += alphabet[n >> 18 & 63];
        out += alphabet[n >> 12 & 63];
        out += alphabet[n >> 6 & 63];
        out += alphabet[n & 63];
    }
    if (i < bytes.size()) {
        auto n = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size()) {
            n |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        }
        out += alphabet[n >> 18 & 63];
        out += alphabet[n >> 12 & 63];
        out += i + 1 < bytes.size() ? alphabet[n >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string BuildMailMessage(const MailMessageParts& parts)
{
    const bool sevenBit = sevenBitBody(parts.body);
    std::string message;
    message.reserve(parts.body.size() * 4 / 3 + 512);
    message.append("Date: ").append(NeutralizedHeaderValue(parts.date)).append(Crlf);
    message.append("From: ").append(NeutralizedHeaderValue(parts.from)).append(Crlf);
    message.append("To: ").append(NeutralizedHeaderValue(parts.to)).append(Crlf);
    message.append("Subject: ").append(EncodedSubject(parts.subject)).append(Crlf);
    message.append("Message-ID: ").append(NeutralizedHeaderValue(parts.messageId)).append(Crlf);
    message.append("MIME-Version: 1.0").append(Crlf);
    message.append("Content-Type: text/plain; charset=UTF-8").append(Crlf);
    message.append("Content-Transfer-Encoding: ").append(sevenBit ? "7bit" : "base64").append(Crlf);
    message.append(Crlf);
    message.append(sevenBit ? parts.body : base64Lines(parts.body));
    return message;
}
