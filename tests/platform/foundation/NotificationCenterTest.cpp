#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(NotificationCenterTest, DeliversSynchronouslyInRegistrationOrder) {
    NotificationCenter center;
    std::vector<std::string> calls;
    int a, b, c;
    center.addObserver(&a, "Staple", nullptr, [&](const Notification&) { calls.push_back("a"); });
    center.addObserver(&b, "", nullptr,
                       [&](const Notification& n) { calls.push_back("b:" + n.name); });
    center.addObserver(&c, "Staple", nullptr, [&](const Notification& n) {
        calls.push_back("c:" + n.userInfo.get("Paramater").stringValue());
    });
    center.post("Staple", nullptr, Dictionary{{"Paramater", "TopLeft"}});
    center.post("Punch");
    EXPECT_EQ(calls, (std::vector<std::string>{"a", "b:Staple", "c:TopLeft", "b:Punch"}));
}

TEST(NotificationCenterTest, SenderFilterOnlyMatchesThatSender) {
    NotificationCenter center;
    int observer, senderA, senderB;
    int count = 0;
    center.addObserver(&observer, "Duplex", &senderA, [&](const Notification&) { ++count; });
    center.post("Duplex", &senderB);
    center.post("Duplex", nullptr);
    EXPECT_EQ(count, 0);
    center.post("Duplex", &senderA);
    EXPECT_EQ(count, 1);
}

TEST(NotificationCenterTest, ObserverRemovedDuringDeliveryIsNotCalled) {
    NotificationCenter center;
    int first, second, third;
    std::vector<std::string> calls;
    center.addObserver(&first, "X", nullptr, [&](const Notification&) {
        calls.push_back("first");
        center.removeObserver(&second);
        center.addObserver(&third, "X", nullptr,
                           [&](const Notification&) { calls.push_back("third"); });
    });
    center.addObserver(&second, "X", nullptr,
                       [&](const Notification&) { calls.push_back("second"); });
    center.post("X");
    EXPECT_EQ(calls, (std::vector<std::string>{"first"})); // third waits for the next post
    center.removeObserver(&first);
    center.post("X");
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third"}));
}

TEST(NotificationCenterTest, RemovalFromEverythingAndByName) {
    NotificationCenter center;
    int observer, other;
    int count = 0;
    auto handler = [&](const Notification&) { ++count; };
    center.addObserver(&observer, "A", nullptr, handler);
    center.addObserver(&observer, "B", nullptr, handler);
    center.addObserver(&other, "A", nullptr, handler);
    center.removeObserver(&observer, "A");
    center.post("A");
    center.post("B");
    EXPECT_EQ(count, 2);
    center.removeObserver(&observer);
    EXPECT_EQ(center.registrationCount(), 1u);
    center.removeObserver(&observer); // nothing left: harmless
}

TEST(NotificationCenterTest, ObserverMayRemoveItselfWhileBeingCalled) {
    NotificationCenter center;
    int self;
    int count = 0;
    center.addObserver(&self, "X", nullptr, [&](const Notification&) {
        ++count;
        center.removeObserver(&self);
    });
    center.post("X");
    center.post("X");
    EXPECT_EQ(count, 1);
}

TEST(RunLoopTest, DeferredActionsRunOnTheNextPassOfTheirMode) {
    RunLoop loop;
    std::vector<std::string> calls;
    loop.perform([&] { calls.push_back("default"); });
    loop.perform([&] { calls.push_back("modal"); }, {RunLoop::kModalPanelMode});
    loop.perform([&] { calls.push_back("both"); },
                 {RunLoop::kDefaultMode, RunLoop::kModalPanelMode});
    EXPECT_TRUE(calls.empty());

    EXPECT_EQ(loop.runPending(RunLoop::kModalPanelMode), 2u);
    EXPECT_EQ(calls, (std::vector<std::string>{"modal", "both"}));
    EXPECT_EQ(loop.runPending(), 1u);
    EXPECT_EQ(calls.back(), "default");
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST(RunLoopTest, ActionsQueuedByAnActionWaitForTheNextPass) {
    RunLoop loop;
    int runs = 0;
    loop.perform([&] {
        ++runs;
        loop.perform([&] { ++runs; });
    });
    EXPECT_EQ(loop.runPending(), 1u);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(loop.runPending(), 1u);
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace velmora
