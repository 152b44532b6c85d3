// SPDX-License-Identifier: MIT
// The Win32 backend's mirroring and routing, on real windows (under Wine in a virtual X server).
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "about/aboutqim.h"
#include "platform/headless/headless.h"
#include "platform/win32/backend.h"
#include "platform/win32/text.h"
#include "platform/wrap.h"
#include "support/temp_folder.h"

namespace dorvane::win32 {
namespace {

// A window with one of each kind of control the program uses most, and a menu.
struct TestForm : Form {
    Control one, two, other, list, label, button;
    int picked = -1, exits = 0, colours = 0;
    struct {
        double width = 0, height = 0;
    } outer;
    int paints = 0;
    std::vector<std::string> chosen;

    TestForm() : Form("TestForm") {
        caption = "Backend test";
        client_width = 4500;
        client_height = 3000;
        auto option = [this](Control& c, std::string name, int top) {
            c.name = name;
            c.kind = ControlKind::OptionButton;
            c.caption = name;
            c.place = {120, top, 1455, 315};
            c.focus_place = 0;
            c.click = [this, name] { chosen.push_back(name); };
        };
        option(one, "one", 120);
        option(two, "two", 480);
        option(other, "other", 840);
        list.name = "list";
        list.kind = ControlKind::List;
        list.place = {2000, 120, 2055, 315};
        list.items = {"Black", "Blue", "Cyan"};
        list.click = [this] { picked = list.list_index; };
        label.name = "label";
        label.kind = ControlKind::Label;
        label.caption = "&Label";
        label.place = {2000, 840, 1500, 255};
        button.name = "button";
        button.kind = ControlKind::CommandButton;
        button.graphical = true;
        button.caption = "&Press";
        button.place = {2000, 1200, 1500, 615};
        controls = {&one, &two, &other, &list, &label, &button};
        menu = {{"File", "File  |", {{"Exit", "Exit", 'q', [this] { ++exits; }}}, nullptr},
                {"cc", "Change Colors  |", {}, [this] { ++colours; }}};
    }

    void Form_Paint(Canvas& canvas) override {
        ++paints;
        outer.width = canvas.outer_width();
        outer.height = canvas.outer_height();
        canvas.fill_rect(0, 0, 4500, 3000, 0x00FF00);
    }
};

struct BackendTest : ::testing::Test {
    Backend backend{GetModuleHandleW(nullptr)};
    TestForm form;

    void SetUp() override { backend.create(form); }
    void TearDown() override { backend.destroy(form); }

