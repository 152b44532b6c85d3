#!/usr/bin/env bash
# Installs what is missing, builds, and starts the launcher in a demo game folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
