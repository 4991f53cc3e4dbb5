// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>
#include <string_view>

// The rules that turn the alert's texts into one well-formed message (RFC 5322, MIME). Pure
// functions; texts are UTF-8.

// A field's text with the spaces and tabs around it removed: what the headers show of an address.
std::string TrimmedAddress(std::string_view text);

// An address as it goes into the SMTP envelope: the text inside the last "<...>" when there is one
// (as in "<ops@example.test>" or "Ops <ops@example.test>"), otherwise the whole text; either way
// with the spaces and tabs around it removed. Servers refuse "RCPT TO:<<ops@example.test>>".
std::string EnvelopeAddress(std::string_view text);

// Why an envelope address must not reach the SMTP dialogue, or the empty text when it may: a space,
// "<", ">", "," or a control character would end the address early, and what follows would reach the
// server as parameters of the command (NOTIFY=, ORCPT=...) or as a command of its own.
std::string EnvelopeAddressFault(std::string_view address);

// True when the text holds a control character (CR and LF among them) that must not reach the
// SMTP dialogue.
bool HoldsControlCharacter(std::string_view text);

// A header value that cannot start a new header: CR, LF and every other control character but tab
// become a space.
std::string NeutralizedHeaderValue(std::string_view value);

// The Subject header's value: the neutralized text as it is when it is printable ASCII (and would not
// read as an encoded word), otherwise RFC 2047 "B" encoded words of UTF-8, each at most 75
// characters and never splitting a character, folded onto continuation lines.
std::string EncodedSubject(std::string_view subject);

// An RFC 5322 date in UTC, e.g. "Mon, 07 Dec 2026 09:05:03 +0000".
std::string MailDate(std::chrono::system_clock::time_point when);

// "<unique@domain>", the domain taken from the sender's address (or "localhost" when it has none that
// is usable); `unique` must differ for every message.
std::string MessageId(std::string_view sender, std::string_view unique);

// RFC 4648 base64, without line breaks.
std::string Base64(std::string_view bytes);

struct MailMessageParts
{
    std::string from;
    std::string to;
    std::string subject;
    std::string body;
    std::string date;      // MailDate()
    std::string messageId; // MessageId()
};

// The whole message, header and body, lines ended by CR LF. The body is text/plain in UTF-8; it goes
// as 7bit when it is ASCII in CR LF lines of at most 998 characters ending with CR LF (or is empty), and
// as base64 otherwise, so that every byte of it arrives unchanged.
std::string BuildMailMessage(const MailMessageParts& parts);
