#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Both dorvane.exe files are single files for Windows: PE programs for the right processor that
# import nothing but DLLs every Windows has (the C++ runtime is linked in statically).
set -euo pipefail
windows=$1
allowed="ADVAPI32.dll COMCTL32.dll COMDLG32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll SHELL32.dll SHLWAPI.dll USER32.dll"
status=0
for bits in 64 32; do
  exe=$windows/win$bits/bin/dorvane.exe
  want="PE32 executable (GUI) Intel 80386"
  [ "$bits" = 64 ] && want="PE32+ executable (GUI) x86-64"
  file "$exe" | grep -q "$want" || { echo "$exe is not a $want"; status=1; }
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
    grep -qw "$dll" <<<"$allowed" || { echo "$exe needs $dll"; status=1; }
  done
  echo "$exe: $(stat -c %s "$exe") bytes"
done
exit $status
