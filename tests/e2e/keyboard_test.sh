# The keyboard alone, with real keys: Tab and Shift+Tab through every
# control in reading order, what each key does on each stop, the focus cue
# as a person sees it, and what a screen reader finds and hears at each
# stop, into the tray and back, and at a second start.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/tray_lib.sh"
focused() { probe acc "$MAIN" "$1" state | grep -q focused && echo yes || echo no; }
checked() { probe acc "$MAIN" "$1" state | grep -q checked && echo yes || echo no; }
# A key is handled when the program gets to it, later on a busy machine: a
# question about what it did waits until the answer is yes (or 3 s pass).
soon() { local r _; for _ in $(seq 1 30); do r="$("$@")"; [ "$r" = yes ] && break; sleep 0.1; done; echo "$r"; }

# The events the listener has printed: how many so far, those after a count,
# and a wait until the focus reaches an element after a count (events come
# in order, so all that came before are there too); it prints the count then.
heard_count() { wc -l <"$WORK/events"; }
heard_since() { tail -n +"$(($1 + 1))" "$WORK/events" | tr -d '\r'; }
heard_focus() { # count role:name
    local _
    for _ in $(seq 1 100); do
        [ "$(heard_since "$1" | grep -c "^focus $MAIN $2 ")" -gt 0 ] && break
        sleep 0.1
    done
    heard_count
}
# The focus events after a count, as role:name; the window's own (the
# system's, as its window takes the keys) only where `all` is asked.
focus_heard() { # count [all]
    heard_since "$1" | awk -v all="${2:-}" '$1 == "focus" && (all != "" || $3 !~ /^client:/) { print $3 }' |
        paste -sd' '
}
hold() { xdotool keydown "$1"; sleep 1.5; xdotool keyup "$1"; sleep 0.3; }  # past the key's repeat delay
topmost() { probe state "$MAIN" | awk '{print $3}'; }

# Focus cues as Windows shows them unless asked otherwise: once the keyboard
# is used (Wine's own default shows them always).
probe keyboardcues 0
start_app
wine "$PROBE" listen 900000 >"$WORK/events" 2>/dev/null &  # its own pid, to end it
LISTENER=$!
for _ in $(seq 1 50); do grep -q listening "$WORK/events" 2>/dev/null && break; sleep 0.1; done

# Started by the mouse (the pointer clicked the program's icon): the cues
# stay hidden, and a click on a box, its text or the pin does what it does
# and leaves the keys in the number box, where the next number goes.
shot before
click "$MAIN" 242 206; xdotool mousemove 0 0; soon checked checkbox:保留历史记录 >/dev/null; sleep 0.3
shot clicked
check "a click ticks the box, leaves the keys in the number box and shows no focus cue" "yes yes 0" \
      "$(checked checkbox:保留历史记录) $(focused "$INPUT") $(changed before clicked)"
click "$MAIN" 242 206; click "$MAIN" 150 208; click "$MAIN" 16 270
type_text "$MAIN" $'65521234\n'
mouse_box() { echo "$(checked checkbox:用鼠标获取号码) $(topmost) $(probe acc "$MAIN" "$ANSWER" value --escaped)"; }
check_soon "after a click on the text of 用鼠标获取号码 and on the pin, a number and Enter are answered" \
      'yes topmost=1 你所查询电话号码的归属地是：\r\n电信东区：曲阳' mouse_box
click "$MAIN" 150 208; click "$MAIN" 16 270; xdotool mousemove 0 0

# Where the cue shows on screen: the box around what changed from a picture
# without any cue, where the boxes (a caret blinks there) and the clock are
# left out. Printed as left top right bottom, or nothing.
centre() { local l t w h; IFS=, read -r l t w h <<<"$1"; echo "$((l + w / 2)) $((t + h / 2))"; }
masks=()
for who in "$INPUT" "$ANSWER" "$CLOCK"; do  # the clock has a name from its first tick on
    for _ in $(seq 1 30); do w="$(probe acc "$MAIN" "$who" where)"; [ -n "$w" ] && break; sleep 0.1; done
    IFS=, read -r l t w h <<<"$w"
    masks+=(-draw "rectangle $((l - 2)),$((t - 2)),$((l + w + 60)),$((t + h + 2))")
done
heard_focus 0 "edit:请输入8位电话号码：" >/dev/null; sleep 0.3; shot nocue
cue_box() { # shot
    convert "$WORK/nocue.png" "$WORK/$1.png" -compose difference -composite -threshold 0 \
        -fill black "${masks[@]}" -format '%@' info: 2>/dev/null |
        awk -F'[x+]' '$1 > 0 { print $3, $4, $3 + $1 - 1, $4 + $2 - 1 }'
}
inside() { # x y box
    local x y l t r b; read -r x y <<<"$1"; read -r l t r b <<<"$2"
    [ -n "$l" ] && [ "$x" -ge "$l" ] && [ "$x" -le "$r" ] && [ "$y" -ge "$t" ] && [ "$y" -le "$b" ]
}

