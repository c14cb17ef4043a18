#!/usr/bin/env bash
# Checks the exam window's lock-down on a real X server with a window manager (Xvfb and
# openbox), the way an examinee or a curious neighbour would try to get out of an exam:
# minimise, Alt+Tab, typing and clicking into another program's window, a window opened
# on top, and closing the window from outside. Not part of the test run.
#
#   bash scripts/check-lockdown.sh [build folder] [display]
#
# The build folder holds src/vemo and tools/vemo-init/vemo-init (default build-release,
# as scripts/run.sh makes it); the display defaults to :29. Prints one line per check
# and ends with a non-zero code when any failed. Screenshots go to /tmp/lockdown-*.png.
set -uo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build-release}")
display=${2:-:29}
for tool in Xvfb openbox xdotool xprop xwininfo xev import; do
    command -v "$tool" >/dev/null || { echo "missing $tool (see scripts/install-deps.sh)"; exit 2; }
done
[ -x "$build/src/vemo" ] || { echo "no $build/src/vemo: build first"; exit 2; }

source scripts/x11-session.sh
trap end_session EXIT
start_x "$display" 1280x1024

"$build/tools/vemo-init/vemo-init" "$work/data" >/dev/null || exit 2
export VEMO_INSTANCE_NAME=VemoLockdownCheck  # leaves a copy of the program open elsewhere alone

start_program() {
    (cd "$work/data" && exec "$build/src/vemo") >"$work/vemo.log" 2>&1 &
    vemo=$!
    pids+=("$vemo")
}
# --- Into an exam as 张三 (生产部, 操作工), the way an examinee goes.
start_program
login=$(window_of "Vemo—登录Login") || { echo "the sign-in screen did not come up"; exit 1; }
xdotool windowmove --sync "$login" 0 0
click_at "$login" 600 470  # 我要考试
selection=$(window_of "Vemo—考试登录") || { echo "exam selection did not come up"; exit 1; }
xdotool windowmove --sync "$selection" 0 0
click_at "$selection" 160 37
xdotool type --delay 100 "张三"
xdotool key --delay 200 Tab Down Tab Down Down Down  # 生产部, then its third position 操作工
sleep 1
click_at "$selection" 686 37   # 查询考试
sleep 1
click_at "$selection" 26 107   # tick the first exam
click_at "$selection" 655 487  # 进入考试
exam=$(window_of "Vemo") || { import -window root /tmp/lockdown-selection.png; echo "the exam window did not come up"; exit 1; }
sleep 1
import -window root /tmp/lockdown-rules.png
click_at "$exam" 818 406  # 开始考试 on a 1280×1024 screen
exam_window=$((exam))

# --- Another program's window opened after the exam window: xev reports every key and
# click it receives.
xev -geometry 400x300+100+100 -name intruder >"$work/xev.log" 2>&1 &
pids+=($!)
intruder=$(window_of "intruder") || intruder=""
check "another program's window came up" [ -n "$intruder" ]
sleep 1
import -window root /tmp/lockdown-intruder.png

# It asks to come to the front, as a program opened by someone else would.
if [ -n "$intruder" ]; then
    xdotool windowactivate "$intruder" 2>/dev/null
    xdotool windowraise "$intruder" 2>/dev/null
    sleep 0.5
fi
top_of_stack() {
    xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk '{print $NF}'
}
same_window() { [ "$((16#${1#0x}))" = "$2" ]; }
check "the exam window stays above a window opened later" \
    same_window "$(top_of_stack)" "$exam_window"

received() { grep -c "$1" "$work/xev.log"; }
before_keys=$(received KeyPress)
before_clicks=$(received ButtonPress)
if [ -n "$intruder" ]; then
    xdotool windowactivate "$intruder" 2>/dev/null
    xdotool mousemove --window "$intruder" 50 50 click 1
fi
xdotool type --delay 50 "abc"
sleep 0.5
check "typing does not reach another program" [ "$(received KeyPress)" = "$before_keys" ]
check "clicks do not reach another program's window on top" \
    [ "$(received ButtonPress)" = "$before_clicks" ]

# --- Alt+Tab goes to the exam window, not to the window manager.
xdotool key alt+Tab
sleep 0.5
check "Alt+Tab leaves the exam window active" same_window "$(printf '0x%x' "$(xdotool getactivewindow)")" "$exam_window"

# --- Minimising.
xdotool windowminimize "$exam" 2>/dev/null
sleep 1.5
viewable() { xwininfo -id "$exam" | grep -q "IsViewable"; }
check "a minimised exam window is back on screen at once" viewable
check "and full screen" sh -c "xprop -id $exam _NET_WM_STATE | grep -q FULLSCREEN"
before_keys=$(received KeyPress)
[ -n "$intruder" ] && xdotool windowactivate "$intruder" 2>/dev/null
xdotool type --delay 50 "xyz"
sleep 0.5
check "after the restore the keyboard is held again" [ "$(received KeyPress)" = "$before_keys" ]
import -window root /tmp/lockdown-restored.png

# --- The program's own message boxes still come up above the exam window and take
# their answer: 交卷, then the score, then review.
click_at "$exam" 941 745  # 交卷 on a 1280×1024 screen
box_on_top() {
    local box
    box=$(window_of "$1") || return 1
    same_window "$(top_of_stack)" "$((box))"
}
check "the hand-in question shows above the exam window" box_on_top "Vemo提醒"
import -window root /tmp/lockdown-handin.png
xdotool key Return
sleep 1
check "and the score after it" box_on_top "Vemo提醒"
xdotool key Return
sleep 1
check "review is on the exam window itself" same_window "$(top_of_stack)" "$exam_window"

# --- Closing from outside: the window manager's close is refused, destroying the window
# ends the program.
xdotool key --window "$exam" alt+F4
sleep 0.5
check "Alt+F4 does not close the exam window" viewable
xdotool windowclose "$exam" 2>/dev/null
for _ in $(seq 25); do kill -0 "$vemo" 2>/dev/null || break; sleep 0.2; done
check "destroying the exam window ends the program" sh -c "! kill -0 $vemo 2>/dev/null"
first=$vemo
if kill -0 "$first" 2>/dev/null; then status="still running"; else wait "$first"; status=$?; fi
check "and cleanly (exit code 0)" [ "$status" = 0 ]

start_program
next_start_comes_up() { window_of "Vemo—登录Login" >/dev/null; }
check "the next start is not refused" next_start_comes_up
kill "$vemo" "$first" 2>/dev/null

echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
