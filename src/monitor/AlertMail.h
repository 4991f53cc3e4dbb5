// SPDX-License-Identifier: MIT
#pragma once

class Form1;

// Mails errReport: one message to txtSendto, then one to each piece of txtCC between semicolons, in
// order, each piece passed as it stands. Every message reads the mail fields afresh. Whether a
// message went out is not examined, and a failed one does not stop the rest.
void SendAlertMail(Form1& form);
