// SPDX-License-Identifier: MIT
#include "winview/ViewLayout.h"

#include "shell/Form1.h"
#include "winview/Dpi.h"

#include <utility>

namespace {

// The left column: seven buttons of 1335 x 495 twips, 555 twips apart.
constexpr int ColumnX = 60;
constexpr int ColumnTop = 90;
constexpr int ColumnStep = 555;
constexpr TwipsRect ColumnButton{0, 0, 1335, 495};

constexpr TwipsRect Frame1Rect{1455, 0, 3975, 4620};
constexpr TwipsRect Frame2Rect{5490, 0, 4335, 4650};

// The contact notices along the bottom edge.
constexpr int NoticeY = 4665;
constexpr int NoticeHeight = 240;

// Mail frame rows: a label above its field, 540 twips a row.
constexpr int MailRowTop = 300;
constexpr int MailRowStep = 540;

TwipsRect within(const TwipsRect& frame, TwipsRect rect)
{
    rect.x += frame.x;
    rect.y += frame.y;
    return rect;
}

class Builder
{
public:
    void add(Control& control, NativeKind kind, TwipsRect rect) { m_places.push_back({&control, kind, rect}); }
    void in1(Control& control, NativeKind kind, TwipsRect rect) { add(control, kind, within(Frame1Rect, rect)); }
    void in2(Control& control, NativeKind kind, TwipsRect rect) { add(control, kind, within(Frame2Rect, rect)); }
    std::vector<ControlPlace> take() { return std::move(m_places); }

private:
    std::vector<ControlPlace> m_places;
};

void leftColumn(Builder& b, Form1& f)
{
    Control* buttons[] = {&f.手動チェック, &f.IIS(0), &f.IIS(1), &f.IIS(2), &f.IIS(3), &f.Command5, &f.comEnd};
    int y = ColumnTop;
    for (Control* button : buttons) {
        b.add(*button, NativeKind::Button, {ColumnX, y, ColumnButton.width, ColumnButton.height});
        y += ColumnStep;
    }
}

void monitoringFrame(Builder& b, Form1& f)
{
    using K = NativeKind;
    b.add(f.Frame1, K::Frame, Frame1Rect);
    b.in1(f.Label1(0), K::Label, {120, 300, 540, 300});
    b.in1(f.txtLog, K::Edit, {660, 300, 2340, 300});
    b.in1(f.Command3, K::Button, {3045, 285, 825, 330});
    b.in1(f.chkKidou, K::CheckBox, {120, 645, 3750, 270});
    b.in1(f.Label2(0), K::Label, {120, 930, 1275, 210});
    b.in1(f.Label2(1), K::Label, {120, 1140, 1275, 210});
    b.in1(f.txtParaPath, K::Edit, {1395, 1020, 1605, 300});
    b.in1(f.Command4, K::Button, {3045, 1005, 825, 330});
    b.in1(f.Label2(2), K::Label, {120, 1440, 2355, 300});
    b.in1(f.txtTimeout, K::Edit, {2490, 1440, 390, 300});
    b.in1(f.Label2(4), K::Label, {2940, 1440, 300, 300});
    b.in1(f.Label2(6), K::Label, {120, 1800, 2355, 300});
    b.in1(f.txtTimer, K::Edit, {2490, 1800, 390, 300});
    b.in1(f.Label2(5), K::Label, {2940, 1800, 300, 300});
    b.in1(f.Label2(3), K::Label, {120, 2145, 3750, 210});
    b.in1(f.txtUrl, K::Edit, {120, 2370, 3750, 300});
    b.in1(f.Label3(3), K::Label, {120, 2745, 1050, 300});
    b.in1(f.txtProxy, K::Edit, {1170, 2745, 2700, 300});
    b.in1(f.chkSysStart, K::CheckBox, {120, 3120, 1350, 270});
    b.in1(f.Label3(0), K::Label, {1470, 3105, 810, 300});
    b.in1(f.txtUser, K::Edit, {2280, 3105, 1590, 300});
    b.in1(f.Label3(1), K::Label, {1470, 3450, 810, 300});
    b.in1(f.txtUserPass, K::Edit, {2280, 3450, 1590, 300});
    b.in1(f.Label3(2), K::Label, {120, 3810, 1005, 270});
    b.in1(f.OptBoot(0), K::Option, {1125, 3810, 1275, 270});
    b.in1(f.OptBoot(1), K::Option, {2400, 3810, 1545, 270});
    b.in1(f.Command1, K::Button, {180, 4170, 3615, 375});
}

void mailFrame(Builder& b, Form1& f)
{
    b.add(f.Frame2, NativeKind::Frame, Frame2Rect);
    const std::pair<Control*, Control*> rows[] = {
        {&f.Label1(2), &f.txtSendto},  {&f.Label1(3), &f.txtCC},   {&f.Label1(4), &f.txtFrom},
        {&f.Label1(6), &f.txtAcount},  {&f.Label1(7), &f.txtPass}, {&f.Label1(1), &f.txtSMTP},
        {&f.Label1(5), &f.txtSubject},
    };
    int y = MailRowTop;
    for (auto [label, box] : rows) {
        b.in2(*label, NativeKind::Label, {150, y, 4020, 210});
        b.in2(*box, NativeKind::Edit, {150, y + 210, 4020, 300});
        y += MailRowStep;
    }
    b.in2(f.Command2, NativeKind::Button, {270, 4200, 3780, 375});
}

void contactNotices(Builder& b, Form1& f)
{
    b.add(f.Label4(0), NativeKind::NoticeLabel, {1500, NoticeY, 900, NoticeHeight});
    b.add(f.Label4(2), NativeKind::LinkLabel, {2400, NoticeY, 1800, NoticeHeight});
    b.add(f.Label5(1), NativeKind::NoticeLabel, {5490, NoticeY, 1410, NoticeHeight});
    b.add(f.Label5(0), NativeKind::LinkLabel, {6900, NoticeY, 2250, NoticeHeight});
}

} // namespace

std::vector<ControlPlace> MainWindowLayout(Form1& form)
{
    Builder b;
    leftColumn(b, form);
    monitoringFrame(b, form);
    mailFrame(b, form);
    contactNotices(b, form);
    return b.take();
}

RECT ToPixels(const TwipsRect& rect, unsigned dpi)
{
    return {TwipsToPixels(rect.x, dpi), TwipsToPixels(rect.y, dpi), TwipsToPixels(rect.x + rect.width, dpi),
            TwipsToPixels(rect.y + rect.height, dpi)};
}
