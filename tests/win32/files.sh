#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Both dorvane.exe files: PE programs for the right processor importing only DLLs every Windows
# has, the committed ICO as icon group 1 (wrestool pads the last picture), version information.
#   files.sh imports|resources WINDOWS_BUILD [ICO VERSION]
set -euo pipefail
allowed="ADVAPI32 COMCTL32 COMDLG32 GDI32 KERNEL32 msvcrt ole32 OLEAUT32 SHELL32 SHLWAPI USER32"
status=0
for bits in 64 32; do
  exe=$2/win$bits/bin/dorvane.exe
  complain() { echo "$exe: $*"; status=1; }
  if [ "$1" = imports ]; then
    want="PE32 executable (GUI) Intel 80386"
    [ "$bits" = 32 ] || want="PE32+ executable (GUI) x86-64"
    file "$exe" | grep -q "$want" || complain "not a $want"
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
      grep -qw "${dll%.dll}" <<<"$allowed" || complain "needs $dll"
    done
  else
    cmp -s -n "$(stat -c %s "$3")" <(wrestool -x --type=14 --name=1 "$exe") "$3" ||
      complain "its icon group 1 is not $3"
    # VERSIONINFO strings are UTF-16; read them as text.
    info=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -c '[:print:]' ' ')
    for want in "Dorvane (Duke3d Map Loader)" OriginalFilename dorvane.exe ProductVersion "$4"; do
      grep -qF "$want" <<<"$info" || complain "no '$want' in its version information"
    done
  fi
done
exit $status
