// SPDX-License-Identifier: MIT
// The yardstick for the Windows program's start-up: a bare Win32 window of the same make as the
// main window (menu bar with the same entries and shortcuts, 68 radio buttons in a 4 x 17 grid
// with graded faces, nine owner-drawn buttons of which one is hidden, five labels, a picture box,
// and a 255-band gradient painted on every WM_PAINT), built and linked as the program is, with
// none of the program's own work: no file, no state, no pictures.
#include <windows.h>

#include <cmath>
#include <string>

namespace {

constexpr int kMenuCommand = 100;

struct Place {
    const wchar_t* caption;
    int x, y, w, h;
    COLORREF face;
};

constexpr COLORREF kFace = 0xFFFFFFFF;  // the system's button face
const Place kButtons[] = {
    {L"&Add Map", 424, 8, 73, 233, kFace},
    {L"Run In &Build", 504, 8, 129, 41, RGB(255, 0, 0)},
    {L"Run In &Duke3d", 504, 104, 129, 41, RGB(0, 255, 0)},
    {L"Run In &Setup", 504, 56, 129, 41, RGB(255, 255, 0)},
    {L"&Random", 424, 248, 113, 121, RGB(0, 0, 255)},
    {L"&Move Map", 504, 152, 129, 41, kFace},
    {L"&Clear Map Slot", 504, 200, 129, 41, kFace},
    {L"&Quit", 424, 376, 209, 41, kFace},
    {L"Click Once Proper Spot Has Been Selected...", 424, 8, 209, 409, kFace},
};
const Place kLabels[] = {
    {L"COKE KICKS PEPSI'S ASS!!!!", 216, 416, 153, 17, 0},
    {L"42 is the answer!!!", 32, 416, 89, 17, 0},
    {L"My Dixie Wrecked", 544, 248, 89, 17, 0},
    {L"Can thou readest this?", 408, 416, 113, 17, 0},
    {L"Send me all your $$", 544, 352, 97, 17, 0},
};
constexpr int kFirstButton = 1000, kFirstOption = 1100, kFirstLabel = 1200;

HBRUSH label_brush, option_brushes[17];

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    SelectObject(dc, GetStockObject(DC_BRUSH));
    double band = (outer.bottom - outer.top) / 255.0, y = 0;
    for (int k = 1; k <= 255; ++k) {
        RECT r{0, static_cast<int>(std::lround(y)), outer.right - outer.left,
               static_cast<int>(std::lround(y + band))};
        SetDCBrushColor(dc, RGB(k, 0, k));
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        y += band;
    }
    EndPaint(hwnd, &ps);
}

void draw_button(const DRAWITEMSTRUCT& item) {
    const Place& p = kButtons[item.CtlID - kFirstButton];
    RECT r = item.rcItem;
    if (p.face == kFace) {
        DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    } else {
        SetDCBrushColor(item.hDC, p.face);
        FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        DrawEdge(item.hDC, &r, EDGE_RAISED, BF_RECT);
    }
    SetBkMode(item.hDC, TRANSPARENT);
    InflateRect(&r, -4, -4);
    DrawTextW(item.hDC, p.caption, -1, &r, DT_CENTER | DT_WORDBREAK);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_DRAWITEM:
            draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
            HDC dc = reinterpret_cast<HDC>(wp);
            if (id >= kFirstOption && id < kFirstOption + 68) {
                int row = (id - kFirstOption) / 4;
                SetTextColor(dc, RGB(255, 255, 255));
                SetBkColor(dc, RGB(255 - 15 * row, 0, 255 - 15 * row));
                return reinterpret_cast<LRESULT>(option_brushes[row]);
            }
            SetTextColor(dc, RGB(190, 0, 190));
            SetBkColor(dc, RGB(200, 0, 200));
            return reinterpret_cast<LRESULT>(label_brush);
        }
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

