#!/usr/bin/env bash
# Checks the Debian package as a site would meet it, on a real X server with a window
# manager (Xvfb and openbox): builds and installs the package, starts vemo from an empty
# folder with a fresh home folder, sees the first-start window, takes the folder with
# sample data, reaches the sign-in screen; starts it again and reaches the sign-in screen
# directly; removes the package. Not part of the test run: it installs on this machine.
#
#   bash scripts/check-package.sh [display] [screen size]
#
# The display defaults to :23, the screen to 1366x768. Prints one line per check and ends
# with a non-zero code when any failed. Screenshots go to /tmp/check-package-*.png.
set -uo pipefail
cd "$(dirname "$0")/.."

display=${1:-:23}
screen=${2:-1366x768}
bash scripts/package.sh || exit 2
bash scripts/install-deps.sh --with-lockdown-check >/dev/null || exit 2
deb=$(realpath dist/vemo_*_amd64.deb)

source scripts/x11-session.sh
trap 'end_session; apt-get remove -y -qq vemo >/dev/null 2>&1' EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
check "the package installs" test -x /usr/bin/vemo -a -x /usr/lib/vemo/vemo-workbook-reader
check "templates in /usr/share/vemo" test -f /usr/share/vemo/wordtest.docx
check "vemo --version" sh -c 'vemo --version | grep -q "^vemo "'

start_x "$display" "$screen"

# A new user: an empty home and an empty current directory, nothing naming a folder.
mkdir -p "$work/home" "$work/empty"
unset VEMO_DATA XDG_CONFIG_HOME
export HOME=$work/home
export VEMO_INSTANCE_NAME=VemoPackageCheck  # leaves a copy of the program open elsewhere alone

start_program() {
    (cd "$work/empty" && exec vemo) >>"$work/vemo.log" 2>&1 &
    vemo=$!
    pids+=("$vemo")
}
shot() {
    sleep 0.5
    import -window root "/tmp/check-package-$1.png"
}
ends() {
    for _ in $(seq 50); do kill -0 "$vemo" 2>/dev/null || return 0; sleep 0.2; done
    return 1
}

start_program
chooser=$(window_of "Vemo—选择数据文件夹")
check "the first start shows the first-start window" test -n "$chooser"
shot first-start
[ -n "$chooser" ] && click_at "$chooser" 495 556  # 确定, with the sample folder chosen
login=$(window_of "Vemo—登录Login")
check "the sample folder leads to the sign-in screen" test -n "$login"
check "the sample folder is ~/Vemo" test -f "$HOME/Vemo/personnel.mdb"
check "the choice is remembered" grep -q "Vemo" "$HOME/.config/vemo/vemo.conf"
shot sign-in
[ -n "$login" ] && click_at "$login" 730 555  # 退出
check "退出 ends the program" ends

start_program
login=$(window_of "Vemo—登录Login")
check "the next start reaches the sign-in screen directly" test -n "$login"
check "without the first-start window" sh -c \
    '! xdotool search --onlyvisible --name "^Vemo—选择数据文件夹\$" >/dev/null 2>&1'
shot second-start
[ -n "$login" ] && click_at "$login" 730 555
check "退出 ends the program again" ends

apt-get remove -y -qq vemo >/dev/null 2>&1
check "the package is removed" test ! -e /usr/bin/vemo
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed; log: $(cat "$work/vemo.log")"; exit 1; }
echo "all checks passed"
