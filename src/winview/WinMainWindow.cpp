// SPDX-License-Identifier: MIT
#include "winview/WinMainWindow.h"

#include "win/WideText.h"
#include "winview/Dpi.h"
#include "winview/WinTray.h"

#include <algorithm>
#include <commctrl.h>
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

bool WinMainWindow::clickable(const ControlPlace& place)
{
    return place.kind == ControlKind::Label && static_cast<const Label*>(place.control)->Click;
}

void WinMainWindow::createControls(HINSTANCE /*instance*/)
{
    // The dialog manager moves the focus in the order the controls were created: the Tab order
    // first (an option group's buttons one after the other), then everything that takes no focus.
    std::vector<const ControlPlace*> order = FocusOrder(m_form.layout());
    for (const ControlPlace& place : m_form.layout()) {
        if (place.tabIndex == NoTabStop) {
            order.push_back(&place);
        }
    }

    m_natives.reserve(order.size());
    int previousTabIndex = NoTabStop;
    for (const ControlPlace* place : order) {
        const auto* box = dynamic_cast<const TextBox*>(place->control);
        const int id = FirstControlId + static_cast<int>(m_natives.size());
        const bool firstOfGroup = place->tabIndex == NoTabStop || place->tabIndex != previousTabIndex;
        HWND hwnd = CreateNativeControl(m_hwnd, id, place->kind, firstOfGroup, box != nullptr && box->isPassword(),
                                        clickable(*place));
        m_indexOf[place->control] = m_natives.size();
        m_natives.push_back({place, hwnd, {}});
        previousTabIndex = place->tabIndex;
    }
    m_toolTips =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, nullptr, nullptr);
    for (Native& native : m_natives) {
        bind(native);
        HWND hwnd = native.hwnd;
        native.place->control->addObserver([hwnd](Control&, Prop prop) {
            if (prop == Prop::Focus) {
                SetFocus(hwnd);
            }
        });
        if (native.place->kind == ControlKind::Button) {
            addToolTip(native);
        }
    }
}

// A disabled button gets no mouse messages; the window under it does. So each button has a tool of
// its own while enabled and one over its rectangle of the window while disabled, with one text.
void WinMainWindow::addToolTip(const Native& native)
{
    auto& button = static_cast<CommandButton&>(*native.place->control);
    const UINT_PTR id = static_cast<UINT_PTR>(GetDlgCtrlID(native.hwnd));
    auto setText = [toolTips = m_toolTips, window = m_hwnd, &button, id, hwnd = native.hwnd] {
        std::wstring text = Widen(button.ToolTipText());
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = window;
        tool.uId = id;
        tool.lpszText = text.data();
        SendMessageW(toolTips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
        SendMessageW(toolTips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    std::wstring empty;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = id;
    tool.lpszText = empty.data();
    SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.uId = reinterpret_cast<UINT_PTR>(native.hwnd);
    SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    setText();
    button.addObserver([setText](Control&, Prop prop) {
        if (prop == Prop::ToolTipText) {
            setText();
        }
    });
}

void WinMainWindow::placeToolTips()
{
    for (const Native& native : m_natives) {
        if (native.place->kind != ControlKind::Button) {
            continue;
        }
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_hwnd;
        tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(native.hwnd));
        GetWindowRect(native.hwnd, &tool.rect);
        MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&tool.rect), 2);
        SendMessageW(m_toolTips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void WinMainWindow::bind(Native& native)
{
    Control& control = *native.place->control;
    switch (native.place->kind) {
    case ControlKind::Button:
        native.onCommand = BindButton(static_cast<CommandButton&>(control), native.hwnd);
        break;
    case ControlKind::CheckBox:
        native.onCommand = BindCheckBox(static_cast<CheckBox&>(control), native.hwnd);
        break;
    case ControlKind::Option: {
        // The buttons that share the option's Tab stop are its group.
        std::vector<const Control*> group;
        for (const ControlPlace& other : m_form.layout()) {
            if (other.kind == ControlKind::Option && other.tabIndex == native.place->tabIndex) {
                group.push_back(other.control);
            }
        }
        native.onCommand = BindOption(static_cast<OptionButton&>(control), native.hwnd, [this, group] {
            std::vector<HWND> handles;
            for (const Control* option : group) {
                handles.push_back(handleFor(*option));
            }
            KeepGroupTabStop(handles);
        });
        break;
    }
    case ControlKind::Label:
        native.onCommand = BindLabel(static_cast<Label&>(control), native.hwnd);
        break;
    case ControlKind::Frame:
        BindFrame(static_cast<Frame&>(control), native.hwnd);
        break;
    case ControlKind::Edit:
        native.onCommand = BindEdit(static_cast<TextBox&>(control), native.hwnd);
        break;
    }
}

void WinMainWindow::buildMenu()
{
    m_menu = std::make_unique<WinMenu>(m_form.Menu_File, FirstMenuId);
}

void WinMainWindow::layout()
{
    m_font = CreateWindowFont(m_fontFamily, m_dpi);
    m_linkFont = CreateLinkFont(m_fontFamily, m_dpi);
    for (const Native& native : m_natives) {
        const RECT r = ToPixels(InClientArea(m_form.layout(), *native.place), m_dpi);
        MoveWindow(native.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        HFONT font = native.place->font == FontRole::Link ? m_linkFont.get() : m_font.get();
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
    placeToolTips();
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

void WinMainWindow::acceptShowRequests(UINT message)
{
    m_showRequest = message;
    // The start that asks runs elevated too, but the request must not depend on it.
    ChangeWindowMessageFilterEx(m_hwnd, message, MSGFLT_ALLOW, nullptr);
}

void WinMainWindow::applyWindowState()
{
    if (m_copyingPlatformState) {
        return; // the window is already as the model now says
    }
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
    if (m_showRequest != 0 && message == m_showRequest) {
        Raise(m_form.AnotherStart);
        if (IsWindowVisible(m_hwnd) != FALSE) {
            SetForegroundWindow(m_hwnd);
        }
        return 0;
    }
    switch (message) {
    case WM_SIZE:
        // The operator minimised or restored the window (the caption's buttons, the taskbar): the model
        // learns it, so that showing the window restores it.
        if (m_shown && IsWindowVisible(m_hwnd) != FALSE && (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED)) {
            m_copyingPlatformState = true;
            m_form.WindowState = wParam == SIZE_MINIMIZED ? 1 : 0;
            m_copyingPlatformState = false;
        }
        break;
    case WM_COMMAND:
        if (lParam != 0) {
            if (const Native* native = nativeOf(reinterpret_cast<HWND>(lParam)); native && native->onCommand) {
                native->onCommand(HIWORD(wParam));
            }
        }
        return 0;
    case WM_TIMER:
        if (wParam == Timer1Id && m_form.Timer1.Enabled && m_form.Timer1.Interval > 0) {
            Raise(m_form.Timer1.Tick);
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        const Native* native = nativeOf(reinterpret_cast<HWND>(lParam));
        if (native != nullptr && native->place->font == FontRole::Link) {
            auto* dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, LinkColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_SETCURSOR: {
        const Native* native = nativeOf(reinterpret_cast<HWND>(wParam));
        if (native != nullptr && clickable(*native->place)) {
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
        Raise(m_form.QueryUnload, cancel, 0);
        if (cancel == 0) {
            DestroyWindow(m_hwnd);
        }
        return 0;
    }
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            // Windows is shutting down and will not send WM_CLOSE: unload now, so the icon goes too.
            int cancel = 0;
            Raise(m_form.QueryUnload, cancel, 2);
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
