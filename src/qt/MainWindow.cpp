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
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QValidator>

namespace {

// The window's font in pixels at 96 DPI, and the link font of the contact notices in points.
constexpr int WindowFontPixels = 11;
constexpr qreal LinkFontPoints = 11.25;

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

// Every change of an edit that does not come from a typed key (the context menu's paste,
// Shift+Insert, the X11 middle button, an input method's commit, a drop) passes the box's Change slot
// here, before the box takes it.
class ChangeValidator : public QValidator
{
public:
    ChangeValidator(const TextBox& box, QObject* parent) : QValidator(parent), m_box(box) {}

    State validate(QString& input, int& pos) const override
    {
        if (!m_box.Change) {
            return Acceptable;
        }
        const std::string proposed = input.toStdString();
        const TextEdit kept = m_box.keptOf(proposed);
        if (kept.text != proposed) {
            input = QString::fromStdString(kept.text);
            pos = static_cast<int>(QString::fromStdString(kept.text.substr(0, kept.caret)).size());
        }
        return Acceptable;
    }

private:
    const TextBox& m_box; // holds the text before the change until the change is accepted
};

unsigned screenDpi(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    return screen != nullptr ? static_cast<unsigned>(qRound(screen->logicalDotsPerInch())) : 96U;
}

// Each edge converted on its own, as the other view does.
QRect toPixels(const TwipsRect& rect, unsigned dpi)
{
    const int left = TwipsToPixels(rect.x, dpi);
    const int top = TwipsToPixels(rect.y, dpi);
    return {left, top, TwipsToPixels(rect.x + rect.width, dpi) - left, TwipsToPixels(rect.y + rect.height, dpi) - top};
}

QString objectNameOf(const Control& control)
{
    return control.index() < 0 ? toQString(control.name())
                               : toQString(control.name()) + QString("(%1)").arg(control.index());
}

QWidget* bindButton(CommandButton& button, QWidget* parent)
{
    auto* widget = new QPushButton(toQString(button.Caption), parent);
    widget->setEnabled(button.Enabled);
    widget->setToolTip(toQString(button.ToolTipText));
    button.addObserver([&button, widget](Control&, Prop prop) {
        if (prop == Prop::Caption) {
            widget->setText(toQString(button.Caption));
        } else if (prop == Prop::Enabled) {
            widget->setEnabled(button.Enabled);
        } else if (prop == Prop::ToolTipText) {
            widget->setToolTip(toQString(button.ToolTipText));
        }
    });
    QObject::connect(widget, &QPushButton::clicked, widget, [&button] { Raise(button.Click); });
    return widget;
}

QWidget* bindCheckBox(CheckBox& box, QWidget* parent)
{
    auto* widget = new QCheckBox(toQString(box.Caption), parent);
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
    return widget;
}

QWidget* bindOption(OptionButton& option, QWidget* parent)
{
    auto* widget = new QRadioButton(toQString(option.Caption), parent);
    // The model keeps the group exclusive; the widget only shows it.
    widget->setAutoExclusive(false);
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
    return widget;
}

QWidget* bindFrame(Frame& frame, QWidget* parent)
{
    auto* widget = new QGroupBox(toQString(frame.Caption), parent);
    frame.addObserver([&frame, widget](Control&, Prop) { widget->setTitle(toQString(frame.Caption)); });
    return widget;
}

} // namespace

MainWindow::MainWindow(Form1& form, QtTray& tray, QWidget* parent)
    : QWidget(parent), m_form(form), m_tray(tray), m_dpi(screenDpi(*this))
{
    setWindowIcon(AppIcon());
    setFixedSize(TwipsToPixels(ClientWidthTwips, m_dpi), TwipsToPixels(ClientHeightTwips, m_dpi));
    QFont windowFont = font();
    windowFont.setPixelSize(TwipsToPixels(WindowFontPixels * TwipsPerDesignPixel, m_dpi));
    setFont(windowFont);

    for (const ControlPlace& place : m_form.layout()) {
        QWidget* widget = build(place);
        widget->setGeometry(toPixels(place.rect, m_dpi));
        widget->setObjectName(objectNameOf(*place.control));
        m_widgets.insert(place.control, widget);
        place.control->addObserver([widget](Control&, Prop prop) {
            if (prop == Prop::Focus) {
                widget->setFocus(Qt::OtherFocusReason);
            }
        });
    }
    buildMenu();
    applyTabOrder();
    bindWindow();
    bindTimer();
    m_tray.setMenu(&m_menu);
}

