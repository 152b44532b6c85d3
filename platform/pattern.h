// SPDX-License-Identifier: MIT
// File name patterns as the file services take them: '*' matches any run of characters, '?'
// any one, and ASCII letters match in either case (other bytes only themselves, so that
// multi-byte names are never folded into one another).
#pragma once

#include <string_view>

namespace dorvane {

bool matches_pattern(std::string_view name, std::string_view pattern);

}  // namespace dorvane
