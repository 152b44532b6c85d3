#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the mascot Wobbin in his four dance poses as 61x71 JPEG pictures: assets/wobbin1.jpg to
# wobbin4.jpg. Frame 1 (standing, arms down) is also the picture the main window starts with.
# Run again after changing a pose; the pictures are committed, so a build never needs this.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/assets}

# One pose: body tilt (x offset of the head), left arm end, right arm end, left foot, right foot,
# mouth shape.
pose() {
    local file=$1 tilt=$2 larm=$3 rarm=$4 lfoot=$5 rfoot=$6 mouth=$7
    local hx=$((30 + tilt))
    convert -size 61x71 xc:'#fff6d8' \
        -stroke '#3a2a10' -strokewidth 3 -fill none \
        -draw "line 24,50 ${lfoot}" -draw "line 36,50 ${rfoot}" \
        -draw "line 18,36 ${larm}" -draw "line 42,36 ${rarm}" \
        -strokewidth 1 -fill '#6cc24a' \
        -draw "ellipse 30,40 14,15 0,360" \
        -fill '#6cc24a' -draw "circle ${hx},20 ${hx},8" \
        -strokewidth 2 -draw "line ${hx},8 $((hx + tilt)),3" -strokewidth 1 \
        -fill '#ff7a1a' -draw "circle $((hx + tilt)),3 $((hx + tilt + 2)),3" \
        -fill white -draw "circle $((hx - 5)),18 $((hx - 1)),18" \
        -draw "circle $((hx + 5)),18 $((hx + 9)),18" \
        -fill black -draw "circle $((hx - 4)),19 $((hx - 2)),19" \
        -draw "circle $((hx + 6)),19 $((hx + 8)),19" \
        -fill '#b8321e' -draw "$mouth" \
        -quality 92 "$file"
}

pose "$out/wobbin1.jpg" 0 "12,54" "48,54" "20,68" "40,68" "ellipse 30,26 4,2 0,180"
pose "$out/wobbin2.jpg" 0 "8,16" "52,16" "18,68" "42,68" "ellipse 30,26 5,4 0,360"
pose "$out/wobbin3.jpg" -5 "6,26" "50,52" "14,64" "38,68" "ellipse 25,26 4,3 0,360"
pose "$out/wobbin4.jpg" 5 "10,52" "56,24" "22,68" "52,60" "ellipse 35,26 4,3 0,360"
