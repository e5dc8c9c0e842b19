# Every way of ending the program ends the process at once, so that the
# next start shows its window: the tray menu's exit, a close request sent
# from another program, a real Alt+F4. (Real keys never reach the tray menu
# under Wine: they go to Wine's own tray window, so its access keys and
# Alt+F4 while the window is in the tray cannot be tested here.)
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
menu_choose exit
check "exit chosen with the mouse ends the process" "gone" "$(gone_within_2s)"
check "and leaves no dead icon" "no" \
      "$(xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null && echo yes || echo no)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"

probe sendclose "$MAIN"
check "a close request sent from another program ends it" "gone" "$(gone_within_2s)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"

key alt+F4
check "a real Alt+F4 on the window ends the process" "gone" "$(gone_within_2s)"
restart
check "a new start shows its window" "1" "$(probe count "$MAIN")"
finish
