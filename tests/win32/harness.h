#pragma once
// Helpers for in-process tests under Wine: real window messages sent at
// control coordinates, message pumping, and form cleanup.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/app.h"
#include "host/error.h"
#include "host/controls.h"
#include "mainwindow/frmmain.h"

namespace testenv {

// Fails the test loudly unless the ANSI code page is 936.
#define REQUIRE_ACP_936() \
    ASSERT_EQ(GetACP(), 936u) << "these tests need the zh_CN.UTF-8 locale (code page 936)"

void Pump(int ms = 0);
// Pixel point in the control's container window, `dx`/`dy` from its top-left.
POINT PointIn(const host::Control& c, int dx = 2, int dy = 2);
HWND ContainerOf(const host::Control& c);
void MouseMove(const host::Control& c, int dx = 2, int dy = 2);
void MouseMoveAt(HWND w, POINT p);
void LeftClick(const host::Control& c);
// A key press to a window: WM_KEYDOWN, WM_CHAR when it has one, WM_KEYUP;
// with a modifier (VK_SHIFT, VK_CONTROL, VK_MENU) held, as a keyboard sends
// it (system keys with Alt).
void PressKey(HWND w, UINT vk, UINT modifier = 0);
void TypeText(HWND w, const std::wstring& text);
void SetClipboardText(const std::wstring& text);

// Whether `upper` stands in front of `lower` in the desktop's stacking.
bool Above(HWND upper, HWND lower);
// Visible top-level windows with this title.
int CountVisibleWindows(const std::wstring& title);

// Stands in for a seam (a function pointer the code calls through, or a
// setting) while it lives, and puts back what was there however the scope
// is left, a failed assertion too.
template <class T>
struct Identity {
    using type = T;
};
template <class T>
class Override {
public:
    Override(T& seam, typename Identity<T>::type stand) : seam_(seam), saved_(seam) { seam = stand; }
    ~Override() { seam_ = saved_; }
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

private:
    T& seam_;
    T saved_;
};

// The host's error handler while it lives; the tests' recorder of errors
// again after, however the scope is left.
struct ErrorHandlerWhile {
    explicit ErrorHandlerWhile(host::ErrorHandler handler);
    ~ErrorHandlerWhile();
};

// Errors that reached the window-procedure boundary.
std::vector<std::wstring>& Errors();
Frmmain& OpenMain();
void UnloadAll();

struct FormsTest : ::testing::Test {
    void TearDown() override {
        UnloadAll();
        EXPECT_TRUE(Errors().empty()) << "run-time error: " << host_error();
        Errors().clear();
        host::ClearFailure();
    }
    static std::string host_error();
};

}  // namespace testenv