# The cycle, in reading order, and back. At each stop the screen reader's
# answer (get_accFocus from the window down) names the stop, and the cue on
# screen lies around that element and no other stop; around none where a
# box has the keys.
CYCLE=("edit:电话号码信息查询结果：" "checkbox:用鼠标获取号码" "checkbox:保留历史记录" "button:确定"
       "button:取消" "link:E-mail:qf@qf.test" "button:窗体最前" "edit:请输入8位电话号码：")
declare -A CENTRE
for who in "${CYCLE[@]}"; do CENTRE[$who]="$(centre "$(probe acc "$MAIN" "$who" where)")"; done
before="$(heard_count)"
got="" answers="" cues=""
for who in "${CYCLE[@]}"; do
    key Tab
    got="$got$(soon focused "$who")"
    read -r said where <<<"$(probe accfocus "$MAIN")"
    answers="$answers|$said"
    box=""
    for _ in $(seq 1 20); do  # until the window has painted what the keys did
        shot stop; box="$(cue_box stop)"
        [ "${who%%:*}" = edit ] && [ -z "$box" ] && break
        [ "${who%%:*}" != edit ] && inside "$(centre "$where")" "$box" && break
        sleep 0.1
    done
    [ "$who" = "checkbox:保留历史记录" ] && cp "$WORK/stop.png" "$WORK/cue.png"
    verdict=ok
    if [ "${who%%:*}" = edit ]; then
        [ -z "$box" ] || verdict="cue at $box"
    else
        inside "$(centre "$where")" "$box" || verdict="cue at [$box], not around $where"
        for other in "${CYCLE[@]}"; do
            [ "$other" != "$who" ] && inside "${CENTRE[$other]}" "$box" && verdict="cue at $box, around $other too"
        done
    fi
    cues="$cues|$verdict"
done
check "Tab visits all eight stops in reading order, back to the number box" "yesyesyesyesyesyesyesyes" "$got"
check "at each stop a screen reader's get_accFocus names it" "$(printf '|%s' "${CYCLE[@]}")" "$answers"
check "and the cue on screen surrounds it, and no cue shows while a box has the keys" \
      "|ok|ok|ok|ok|ok|ok|ok|ok" "$cues"
check "the focus on 保留历史记录 shows a dotted cue around it" "yes" \
      "$([ "$(changed clicked cue)" -gt 40 ] && echo yes || echo "no: $(changed clicked cue) pixels")"
heard_focus "$before" "edit:请输入8位电话号码：" >/dev/null
check "a screen reader hears each move once, in order, a windowless control after its window" \
      "${CYCLE[0]} client:霁岚通1.0.0829 ${CYCLE[*]:1}" "$(focus_heard "$before" all)"
got=""
for i in 6 5 4 3 2 1 0 7; do key shift+Tab; got="$got$(soon focused "${CYCLE[$i]}")"; done
check "Shift+Tab visits them backwards" "yesyesyesyesyesyesyesyes" "$got"

# What each key does where the focus is (from the number box, Tab N times).
type_text "$MAIN" 65251234
stop() { key ctrl+a; local i; for i in $(seq 1 "$1"); do key Tab; done; }
before="$(heard_count)"; stop 2
before="$(heard_focus "$before" "checkbox:用鼠标获取号码")"; hold space
key Tab; heard_focus "$before" "checkbox:保留历史记录" >/dev/null; key shift+Tab
check "Space held down ticks 用鼠标获取号码, once" "yes 1" \
      "$(checked checkbox:用鼠标获取号码) $(heard_since "$before" | grep -cx 'statechange 青枫软件系列 checkbox:用鼠标获取号码')"
key space
check_soon "and clears it again" "no" checked checkbox:用鼠标获取号码
key Tab; key space
check "Space ticks 保留历史记录 (the history is on)" "yes" "$(soon checked checkbox:保留历史记录)"
key Return
check_soon "Enter on a check box answers, as a dialog's default button" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' probe acc "$MAIN" "$ANSWER" value --escaped
check "and the record is written" "yes" "$([ -s "$WORK/app/历史查询纪录.txt" ] && echo yes)"
input_state() { echo "$(focused "$INPUT") $(probe sel "$MAIN" "$INPUT")"; }
check_soon "then the number box has the keys, the number selected for the next one" "yes 0 8" input_state
key Tab; soon focused "$ANSWER" >/dev/null; sel="$(probe sel "$MAIN" "$ANSWER")"
key shift+Tab; key End; key Tab; key shift+Tab
selections() { echo "$sel $(probe sel "$MAIN" "$INPUT")"; }
check_soon "Tab and Shift+Tab into a box select all of its text" "0 24 0 8" selections
type_text "$MAIN" 55081111
stop 4; key Return
check_soon "Enter on 确定 answers" '你所查询电话号码的归属地是：\r\n电信东区：政肃' probe acc "$MAIN" "$ANSWER" value --escaped
type_text "$MAIN" 65521234
stop 4; key space
check_soon "Space on 确定 answers too" '你所查询电话号码的归属地是：\r\n电信东区：曲阳' probe acc "$MAIN" "$ANSWER" value --escaped
before="$(heard_count)"; key shift+Tab
before="$(heard_focus "$before" "button:窗体最前")"; hold space
key Tab; heard_focus "$before" "edit:请输入8位电话号码：" >/dev/null; key shift+Tab
check "Space held down on the pin keeps the window on top, pinned once" "topmost=1 1" \
      "$(topmost) $(heard_since "$before" | grep -cx 'statechange 青枫软件系列 button:窗体最前')"
