// SPDX-License-Identifier: MIT
// A stop signal ends the program through the window's unload, never in the middle of a handler.
#include "qt/StopSignals.h"

#include "qt/ViewHarness.h"

#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Notes each close of the window in `order`.
class CloseWatch : public QObject
{
public:
    explicit CloseWatch(std::vector<std::string>& order) : m_order(order) {}
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            m_order.push_back("window closed");
        }
        return false;
    }

private:
    std::vector<std::string>& m_order;
};

TEST(StopSignals, ASignalWhileAHandlerWaitsInABoxEndsTheProgramOnceTheHandlerReturns)
{
    ViewHarness h;
    h.window.show();
    std::vector<std::string> order;
    CloseWatch watch(order);
    h.window.installEventFilter(&watch);
    const StopSignals stopSignals(h.lifetime);

    // A handler that shows a box (as the manual check does) and is still in it when SIGTERM comes.
    QTimer::singleShot(0, [&] {
        std::raise(SIGTERM);
        QMessageBox box(QMessageBox::Warning, "Sentrybell", "waiting for the operator", QMessageBox::Ok);
        box.exec();
        order.push_back("handler returned");
    });
    QTimer::singleShot(20000, &watch, [] { QCoreApplication::exit(1); }); // the test's bound, never reached

    EXPECT_EQ(QApplication::exec(), 0) << "the window's close ends the event loop";
    EXPECT_EQ(order, (std::vector<std::string>{"handler returned", "window closed"}));
    EXPECT_FALSE(h.window.isVisible());
}

} // namespace
