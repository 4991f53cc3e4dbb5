// SPDX-License-Identifier: MIT
#include "shell/WindowLayout.h"

#include "shell/Form1.h"

#include <algorithm>
#include <cstdint>

std::vector<ControlPlace> WindowLayout(Form1& f)
{
    Frame* const window = nullptr;
    Frame* const monitoring = &f.Frame1;
    Frame* const mail = &f.Frame2;
    constexpr int none = NoTabStop;
    constexpr FontRole link = FontRole::Link;
    return {
        // The left column: seven buttons of 1335 x 495, 555 apart.
        {f.手動チェック, {60, 90, 1335, 495}, window, 0},
        {f.IIS(0), {60, 645, 1335, 495}, window, 1},
        {f.IIS(1), {60, 1200, 1335, 495}, window, 2},
        {f.IIS(2), {60, 1755, 1335, 495}, window, 3},
        {f.IIS(3), {60, 2310, 1335, 495}, window, 4},
        {f.Command5, {60, 2865, 1335, 495}, window, 20},
        {f.comEnd, {60, 3420, 1335, 495}, window, 15},

        {f.Frame1, {1455, 0, 3975, 4620}, window, none},
        {f.Label1(0), {120, 300, 540, 300}, monitoring, none},
        {f.txtLog, {660, 300, 2340, 300}, monitoring, 5},
        {f.Command3, {3045, 285, 825, 330}, monitoring, 18},
        {f.chkKidou, {120, 645, 3750, 270}, monitoring, 22},
        {f.Label2(0), {120, 930, 1275, 210}, monitoring, none},
        {f.Label2(1), {120, 1140, 1275, 210}, monitoring, none},
        {f.txtParaPath, {1395, 1020, 1605, 300}, monitoring, 6},
        {f.Command4, {3045, 1005, 825, 330}, monitoring, 19},
        {f.Label2(2), {120, 1440, 2355, 300}, monitoring, none},
        {f.txtTimeout, {2490, 1440, 390, 300}, monitoring, 7},
        {f.Label2(4), {2940, 1440, 300, 300}, monitoring, none},
        {f.Label2(6), {120, 1800, 2355, 300}, monitoring, none},
        {f.txtTimer, {2490, 1800, 390, 300}, monitoring, 21},
        {f.Label2(5), {2940, 1800, 300, 300}, monitoring, none},
        {f.Label2(3), {120, 2145, 3750, 210}, monitoring, none},
        {f.txtUrl, {120, 2370, 3750, 300}, monitoring, 8},
        {f.Label3(3), {120, 2745, 1050, 300}, monitoring, none},
        {f.txtProxy, {1170, 2745, 2700, 300}, monitoring, 27},
        {f.chkSysStart, {120, 3120, 1350, 270}, monitoring, 25},
        {f.Label3(0), {1470, 3105, 810, 300}, monitoring, none},
        {f.txtUser, {2280, 3105, 1590, 300}, monitoring, 24},
        {f.Label3(1), {1470, 3450, 810, 300}, monitoring, none},
        {f.txtUserPass, {2280, 3450, 1590, 300}, monitoring, 23},
        {f.Label3(2), {120, 3810, 990, 270}, monitoring, none},
        {f.OptBoot(0), {1110, 3810, 1275, 270}, monitoring, 26},
        {f.OptBoot(1), {2385, 3810, 1575, 270}, monitoring, 26},
        {f.Command1, {180, 4170, 3615, 375}, monitoring, 9},

        // The mail frame: a label above its field, 540 a row.
        {f.Frame2, {5490, 0, 4335, 4650}, window, none},
        {f.Label1(2), {150, 300, 4020, 210}, mail, none},
        {f.txtSendto, {150, 510, 4020, 300}, mail, 10},
        {f.Label1(3), {150, 840, 4020, 210}, mail, none},
        {f.txtCC, {150, 1050, 4020, 300}, mail, 11},
        {f.Label1(4), {150, 1380, 4020, 210}, mail, none},
        {f.txtFrom, {150, 1590, 4020, 300}, mail, 12},
        {f.Label1(6), {150, 1920, 4020, 210}, mail, none},
        {f.txtAcount, {150, 2130, 4020, 300}, mail, 16},
        {f.Label1(7), {150, 2460, 4020, 210}, mail, none},
        {f.txtPass, {150, 2670, 4020, 300}, mail, 17},
        {f.Label1(1), {150, 3000, 4020, 210}, mail, none},
        {f.txtSMTP, {150, 3210, 4020, 300}, mail, 28},
        {f.Label1(5), {150, 3540, 4020, 210}, mail, none},
        {f.txtSubject, {150, 3750, 4020, 300}, mail, 13},
        {f.Command2, {270, 4200, 3780, 375}, mail, 14},

        // The contact notices along the bottom edge: a lead-in and a link each.
        {f.Label4(0), {1500, 4665, 900, 240}, window, none},
        {f.Label4(2), {2400, 4665, 1800, 240}, window, none, link},
        {f.Label5(1), {5490, 4665, 1410, 240}, window, none},
        {f.Label5(0), {6900, 4665, 2250, 240}, window, none, link},
    };
}

std::vector<const ControlPlace*> FocusOrder(const std::vector<ControlPlace>& layout)
{
    std::vector<const ControlPlace*> order;
    for (const ControlPlace& place : layout) {
        if (place.tabIndex != NoTabStop) {
            order.push_back(&place);
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const ControlPlace* a, const ControlPlace* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

TwipsRect InClientArea(const std::vector<ControlPlace>& layout, const ControlPlace& place)
{
    TwipsRect rect = place.rect;
    for (const ControlPlace& container : layout) {
        if (container.control == place.container) {
            rect.x += container.rect.x;
            rect.y += container.rect.y;
        }
    }
    return rect;
}

int TwipsToPixels(int twips, unsigned dpi)
{
    const std::int64_t scaled = std::int64_t{twips} * dpi;
    constexpr std::int64_t twipsPerInch = 1440;
    return static_cast<int>((scaled >= 0 ? scaled + twipsPerInch / 2 : scaled - twipsPerInch / 2) / twipsPerInch);
}
