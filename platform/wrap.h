// SPDX-License-Identifier: MIT
// How a command button's caption is broken into the lines it shows: one rule for every backend,
// which each measures in its own font.
//
// A caption that fits the width stays on one line. One that does not breaks at blanks first:
// each line takes as many whole words as fit, and the blanks at a break are dropped. A word
// wider than the width by itself is broken inside, after as many characters as fit (always at
// least one, so that every line holds something and the rule ends). Line breaks in the caption
// are kept. Access-key marks stay in their lines, each with the character it marks ("&&", a
// plain '&', is one character), so that the backend draws every line with its own underline.
//
// The lines say nothing about height: a backend centres them and clips what its button cannot
// hold.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane {

// Measures a text as it is drawn, without access-key marks, in the backend's unit.
using TextWidth = std::function<int(std::string_view shown)>;

// The lines of `caption` within `width`; none for an empty caption.
std::vector<std::string> wrap_caption(std::string_view caption, int width,
                                      const TextWidth& width_of);

// A caption as it is drawn: access-key marks taken out, "&&" shown as one '&'.
std::string shown_text(std::string_view caption);

}  // namespace dorvane
