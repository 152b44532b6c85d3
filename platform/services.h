// SPDX-License-Identifier: MIT
// The platform as the program reaches it, by topic: message boxes, files, processes, clock and
// chance, and windows, each its own small interface (platform/*_service.h). A backend provides
// them all as one `Services`; code that needs one topic takes only that interface, so that what
// it can reach is plain from its signature and a test double for it stays small.
//
// Every operation either does what it says or reports that it could not: there are no silent
// defaults, so that the caller can do what the program requires for that failure.
#pragma once

#include "platform/clock_service.h"
#include "platform/file_service.h"
#include "platform/message_box_service.h"
#include "platform/process_service.h"
#include "platform/window_service.h"

namespace dorvane {

class Services : public MessageBoxService,
                 public FileService,
                 public ProcessService,
                 public ClockService,
                 public WindowService {};

}  // namespace dorvane