HMENU make_menu(HACCEL& accelerators) {
    struct Item {
        const wchar_t* caption;
        wchar_t key;
    };
    struct Entry {
        const wchar_t* caption;
        Item items[3];
    };
    const Entry entries[] = {
        {L"File  |", {{L"Exit", L'Q'}}},
        {L"With Maps  |",
         {{L"Run In Build", L'B'}, {L"Run In Setup", L'S'}, {L"Run In Duke", L'D'}}},
        {L"Without Maps  |",
         {{L"Run Build Without Map", L'C'},
          {L"Run Setup Without Map", L'T'},
          {L"Run Duke Without Map", L'E'}}},
        {L"All Maps  |", {{L"&Sort Maps", L'O'}, {L"&Clear Database", L'Z'}}},
        {L"Change Colors  |", {}},
        {L"Help", {{L"About", L'A'}}},
    };
    HMENU bar = CreateMenu();
    ACCEL keys[16];
    int count = 0;
    WORD id = kMenuCommand;
    for (const Entry& entry : entries) {
        if (!entry.items[0].caption) {
            AppendMenuW(bar, MF_STRING, id++, entry.caption);
            continue;
        }
        HMENU popup = CreatePopupMenu();
        for (const Item& item : entry.items) {
            if (!item.caption)
                break;
            std::wstring text = std::wstring(item.caption) + L"\tCtrl+" + item.key;
            keys[count++] = {FVIRTKEY | FCONTROL, static_cast<WORD>(item.key), id};
            AppendMenuW(popup, MF_STRING, id++, text.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), entry.caption);
    }
    accelerators = CreateAcceleratorTableW(keys, count);
    return bar;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetProcessDPIAware();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = L"BareWindow";
    RegisterClassExW(&wc);

    constexpr DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    HACCEL accelerators = nullptr;
    HMENU menu = make_menu(accelerators);
    RECT want{0, 0, 634, 436};
    AdjustWindowRectEx(&want, style, TRUE, WS_EX_CONTROLPARENT);
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, L"BareWindow", L"Bare window", style,
                                CW_USEDEFAULT, CW_USEDEFAULT, want.right - want.left,
                                want.bottom - want.top, nullptr, menu, instance, nullptr);

    LOGFONTW lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy(lf.lfFaceName, L"MS Shell Dlg");
    HFONT font = CreateFontIndirectW(&lf);
    label_brush = CreateSolidBrush(RGB(200, 0, 200));
    for (int row = 0; row < 17; ++row)
        option_brushes[row] = CreateSolidBrush(RGB(255 - 15 * row, 0, 255 - 15 * row));
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD child_style, DWORD ex, int id,
                     int x, int y, int w, int h) {
        HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_CLIPSIBLINGS | child_style, x, y, w,
                                 h, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance, nullptr);
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return c;
    };
    int id = kFirstButton;
    for (const Place& p : kButtons) {
        bool hidden = id == kFirstButton + 8;  // the move button, hidden like Towhere
        child(L"BUTTON", p.caption,
              BS_OWNERDRAW | WS_GROUP | WS_TABSTOP | (hidden ? 0 : WS_VISIBLE), 0, id++, p.x, p.y,
              p.w, p.h);
    }
    child(L"STATIC", L"", WS_VISIBLE | WS_GROUP, WS_EX_CLIENTEDGE, id, 552, 272, 65, 75);
    for (int k = 0; k < 68; ++k) {
        std::wstring name = L"map" + std::to_wstring(k) + L".map";
        HWND option =
            child(L"BUTTON", name.c_str(),
                  BS_AUTORADIOBUTTON | BS_MULTILINE | WS_VISIBLE | (k ? 0 : WS_GROUP | WS_TABSTOP),
                  0, kFirstOption + k, 8 + 104 * (k % 4), 8 + 24 * (k / 4), 97, 21);
        if (k == 12)
            SendMessageW(option, BM_SETCHECK, BST_CHECKED, 0);
    }
    id = kFirstLabel;
    for (const Place& p : kLabels)
        child(L"STATIC", p.caption, SS_LEFT | WS_VISIBLE | WS_GROUP, 0, id++, p.x, p.y, p.w, p.h);
    ShowWindow(hwnd, SW_SHOWDEFAULT);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(hwnd, accelerators, &msg) || IsDialogMessageW(hwnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
