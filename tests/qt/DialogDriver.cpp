// SPDX-License-Identifier: MIT
#include "DialogDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>

namespace {

constexpr int PollMs = 10;
constexpr qint64 CloseBoundMs = 3000;

} // namespace

QFileDialog* OpenFileDialog()
{
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        return dialog;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) {
            return dialog;
        }
    }
    return nullptr;
}

namespace {

void clickButtonOfRole(QFileDialog& dialog, QDialogButtonBox::ButtonRole role)
{
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    if (buttons == nullptr) {
        return;
    }
    for (QAbstractButton* button : buttons->buttons()) {
        if (buttons->buttonRole(button) == role) {
            button->click();
            return;
        }
    }
}

} // namespace

void ClickAccept(QFileDialog& dialog)
{
    clickButtonOfRole(dialog, QDialogButtonBox::AcceptRole);
}

void ClickCancel(QFileDialog& dialog)
{
    clickButtonOfRole(dialog, QDialogButtonBox::RejectRole);
}

DialogDriver::DialogDriver(std::function<void(QFileDialog&)> answer) : m_answer(std::move(answer))
{
    // Two timers: a timer does not fire again while its own slot runs, and the answer may open a
    // nested modal box inside that slot.
    QObject::connect(&m_poll, &QTimer::timeout, [this] { answerDialog(); });
    QObject::connect(&m_guard, &QTimer::timeout, [this] { guard(); });
    m_poll.start(PollMs);
    m_guard.start(PollMs);
}

void DialogDriver::answerDialog()
{
    QFileDialog* dialog = OpenFileDialog();
    if (dialog == nullptr) {
        return;
    }
    m_poll.stop();
    m_dialog = dialog;
    m_answered = true;
    m_sinceAnswer.start();
    m_answer(*dialog);
}

void DialogDriver::guard()
{
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        m_messageBoxes << box->text();
        box->reject();
        return;
    }
    if (m_answered && m_dialog && m_dialog->isVisible() && m_sinceAnswer.elapsed() > CloseBoundMs) {
        m_leftOpen = true;
        m_dialog->reject();
    }
}