typed_state() { echo "$(probe acc "$MAIN" "$INPUT" value) $(focused "$INPUT")"; }
type_text "$MAIN" 55081111
check_soon "digits typed on the pin go into the number box, in place of its number" "55081111 yes" typed_state
key shift+Tab; probe clip "电话：6525-1234"; key ctrl+v
check_soon "and so does Ctrl+V there" "65251234 yes" typed_state
key shift+Tab; key Return
pin_state() { echo "$(topmost) $(probe acc "$MAIN" "$ANSWER" value --escaped)"; }
check_soon "Enter on the pin answers and leaves it in" 'topmost=1 你所查询电话号码的归属地是：\r\n电信东区： 凉城' pin_state
key shift+Tab; key space
check_soon "Space on it lets go" "topmost=0" topmost
key Tab; key BackSpace; key space
space_state() { echo "[$(probe acc "$MAIN" "$INPUT" value)] $(checked checkbox:保留历史记录) $(checked checkbox:用鼠标获取号码) $(topmost)"; }
check_soon "Space in the number box is a character there, and nothing else" "[ ] yes no topmost=0" space_state
# (grep -c reads to the end: grep -q may stop first, and with pipefail the
# writer's broken pipe would fail the check.)
check "a screen reader hears the focus reach 保留历史记录, with its state" "yes" \
      "$([ "$(heard_since 0 | grep -c '^focus 青枫软件系列 checkbox:保留历史记录 focused,focusable$')" -gt 0 ] && echo yes)"

# Into the tray and back, a second start, and back from another program:
# the focus is told once, where it is, and never for a control that is
# about to lose it. (The Tab after each is the mark that all before it has
# been heard.)
before="$(heard_count)"; key Tab; key Tab
before="$(heard_focus "$before" "checkbox:用鼠标获取号码")"
minimise
tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
x_keys_on "$MAIN"; key Tab; heard_focus "$before" "checkbox:保留历史记录" >/dev/null
check "back from the tray, a screen reader hears the focus once, on 用鼠标获取号码" \
      "checkbox:用鼠标获取号码 checkbox:保留历史记录" "$(focus_heard "$before")"
before="$(heard_count)"; key shift+Tab; key shift+Tab
before="$(heard_focus "$before" "edit:电话号码信息查询结果：")"
minimise
(cd "$WORK/app" && timeout 20 wine jilantong.exe) >/dev/null 2>&1
for _ in $(seq 1 30); do [ "$(probe focus)" = "$MAIN|Edit" ] && break; sleep 0.1; done
x_keys_on "$MAIN"; key Tab; heard_focus "$before" "edit:电话号码信息查询结果：" >/dev/null
check "a second start while in the tray: once, in the number box, not on the answer box" \
      "edit:请输入8位电话号码： edit:电话号码信息查询结果：" "$(focus_heard "$before")"
before="$(heard_count)"; key shift+Tab
before="$(heard_focus "$before" "edit:请输入8位电话号码：")"
wine "$PROBE" other 另一个程序 600000 >/dev/null 2>&1 & other=$!
x_keys_on 另一个程序
if [ "${QF_DESKTOP:-0}" = 1 ]; then key alt+Tab; else click "$MAIN" 30 60; fi
x_keys_on "$MAIN"; key Tab; heard_focus "$before" "edit:电话号码信息查询结果：" >/dev/null
check "back from another program: once, in the number box" \
      "edit:请输入8位电话号码： edit:电话号码信息查询结果：" "$(focus_heard "$before")"
kill "$other" 2>/dev/null; wait "$other" 2>/dev/null

sleep 0.3; kill "$LISTENER" 2>/dev/null; wait "$LISTENER" 2>/dev/null

# Esc in this window does nothing, not even on 取消: a second Esc (or a held
# one) after the notice has gone must not end the program.
# (Shift+Tab after Esc is the mark that Esc has been handled.)
key Tab; key Tab; key Tab; key Tab; soon focused button:取消 >/dev/null; key Escape; key shift+Tab
check "Esc on 取消 does nothing" "yes yes" "$(soon focused button:确定) $(probe exists "$MAIN")"
key Tab; soon focused button:取消 >/dev/null; key space
check_soon "Space on 取消 ends the program" "no" probe exists "$MAIN"
probe keyboardcues 1
finish
