#!/usr/bin/env bash
# Writes a picture of every screen, and of the list screens maximised, at 1366×768 and
# 1920×1080 and at the scale factors 1.5 and 2 (on displays that are 1366×768 in
# scaled pixels), into OUT/<setting>/. Each setting runs on its own virtual display
# under a window manager. Needs xvfb and openbox (scripts/install-deps.sh
# --with-lockdown-check) and a build with the tests (vemo_screens_preview).
#
# Usage: tools/screenshots.sh BUILD_DIR OUT [DISPLAY_NUMBER]   (default display :99)
set -euo pipefail

BUILD="${1:?build directory}"
OUT="${2:?output folder}"
NUMBER="${3:-99}"
PREVIEW="$BUILD/tests/vemo_screens_preview"
[ -x "$PREVIEW" ] || { echo "$PREVIEW is missing: build with -DVEMO_BUILD_TESTS=ON" >&2; exit 1; }
for tool in Xvfb openbox; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

XVFB_PID=""
WM_PID=""
stop_display() {
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
    WM_PID=""
}
trap stop_display EXIT

# setting name, display size, scale factor
SETTINGS=(
    "1366x768 1366x768 1"
    "1920x1080 1920x1080 1"
    "scale1.5 2049x1152 1.5"
    "scale2 2732x1536 2"
)
for setting in "${SETTINGS[@]}"; do
    read -r name size scale <<<"$setting"
    mkdir -p "$OUT/$name"
    Xvfb ":$NUMBER" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    sleep 1
    DISPLAY=":$NUMBER" openbox >/dev/null 2>&1 &
    WM_PID=$!
    sleep 1
    echo "== $name"
    DISPLAY=":$NUMBER" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        "$PREVIEW" "$(cd "$OUT/$name" && pwd)"
    stop_display
done
