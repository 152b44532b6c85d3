// Resource numbers of the pictures built into dorvane.exe (shared by the .rc file and the code).
#pragma once

#define kIcon 1
#define kWobbin1 101
#define kWobbin2 102
#define kWobbin3 103
#define kWobbin4 104
