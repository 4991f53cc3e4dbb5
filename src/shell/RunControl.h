// SPDX-License-Identifier: MIT
#pragma once

class Form1;

// Shows the timer as stopped, exactly as a stop through Command5 leaves it: the caption offers
// "タイマー開始", Menu_Start is enabled and Menu_Stop is not. The timer itself is not touched.
void ShowTimerStopped(Form1& form);
