// SPDX-License-Identifier: MIT
#include "qt/MainWindow.h"

#include "qt/AppIcon.h"
#include "qt/QtServices.h"
#include "qt/QtTray.h"
#include "shell/InputFilters.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QValidator>

namespace {

// The client area: 10080 x 4920 twips at 15 twips a pixel.
constexpr int ClientWidth = 672;
constexpr int ClientHeight = 328;
constexpr int FieldHeight = 20;
constexpr int ButtonHeight = 24;

// The character code of a key press as the key filters expect it, or -1 for a key that produces no
// character (arrows, Home, End) or whose character is a key of its own (Tab, Escape, Delete), which
// never reaches a filter.
int characterCode(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        return 13;
    }
    if (key.key() == Qt::Key_Backspace) {
        return 8;
    }
    if ((key.modifiers() & Qt::ControlModifier) != 0 && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) {
        return key.key() - Qt::Key_A + 1; // Ctrl+V is 22, as a control character
    }
    const QString text = key.text();
    if (text.isEmpty() || !IsKeyFilterCharacter(text.at(0).unicode())) {
        return -1;
    }
    return text.at(0).unicode();
}

// Every change of a seconds field that does not come from a typed key (the context menu's paste,
// Shift+Insert, the X11 middle button, an input method's commit, a drop) passes here: the inserted
// text goes through the field's key filter character by character, as if typed.
class SecondsFieldValidator : public QValidator
{
public:
    SecondsFieldValidator(const TextBox& box, QObject* parent) : QValidator(parent), m_box(box) {}

    State validate(QString& input, int& pos) const override
    {
        const std::string proposed = input.toStdString();
        const SecondsFieldEdit edit = FilterSecondsFieldEdit(m_box.Text(), proposed);
        if (edit.text != proposed) {
            input = QString::fromStdString(edit.text);
            pos = static_cast<int>(QString::fromStdString(edit.text.substr(0, edit.caret)).size());
        }
        return Acceptable;
    }

private:
    const TextBox& m_box; // holds the text before the change until the change is accepted
};

} // namespace

MainWindow::MainWindow(Form1& form, QtTray& tray, QWidget* parent) : QWidget(parent), m_form(form), m_tray(tray)
{
    setWindowIcon(AppIcon());
    setFixedSize(ClientWidth, ClientHeight);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    buildLeftColumn();
    buildMonitoringFrame();
    buildMailFrame();
    buildContactLabels();
    buildMenu();
    applyTabOrder();
    bindWindow();
    bindTimer();
    m_tray.setMenu(&m_menu);
}

template <typename W> W* MainWindow::place(Control& control, QWidget* parent, int x, int y, int width, int height)
{
    auto* widget = new W(parent);
    widget->setGeometry(x, y, width, height);
    widget->setObjectName(control.index() < 0 ? toQString(control.name())
                                              : toQString(control.name()) + QString("(%1)").arg(control.index()));
    m_widgets.insert(&control, widget);
    return widget;
}

namespace {

void bindButton(CommandButton& button, QPushButton* widget, std::function<void()> onClick)
{
    widget->setText(toQString(button.Caption));
    widget->setEnabled(button.Enabled);
    button.addObserver([&button, widget](Control&, Prop prop) {
        if (prop == Prop::Caption) {
            widget->setText(toQString(button.Caption));
        } else if (prop == Prop::Enabled) {
            widget->setEnabled(button.Enabled);
        }
    });
    QObject::connect(widget, &QPushButton::clicked, widget, [onClick = std::move(onClick)] { onClick(); });
}

void bindLabel(Label& label, QLabel* widget)
{
    widget->setText(toQString(label.Caption));
    label.addObserver([&label, widget](Control&, Prop) { widget->setText(toQString(label.Caption)); });
}

void bindCheckBox(CheckBox& box, QCheckBox* widget)
{
    widget->setText(toQString(box.Caption));
    widget->setChecked(box.Value() != 0);
    box.addObserver([&box, widget](Control&, Prop prop) {
        if (prop == Prop::Value) {
            widget->setChecked(box.Value() != 0);
        } else if (prop == Prop::Caption) {
            widget->setText(toQString(box.Caption));
        } else if (prop == Prop::Enabled) {
            widget->setEnabled(box.Enabled);
        }
    });
    QObject::connect(widget, &QCheckBox::toggled, widget, [&box](bool on) { box.Value = on ? 1 : 0; });
}

void bindOption(OptionButton& option, QRadioButton* widget)
{
    // The model keeps the group exclusive; the widget only shows it.
    widget->setAutoExclusive(false);
    widget->setText(toQString(option.Caption));
    widget->setChecked(option.Value);
    option.addObserver([&option, widget](Control&, Prop prop) {
        if (prop == Prop::Value) {
            widget->setChecked(option.Value);
        }
    });
    QObject::connect(widget, &QRadioButton::clicked, widget, [&option, widget] {
        option.Value = true;
        widget->setChecked(option.Value); // a click on the chosen button leaves it chosen
    });
}

} // namespace

