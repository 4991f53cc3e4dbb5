// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// One rule per stored number of the settings, each a plain function named for its field, shared by
// start-up, the completeness check, the saves and the check itself, so that what one of them takes
// the others take too. The settings file can hold anything, so every rule refuses what its user
// could not use.

// The most whole seconds whose milliseconds fit a signed 32-bit number.
inline constexpr std::int32_t MaxSeconds = 2147483;
// What a refused TIMEOUT or TIMER text is not, for a message naming the field.
inline constexpr const char* SecondsRuleText = "a whole number of seconds from 1 to 2147483";

// TIMEOUT (txtTimeout): the receive timeout of the page fetch. ASCII digits only, leading zeros
// allowed (no sign, point, exponent or blank), naming 1 to 2147483 seconds; the window's field keeps
// what is typed to 1 to 60. Returns the milliseconds, or nothing for any other text. Zero would leave
// the fetch without a bound, and a text the fetch cannot use fails every check before any request:
// the web server would be restarted at every second tick.
std::optional<std::int32_t> TimeoutMilliseconds(std::string_view text);

// TIMER (txtTimer): the pause between two checks, by the same rule as TIMEOUT. Returns the
// milliseconds, or nothing. A timer is never given zero or a negative interval: it would fire without
// pause, spin the processor and flood the watched server.
std::optional<std::int32_t> TimerMilliseconds(std::string_view text);

// KIDOU (chkKidou), LOGIN (chkSysStart, and the store's AutoAdminLogon): the check box's state, 1 for
// a stored 1 (leading zeros allowed), 0 for anything else.
int KidouValue(std::string_view text);
int LoginValue(std::string_view text);

// RESTART (OptBoot): the index of the chosen option; only a stored 1 chooses the reboot, anything
// else the web server's restart, the harmless one.
int RestartOption(std::string_view text);
