// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

// Answers the next modal file dialog the way an operator would, from the event loop that the
// dialog's exec() runs: as soon as a QFileDialog is the active modal widget, `answer` runs on it
// (and is expected to accept or reject it). Any message box that opens meanwhile is noted and
// closed, and a dialog still open a while after its answer is rejected, so a test never hangs.
class DialogDriver
{
public:
    explicit DialogDriver(std::function<void(QFileDialog&)> answer);

    bool answered() const { return m_answered; }
    // Texts of the message boxes that opened (an overwrite question, a warning).
    const QStringList& messageBoxes() const { return m_messageBoxes; }
    // The dialog did not close after its answer and had to be rejected.
    bool leftOpen() const { return m_leftOpen; }

private:
    void answerDialog();
    void guard();

    std::function<void(QFileDialog&)> m_answer;
    QTimer m_poll;
    QTimer m_guard;
    QElapsedTimer m_sinceAnswer;
    QPointer<QFileDialog> m_dialog;
    QStringList m_messageBoxes;
    bool m_answered = false;
    bool m_leftOpen = false;
};

// The modal QFileDialog on screen, if any.
QFileDialog* OpenFileDialog();

// Clicks the dialog's accept ("Open", "Save", "Choose") or its cancel button, as the operator would.
// A disabled button does nothing, as on screen.
void ClickAccept(QFileDialog& dialog);
void ClickCancel(QFileDialog& dialog);
