// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"

#include <QHash>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <functional>

class QtTray;
class QLineEdit;

// The window of Form1: builds one widget per control, mirrors every model change into its widget at
// once, copies every edit into the model at once, and turns clicks, key presses, focus loss, timer
// ticks and the window's close into handler calls. It makes no decision of its own.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    MainWindow(Form1& form, QtTray& tray, QWidget* parent = nullptr);

    // The widget that shows a control (a QAction's parent menu for menu items), for tests.
    QWidget* widgetFor(const Control& control) const { return m_widgets.value(&control); }
    QAction* actionFor(const MenuItem& item) const { return m_actions.value(&item); }
    QMenu& menu() { return m_menu; }
    QTimer& timer() { return m_timer; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLeftColumn();
    void buildMonitoringFrame();
    void buildMailFrame();
    void buildContactLabels();
    void buildMenu();
    void applyTabOrder();
    void bindWindow();
    void bindTimer();
    void applyWindowState();

    template <typename W> W* place(Control& control, QWidget* parent, int x, int y, int width, int height);
    void bind(TextBox& box, QLineEdit* edit);
    bool filterKey(TextBox& box, QLineEdit* edit, QKeyEvent* key);

    Form1& m_form;
    QtTray& m_tray;
    QMenu m_menu;
    QTimer m_timer;
    QHash<const Control*, QWidget*> m_widgets;
    QHash<const MenuItem*, QAction*> m_actions;
    QHash<QWidget*, std::function<void()>> m_labelClicks;
    bool m_focusPlaced = false;
};
