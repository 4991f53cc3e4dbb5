// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"

#include <QHash>
#include <QMenu>
#include <QTimer>
#include <QWidget>

class QtTray;
class QKeyEvent;
class QLabel;
class QLineEdit;

// The window of Form1: builds one widget per control from the model's layout, mirrors every model
// change into its widget at once, copies every edit and the operator's minimise and restore into the
// model at once, and raises the controls' event slots for clicks, typed characters, other edits, focus
// loss, timer ticks, the window's close and another start's request. It makes no decision of its own
// and knows no handler. Nothing of it appears before showAsModelSays().
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    MainWindow(Form1& form, QtTray& tray, QWidget* parent = nullptr);

    // Shows the window as the model's Visible and WindowState say, once start-up has run: normal,
    // minimised, or not at all. From then on (or from a first show()) it follows them.
    void showAsModelSays();
    // Another start of the program asked for the window: the model shows it, and the window comes to
    // the front.
    void showForAnotherStart();

    // The widget that shows a control (a QAction's parent menu for menu items), for tests.
    QWidget* widgetFor(const Control& control) const { return m_widgets.value(&control); }
    QAction* actionFor(const MenuItem& item) const { return m_actions.value(&item); }
    QMenu& menu() { return m_menu; }
    QTimer& timer() { return m_timer; }
    // The DPI the window was laid out for: the screen's logical DPI.
    unsigned dpi() const { return m_dpi; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* build(const ControlPlace& place);
    void buildMenu();
    void applyTabOrder();
    void bindWindow();
    void bindTimer();
    void applyWindowState();

    void bind(TextBox& box, QLineEdit* edit);
    void bind(Label& label, QLabel* widget, FontRole font);
    bool filterKey(TextBox& box, QLineEdit* edit, QKeyEvent* key);

    Form1& m_form;
    QtTray& m_tray;
    unsigned m_dpi;
    QMenu m_menu;
    QTimer m_timer;
    QHash<const Control*, QWidget*> m_widgets;
    QHash<QObject*, TextBox*> m_boxes;
    QHash<QObject*, Label*> m_labels;
    QHash<const MenuItem*, QAction*> m_actions;
    bool m_focusPlaced = false;
    bool m_shown = false;
};
