// SPDX-License-Identifier: MIT
// Identifiers of dorvane.exe's resources, shared by dorvane.rc and the code that loads them.
#pragma once

// The program's icon: the first icon group, which Explorer shows for the file.
#define DORVANE_ICON_RESOURCE 1
