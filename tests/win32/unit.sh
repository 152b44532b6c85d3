#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Wine's services must be up before two test programs start at once, or the first may hang.
source "$(dirname "$0")/wine.sh"
start_wine_desktop
ctest --test-dir "$windows/win$bits" --output-on-failure --no-tests=error -j 2
