// The window base with a window of its own class: the link made at creation, the one handler,
// the exception boundary and the link dropped when the window goes.
#include "toolkit/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace toolkit;

namespace {
class Probe : public Window {
public:
    std::vector<UINT> seen;
    int finalDestroys = 0;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCCREATE || message == WM_CREATE || message == WM_APP)
            seen.push_back(message);
        if (message == WM_APP) return 1234;
        if (message == WM_APP + 1) throw std::runtime_error("a failing handler");
        return Window::handleMessage(message, wParam, lParam);
    }
    void onFinalDestroy() override { ++finalDestroys; }
};
} // namespace

TEST(WindowBase, OwnClassWindowIsLinkedFromItsFirstMessage) {
    ASSERT_TRUE(Window::registerClass("CorvaskTestProbe"));
    EXPECT_TRUE(Window::registerClass("CorvaskTestProbe")) << "registering twice is harmless";
    Probe probe;
    ASSERT_TRUE(probe.create(0, "CorvaskTestProbe", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, 0));
    HWND w = probe.hwnd();
    EXPECT_EQ(Window::fromHandle(w), &probe);
    ASSERT_GE(probe.seen.size(), 2u);
    EXPECT_EQ(probe.seen[0], static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(probe.seen[1], static_cast<UINT>(WM_CREATE));

    EXPECT_EQ(SendMessageA(w, WM_APP, 0, 0), 1234);
    // An exception never crosses into the platform: the message answers 0.
    EXPECT_EQ(SendMessageA(w, WM_APP + 1, 0, 0), 0);
    EXPECT_TRUE(IsWindow(w));

    probe.destroy();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(probe.hwnd(), nullptr);
    EXPECT_EQ(Window::fromHandle(w), nullptr);
    EXPECT_EQ(probe.finalDestroys, 1);
}

TEST(WindowBase, ObjectDestroyedFirstTakesItsWindowAlong) {
    HWND w = nullptr;
    {
        Probe probe;
        ASSERT_TRUE(probe.create(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, 0));
        w = probe.hwnd();
        EXPECT_EQ(Window::fromHandle(w), &probe) << "a platform control is taken over";
        EXPECT_EQ(SendMessageA(w, WM_APP, 0, 0), 1234);
    }
    EXPECT_FALSE(IsWindow(w));
}
