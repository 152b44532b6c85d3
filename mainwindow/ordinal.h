// SPDX-License-Identifier: MIT
// Ordinal ordering of map names, as the sort of the catalogue needs it: by UTF-16 code units,
// the first differing unit deciding and a proper prefix sorting first, case-sensitive.
//
// Names are held as bytes in UTF-8. Byte order would equal code-point order, which differs from
// UTF-16 order for characters above U+FFFF against those from U+E000 to U+FFFF, so names are
// compared by their UTF-16 units. A byte that is not part of valid UTF-8 counts as the lone unit
// U+DC00 plus its value: distinct byte strings never compare equal, and the order stays total.
#pragma once

#include <string>
#include <string_view>

namespace dorvane {

// The UTF-16 code units of a UTF-8 name, with invalid bytes mapped as above.
std::u16string utf16_units(std::string_view name);

// Whether `a` sorts before `b`.
bool ordinal_less(std::string_view a, std::string_view b);

}  // namespace dorvane
