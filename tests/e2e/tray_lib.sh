# Tray helpers for the end-to-end tests (sourced after lib.sh).
state() { probe state "$MAIN" | awk '{print $1, $2}'; }
# The message the shell calls the program back with about its icon.
TRAY_CALLBACK=2025
# The first icon of Wine's own tray window: 10 pixels in, and 13 above the
# bottom (an unmanaged tray window draws a caption of its own above it).
tray_icon_point() {
    local t h; t="$(xid 'Wine System Tray')"
    [ -n "$t" ] || return 1
    h="$(xwininfo -id "$t" 2>/dev/null | awk '/Height:/{print $2}')"
    echo "$t 10 $((h - 13))"
}
tray_click() { # button condition; the first click after start-up can be lost, so retry
    local want="$2" i
    for i in 1 2 3 4 5; do
        local t x y
        read -r t x y <<<"$(tray_icon_point)"
        [ -n "$t" ] && xdotool mousemove --window "$t" "$x" "$y" && sleep 0.2 && xdotool click "$1"
        sleep 0.6
        eval "$want" && return 0
    done
    return 1
}
minimise() { click "$MAIN" 320 12; sleep 0.3; }
menu_open() { probe menu >/dev/null; }
# Chooses an item of the open menu with the mouse: resume, about or exit.
# (Its access keys are not for tests here: under Wine a real keyboard's keys
# go to Wine's own tray window, never to the menu.)
menu_choose() {
    local ml mt mr mb y
    read -r ml mt mr mb <<<"$(probe menu)"
    case "$1" in
        resume) y=$((mt + 10)) ;;
        about) y=$(((mt + mb) / 2 + 4)) ;;
        exit) y=$((mb - 10)) ;;
    esac
    xdotool mousemove $((ml + 20)) "$y"; sleep 0.3; xdotool click 1; sleep 0.6
}