void MainWindow::bind(TextBox& box, QLineEdit* edit)
{
    edit->setText(toQString(box.Text));
    if (box.isPassword()) {
        edit->setEchoMode(QLineEdit::Password);
        // Most styles mask with a dot; the window shows one "*" per character.
        edit->setStyleSheet("lineedit-password-character: 42;");
    }
    box.addObserver([&box, edit](Control&, Prop prop) {
        if (prop == Prop::Text && edit->text() != toQString(box.Text)) {
            edit->setText(toQString(box.Text));
        } else if (prop == Prop::Enabled) {
            edit->setEnabled(box.Enabled);
        }
    });
    connect(edit, &QLineEdit::textChanged, this, [&box](const QString& text) { box.Text = text.toStdString(); });
    connect(edit, &QLineEdit::selectionChanged, this,
            [&box, edit] { box.SelLength = static_cast<int>(edit->selectedText().size()); });
}

void MainWindow::buildLeftColumn()
{
    const int x = 4;
    const int step = 37;
    int y = 6;
    bindButton(m_form.手動チェック, place<QPushButton>(m_form.手動チェック, this, x, y, 89, 33),
               [this] { m_form.手動チェック_Click(); });
    for (int i = 0; i < 4; ++i) {
        y += step;
        bindButton(m_form.IIS(i), place<QPushButton>(m_form.IIS(i), this, x, y, 89, 33),
                   [this, i] { m_form.IIS_Click(i); });
    }
    y += step;
    bindButton(m_form.Command5, place<QPushButton>(m_form.Command5, this, x, y, 89, 33),
               [this] { m_form.Command5_Click(); });
    y += step;
    bindButton(m_form.comEnd, place<QPushButton>(m_form.comEnd, this, x, y, 89, 33), [this] { m_form.comEnd_Click(); });
}

void MainWindow::buildMonitoringFrame()
{
    Form1& f = m_form;
    auto* frame = place<QGroupBox>(f.Frame1, this, 97, 0, 265, 308);
    frame->setTitle(toQString(f.Frame1.Caption));

    bindLabel(f.Label1(0), place<QLabel>(f.Label1(0), frame, 8, 20, 36, FieldHeight));
    bind(f.txtLog, place<QLineEdit>(f.txtLog, frame, 44, 20, 156, FieldHeight));
    bindButton(f.Command3, place<QPushButton>(f.Command3, frame, 203, 19, 55, 22), [this] { m_form.Command3_Click(); });
    bindCheckBox(f.chkKidou, place<QCheckBox>(f.chkKidou, frame, 8, 43, 250, 18));

    bindLabel(f.Label2(0), place<QLabel>(f.Label2(0), frame, 8, 62, 80, 14));
    bindLabel(f.Label2(1), place<QLabel>(f.Label2(1), frame, 8, 76, 80, 14));
    bind(f.txtParaPath, place<QLineEdit>(f.txtParaPath, frame, 88, 68, 112, FieldHeight));
    bindButton(f.Command4, place<QPushButton>(f.Command4, frame, 203, 67, 55, 22), [this] { m_form.Command4_Click(); });

    bindLabel(f.Label2(2), place<QLabel>(f.Label2(2), frame, 8, 96, 150, FieldHeight));
    auto* timeout = place<QLineEdit>(f.txtTimeout, frame, 160, 96, 26, FieldHeight);
    bind(f.txtTimeout, timeout);
    timeout->setValidator(new SecondsFieldValidator(f.txtTimeout, timeout));
    timeout->installEventFilter(this);
    bindLabel(f.Label2(4), place<QLabel>(f.Label2(4), frame, 190, 96, 20, FieldHeight));
    bindLabel(f.Label2(6), place<QLabel>(f.Label2(6), frame, 8, 120, 150, FieldHeight));
    auto* interval = place<QLineEdit>(f.txtTimer, frame, 160, 120, 26, FieldHeight);
    bind(f.txtTimer, interval);
    interval->setValidator(new SecondsFieldValidator(f.txtTimer, interval));
    interval->installEventFilter(this);
    bindLabel(f.Label2(5), place<QLabel>(f.Label2(5), frame, 190, 120, 20, FieldHeight));

    bindLabel(f.Label2(3), place<QLabel>(f.Label2(3), frame, 8, 143, 250, 14));
    bind(f.txtUrl, place<QLineEdit>(f.txtUrl, frame, 8, 158, 250, FieldHeight));
    bindLabel(f.Label3(3), place<QLabel>(f.Label3(3), frame, 8, 183, 70, FieldHeight));
    bind(f.txtProxy, place<QLineEdit>(f.txtProxy, frame, 78, 183, 180, FieldHeight));

    bindCheckBox(f.chkSysStart, place<QCheckBox>(f.chkSysStart, frame, 8, 208, 90, 18));
    bindLabel(f.Label3(0), place<QLabel>(f.Label3(0), frame, 100, 207, 50, FieldHeight));
    bind(f.txtUser, place<QLineEdit>(f.txtUser, frame, 152, 207, 106, FieldHeight));
    bindLabel(f.Label3(1), place<QLabel>(f.Label3(1), frame, 100, 230, 50, FieldHeight));
    bind(f.txtUserPass, place<QLineEdit>(f.txtUserPass, frame, 152, 230, 106, FieldHeight));

    bindLabel(f.Label3(2), place<QLabel>(f.Label3(2), frame, 8, 254, 62, 18));
    bindOption(f.OptBoot(0), place<QRadioButton>(f.OptBoot(0), frame, 68, 254, 84, 18));
    bindOption(f.OptBoot(1), place<QRadioButton>(f.OptBoot(1), frame, 152, 254, 110, 18));

    bindButton(f.Command1, place<QPushButton>(f.Command1, frame, 12, 278, 241, ButtonHeight),
               [this] { m_form.Command1_Click(); });
}

