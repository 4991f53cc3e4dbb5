// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Plain objects standing for the window's controls. A view mirrors them: every property change is
// reported to the control's observer at once, so a caption is on screen before a modal box opens.
// A control's focus request (SetFocus) reaches the observers the same way, as Prop::Focus.
// Each control also carries its event slots (Click, KeyPress, LostFocus, Change, Tick), which the
// window binds to its handlers; a view raises a control's slot for the platform's event and knows no
// handler.

enum class Prop
{
    Caption,
    Text,
    SelLength,
    Value,
    Enabled,
    Visible,
    WindowState,
    Interval,
    ToolTipText,
    // Not a value: the window asks for the keyboard focus to go to the control.
    Focus,
};

class Control;
using ControlObserver = std::function<void(Control&, Prop)>;

class Control
{
public:
    explicit Control(std::string name, int index = -1) : m_name(std::move(name)), m_index(index) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    // The index within its control array, or -1 for a control that is not in one.
    int index() const { return m_index; }

    // Observers are called in the order they were added, after the value has changed.
    void addObserver(ControlObserver observer) { m_observers.push_back(std::move(observer)); }
    // Gives the control the keyboard focus, through the view.
    void SetFocus() { notify(Prop::Focus); }
    void notify(Prop prop)
    {
        for (auto& observer : m_observers) {
            observer(*this, prop);
        }
    }

private:
    std::string m_name;
    int m_index;
    std::vector<ControlObserver> m_observers;
};

// A property that reports each change of its value to the owning control's observer.
template <typename T> class Property
{
public:
    Property(Control& owner, Prop id, T initial) : m_owner(owner), m_id(id), m_value(std::move(initial)) {}
    Property(const Property&) = delete;

    Property& operator=(T value)
    {
        if (!(value == m_value)) {
            m_value = std::move(value);
            m_owner.notify(m_id);
        }
        return *this;
    }
    Property& operator=(const Property& other) { return *this = other.m_value; }

    const T& operator()() const { return m_value; }
    operator const T&() const { return m_value; } // NOLINT(google-explicit-constructor): reads like the control

private:
    Control& m_owner;
    Prop m_id;
    T m_value;
};

// Runs an event slot when something is bound to it; an unbound event does nothing.
template <typename Signature, typename... Args> void Raise(const std::function<Signature>& slot, Args&&... args)
{
    if (slot) {
        slot(std::forward<Args>(args)...);
    }
}

// What a text box keeps of an edit: its text, and the caret as the number of bytes before it.
struct TextEdit
{
    std::string text;
    std::size_t caret = 0;
};

class TextBox : public Control
{
public:
    explicit TextBox(std::string name, std::string text = {}, bool password = false)
        : Control(std::move(name)), Text(*this, Prop::Text, std::move(text)), m_password(password)
    {
    }
    Property<std::string> Text;
    // Number of selected characters; kept up to date by the view, read by the key filters.
    Property<int> SelLength{*this, Prop::SelLength, 0};
    Property<bool> Enabled{*this, Prop::Enabled, true};
    // Password style: every character is shown as "*".
    bool isPassword() const { return m_password; }

    // A typed character (its code, 8 for Backspace, 13 for Enter), before the box takes it; setting
    // it to 0 discards the key. Tab, Escape and Delete are keys, not characters, and never come here.
    std::function<void(std::int16_t& keyCode)> KeyPress;
    std::function<void()> LostFocus;
    // Every change of the text that is not a typed key (a paste, an input method's commit, a drop),
    // before the box takes it: from the text before and after it, what the box keeps.
    std::function<TextEdit(std::string_view before, std::string_view after)> Change;

    // What the box keeps when such a change turns its text into `after`: all of it without a Change slot.
    TextEdit keptOf(std::string_view after) const
    {
        return Change ? Change(Text(), after) : TextEdit{std::string(after), after.size()};
    }
    // The code a typed character leaves after the KeyPress slot: itself, another, or 0 when discarded.
    std::int16_t typed(std::int16_t keyCode) const
    {
        Raise(KeyPress, keyCode);
        return keyCode;
    }

private:
    bool m_password;
};

class CommandButton : public Control
{
public:
    CommandButton(std::string name, std::string caption, int index = -1)
        : Control(std::move(name), index), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
    Property<bool> Enabled{*this, Prop::Enabled, true};
    // Shown while the mouse rests on the button, enabled or not; empty for none.
    Property<std::string> ToolTipText{*this, Prop::ToolTipText, {}};
    std::function<void()> Click;
};

class CheckBox : public Control
{
public:
    CheckBox(std::string name, std::string caption)
        : Control(std::move(name)), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
    // 0 unchecked, 1 checked.
    Property<int> Value{*this, Prop::Value, 0};
    Property<bool> Enabled{*this, Prop::Enabled, true};
};

class OptionButton : public Control
{
public:
    OptionButton(std::string name, std::string caption, int index)
        : Control(std::move(name), index), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
    Property<bool> Value{*this, Prop::Value, false};
    Property<bool> Enabled{*this, Prop::Enabled, true};
};

class Label : public Control
{
public:
    Label(std::string name, std::string caption, int index = -1)
        : Control(std::move(name), index), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
    // A label with a Click slot is one the operator clicks (a contact notice).
    std::function<void()> Click;
};

class Frame : public Control
{
public:
    Frame(std::string name, std::string caption)
        : Control(std::move(name)), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
};

class Timer : public Control
{
public:
    Timer(std::string name, std::int32_t interval, bool enabled)
        : Control(std::move(name)), Interval(*this, Prop::Interval, interval), Enabled(*this, Prop::Enabled, enabled)
    {
    }
    // Milliseconds between ticks, counted from the moment the timer is enabled.
    Property<std::int32_t> Interval;
    Property<bool> Enabled;
    std::function<void()> Tick;
};

class MenuItem : public Control
{
public:
    MenuItem(std::string name, std::string caption)
        : Control(std::move(name)), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
    Property<bool> Enabled{*this, Prop::Enabled, true};
    std::function<void()> Click;
    bool isSeparator() const { return Caption() == "-"; }
};

// A menu and its items in order, separators included.
class Menu : public Control
{
public:
    Menu(std::string name, std::string caption)
        : Control(std::move(name)), Caption(*this, Prop::Caption, std::move(caption))
    {
    }
    Property<std::string> Caption;
    // A menu that is not enabled does not pop up.
    Property<bool> Enabled{*this, Prop::Enabled, true};
    std::vector<MenuItem*> items;
};

// Controls sharing one name, addressed by index as arrays(i). Indices need not be contiguous.
template <typename T> class ControlArray
{
public:
    explicit ControlArray(std::string name) : m_name(std::move(name)) {}

    template <typename... Args> T& add(int index, Args&&... args)
    {
        auto control = std::make_unique<T>(m_name, std::forward<Args>(args)..., index);
        T& ref = *control;
        m_items[index] = std::move(control);
        return ref;
    }
    T& operator()(int index) { return *m_items.at(index); }
    const T& operator()(int index) const { return *m_items.at(index); }
    bool has(int index) const { return m_items.count(index) != 0; }
    const std::string& name() const { return m_name; }

    template <typename F> void forEach(F&& f)
    {
        for (auto& [index, control] : m_items) {
            f(*control);
        }
    }

private:
    std::string m_name;
    std::map<int, std::unique_ptr<T>> m_items;
};
