// SPDX-License-Identifier: MIT
// File name patterns as the file services take them: '*' matches any run of characters, '?'
// any one, and letters match in either case by the rule of ascii.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ascii.h"

namespace dorvane {

bool matches_pattern(std::string_view name, std::string_view pattern);

// The one rule by which a name given in any letter case finds its file: the file of exactly
// that name when there is one; otherwise, of the files whose names differ from it only in
// letter case, the first in byte order. The names of a folder are offered one at a time, as the
// folder is read; `exact` says whether the exact name was among them.
class CaseBlindMatch {
  public:
    explicit CaseBlindMatch(std::string_view wanted) : wanted_(wanted) {}
    void offer(std::string_view name);
    bool exact() const { return exact_; }
    // The name chosen so far; nullopt while no name matched.
    std::optional<std::string> best() const;

  private:
    std::string wanted_;
    std::optional<std::string> best_;
    bool exact_ = false;
};

}  // namespace dorvane
