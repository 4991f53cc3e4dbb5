// SPDX-License-Identifier: MIT
#pragma once

class Form1;

// Writes the failure line of a fetch outcome (1 to 4) to the log file of txtLog and appends the alert
// line, carrying the failure count, to errReport. The log file is opened for appending (created when
// missing) and closed within the call. A log that cannot be written (empty path, missing folder, no
// permission) is skipped silently; the alert line reaches errReport all the same. An outcome outside
// 1 to 4 writes nothing.
void AppendFailureLog(Form1& form, int outcome, int count);

// Writes the recovery line to the log file of txtLog, the same whichever recovery option is chosen.
// A log that cannot be written is skipped silently.
void AppendRecoveryLog(Form1& form);
