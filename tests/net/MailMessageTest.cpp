// SPDX-License-Identifier: MIT
#include "net/MailMessage.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

TEST(MailMessage, EnvelopeAddressIsInsideTheLastBracketsAndTrimmed)
{
    for (auto [typed, envelope] : {std::pair<const char*, const char*>{" b@example.test", "b@example.test"},
                                   {"\t a@x  ", "a@x"},
                                   {"   ", ""},
                                   {"a b@x", "a b@x"},
                                   {"<ops@example.test>", "ops@example.test"},
                                   {" Ops <ops@example.test> ", "ops@example.test"},
                                   {"\"a <b>\" < ops@example.test >", "ops@example.test"},
                                   {"<>", ""},
                                   {"ops@example.test>", "ops@example.test>"},
                                   {"<ops@example.test", "<ops@example.test"}}) {
        EXPECT_EQ(EnvelopeAddress(typed), envelope) << '"' << typed << '"';
    }
}

TEST(MailMessage, AnEnvelopeAddressCarriesNothingButTheAddress)
{
    EXPECT_EQ(EnvelopeAddressFault("ops@example.test"), "");
    EXPECT_EQ(EnvelopeAddressFault("障害@example.test"), "");
    EXPECT_EQ(EnvelopeAddressFault(""), "") << "the sender's null reverse path";
    for (const char* address : {"ops@example.test> NOTIFY=SUCCESS ORCPT=rfc822;x@evil.test", "a b@x", "ops@x>",
                                "<ops@x", "a@x,b@x", "a@x\r\nRCPT TO:<b@y>", "a@x\tb"}) {
        EXPECT_NE(EnvelopeAddressFault(address), "") << address;
    }
    EXPECT_EQ(EnvelopeAddressFault("a b@x"), "holds a space");
    EXPECT_EQ(EnvelopeAddressFault("a@x,b@x"), "holds \",\"");
}

TEST(MailMessage, ControlCharactersCannotStartAHeader)
{
    EXPECT_EQ(NeutralizedHeaderValue("Alert\r\nBcc: victim@x"), "Alert  Bcc: victim@x");
    EXPECT_EQ(NeutralizedHeaderValue("a\rb\nc\x01"
                                     "d\te"),
              "a b c d\te");
    EXPECT_TRUE(HoldsControlCharacter("a@x\r\nRCPT TO:<b@y>"));
    EXPECT_FALSE(HoldsControlCharacter("障害@example.test"));
}

TEST(MailMessage, AsciiSubjectStaysReadable)
{
    EXPECT_EQ(EncodedSubject("Web server down"), "Web server down");
    EXPECT_EQ(EncodedSubject("down\r\nBcc: x@y"), "down  Bcc: x@y");
}

TEST(MailMessage, OtherSubjectsBecomeEncodedWordsThatNeverSplitACharacter)
{
    EXPECT_EQ(EncodedSubject("障害"), "=?UTF-8?B?6Zqc5a6z?=");
    // Text that looks like an encoded word must not be decoded as one.
    EXPECT_EQ(EncodedSubject("=?UTF-8?B?eA==?="), "=?UTF-8?B?PT9VVEYtOD9CP2VBPT0/PQ==?=");

    const std::string longJapanese = "サーバー監視の警報：ウェブサーバーが二回続けて応答しませんでした";
    const std::string encoded = EncodedSubject(longJapanese);
    std::size_t begin = 0;
    int words = 0;
    while (begin < encoded.size()) {
        auto end = encoded.find("\r\n ", begin);
        const std::string word = encoded.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        EXPECT_TRUE(word.starts_with("=?UTF-8?B?") && word.ends_with("?=")) << word;
        EXPECT_LE(word.size(), 75u);
        // Every character takes three bytes, so a word that never splits one carries a multiple of
        // three bytes, which base64 writes without padding.
        EXPECT_EQ(word.substr(10, word.size() - 12).find('='), std::string::npos) << word;
        ++words;
        begin = end == std::string::npos ? encoded.size() : end + 3;
    }
    EXPECT_GE(words, 3);
}

TEST(MailMessage, DateIsRfc5322InUtc)
{
    const auto when = sys_days{year{2026} / December / 7} + hours{9} + minutes{5} + seconds{3} + milliseconds{999};
    EXPECT_EQ(MailDate(when), "Mon, 07 Dec 2026 09:05:03 +0000");
    EXPECT_EQ(MailDate(sys_days{year{2000} / February / 29}), "Tue, 29 Feb 2000 00:00:00 +0000");
}

TEST(MailMessage, MessageIdTakesTheSendersDomainWhenUsable)
{
    EXPECT_EQ(MessageId(" watch@example.test ", "abc"), "<abc@example.test>");
    EXPECT_EQ(MessageId("", "abc"), "<abc@localhost>");
    EXPECT_EQ(MessageId("a@bad domain>\r\n", "abc"), "<abc@localhost>");
}

TEST(MailMessage, Base64MatchesTheStandardVectors)
{
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64("\xff\xfe"), "//4=");
}

TEST(MailMessage, MessageCarriesEveryHeaderAndTheBody)
{
    const std::string message =
        BuildMailMessage({"watch@example.test", "ops@example.test", "Alert", "line 1\r\nline 2\r\n",
                          "Mon, 07 Dec 2026 09:05:03 +0000", "<id@example.test>"});
    EXPECT_EQ(message, "Date: Mon, 07 Dec 2026 09:05:03 +0000\r\n"
                       "From: watch@example.test\r\n"
                       "To: ops@example.test\r\n"
                       "Subject: Alert\r\n"
                       "Message-ID: <id@example.test>\r\n"
                       "MIME-Version: 1.0\r\n"
                       "Content-Type: text/plain; charset=UTF-8\r\n"
                       "Content-Transfer-Encoding: 7bit\r\n"
                       "\r\n"
                       "line 1\r\nline 2\r\n");
}

TEST(MailMessage, BodyThatWouldBeAlteredOnTheWayGoesAsBase64)
{
    for (const std::string& body : {std::string("受信エラー\r\n"), std::string("bare\nLF\r\n"), std::string("no end"),
                                    std::string("a\rb\r\n"), std::string(1000, 'x') + "\r\n"}) {
        const std::string message = BuildMailMessage({"a@x", "b@y", "s", body, "d", "<i@x>"});
        EXPECT_NE(message.find("Content-Transfer-Encoding: base64\r\n"), std::string::npos) << body;
        const auto start = message.find("\r\n\r\n") + 4;
        std::string encoded;
        for (std::size_t i = start; i < message.size(); ++i) {
            if (message[i] != '\r' && message[i] != '\n') {
                encoded += message[i];
            }
        }
        EXPECT_EQ(encoded, Base64(body));
        for (std::size_t line = start; line < message.size(); line = message.find("\r\n", line) + 2) {
            EXPECT_LE(message.find("\r\n", line) - line, 76u);
        }
    }
}

} // namespace
