// SPDX-License-Identifier: MIT
#include "platform/fltk/font_config.h"

#include <fontconfig/fontconfig.h>

#include <system_error>
#include <thread>

namespace dorvane::fltk {

namespace {

std::thread g_loader;
bool g_started = false;

}  // namespace

void start_font_config() {
    if (g_started)
        return;
    g_started = true;
    // Fontconfig makes its default configuration thread-safely; loaded here, it is what the
    // toolkit's first font lookup finds. Where the thread cannot start, that lookup loads it.
    try {
        g_loader = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
    }
}

void wait_for_font_config() {
    if (g_loader.joinable())
        g_loader.join();
}

}  // namespace dorvane::fltk
