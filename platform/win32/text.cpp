// SPDX-License-Identifier: MIT
#include "platform/win32/text.h"

#include <windows.h>

namespace dorvane::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) {
        // Not UTF-8 (a name from an old file): take the bytes as the system's code page.
        n = MultiByteToWideChar(CP_ACP, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring out(n, L'\0');
        MultiByteToWideChar(CP_ACP, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
        return out;
    }
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr,
                                0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring edit_text(const std::string& caption) {
    std::wstring out;
    for (wchar_t ch : widen(caption)) {
        if (ch == L'\n' && (out.empty() || out.back() != L'\r'))
            out += L'\r';
        out += ch;
    }
    return out;
}

std::string window_text(void* window) {
    auto hwnd = static_cast<HWND>(window);
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(n + 1, L'\0');
    text.resize(GetWindowTextW(hwnd, text.data(), n + 1));
    return narrow(text);
}

std::string error_text(unsigned long code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (n && buffer)
        text = narrow({buffer, n});
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "system error " + std::to_string(code);
    return text;
}

}  // namespace dorvane::win32
