// SPDX-License-Identifier: MIT
#include "platform/posix/command_line.h"

namespace dorvane::posix {

std::vector<std::string> split_command_line(const std::string& command_line) {
    std::vector<std::string> args;
    std::string current;
    bool in_argument = false;
    for (char c : command_line) {
        if (c == ' ' || c == '\t') {
            if (in_argument)
                args.push_back(std::move(current));
            current.clear();
            in_argument = false;
        } else {
            current += c;
            in_argument = true;
        }
    }
    if (in_argument)
        args.push_back(std::move(current));
    return args;
}

}  // namespace dorvane::posix
