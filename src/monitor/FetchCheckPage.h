// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

class Form1;

// Fetch outcomes: what one attempt to fetch the check page came to.
inline constexpr int FetchSucceeded = 0;     // the body was read to its end, whatever the status code
inline constexpr int FetchNoSession = 1;     // no internet session could be opened
inline constexpr int FetchUrlNotOpened = 2;  // no complete response headers: bad URL, refused, unresolved, timed out
inline constexpr int FetchReadFailed = 3;    // the body broke off: reset, stalled, or a bound of the fetch reached
inline constexpr int FetchTimeoutNotSet = 4; // the receive-timeout text was unusable or could not be set

// The user agent every check request sends.
inline constexpr const char* CheckPageAgent = "WinInet Test";
// The page copy in the save folder, and the temporary it is written to before it replaces the copy.
inline constexpr const char* CheckPageFileName = "check.htm";
inline constexpr const char* CheckPageTemporaryName = "check.htm.part";
// Each read of the body asks for at most this many bytes.
inline constexpr std::size_t CheckPageReadSize = 1024;

// The page copy's path: the save folder's text, the separator and "check.htm", with no separator
// added or removed beyond that. Empty when no save folder is given.
std::string CheckPagePath(Form1& form);

// Fetches txtUrl once through the internet client, with the receive timeout of txtTimeout and the
// proxy of txtProxy (trimmed of spaces; empty means the system's setting), and returns the outcome.
// When the body was read (outcomes 0 and 3) the copy is replaced by exactly the bytes received;
// otherwise a missing copy is created empty and an existing one is left as it was. A save folder that
// is missing or not writable changes nothing but the copy. Blocks until the fetch ends, which the
// client's bounds guarantee.
int FetchCheckPage(Form1& form);
