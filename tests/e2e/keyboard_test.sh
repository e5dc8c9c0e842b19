# The keyboard alone, with real keys: Tab and Shift+Tab through every
# control in reading order, what each key does on each stop, the focus cue
# as a person sees it, and what a screen reader hears at each stop.
source "$(dirname "$0")/lib.sh" "$@"
focused() { probe acc "$MAIN" "$1" state | grep -q focused && echo yes || echo no; }
checked() { probe acc "$MAIN" "$1" state | grep -q checked && echo yes || echo no; }

start_app
wine "$PROBE" listen 60000 >"$WORK/events" 2>/dev/null &  # its own pid, to end it
LISTENER=$!
for _ in $(seq 1 50); do grep -q listening "$WORK/events" 2>/dev/null && break; sleep 0.1; done

# Started by the mouse (the pointer clicked the program's icon): the cues
# stay hidden, and a click on the box shows none.
shot before
click "$MAIN" 242 206; xdotool mousemove 0 0; sleep 0.3
shot clicked
check "a click ticks the box and shows no focus cue" "yes 0" \
      "$(checked checkbox:保留历史记录) $(changed before clicked)"
click "$MAIN" 242 206; click "$MAIN" 200 104; xdotool mousemove 0 0

# The cycle, in reading order, and back.
CYCLE=("edit:电话号码信息查询结果：" "checkbox:用鼠标获取号码" "checkbox:保留历史记录" "button:确定"
       "button:取消" "link:E-mail:qf@qf.test" "button:窗体最前" "edit:请输入8位电话号码：")
got=""
for who in "${CYCLE[@]}"; do
    key Tab
    [ "$who" = "checkbox:保留历史记录" ] && shot cue
    got="$got$(focused "$who")"
done
check "Tab visits all eight stops in reading order, back to the number box" "yesyesyesyesyesyesyesyes" "$got"
check "the focus on 保留历史记录 shows a dotted cue around it" "yes" \
      "$([ "$(changed clicked cue)" -gt 40 ] && echo yes || echo "no: $(changed clicked cue) pixels")"
got=""
for i in 6 5 4 3 2 1 0 7; do key shift+Tab; got="$got$(focused "${CYCLE[$i]}")"; done
check "Shift+Tab visits them backwards" "yesyesyesyesyesyesyesyes" "$got"

# What each key does where the focus is (from the number box, Tab N times).
type_text "$MAIN" 65251234
stop() { key ctrl+a; local i; for i in $(seq 1 "$1"); do key Tab; done; }
stop 2; key space
check "Space ticks 用鼠标获取号码" "yes" "$(checked checkbox:用鼠标获取号码)"
key space
check "and clears it again" "no" "$(checked checkbox:用鼠标获取号码)"
key Tab; key space
check "Space ticks 保留历史记录 (the history is on)" "yes" "$(checked checkbox:保留历史记录)"
key Return
check "Enter on a check box does nothing" "yes" "$(checked checkbox:保留历史记录)"
key Tab; key Return
check "Enter on 确定 answers" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
check "and the record is written" "yes" "$([ -s "$WORK/app/历史查询纪录.txt" ] && echo yes)"
key shift+Tab; key shift+Tab; key shift+Tab; key shift+Tab; type_text "$MAIN" 55081111
stop 4; key space
check "Space on 确定 answers too" '你所查询电话号码的归属地是：\r\n电信东区：政肃' "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
key Tab; key Tab; key Tab; key Return
check "Enter on the pin keeps the window on top" "topmost=1" "$(probe state "$MAIN" | awk '{print $3}')"
key space
check "Space on it lets go" "topmost=0" "$(probe state "$MAIN" | awk '{print $3}')"
key Tab; key BackSpace; key space
check "Space in the number box is a character there, and nothing else" "[ ] yes no topmost=0" \
      "[$(probe acc "$MAIN" "$INPUT" value)] $(checked checkbox:保留历史记录) $(checked checkbox:用鼠标获取号码) $(probe state "$MAIN" | awk '{print $3}')"

sleep 0.3; kill "$LISTENER" 2>/dev/null; wait "$LISTENER" 2>/dev/null
check "a screen reader hears the focus reach 保留历史记录, with its state" "yes" \
      "$(tr -d '\r' <"$WORK/events" | grep -q '^focus 青枫软件系列 checkbox:保留历史记录 focused,focusable$' && echo yes)"

key shift+Tab; key shift+Tab; key shift+Tab; key space; sleep 0.5
check "Space on 取消 ends the program" "no" "$(probe exists "$MAIN")"
finish
