// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

class Form1;

// How long one alert may take, all its messages together: a relay that never answers must not hold
// the window, the check cycle or a reboot for as long as a hundred CC addresses would.
inline constexpr std::chrono::milliseconds AlertMailBound = std::chrono::seconds(60);

// Mails errReport: one message to txtSendto, then one to each piece of txtCC between semicolons, in
// order, each piece passed as it stands. Every message reads the mail fields afresh. Whether a
// message went out is not examined, and a failed one does not stop the rest. All of them together
// take at most `bound` (on the clock's steady time), each message being given what is left of it;
// the CC recipients left when it has run out are not tried, and the operator is told which they are.
void SendAlertMail(Form1& form, std::chrono::milliseconds bound = AlertMailBound);