void MainWindow::buildMailFrame()
{
    Form1& f = m_form;
    auto* frame = place<QGroupBox>(f.Frame2, this, 366, 0, 289, 310);
    frame->setTitle(toQString(f.Frame2.Caption));

    const std::pair<Label*, TextBox*> rows[] = {
        {&f.Label1(2), &f.txtSendto},  {&f.Label1(3), &f.txtCC},   {&f.Label1(4), &f.txtFrom},
        {&f.Label1(6), &f.txtAcount},  {&f.Label1(7), &f.txtPass}, {&f.Label1(1), &f.txtSMTP},
        {&f.Label1(5), &f.txtSubject},
    };
    int y = 20;
    for (auto [label, box] : rows) {
        bindLabel(*label, place<QLabel>(*label, frame, 10, y, 268, 14));
        bind(*box, place<QLineEdit>(*box, frame, 10, y + 14, 268, FieldHeight));
        y += 36;
    }
    bindButton(f.Command2, place<QPushButton>(f.Command2, frame, 18, 280, 252, ButtonHeight),
               [this] { m_form.Command2_Click(); });
}

void MainWindow::buildContactLabels()
{
    Form1& f = m_form;
    QFont link = font();
    link.setFamilies({"ＭＳ Ｐゴシック", "IPAPGothic", "IPAGothic"});
    link.setBold(true);
    link.setPixelSize(12);

    const struct
    {
        Label* label;
        int x;
        int width;
        bool isLink;
        std::function<void()> onClick;
    } notices[] = {
        {&f.Label4(0), 100, 60, false, [this] { m_form.Label4_Click(0); }},
        {&f.Label4(2), 160, 120, true, [this] { m_form.Label4_Click(2); }},
        {&f.Label5(1), 370, 90, false, [this] { m_form.Label5_Click(1); }},
        {&f.Label5(0), 460, 150, true, [this] { m_form.Label5_Click(0); }},
    };
    for (const auto& notice : notices) {
        auto* widget = place<QLabel>(*notice.label, this, notice.x, 311, notice.width, 16);
        bindLabel(*notice.label, widget);
        if (notice.isLink) {
            widget->setFont(link);
            widget->setStyleSheet("color: #0000c0;");
        }
        widget->setCursor(Qt::PointingHandCursor);
        widget->installEventFilter(this);
        m_labelClicks.insert(widget, notice.onClick);
    }
}

