// Waiting without burning the processor: the message loop, the deadline wait of the tools and
// the delay of animations sleep in the toolkit until something arrives.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/platform.h"
#include "platform/test_double.h"

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int64_t Ignore(uint32_t, uint64_t, int64_t, const Message&) { return 0; }

// A window whose creation message is already taken, with the test double switched off for
// the waits that must really sleep, as the program's own loop does.
class IdleWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CreateMainWindow(WindowOptions{"Idle", 200, 100, 1}, Ignore), 1);
        ShowMainWindow();
        TestPumpMessages();
        TestModeEnable(0);
    }
    void TearDown() override {
        TestModeEnable(1);
        DestroyMainWindow();
    }
};

// The share of one core used between two readings.
struct Usage {
    uint32_t startTick = TickCount();
    double startCpu = ProcessCpuSeconds();
    uint32_t Elapsed() const { return TickCount() - startTick; }
    double CoreShare() const {
        uint32_t ms = Elapsed();
        return ms ? (ProcessCpuSeconds() - startCpu) / (ms / 1000.0) : 0.0;
    }
};

constexpr double kIdleShare = 0.03;  // a spinning wait uses the whole core

TEST_F(IdleWindow, GetMessageSleepsUntilATimerFires) {
    SetWindowTimer(7, 1000);
    Usage u;
    Message m;
    ASSERT_EQ(GetMessage(&m), 1);
    uint32_t elapsed = u.Elapsed();
    double share = u.CoreShare();
    KillWindowTimer(7);
    EXPECT_EQ(m.kind, (uint32_t)MSG_TIMER);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_GE(elapsed, 950u);
    EXPECT_LT(elapsed, 2000u);
    EXPECT_LT(share, kIdleShare) << "GetMessage used " << share * 100 << " % of a core while waiting";
}

TEST_F(IdleWindow, DeadlineWaitEndsAtTheDeadlineOrAtTheFirstMessage) {
    Message m;
    // Nothing arrives: 0 at the deadline, asleep meanwhile.
    Usage quiet;
    EXPECT_EQ(GetMessageUntil(&m, TickCount() + 400), 0);
    EXPECT_GE(quiet.Elapsed(), 400u);
    EXPECT_LT(quiet.Elapsed(), 1000u);
    EXPECT_LT(quiet.CoreShare(), kIdleShare);

    // A timer fires long before the deadline: its message ends the wait then.
    SetWindowTimer(3, 100);
    Usage early;
    ASSERT_EQ(GetMessageUntil(&m, TickCount() + 3000), 1);
    KillWindowTimer(3);
    EXPECT_EQ(m.kind, (uint32_t)MSG_TIMER);
    EXPECT_GE(early.Elapsed(), 90u);
    EXPECT_LT(early.Elapsed(), 1000u);

    // A queued message is taken at once, even past the deadline; a quit is handed over too.
    PostMessage(MSG_KEYDOWN, VK_ESCAPE, 0);
    PostQuitMessage(2);
    ASSERT_EQ(GetMessageUntil(&m, TickCount() - 1), 1);
    EXPECT_EQ(m.kind, (uint32_t)MSG_KEYDOWN);
    ASSERT_EQ(GetMessageUntil(&m, 0), 1);
    EXPECT_EQ(m.kind, (uint32_t)MSG_QUIT);
    EXPECT_EQ(m.wParam, 2u);
}

TEST_F(IdleWindow, DelayTakesItsTimeAsleepAndKeepsWhatArrives) {
    TestSkipPauses(0);  // the real pause, as users get it
    SetWindowTimer(5, 100);
    Usage u;
    Delay(0.5);
    uint32_t elapsed = u.Elapsed();
    double share = u.CoreShare();
    KillWindowTimer(5);
    EXPECT_GE(elapsed, 500u);
    EXPECT_LT(elapsed, 1200u);
    EXPECT_LT(share, kIdleShare);
    // The timer kept running during the delay; its ticks wait in the queue.
    Message m;
    ASSERT_EQ(PeekMessage(&m, 1), 1);
    EXPECT_EQ(m.kind, (uint32_t)MSG_TIMER);
    EXPECT_EQ(m.wParam, 5u);
    FlushMessages(MSG_TIMER, MSG_TIMER);
    Usage none;
    Delay(0);
    EXPECT_LT(none.Elapsed(), 50u);
    TestSkipPauses(1);
}

TEST(IdleTestDouble, EmptyQueueEndsWaitsUnlessATimerRuns) {
    ASSERT_EQ(CreateMainWindow(WindowOptions{"Idle", 200, 100, 1}, Ignore), 1);
    TestPumpMessages();
    Message m;
    // Nothing injected and nothing running: the waits end at once.
    uint32_t start = TickCount();
    EXPECT_EQ(GetMessage(&m), 0);
    EXPECT_EQ(m.kind, (uint32_t)MSG_QUIT);
    EXPECT_EQ(GetMessageUntil(&m, TickCount() + 5000), 0);
    EXPECT_LT(TickCount() - start, 500u);
    // A running timer will deliver: the wait lasts until it does.
    SetWindowTimer(9, 50);
    ASSERT_EQ(GetMessage(&m), 1);
    KillWindowTimer(9);
    EXPECT_EQ(m.kind, (uint32_t)MSG_TIMER);
    EXPECT_EQ(m.wParam, 9u);
    DestroyMainWindow();
}

}  // namespace
