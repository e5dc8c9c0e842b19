# Every way of ending the program ends the process at once, so that the
# next start shows its window: the tray menu's exit with the mouse and with
# its access key, a close request sent from another program, Alt+F4 while
# the window is in the tray.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/tray_lib.sh"

# The process is gone within two seconds.
gone_within_2s() {
    local i
    for i in $(seq 1 20); do
        kill -0 "$APP_PID" 2>/dev/null || { echo gone; return; }
        sleep 0.1
    done
    echo "still running"
}
restart() { stop_app; start_app; }

start_app
minimise
tray_click 3 menu_open
read -r ml mt mr mb <<<"$(probe menu)"
xdotool mousemove $((ml + 20)) $((mb - 10)); sleep 0.3; xdotool click 1
check "exit chosen with the mouse ends the process" "gone" "$(gone_within_2s)"
check "and leaves no dead icon" "no" \
      "$(xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null && echo yes || echo no)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"

minimise
tray_click 3 menu_open
probe type x
check "exit chosen with its access key ends the process" "gone" "$(gone_within_2s)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"

probe sendclose "$MAIN"
check "a close request sent from another program ends it" "gone" "$(gone_within_2s)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"

minimise
tray_click 3 menu_open
probe keys escape; sleep 0.3
check "the menu is closed" "no" "$(menu_open && echo yes || echo no)"
probe keys alt-f4
check "Alt+F4 in the tray state ends the process" "gone" "$(gone_within_2s)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"
finish
