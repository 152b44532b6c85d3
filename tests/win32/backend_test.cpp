// SPDX-License-Identifier: MIT
// The Win32 backend when the system refuses it a window; its mirroring and routing are checked
// on the real program by scenarios.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/backend.h"

namespace dorvane::win32 {
namespace {

struct TestForm : Form {
    TestForm() : Form("TestForm") {
        caption = "Backend test";
        client_width = 4500;
        client_height = 3000;
    }
};

// A window the system will not make (here: its class is gone) is reported with the system's
// reason, and the form without a window is left alone by every later step.
TEST(BackendFailure, AWindowTheSystemWillNotMakeIsReported) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    {
        Backend backend{instance};
        ASSERT_TRUE(UnregisterClassW(L"DorvaneForm", instance));
        TestForm form;
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
    Backend again{instance};
    TestForm form;
    EXPECT_TRUE(again.create(form));
    again.destroy(form);
}

}  // namespace
}  // namespace dorvane::win32
