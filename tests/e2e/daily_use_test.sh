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

# The notice closes by the keys of its button (and by Alt+F4), pressed
# once it shows with the keys, and the number box has the keys at once:
# digits typed a tenth of a second later arrive (the program does not wait
# for the system to pick a window). On a desktop the window manager moves
# the X focus back, as soon as it runs; Wine leaves that to it.
for k in Return Escape space o alt+o alt+F4; do
    key ctrl+a; key BackSpace; enter
    probe wait "$NOTICE" 5000 >/dev/null; x_keys_on "$NOTICE"
    xdotool key "$k"; sleep 0.1
    [ "${QF_DESKTOP:-0}" = 1 ] && x_keys_on "$MAIN"
    xdotool type --delay 40 6525
    check_soon "$k closes the notice" "0" probe count "$NOTICE"
    check_soon "and digits typed 0.1 s later go into the number box ($k)" "6525" number
done

# Alt+Space on a desktop, then a key once the window manager's menu is open
# (a new window of its own), and back once it has closed: keys sent while it
# opens or closes go elsewhere, or to the menu.
wm_menu() {
    wm_windows() { xwininfo -root -children | grep ': ()' | grep -vc ' 1x1+'; }  # frames, and a menu
    local n _; n="$(wm_windows)"
    key alt+space
    for _ in $(seq 1 50); do [ "$(wm_windows)" -gt "$n" ] && break; sleep 0.1; done
    key "$1"
    for _ in $(seq 1 50); do [ "$(wm_windows)" -le "$n" ] && break; sleep 0.1; done
}

# The notice's keys are a dialog's: Alt+Space is the system's, Ctrl+C
# copies it as a message box copies itself, and a held Enter opens one
# notice that its own repeats do not close.
key ctrl+a; key BackSpace; enter
probe wait "$NOTICE" 5000 >/dev/null
# (A window manager opens its own window menu there; Esc closes that.)
if [ "${QF_DESKTOP:-0}" = 1 ]; then wm_menu Escape; else key alt+space; fi
check "Alt+Space leaves the notice open" "1" "$(probe count "$NOTICE")"
probe clip nothing; key ctrl+c
R='---------------------------\r\n'
check_soon "Ctrl+C copies the notice" "${R}完成\r\n${R}电话号码输入有误，请重新输入！\r\n${R}确定   \r\n${R}" probe paste
click "$NOTICE" 120 72; probe gone "$NOTICE" 3000
wine "$PROBE" listen 60000 >"$WORK/held" 2>/dev/null &  # its own pid, to end it
listener=$!
for _ in $(seq 1 50); do grep -q listening "$WORK/held" 2>/dev/null && break; sleep 0.1; done
xdotool keydown Return; sleep 1.5; xdotool keyup Return
probe wait "$NOTICE" 5000 >/dev/null; probe ping "$NOTICE" 5000 >/dev/null; sleep 0.5  # every key handled
kill "$listener" 2>/dev/null; wait "$listener" 2>/dev/null
check "a held Enter opens one notice, and its repeats do not close it" "1 1" \
      "$(grep -c '^alert 霁岚通' "$WORK/held") $(probe count "$NOTICE")"
# A held Space or O closes it once; its repeats type nothing in the box.
held_state() { echo "$(probe count "$NOTICE") [$(number)]"; }
for k in space o; do
    [ "$(probe count "$NOTICE")" = 1 ] || { x_keys_on "$MAIN"; enter; probe wait "$NOTICE" 5000 >/dev/null; }
    x_keys_on "$NOTICE"
    xdotool keydown "$k"; sleep 1.5; xdotool keyup "$k"
    probe ping "$MAIN" 5000 >/dev/null; sleep 0.3
    check_soon "a held $k closes the notice, and its repeats type nothing" "0 []" held_state
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

# A notice stands in front of the main window whatever the user does to
# the main window, pinned on top or not: clicks anywhere on it, the pin,
# a DPI change. What the screen shows is read when the program has had
# time for the click, and again a moment later: a notice that is in
# front only for a moment is not.
front() {
    local got _
    for _ in $(seq 1 15); do got="$(pixel $NOTICE_X $NOTICE_Y)"; [ "$got" = FFFFFF ] && break; sleep 0.1; done
    probe ping "$MAIN" 3000 >/dev/null; sleep 0.3
    [ "$got" = FFFFFF ] && got="$(pixel $NOTICE_X $NOTICE_Y)"
    echo "$got"
}
bad_number() { click "$MAIN" 125 100; key ctrl+a; key BackSpace; enter; probe wait "$NOTICE" 5000 >/dev/null; }
SPOTS=("30 60:the main window beside it" "160 12:the title" "125 100:the number box"
       "200 160:the answer box" "30 60:the main window again")