void MainWindow::buildMenu()
{
    Form1& f = m_form;
    const std::pair<MenuItem*, std::function<void()>> commands[] = {
        {&f.Menu_Open, [&f] { f.Menu_Open_Click(); }},
        {&f.Menu_Start, [&f] { f.Menu_Start_Click(); }},
        {&f.Menu_Stop, [&f] { f.Menu_Stop_Click(); }},
        {&f.Menu_End, [&f] { f.Menu_End_Click(); }},
    };
    m_menu.setTitle(toQString(f.Menu_File.Caption));
    for (MenuItem* item : f.Menu_File.items) {
        QAction* action = item->isSeparator() ? m_menu.addSeparator() : m_menu.addAction(toQString(item->Caption));
        action->setObjectName(toQString(item->name()));
        action->setEnabled(item->Enabled);
        m_actions.insert(item, action);
        item->addObserver([item, action](Control&, Prop prop) {
            if (prop == Prop::Enabled) {
                action->setEnabled(item->Enabled);
            }
        });
        for (const auto& command : commands) {
            if (command.first == item) {
                connect(action, &QAction::triggered, this, [handler = command.second] { handler(); });
            }
        }
    }
}

void MainWindow::applyTabOrder()
{
    QWidget* previous = nullptr;
    for (Control* control : m_form.tabOrder()) {
        QWidget* widget = m_widgets.value(control);
        widget->setFocusPolicy(Qt::StrongFocus);
        if (previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }
    // The OptBoot group takes the focus as one stop, at its first button.
    m_widgets.value(&m_form.OptBoot(1))->setFocusPolicy(Qt::ClickFocus);
    for (Control* control : m_form.controls()) {
        if (dynamic_cast<Label*>(control) != nullptr || dynamic_cast<Frame*>(control) != nullptr) {
            if (QWidget* widget = m_widgets.value(control)) {
                widget->setFocusPolicy(Qt::NoFocus);
            }
        }
    }
}

void MainWindow::bindWindow()
{
    setWindowTitle(toQString(m_form.Caption));
    m_form.addObserver([this](Control&, Prop prop) {
        switch (prop) {
        case Prop::Caption:
            setWindowTitle(toQString(m_form.Caption));
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

void MainWindow::applyWindowState()
{
    if (!m_form.Visible) {
        if (QtTray::hostAvailable()) {
            hide();
        } else {
            // Without a notification area a hidden window could never be reached again.
            showMinimized();
        }
    } else if (m_form.WindowState == 1) {
        showMinimized();
    } else {
        showNormal();
        activateWindow();
    }
}

void MainWindow::bindTimer()
{
    auto apply = [this] {
        // A timer of zero or a negative interval would fire without pause: it is never started.
        if (m_form.Timer1.Enabled && m_form.Timer1.Interval > 0) {
            m_timer.start(m_form.Timer1.Interval); // (re)starts the count from now
        } else {
            m_timer.stop();
        }
    };
    m_form.Timer1.addObserver([apply](Control&, Prop) { apply(); });
    connect(&m_timer, &QTimer::timeout, this, [this] { m_form.Timer1_Timer(); });
    apply();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_focusPlaced) {
        return;
    }
    // When the window is first shown, the first enabled control of the Tab order has the focus.
    for (Control* control : m_form.tabOrder()) {
        QWidget* widget = m_widgets.value(control);
        if (widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            m_focusPlaced = true;
            break;
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    m_form.Form_QueryUnload(cancel, 0);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::exit(0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto it = m_labelClicks.find(static_cast<QWidget*>(watched)); it != m_labelClicks.end()) {
            it.value()();
            return true;
        }
    }
    auto* edit = qobject_cast<QLineEdit*>(watched);
    TextBox* box = edit == widgetFor(m_form.txtTimeout) ? &m_form.txtTimeout
                   : edit == widgetFor(m_form.txtTimer) ? &m_form.txtTimer
                                                        : nullptr;
    if (box != nullptr && event->type() == QEvent::KeyPress) {
        return filterKey(*box, edit, static_cast<QKeyEvent*>(event));
    }
    if (box == &m_form.txtTimeout && event->type() == QEvent::FocusOut) {
        m_form.txtTimeout_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

// Runs the field's key handler on the key's character code; true (swallow the key) when the
// handler discarded it.
bool MainWindow::filterKey(TextBox& box, QLineEdit* edit, QKeyEvent* key)
{
    const int code = characterCode(*key);
    if (code < 0) {
        return false;
    }
    box.SelLength = static_cast<int>(edit->selectedText().size());
    auto keyCode = static_cast<std::int16_t>(code);
    if (&box == &m_form.txtTimeout) {
        m_form.txtTimeout_KeyPress(keyCode);
    } else {
        m_form.txtTimer_KeyPress(keyCode);
    }
    return keyCode == 0;
}
