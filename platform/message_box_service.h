// SPDX-License-Identifier: MIT
// Message boxes: the one way the program tells the user things or asks them a question.
//
// A box is modal, has the given title and no icon, and shows the program as its handlers left
// it. It cannot fail in a way the caller could act on: a backend that cannot show one (no
// display left) answers as the user who pressed Return would for an OK box and No for a
// question, so that nothing is ever done on a Yes the user did not give.
#pragma once

#include <string>

namespace dorvane {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;

    // Return presses the first button.
    virtual Answer message_box(const std::string& prompt, const std::string& title,
                               Buttons buttons) = 0;
};

}  // namespace dorvane
