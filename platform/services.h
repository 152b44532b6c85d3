// SPDX-License-Identifier: MIT
// The platform as the program reaches it, by topic: message boxes, files, processes, clock and
// chance, and windows, each its own small interface (platform/*_service.h). A system gives one
// implementation of each topic, and its backend composes them into one `Services`; code that
// needs only some topics takes only those, so that what it can reach is plain from its
// signature and a test double for it stays small.
//
// Every operation either does what it says or reports that it could not: there are no silent
// defaults, and the caller decides what the program does about the failure.
#pragma once

#include "platform/clock_service.h"
#include "platform/file_service.h"
#include "platform/message_box_service.h"
#include "platform/process_service.h"
#include "platform/window_service.h"

namespace dorvane {

struct Services {
    MessageBoxService& boxes;
    FileService& files;
    ProcessService& processes;
    ClockService& clock;
    WindowService& windows;
};

}  // namespace dorvane
