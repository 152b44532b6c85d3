// SPDX-License-Identifier: MIT
// The Win32 backend and a window the system will not make. Its keys, focus, activation and
// modality on real windows are checked on the real program by scenarios.sh; the rules behind them
// by the shared cases on the other backends.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/backend.h"

namespace dorvane::testing {
namespace {

// A window the system will not make (here: its class is gone) is reported with the system's
// reason, and the form without a window is left alone by every later step.
TEST(BackendFailure, AWindowTheSystemWillNotMakeIsReported) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Form form("TestForm");
    form.caption = "Backend test";
    {
        win32::Backend backend{instance};
        ASSERT_TRUE(UnregisterClassW(L"DorvaneForm", instance));
        std::string error;
        EXPECT_FALSE(backend.create(form, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(FindWindowW(nullptr, L"Backend test"), nullptr);
        form.visible = true;
        backend.route([&form] { form.caption = "still none"; });
        EXPECT_TRUE(backend.visible_windows().empty());
        backend.destroy(form);
    }
    // A new backend registers its classes again.
    win32::Backend again{instance};
    EXPECT_TRUE(again.create(form));
    again.destroy(form);
}

}  // namespace
}  // namespace dorvane::testing
