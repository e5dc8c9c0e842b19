# A day's use with real keys and clicks: the next number, Ctrl+A, the
# notice closed by its keys, Alt alone, a tap on the title, a notice that
# must come in front, a second start while the window is in the tray.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/tray_lib.sh"
pixel() { import -window root "$WORK/shot.png"; /usr/bin/convert "$WORK/shot.png" -format '%[hex:p{'"$1,$2"'}]' info: | cut -c1-6; }
number() { probe acc "$MAIN" "$INPUT" value; }
answer() { probe acc "$MAIN" "$ANSWER" value --escaped; }
HEADING='你所查询电话号码的归属地是：\r\n'
# The notice's white body, where the main window shows its grey frame.
NOTICE_X=307 NOTICE_Y=320

start_app
type_text "$MAIN" 65251234; enter
check "Enter answers" "${HEADING}电信东区： 凉城" "$(answer)"
check "after the query the whole number is selected" "0 8" "$(probe sel "$MAIN" "$INPUT")"
type_text "$MAIN" 55081111
check "the next number replaces it as it is typed" "55081111" "$(number)"
enter
check "and Enter answers for the new number" "${HEADING}电信东区：政肃" "$(answer)"
key End
key ctrl+a
check "Ctrl+A selects all of the number" "0 8" "$(probe sel "$MAIN" "$INPUT")"
key Tab; key ctrl+a
check "Ctrl+A selects all of the answer (23 characters)" "0 23" "$(probe sel "$MAIN" "$ANSWER")"
key shift+Tab

# Alt pressed and released alone leaves the keys with the number box.
key ctrl+a; key BackSpace; key alt
type_text "$MAIN" 5508
check "after Alt alone the digits still arrive" "5508" "$(number)"
key Escape

# The notice closes by the keys of its button (and by Alt+F4), and the
# number box has the keys at once: digits typed a tenth of a second later
# arrive (the program does not wait for the system to pick a window).
for k in Return Escape space o alt+o alt+F4; do
    key ctrl+a; key BackSpace; enter
    probe wait "$NOTICE" 5000 >/dev/null
    xdotool key "$k"; sleep 0.1
    xdotool type --delay 40 6525; sleep 0.3
    probe gone "$NOTICE" 3000
    check "$k closes the notice" "0" "$(probe count "$NOTICE")"
    check "and digits typed 0.1 s later go into the number box ($k)" "6525" "$(number)"
done

# A tap on the title (press and release together) starts no drag. Where
# the window stands is read from the X server: Wine learns of a move by the
# window manager only later.
W="$(xid "$MAIN")"
where() { xdotool getwindowgeometry "$W" | awk '/Position/{print $2}'; }
before="$(where)"
xdotool mousemove --window "$W" 60 15 mousedown 1 mouseup 1; sleep 0.4
xdotool mousemove_relative -- 60 40; sleep 0.4; xdotool mousemove_relative -- 10 10; sleep 0.4
check "a tap on the title leaves the window where it was" "$before" "$(where)"
xdotool click 1; sleep 0.3

# A notice shown again comes in front, even after the user has put the
# main window over it.
click "$MAIN" 125 100; key ctrl+a; key BackSpace; enter
probe wait "$NOTICE" 5000 >/dev/null; sleep 0.3
check "the notice shows in front" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
click "$MAIN" 30 60  # the main window, beside the notice
check "a click on the main window leaves the notice in front" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
click "$MAIN" 125 100  # the number box
check "so does a click into the number box" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
click "$MAIN" 200 160  # the answer box, the main window active already
check "and one into the answer box" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
click "$NOTICE" 120 72; probe gone "$NOTICE" 3000
click "$MAIN" 15 272  # pinned, then a notice, then a click on the main window
click "$MAIN" 125 100; key ctrl+a; key BackSpace; enter
probe wait "$NOTICE" 5000 >/dev/null; sleep 0.3
click "$MAIN" 30 60
check "and a click on the pinned main window" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
click "$MAIN" 15 272
click "$MAIN" 125 100; type_text "$MAIN" abc; enter; sleep 0.3
check "the notice shown again is in front" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
check "and has the focus" "$NOTICE|QfForm" "$(probe focus)"
check "with the second message" "你所输入的8位电话号码不合法！" "$(probe acc "$NOTICE" "$MESSAGE")"

# Into the tray and back with the notice open: it stays in front.
minimise
check "the window goes into the tray" "visible=0 iconic=1" "$(state)"
tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
sleep 0.3
check "back from the tray, the open notice is in front" "FFFFFF" "$(pixel $NOTICE_X $NOTICE_Y)"
if [ "${QF_DESKTOP:-0}" = 1 ]; then
    check "the notice has no taskbar button" "yes" \
          "$(xprop -id "$(xid "$NOTICE")" _NET_WM_STATE | grep -q SKIP_TASKBAR && echo yes || echo no)"
fi
click "$NOTICE" 120 72
probe gone "$NOTICE" 3000

# A second start while the window is in the tray brings it back.
minimise
check "in the tray again" "visible=0 iconic=1" "$(state)"
(cd "$WORK/app" && timeout 20 wine jilantong.exe) >/dev/null 2>&1
check "a second start ends by itself" "0" "$?"
for _ in $(seq 1 20); do [ "$(state)" = "visible=1 iconic=0" ] && break; sleep 0.1; done
check "and brings the window back from the tray" "visible=1 iconic=0" "$(state)"
check "with the focus in the number box" "$MAIN|Edit" "$(probe focus)"
check "no icon is left in the tray" "no" \
      "$(xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null && echo yes || echo no)"
check "still one window" "1" "$(probe count "$MAIN")"
type_text "$MAIN" 6525
check "and the keys go to it" "6525" "$(number)"
finish