for pinned in "" " pinned"; do
    [ -n "$pinned" ] && click "$MAIN" 15 272
    bad_number
    check "the notice shows in front$pinned" "FFFFFF" "$(front)"
    for spot in "${SPOTS[@]}"; do
        click "$MAIN" ${spot%%:*}
        check "a click on ${spot#*:} leaves the notice in front$pinned" "FFFFFF" "$(front)"
    done
    click "$MAIN" 15 272
    check "so does the pin$pinned" "FFFFFF" "$(front)"
    check "which pins the main window, or lets it go, and the notice with it$pinned" \
          "$(t="topmost=$([ -n "$pinned" ] && echo 0 || echo 1)"; echo "$t $t")" \
          "$(probe state "$MAIN" | awk '{print $3}') $(probe state "$NOTICE" | awk '{print $3}')"
    click "$MAIN" 15 272
    probe send "$MAIN" . 0x2E0 $((120 << 16 | 120)) 0x10 >/dev/null  # WM_DPICHANGED, to 125 %
    probe send "$MAIN" . 0x2E0 $((96 << 16 | 96)) 0x10 >/dev/null
    check "and a change of the DPI and back$pinned" "FFFFFF" "$(front)"
    click "$NOTICE" 120 72; probe gone "$NOTICE" 3000
    [ -n "$pinned" ] && click "$MAIN" 15 272
done
click "$MAIN" 125 100; type_text "$MAIN" abc; enter
probe wait "$NOTICE" 5000 >/dev/null
check "a notice shown again is in front" "FFFFFF" "$(front)"
check "and has the focus" "$NOTICE|QfForm" "$(probe focus)"
check "with the second message" "你所输入的8位电话号码不合法！" "$(probe acc "$NOTICE" "$MESSAGE")"
# Another start of the program brings the main window forward: the notice
# stays in front of it, and keeps the keys.
(cd "$WORK/app" && timeout 20 wine jilantong.exe) >/dev/null 2>&1
check "a second start leaves the notice in front" "FFFFFF" "$(front)"
check_soon "and with the keys" "$NOTICE|QfForm" probe focus
if [ "${QF_DESKTOP:-0}" = 1 ]; then  # (a bare display has no Alt+Tab)
    key alt+Tab
    check_soon "Alt+Tab brings the main window forward" "$MAIN|Edit" probe focus
    check "and the notice stays in front of it" "FFFFFF" "$(front)"
fi

# Into the tray with the notice open: it stands on its own and takes the
# keys at once (a window manager sees no owner and lists it); back from the
# tray it stands in front of the main window again, clicked or not. On a
# desktop the window goes by its window menu (Alt+Space, then N), with the
# main window active.
if [ "${QF_DESKTOP:-0}" = 1 ]; then
    click "$MAIN" 30 60; wm_menu n
else
    minimise
fi
check "the window goes into the tray" "visible=0 iconic=1" "$(state)"
check_soon "the notice left alone has the keys" "$NOTICE|QfForm" probe focus
alone() { # what a window manager sees of the notice
    local w; w="$(xid "$NOTICE")"
    echo "$(xprop -id "$w" WM_TRANSIENT_FOR 2>/dev/null | grep -c 'window id') $(xprop -id "$w" _NET_WM_STATE | grep -c SKIP_TASKBAR)"
}
[ "${QF_DESKTOP:-0}" = 1 ] && check "no owner and a taskbar button for the window manager" "0 0" "$(alone)"
tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
check "back from the tray, the open notice is in front" "FFFFFF" "$(front)"
click "$MAIN" 30 60
check "and stays in front when the main window is clicked" "FFFFFF" "$(front)"
if [ "${QF_DESKTOP:-0}" = 1 ]; then
    check "the notice over the main window has no taskbar button" "yes" \
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
x_keys_on "$MAIN"; type_text "$MAIN" 6525
check "and the keys go to it" "6525" "$(number)"

# Closed with a notice open: the notice stays, on its own, with the keys,
# not the other program used last (next below the main window, it is the
# one the system would pick); a window manager lists it, so Alt+Tab finds
# it again from another program; closing it ends the program.
bad_number
wine "$PROBE" other 另一个程序 600000 >/dev/null 2>&1 & other=$!
x_keys_on 另一个程序
click "$MAIN" 30 60; x_keys_on "$MAIN"; key alt+F4
check_soon "Alt+F4 closes the main window" "no" probe exists "$MAIN"
check_soon "the notice stays, with the keys" "1 $NOTICE|QfForm $(xid "$NOTICE")" \
    eval 'echo "$(probe count "$NOTICE") $(probe focus) $(xdotool getwindowfocus)"'
if [ "${QF_DESKTOP:-0}" = 1 ]; then
    check "no owner and a taskbar button for the window manager" "0 0" "$(alone)"
    xdotool mousemove --window "$(xid 另一个程序)" 20 40 click 1
    x_keys_on 另一个程序
    key alt+Tab
    check_soon "Alt+Tab from another program reaches it" "$(xid "$NOTICE")" xdotool getwindowfocus
fi
kill "$other" 2>/dev/null; wait "$other" 2>/dev/null
key Escape
check_soon "Esc closes it, and the program ends" "0 gone" \
    eval 'echo "$(probe count "$NOTICE") $(kill -0 "$APP_PID" 2>/dev/null && echo running || echo gone)"'
finish
