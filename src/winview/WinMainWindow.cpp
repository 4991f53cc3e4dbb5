// SPDX-License-Identifier: MIT
#include "winview/WinMainWindow.h"

#include "shell/InputFilters.h"
#include "win/WideText.h"
#include "winview/Dpi.h"
#include "winview/WinTray.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr const wchar_t* WindowClass = L"SentrybellMainWindow";
// A fixed window: the client area is given and the program never resizes it.
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD WindowExStyle = WS_EX_CONTROLPARENT;
// Control identifiers count from here; 1 and 2 are IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Escape, and must name no control.
constexpr int FirstControlId = 100;
constexpr UINT FirstMenuId = 1000;
// Blue link text: colour value 0x00C00000, blue 192.
constexpr COLORREF LinkColour = RGB(0, 0, 192);

void registerWindowClass(HINSTANCE instance, HICON large, HICON small)
{
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, WindowClass, &windowClass) != FALSE) {
        return;
    }
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW; // replaced by the window's own procedure at creation
    windowClass.hInstance = instance;
    windowClass.hIcon = large;
    windowClass.hIconSm = small;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = WindowClass;
    RegisterClassExW(&windowClass);
}

} // namespace

WinMainWindow::WinMainWindow(Form1& form, WinTray& tray, HINSTANCE instance, Icons icons)
    : m_form(form), m_tray(tray), m_icons(icons)
{
    registerWindowClass(instance, icons.large, icons.small);
    m_hwnd = CreateWindowExW(WindowExStyle, WindowClass, Widen(form.Caption()).c_str(), WindowStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinMainWindow::WindowProc));
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.large));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small));
    m_form.hWnd = reinterpret_cast<WindowHandle>(m_hwnd);

    m_dpi = WindowDpi(m_hwnd);
    m_fontFamily = JapaneseFontFamily();
    createControls(instance);
    buildMenu();
    layout();
    bindWindow();
    bindTimer();
    m_tray.attach(m_hwnd, icons.small);
    m_tray.setMenu(m_menu.get());
}

