// SPDX-License-Identifier: MIT
// File name patterns as the file services take them: '*' matches any run of characters, '?'
// any one, and ASCII letters match in either case (other bytes only themselves, so that
// multi-byte names are never folded into one another).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dorvane {

bool matches_pattern(std::string_view name, std::string_view pattern);

// Whether two names differ at most in the letter case of ASCII letters.
bool same_ignoring_case(std::string_view a, std::string_view b);

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
