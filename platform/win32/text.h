// SPDX-License-Identifier: MIT
// Text between the program (UTF-8) and the Win32 API (UTF-16), and the system's own words for
// an error code.
#pragma once

#include <string>
#include <string_view>

namespace dorvane::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// A caption as an edit control shows it: line breaks as CR LF.
std::wstring edit_text(const std::string& caption);

// The text a window shows.
std::string window_text(void* hwnd);

// The system's message for an error code (GetLastError), without the trailing line break.
std::string error_text(unsigned long code);

}  // namespace dorvane::win32