    HWND top() const { return FindWindowW(L"DorvaneForm", L"Backend test"); }
    HWND child(const Control& c) const {
        for (HWND h = GetWindow(top(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
            if (backend_of(h) == &c)
                return h;
        }
        return nullptr;
    }
    const Control* backend_of(HWND h) const {
        Widget* w = const_cast<Backend&>(backend).widget_of(h);
        return w ? w->control : nullptr;
    }
    // Pumps what the windows have queued (paints, posted commands).
    void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
};

TEST_F(BackendTest, PlacesWindowsAndControlsInPixelsFromTwips) {
    ASSERT_TRUE(top());
    EXPECT_FALSE(IsWindowVisible(top())) << "a form shows only when it says so";
    RECT client;
    GetClientRect(top(), &client);
    EXPECT_EQ(client.right, backend.px(4500));
    EXPECT_EQ(client.bottom, backend.px(3000));

    RECT r;
    GetWindowRect(child(form.two), &r);
    MapWindowPoints(nullptr, top(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, backend.px(120));
    EXPECT_EQ(r.top, backend.px(480));
    EXPECT_EQ(r.right - r.left, backend.px(1455));

    form.two.place.top = 1500;
    form.label.caption = "Changed";
    form.label.visible = false;
    backend.sync_all();
    GetWindowRect(child(form.two), &r);
    MapWindowPoints(nullptr, top(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, backend.px(1500));
    EXPECT_EQ(window_text(child(form.label)), "Changed");
    EXPECT_FALSE(IsWindowVisible(child(form.label)));
}

TEST_F(BackendTest, ControlsAreMadeInFocusOrder) {
    std::vector<const Control*> order;
    for (HWND h = GetWindow(top(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        order.push_back(backend_of(h));
    EXPECT_EQ(order, (std::vector<const Control*>{&form.one, &form.two, &form.other, &form.list,
                                                  &form.label, &form.button}));
}

TEST_F(BackendTest, OptionButtonsFollowTheFormsChoiceAndRouteClicks) {
    backend.route([this] { choose_option(form, form.two); });
    EXPECT_EQ(SendMessageW(child(form.two), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(child(form.one), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // A user's click runs the same handler and moves the choice.
    SendMessageW(child(form.one), BM_CLICK, 0, 0);
    EXPECT_EQ(form.chosen, (std::vector<std::string>{"two", "one"}));
    EXPECT_TRUE(form.one.value);
    EXPECT_FALSE(form.two.value);
    EXPECT_EQ(SendMessageW(child(form.one), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(child(form.two), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Tab reaches the group at its chosen button only.
    EXPECT_TRUE(GetWindowLongW(child(form.one), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongW(child(form.two), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(BackendTest, ListsShowTheirItemsAndRouteTheUsersPick) {
    HWND combo = child(form.list);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    form.list.list_index = 1;
    backend.sync_all();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(form.picked, -1) << "a choice made from code is not the user's";

    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    SendMessageW(top(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(form.picked, 2);
    EXPECT_EQ(form.list.list_index, 2);

    form.list.items = {"Red"};
    form.list.list_index = 0;
    backend.sync_all();
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(BackendTest, MenusCarryShortcutsAndAnItemlessEntryActs) {
    HMENU bar = GetMenu(top());
    ASSERT_TRUE(bar);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    wchar_t text[64];
    GetMenuStringW(GetSubMenu(bar, 0), 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(narrow(text), "Exit\tCtrl+Q");
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr) << "\"Change Colors  |\" has no items";

    SendMessageW(top(), WM_COMMAND, GetMenuItemID(GetSubMenu(bar, 0), 0), 0);
    EXPECT_EQ(form.exits, 1);
    SendMessageW(top(), WM_COMMAND, GetMenuItemID(bar, 1), 0);
    EXPECT_EQ(form.colours, 1);

    // Enter and Escape in a window that is no dialog send IDOK and IDCANCEL: nothing runs.
    SendMessageW(top(), WM_COMMAND, IDOK, 0);
    SendMessageW(top(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(form.exits, 1);
    EXPECT_EQ(form.colours, 1);
}

TEST_F(BackendTest, PaintsThroughTheFormWithItsOuterSizeInTwips) {
    form.visible = true;
    backend.sync_all();
    RedrawWindow(top(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pump();
    ASSERT_GT(form.paints, 0);
    RECT outer;
    GetWindowRect(top(), &outer);
    EXPECT_DOUBLE_EQ(form.outer.width, backend.twips(outer.right - outer.left));
    EXPECT_DOUBLE_EQ(form.outer.height, backend.twips(outer.bottom - outer.top));
    EXPECT_GT(form.outer.height, 3000) << "the outer height counts the title bar and menu";
}

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
    // A new backend registers its classes again, for the tests that follow.
    Backend again{instance};
    TestForm form;
    EXPECT_TRUE(again.create(form));
    again.destroy(form);
}

// An about box that lives in the test double, on real windows.
struct AboutBoxOnWindows : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices headless{folder.str()};
    Aboutqim about{headless, headless};
    Backend backend{GetModuleHandleW(nullptr)};
    Aboutqim* box = &about;

    void SetUp() override {
        about.visible = true;
        backend.create(*box);
    }
    void TearDown() override { backend.destroy(*box); }

    struct Find {
        Backend* backend;
        const Control* control;
        HWND found = nullptr;
    };
    static BOOL CALLBACK match(HWND h, LPARAM data) {
        auto* f = reinterpret_cast<Find*>(data);
        Widget* w = f->backend->widget_of(h);
        if (w && w->control == f->control)
            f->found = h;
        return !f->found;
    }
    HWND window_of(const Control& c) {
        Find find{&backend, &c};
        EnumChildWindows(FindWindowW(L"DorvaneForm", L"About Dorvane"), match,
                         reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
};

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line;
    return all;
}

TEST_F(AboutBoxOnWindows, AnswerIsLaidOutInWholeLinesThatFitTheButton) {
    HWND answer = window_of(box->Command1);
    ASSERT_TRUE(answer);
    RECT client;
    GetClientRect(answer, &client);
    ASSERT_EQ(client.right, 49);
    ASSERT_EQ(client.bottom, 97);
    Backend::CaptionLayout layout = backend.caption_layout(answer);
    EXPECT_GE(layout.lines.size(), 2u) << "\"ANSWER\" in 18-point Times is wider than 49 pixels";
    EXPECT_EQ(joined(layout.lines), "ANSWER");

    HDC dc = GetDC(answer);
    HGDIOBJ old = SelectObject(dc, backend.font(box->Command1.font));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    for (const std::string& line : layout.lines) {
        std::wstring text = widen(shown_text(line));
        SIZE size;
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        EXPECT_LE(size.cx, layout.area.right - layout.area.left) << line;
    }
    SelectObject(dc, old);
    ReleaseDC(answer, dc);
    EXPECT_LE(static_cast<long>(layout.lines.size()) * metrics.tmHeight,
              layout.area.bottom - layout.area.top);

    EXPECT_EQ(backend.caption_layout(window_of(box->closeabout)).lines,
              std::vector<std::string>{"Okeli Dokeli Doo!"});
}

// Draws the button as the system asks it to, into a bitmap: the dark text pixels form one band
// of rows per line, and none touches the caption's area, which a clipped line would run across.
TEST_F(AboutBoxOnWindows, AnswerIsDrawnInItsLinesWithNothingClipped) {
    HWND answer = window_of(box->Command1);
    ASSERT_TRUE(answer);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 49, 97);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = GetDlgCtrlID(answer);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = answer;
    item.hDC = dc;
    item.rcItem = {0, 0, 49, 97};
    SendMessageW(GetParent(answer), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));

    Backend::CaptionLayout layout = backend.caption_layout(answer);
    const RECT& area = layout.area;
    int bands = 0, left = 49, right = -1;
    bool in_band = false;
    for (int y = area.top; y < area.bottom; ++y) {
        bool any = false;
        for (int x = area.left; x < area.right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96) {
                any = true;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        bands += any && !in_band;
        in_band = any;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_EQ(bands, static_cast<int>(layout.lines.size()));
    EXPECT_GT(left, area.left) << "text runs into the left side";
    EXPECT_LT(right, area.right - 1) << "text runs into the right side";
}

}  // namespace
}  // namespace dorvane::win32