WinMainWindow::~WinMainWindow()
{
    if (IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
    m_form.hWnd = 0;
}

HWND WinMainWindow::handleFor(const Control& control) const
{
    const auto it = m_indexOf.find(&control);
    return it == m_indexOf.end() ? nullptr : m_natives[it->second].hwnd;
}

const WinMainWindow::Native* WinMainWindow::nativeOf(HWND control) const
{
    for (const Native& native : m_natives) {
        if (native.hwnd == control) {
            return &native;
        }
    }
    return nullptr;
}

void WinMainWindow::createControls(HINSTANCE /*instance*/)
{
    std::map<const Control*, ControlPlace> places;
    for (const ControlPlace& place : MainWindowLayout(m_form)) {
        places[place.control] = place;
    }
    // The dialog manager moves the focus in the order the controls were created: the Tab order
    // first (the second option button right after the first, in its group), then everything that
    // takes no focus.
    std::vector<Control*> order;
    for (Control* control : m_form.tabOrder()) {
        order.push_back(control);
        if (control == &m_form.OptBoot(0)) {
            order.push_back(&m_form.OptBoot(1));
        }
    }
    for (const ControlPlace& place : MainWindowLayout(m_form)) {
        if (std::find(order.begin(), order.end(), place.control) == order.end()) {
            order.push_back(place.control);
        }
    }

    m_natives.reserve(order.size());
    for (Control* control : order) {
        const ControlPlace& place = places.at(control);
        const auto* box = dynamic_cast<const TextBox*>(control);
        Native native{control, place.kind, place.rect, nullptr, {}};
        const int id = FirstControlId + static_cast<int>(m_natives.size());
        native.hwnd = CreateNativeControl(m_hwnd, id, place.kind, control != &m_form.OptBoot(1),
                                          box != nullptr && box->isPassword());
        m_indexOf[control] = m_natives.size();
        m_natives.push_back(std::move(native));
    }
    for (Native& native : m_natives) {
        bind(native);
    }
}

std::function<void()> WinMainWindow::clickHandler(const Control& control)
{
    Form1& f = m_form;
    const int index = control.index();
    if (&control == &f.手動チェック) {
        return [&f] { f.手動チェック_Click(); };
    }
    if (f.IIS.has(index) && &control == &f.IIS(index)) {
        return [&f, index] { f.IIS_Click(index); };
    }
    if (f.Label4.has(index) && &control == &f.Label4(index)) {
        return [&f, index] { f.Label4_Click(index); };
    }
    if (f.Label5.has(index) && &control == &f.Label5(index)) {
        return [&f, index] { f.Label5_Click(index); };
    }
    const std::pair<const Control*, void (Form1::*)()> buttons[] = {
        {&f.Command1, &Form1::Command1_Click}, {&f.Command2, &Form1::Command2_Click},
        {&f.Command3, &Form1::Command3_Click}, {&f.Command4, &Form1::Command4_Click},
        {&f.Command5, &Form1::Command5_Click}, {&f.comEnd, &Form1::comEnd_Click},
    };
    for (const auto& [button, handler] : buttons) {
        if (button == &control) {
            return [&f, handler = handler] { (f.*handler)(); };
        }
    }
    return {};
}

void WinMainWindow::bind(Native& native)
{
    Control& control = *native.control;
    switch (native.kind) {
    case NativeKind::Button:
        native.onCommand = BindButton(static_cast<CommandButton&>(control), native.hwnd, clickHandler(control));
        break;
    case NativeKind::CheckBox:
        native.onCommand = BindCheckBox(static_cast<CheckBox&>(control), native.hwnd);
        break;
    case NativeKind::Option:
        native.onCommand = BindOption(static_cast<OptionButton&>(control), native.hwnd, [this] {
            std::vector<HWND> group;
            m_form.OptBoot.forEach([this, &group](OptionButton& option) { group.push_back(handleFor(option)); });
            KeepGroupTabStop(group);
        });
        break;
    case NativeKind::Label:
        native.onCommand = BindLabel(static_cast<Label&>(control), native.hwnd);
        break;
    case NativeKind::NoticeLabel:
    case NativeKind::LinkLabel:
        native.onCommand = BindLabel(static_cast<Label&>(control), native.hwnd, clickHandler(control));
        break;
    case NativeKind::Frame:
        BindFrame(static_cast<Frame&>(control), native.hwnd);
        break;
    case NativeKind::Edit: {
        auto& box = static_cast<TextBox&>(control);
        std::function<void()> onLostFocus;
        if (&box == &m_form.txtTimeout) {
            onLostFocus = [this] { m_form.txtTimeout_LostFocus(); };
        }
        const bool seconds = &box == &m_form.txtTimeout || &box == &m_form.txtTimer;
        // A paste (the context menu, Shift+Insert), an input method's commit or any other change that
        // is not a typed key goes through the key filter too, character by character.
        native.onCommand = BindEdit(box, native.hwnd, std::move(onLostFocus),
                                    seconds ? EditFilter(FilterSecondsFieldEdit) : EditFilter());
        if (seconds) {
            HWND edit = native.hwnd;
            auto filter = std::make_unique<std::function<wchar_t(wchar_t)>>([this, &box, edit](wchar_t typed) {
                box.SelLength = SelectedCharacterCount(edit);
                auto keyCode = static_cast<std::int16_t>(typed);
                if (&box == &m_form.txtTimeout) {
                    m_form.txtTimeout_KeyPress(keyCode);
                } else {
                    m_form.txtTimer_KeyPress(keyCode);
                }
                return static_cast<wchar_t>(static_cast<std::uint16_t>(keyCode));
            });
            FilterTypedCharacters(edit, filter.get());
            m_keyFilters.push_back(std::move(filter));
        }
        break;
    }
    }
}

void WinMainWindow::buildMenu()
{
    Form1& f = m_form;
    m_menu = std::make_unique<WinMenu>(f.Menu_File, FirstMenuId);
    m_menu->onChoose(f.Menu_Open, [&f] { f.Menu_Open_Click(); });
    m_menu->onChoose(f.Menu_Start, [&f] { f.Menu_Start_Click(); });
    m_menu->onChoose(f.Menu_Stop, [&f] { f.Menu_Stop_Click(); });
    m_menu->onChoose(f.Menu_End, [&f] { f.Menu_End_Click(); });
}

void WinMainWindow::layout()
{
    m_font = CreateWindowFont(m_fontFamily, m_dpi);
    m_linkFont = CreateLinkFont(m_fontFamily, m_dpi);
    for (const Native& native : m_natives) {
        const RECT r = ToPixels(native.rect, m_dpi);
        MoveWindow(native.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        HFONT font = native.kind == NativeKind::LinkLabel ? m_linkFont.get() : m_font.get();
        SendMessageW(native.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    const SIZE client{TwipsToPixels(ClientWidthTwips, m_dpi), TwipsToPixels(ClientHeightTwips, m_dpi)};
    const SIZE outer = WindowSizeForClient(client, WindowStyle, WindowExStyle, m_dpi);
    SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may be drawn at another scale than the one asked for (a system that does not scale
    // the caption): the client area is what must come out right.
    RECT actual{};
    GetClientRect(m_hwnd, &actual);
    const int dx = client.cx - actual.right;
    const int dy = client.cy - actual.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx + dx, outer.cy + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void WinMainWindow::bindWindow()
{
    m_form.addObserver([this](Control&, Prop prop) {
        switch (prop) {
        case Prop::Caption:
            SetWindowTextW(m_hwnd, Widen(m_form.Caption()).c_str());
            break;
        case Prop::Visible:
        case Prop::WindowState:
            applyWindowState();
            break;
        default:
            break;
        }
    });
}

void WinMainWindow::showAsModelSays()
{
    m_shown = true;
    applyWindowState();
}

void WinMainWindow::applyWindowState()
{
    if (!m_form.Visible) {
        ShowWindow(m_hwnd, SW_HIDE);
    } else if (!m_shown) {
        // Start-up decides before the window is first shown; until then nothing appears.
    } else if (m_form.WindowState == 1) {
        ShowWindow(m_hwnd, SW_SHOWMINNOACTIVE);
    } else {
        ShowWindow(m_hwnd, IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOWNORMAL);
        SetForegroundWindow(m_hwnd);
    }
}

void WinMainWindow::bindTimer()
{
    m_form.Timer1.addObserver([this](Control&, Prop) { applyTimer(); });
    applyTimer();
}

void WinMainWindow::applyTimer()
{
    // A zero or negative interval would tick without pause: such a timer is never started.
    if (m_form.Timer1.Enabled && m_form.Timer1.Interval > 0) {
        // Setting it again restarts the count from now, also when only the interval changed.
        m_timerInterval = static_cast<UINT>(m_form.Timer1.Interval());
        m_timerArmed = SetTimer(m_hwnd, Timer1Id, m_timerInterval, nullptr) != 0;
    } else if (m_timerArmed) {
        KillTimer(m_hwnd, Timer1Id);
        m_timerArmed = false;
    }
}

void WinMainWindow::restoreFocus(bool firstTime)
{
    HWND target = !firstTime && IsWindow(m_lastFocus) && IsWindowEnabled(m_lastFocus) ? m_lastFocus : nullptr;
    if (target == nullptr) {
        // The first enabled control of the Tab order.
        target = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

LRESULT CALLBACK WinMainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<WinMainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_hwnd != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT WinMainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            if (const Native* native = nativeOf(reinterpret_cast<HWND>(lParam)); native && native->onCommand) {
                native->onCommand(HIWORD(wParam));
            }
        }
        return 0;
    case WM_TIMER:
        if (wParam == Timer1Id && m_form.Timer1.Enabled && m_form.Timer1.Interval > 0) {
            m_form.Timer1_Timer();
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        const Native* native = nativeOf(reinterpret_cast<HWND>(lParam));
        if (native != nullptr && native->kind == NativeKind::LinkLabel) {
            auto* dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, LinkColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_SETCURSOR: {
        const Native* native = nativeOf(reinterpret_cast<HWND>(wParam));
        if (native != nullptr && (native->kind == NativeKind::LinkLabel || native->kind == NativeKind::NoticeLabel)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            m_lastFocus = focus != nullptr && IsChild(m_hwnd, focus) ? focus : m_lastFocus;
        } else {
            restoreFocus(m_lastFocus == nullptr);
        }
        return 0;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layout();
        return 0;
    }
    case WM_CLOSE: {
        // The close box, Menu_End and AppLifetime::unloadWindow() all arrive here.
        int cancel = 0;
        m_form.Form_QueryUnload(cancel, 0);
        if (cancel == 0) {
            DestroyWindow(m_hwnd);
        }
        return 0;
    }
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            // Windows is shutting down and will not send WM_CLOSE: unload now, so the icon goes too.
            int cancel = 0;
            m_form.Form_QueryUnload(cancel, 2);
        }
        return 0;
    case WM_DESTROY:
        if (m_timerArmed) {
            KillTimer(m_hwnd, Timer1Id);
            m_timerArmed = false;
        }
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}
