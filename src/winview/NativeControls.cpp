// SPDX-License-Identifier: MIT
#include "winview/NativeControls.h"

#include "shell/InputFilters.h"
#include "win/WideText.h"

#include <commctrl.h>
#include <utility>

namespace {

constexpr UINT_PTR CharacterFilterId = 1;

struct ClassAndStyle
{
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle classAndStyle(ControlKind kind, bool firstOfGroup, bool password, bool clickable)
{
    const DWORD stop = WS_TABSTOP | WS_GROUP;
    switch (kind) {
    case ControlKind::Button:
        return {WC_BUTTONW, BS_PUSHBUTTON | stop, 0};
    case ControlKind::Edit:
        return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | (password ? DWORD{ES_PASSWORD} : 0) | stop, WS_EX_CLIENTEDGE};
    case ControlKind::CheckBox:
        return {WC_BUTTONW, BS_AUTOCHECKBOX | stop, 0};
    case ControlKind::Option:
        // Not an automatic radio button: the model keeps the group exclusive and the control shows it.
        return {WC_BUTTONW, BS_RADIOBUTTON | (firstOfGroup ? stop : 0), 0};
    case ControlKind::Label:
        return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | (clickable ? DWORD{SS_NOTIFY} : 0), 0};
    case ControlKind::Frame:
        return {WC_BUTTONW, BS_GROUPBOX, 0};
    }
    return {WC_STATICW, SS_LEFT, 0};
}

LRESULT CALLBACK filterCharacters(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    auto* box = reinterpret_cast<TextBox*>(data);
    if (message == WM_CHAR && box->KeyPress && IsKeyFilterCharacter(static_cast<std::uint32_t>(wParam))) {
        box->SelLength = SelectedCharacterCount(edit);
        const auto typed = static_cast<std::uint16_t>(box->typed(static_cast<std::int16_t>(wParam)));
        if (typed == 0) {
            return 0; // discarded: the edit never sees the key
        }
        wParam = typed;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, filterCharacters, id);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

HWND CreateNativeControl(HWND parent, int id, ControlKind kind, bool firstOfGroup, bool password, bool clickable)
{
    const ClassAndStyle cs = classAndStyle(kind, firstOfGroup, password, clickable);
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    HWND control = CreateWindowExW(cs.exStyle, cs.className, L"", WS_CHILD | WS_VISIBLE | cs.style, 0, 0, 0, 0, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (control != nullptr && password) {
        // With the version 6 controls a password edit shows a dot unless told otherwise.
        SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
    }
    return control;
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void ShowText(HWND window, const std::string& utf8)
{
    const std::wstring text = Widen(utf8);
    if (WindowText(window) != text) {
        SetWindowTextW(window, text.c_str());
    }
}

CommandHandler BindButton(CommandButton& button, HWND control)
{
    ShowText(control, button.Caption);
    EnableWindow(control, button.Enabled ? TRUE : FALSE);
    button.addObserver([&button, control](Control&, Prop prop) {
        if (prop == Prop::Caption) {
            ShowText(control, button.Caption);
        } else if (prop == Prop::Enabled) {
            EnableWindow(control, button.Enabled ? TRUE : FALSE);
        }
    });
    return [&button](WORD notification) {
        if (notification == BN_CLICKED) {
            Raise(button.Click);
        }
    };
}

CommandHandler BindCheckBox(CheckBox& box, HWND control)
{
    auto show = [&box, control] {
        SendMessageW(control, BM_SETCHECK, box.Value() != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    };
    ShowText(control, box.Caption);
    show();
    box.addObserver([&box, control, show](Control&, Prop prop) {
        if (prop == Prop::Value) {
            show();
        } else if (prop == Prop::Caption) {
            ShowText(control, box.Caption);
        } else if (prop == Prop::Enabled) {
            EnableWindow(control, box.Enabled ? TRUE : FALSE);
        }
    });
    return [&box, control](WORD notification) {
        if (notification == BN_CLICKED) {
            box.Value = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        }
    };
}

CommandHandler BindOption(OptionButton& option, HWND control, std::function<void()> afterShow)
{
    auto show = [&option, control, afterShow = std::move(afterShow)] {
        SendMessageW(control, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        afterShow();
    };
    ShowText(control, option.Caption);
    show();
    option.addObserver([&option, control, show](Control&, Prop prop) {
        if (prop == Prop::Value) {
            show();
        } else if (prop == Prop::Caption) {
            ShowText(control, option.Caption);
        } else if (prop == Prop::Enabled) {
            EnableWindow(control, option.Enabled ? TRUE : FALSE);
        }
    });
    return [&option, show](WORD notification) {
        if (notification == BN_CLICKED) {
            option.Value = true;
            show(); // a click on the chosen button leaves it chosen
        }
    };
}

void KeepGroupTabStop(const std::vector<HWND>& group)
{
    HWND stop = group.empty() ? nullptr : group.front();
    for (HWND option : group) {
        if (SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            stop = option;
            break;
        }
    }
    for (HWND option : group) {
        const LONG style = GetWindowLongW(option, GWL_STYLE);
        const LONG wanted = option == stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (wanted != style) {
            SetWindowLongW(option, GWL_STYLE, wanted);
        }
    }
}

CommandHandler BindEdit(TextBox& box, HWND control)
{
    ShowText(control, box.Text);
    EnableWindow(control, box.Enabled ? TRUE : FALSE);
    box.addObserver([&box, control](Control&, Prop prop) {
        if (prop == Prop::Text) {
            ShowText(control, box.Text);
        } else if (prop == Prop::Enabled) {
            EnableWindow(control, box.Enabled ? TRUE : FALSE);
        }
    });
    SetWindowSubclass(control, filterCharacters, CharacterFilterId, reinterpret_cast<DWORD_PTR>(&box));
    return [&box, control](WORD notification) {
        if (notification == EN_CHANGE) {
            std::string text = Narrow(WindowText(control));
            if (text != box.Text()) {
                const TextEdit kept = box.keptOf(text);
                if (kept.text != text) {
                    // Setting the text back notifies again; the box keeps what it kept.
                    SetWindowTextW(control, Widen(kept.text).c_str());
                    const auto caret = static_cast<WPARAM>(Widen(kept.text.substr(0, kept.caret)).size());
                    SendMessageW(control, EM_SETSEL, caret, static_cast<LPARAM>(caret));
                    text = kept.text;
                }
            }
            box.Text = text;
        } else if (notification == EN_KILLFOCUS) {
            Raise(box.LostFocus);
        }
    };
}

CommandHandler BindLabel(Label& label, HWND control)
{
    ShowText(control, label.Caption);
    label.addObserver([&label, control](Control&, Prop prop) {
        if (prop == Prop::Caption) {
            ShowText(control, label.Caption);
        }
    });
    return [&label](WORD notification) {
        if (notification == STN_CLICKED) {
            Raise(label.Click);
        }
    };
}

void BindFrame(Frame& frame, HWND control)
{
    ShowText(control, frame.Caption);
    frame.addObserver([&frame, control](Control&, Prop) { ShowText(control, frame.Caption); });
}

int SelectedCharacterCount(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowText(edit);
    int count = 0;
    for (DWORD i = start; i < end && i < text.size(); ++i) {
        // The second half of a surrogate pair belongs to the character before it.
        if (!IS_LOW_SURROGATE(text[i])) {
            ++count;
        }
    }
    return count;
}