// The widget of the place's kind, inside its container's widget, bound to its control.
QWidget* MainWindow::build(const ControlPlace& place)
{
    QWidget* parent = place.container != nullptr ? m_widgets.value(place.container) : this;
    Control& control = *place.control;
    switch (place.kind) {
    case ControlKind::Button:
        return bindButton(static_cast<CommandButton&>(control), parent);
    case ControlKind::CheckBox:
        return bindCheckBox(static_cast<CheckBox&>(control), parent);
    case ControlKind::Option:
        return bindOption(static_cast<OptionButton&>(control), parent);
    case ControlKind::Frame:
        return bindFrame(static_cast<Frame&>(control), parent);
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        bind(static_cast<Label&>(control), label, place.font);
        return label;
    }
    case ControlKind::Edit:
        break;
    }
    auto* edit = new QLineEdit(parent);
    bind(static_cast<TextBox&>(control), edit);
    return edit;
}

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
    // Typed characters and focus loss reach the box's slots through the event filter, every other
    // change through the validator.
    edit->setValidator(new ChangeValidator(box, edit));
    edit->installEventFilter(this);
    m_boxes.insert(edit, &box);
}

void MainWindow::bind(Label& label, QLabel* widget, FontRole font)
{
    widget->setText(toQString(label.Caption));
    label.addObserver([&label, widget](Control&, Prop) { widget->setText(toQString(label.Caption)); });
    if (font == FontRole::Link) {
        QFont link = this->font();
        link.setFamilies({"ＭＳ Ｐゴシック", "IPAPGothic", "IPAGothic"});
        link.setBold(true);
        link.setPointSizeF(LinkFontPoints);
        widget->setFont(link);
        widget->setStyleSheet("color: #0000c0;");
    }
    if (label.Click) {
        widget->setCursor(Qt::PointingHandCursor);
        widget->installEventFilter(this);
        m_labels.insert(widget, &label);
    }
}

void MainWindow::buildMenu()
{
    m_menu.setTitle(toQString(m_form.Menu_File.Caption));
    m_form.Menu_File.addObserver([this](Control&, Prop prop) {
        if (prop == Prop::Enabled) {
            m_menu.setEnabled(m_form.Menu_File.Enabled);
        }
    });
    for (MenuItem* item : m_form.Menu_File.items) {
        QAction* action = item->isSeparator() ? m_menu.addSeparator() : m_menu.addAction(toQString(item->Caption));
        action->setObjectName(toQString(item->name()));
        action->setEnabled(item->Enabled);
        m_actions.insert(item, action);
        item->addObserver([item, action](Control&, Prop prop) {
            if (prop == Prop::Enabled) {
                action->setEnabled(item->Enabled);
            }
        });
        connect(action, &QAction::triggered, this, [item] { Raise(item->Click); });
    }
}

void MainWindow::applyTabOrder()
{
    for (const ControlPlace& place : m_form.layout()) {
        if (place.tabIndex == NoTabStop) {
            m_widgets.value(place.control)->setFocusPolicy(Qt::NoFocus);
        }
    }
    // The controls that share a stop (an option group) take it at the first; the others are reached
    // by a click.
    QWidget* previous = nullptr;
    int previousIndex = NoTabStop;
    for (const ControlPlace* place : FocusOrder(m_form.layout())) {
        QWidget* widget = m_widgets.value(place->control);
        widget->setFocusPolicy(place->tabIndex == previousIndex ? Qt::ClickFocus : Qt::StrongFocus);
        if (previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget;
        previousIndex = place->tabIndex;
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

void MainWindow::showAsModelSays()
{
    m_shown = true;
    applyWindowState();
}

void MainWindow::applyWindowState()
{
    if (!m_shown) {
        // Start-up decides before the window is first shown; until then nothing appears.
    } else if (!m_form.Visible) {
        hide();
    } else if (m_form.WindowState == 1) {
        showMinimized();
    } else {
        showNormal();
        activateWindow();
    }
}

void MainWindow::showForAnotherStart()
{
    Raise(m_form.AnotherStart);
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The operator minimised or restored the window (the title bar, the taskbar): the model learns it,
    // so that showing the window restores it.
    if (event->type() == QEvent::WindowStateChange && m_shown && isVisible()) {
        m_form.WindowState = isMinimized() ? 1 : 0;
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
    connect(&m_timer, &QTimer::timeout, this, [this] { Raise(m_form.Timer1.Tick); });
    apply();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_shown = true;
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
    Raise(m_form.QueryUnload, cancel, 0);
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
        if (Label* label = m_labels.value(watched)) {
            // A notice opens on the left button alone.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                Raise(label->Click);
            }
            return true;
        }
    }
    if (TextBox* box = m_boxes.value(watched)) {
        if (event->type() == QEvent::KeyPress) {
            return filterKey(*box, static_cast<QLineEdit*>(watched), static_cast<QKeyEvent*>(event));
        }
        if (event->type() == QEvent::FocusOut) {
            Raise(box->LostFocus);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Runs the box's KeyPress slot on the key's character code; true (swallow the key) when the slot
// discarded it.
bool MainWindow::filterKey(TextBox& box, QLineEdit* edit, QKeyEvent* key)
{
    const int code = characterCode(*key);
    if (code < 0 || !box.KeyPress) {
        return false;
    }
    box.SelLength = static_cast<int>(edit->selectedText().size());
    return box.typed(static_cast<std::int16_t>(code)) == 0;
}
