// SPDX-License-Identifier: MIT
#include "monitor/MailCallSites.h"

#include <regex>

namespace {

// The expression between the first and the last slash, and the flags after the last one.
std::regex compile(const std::string& pattern)
{
    auto flags = std::regex::ECMAScript;
    std::string expression = pattern;
    const auto last = pattern.rfind('/');
    if (pattern.size() >= 2 && pattern.front() == '/' && last != 0) {
        expression = pattern.substr(1, last - 1);
        if (pattern.find('i', last) != std::string::npos) {
            flags |= std::regex::icase;
        }
    }
    return std::regex(expression, flags);
}

} // namespace

std::vector<std::string> Split(const std::string& pattern, const std::string& text, std::int32_t& count)
{
    std::vector<std::string> pieces;
    if (!text.empty()) {
        try {
            const std::regex separator = compile(pattern);
            auto pieceBegin = text.cbegin();
            for (std::sregex_iterator it(text.cbegin(), text.cend(), separator), end; it != end; ++it) {
                // An empty match separates nothing; cutting there would split between characters.
                if ((*it)[0].length() == 0) {
                    continue;
                }
                pieces.emplace_back(pieceBegin, (*it)[0].first);
                pieceBegin = (*it)[0].second;
            }
            pieces.emplace_back(pieceBegin, text.cend());
        } catch (const std::regex_error&) {
            pieces.assign(1, text);
        }
    }
    count = static_cast<std::int32_t>(pieces.size());
    return pieces;
}
