# The main window as a person sees it: outline, hidden holders, clock, drag,
# pin, close, and the single-instance rule.
source "$(dirname "$0")/lib.sh" "$@"
pixel() { /usr/bin/convert "$WORK/shot.png" -format '%[hex:p{'"$1,$2"'}]' info: 2>/dev/null | cut -c1-6; }
black=000000

start_app
sleep 0.5
import -window root "$WORK/shot.png"
cp "$WORK/shot.png" /tmp/qf-window.png 2>/dev/null
check "top-left corner shows what lies behind" "$black" "$(pixel 227 136)"
check "top-right corner shows what lies behind" "$black" "$(pixel 583 136)"
check "the title band is the window's" "yes" "$([ "$(pixel 330 137)" != $black ] && echo yes)"
check "bottom-left corner is square" "yes" "$([ "$(pixel 226 427)" != $black ] && echo yes)"
check "bottom-right corner is square" "yes" "$([ "$(pixel 584 427)" != $black ] && echo yes)"
# Where the holders would show if they were drawn: Imgchk2 and Imgmin2 to
# the right of the window, Imgok1 and Imgend1 below it.
check "no picture holder right of the window (Imgchk2)" "$black" "$(pixel 624 269)"
check "no picture holder right of the window (Imgmin2)" "$black" "$(pixel 647 180)"
check "no picture holder below the window (Imgok1)" "$black" "$(pixel 440 444)"
check "no picture holder below the window (Imgend1)" "$black" "$(pixel 527 444)"

sleep 1  # the first tick comes a second after start-up
t1="$(probe acc "$MAIN" "$CLOCK")"; t2="$t1"
for _ in $(seq 1 20); do
    sleep 0.1; t2="$(probe acc "$MAIN" "$CLOCK")"; [ "$t1" != "$t2" ] && break
done
check "the clock shows a time and changes within two seconds" "yes" \
      "$([ -n "$t1" ] && [ "$t1" != "$t2" ] && echo yes)"

# A second copy ends at once, silently; the first one goes on.
(cd "$WORK/app" && timeout 20 wine jilantong.exe) >/dev/null 2>&1
check "a second copy ends by itself" "0" "$?"
check "still one window" "1" "$(probe count "$MAIN")"
check "the first copy still answers" "霁岚通1.0.0829" "$(probe acc "$MAIN" "$TITLE_LINE")"

# A picture with a tip shows it when the pointer rests on it, and the tip
# goes when the pointer moves on to one without.
W="$(xid "$MAIN")"
xdotool mousemove --window "$W" 60 200; sleep 0.3
xdotool mousemove --window "$W" 320 12; sleep 0.1; xdotool mousemove --window "$W" 321 13
tip=""; for _ in $(seq 1 20); do sleep 0.1; tip="$(probe tip)"; [ -n "$tip" ] && break; done
check "resting on the minimise button shows its tip" "最小化" "$tip"
xdotool mousemove --window "$W" 227 249
tip="x"; for _ in $(seq 1 20); do sleep 0.1; tip="$(probe tip)"; [ -z "$tip" ] && break; done
check "moving on to the query button takes it away" "" "$tip"

# Drag by the title with the left button; the right button does not drag.
W="$(xid "$MAIN")"
xdotool mousemove --window "$W" 60 15; sleep 0.2
xdotool mousedown 1; sleep 0.2; xdotool mousemove_relative -- 40 30; sleep 0.2
xdotool mousemove_relative -- 10 5; sleep 0.2; xdotool mouseup 1; sleep 0.4
check "a left drag on the title moves the window" "276 170" "$(probe state "$MAIN" | awk '{print $4, $5}')"
xdotool mousemove --window "$W" 60 15; sleep 0.2
xdotool mousedown 3; sleep 0.2; xdotool mousemove_relative -- 40 30; sleep 0.2; xdotool mouseup 3; sleep 0.4
check "a right drag does not" "276 170" "$(probe state "$MAIN" | awk '{print $4, $5}')"
xdotool key Escape 2>/dev/null

# A DPI change sent from another program, where the rectangle's pointer
# means nothing: the window keeps its place and takes the size of the DPI.
probe send "$MAIN" . 0x2E0 $((192 << 16 | 192)) 0x10 >/dev/null  # WM_DPICHANGED
check "a DPI change with an unreadable rectangle scales the window in place" "276 170 718 586" \
      "$(probe state "$MAIN" | cut -d' ' -f4-)"
probe send "$MAIN" . 0x2E0 $((96 << 16 | 96)) 0x7FFF0000 >/dev/null
check "and back at 96 DPI, in place" "276 170 359 293" "$(probe state "$MAIN" | cut -d' ' -f4-)"

# Pin on top, and back.
click "$MAIN" 15 272
check "the pin keeps the window on top" "topmost=1" "$(probe state "$MAIN" | awk '{print $3}')"
click "$MAIN" 15 272
check "a second click releases it" "topmost=0" "$(probe state "$MAIN" | awk '{print $3}')"

# The close picture ends the program at the press.
xdotool mousemove --window "$W" 340 12; sleep 0.2; xdotool mousedown 1; sleep 1
check "pressing the close picture ends the program" "0" "$(probe count "$MAIN")"
xdotool mouseup 1
stop_app

# Two copies started at the same moment leave exactly one.
mkdir -p "$WORK/two"; cp "$EXE_SRC" "$WORK/two/jilantong.exe"
(cd "$WORK/two" && exec wine jilantong.exe) >/dev/null 2>&1 & a=$!
(cd "$WORK/two" && exec wine jilantong.exe) >/dev/null 2>&1 & b=$!
probe wait "$MAIN" 15000 >/dev/null; sleep 2
alive=0; kill -0 $a 2>/dev/null && alive=$((alive + 1)); kill -0 $b 2>/dev/null && alive=$((alive + 1))
check "two copies at once leave one window" "1" "$(probe count "$MAIN")"
check "and one process" "1" "$alive"
kill $a $b 2>/dev/null; wait $a $b 2>/dev/null
finish
