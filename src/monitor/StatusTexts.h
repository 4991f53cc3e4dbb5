// SPDX-License-Identifier: MIT
#pragma once

// The status line of a check, shown as the window caption and repeated in the tray tip.
inline constexpr const char* ReceivingCaption = "チェックファイル受信中";
inline constexpr const char* ReceptionErrorCaption = "受信エラー発生！！";
inline constexpr const char* SendingMailCaption = "メール送信中！！";
// Follows the date-time text of a good check; it begins with an ideographic space.
inline constexpr const char* ReadNormallySuffix = "\u3000正常読み込み済み";

// Failures in a row that trigger the recovery and the alert.
inline constexpr int FailuresBeforeAlert = 2;
// The pause after an automatic restart, long enough for the web server to come back.
inline constexpr int RecoveryIntervalMs = 40000;
