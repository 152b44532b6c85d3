// SPDX-License-Identifier: MIT
#include "platform/win32/clock.h"

#include <windows.h>

namespace dorvane::win32 {

float Win32Clock::seconds_since_midnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond) +
           static_cast<float>(now.wMilliseconds) / 1000.0f;
}

void Win32Clock::sleep(double seconds) {
    // Bounded first: a huge time would overflow the milliseconds, and one that came out as
    // INFINITE would never end.
    seconds = wait_bound(seconds);
    if (seconds > 0)
        Sleep(static_cast<DWORD>(seconds * 1000.0 + 0.5));
}

}  // namespace dorvane::win32
