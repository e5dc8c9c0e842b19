# The program as a screen reader in another process meets it: the tree of
# the main window and the notice with names, roles and states, presses
# through the same channel, and the change events it hears.
source "$(dirname "$0")/lib.sh" "$@"
start_app "$WORK/app"
sleep 1.2  # the clock's first tick
tree="$(probe tree "$MAIN")"
echo "$tree" | sed 's/^/       /'
# place, role and name of each element, in the order a screen reader lists
# them (the frame's children under its own place); the clock's time as a
# pattern
outline() {
    sed -E 's/^([^ ]+ [^ ]+ "[^"]*").*/\1/; s/[0-9]{4}年[0-9]{1,2}月[0-9]{1,2}日 [0-9]{2}:[0-9]{2}:[0-9]{2}/<clock>/'
}
check "every visible control of the main window, named, in reading order" "$(cat <<'END'
0 client "霁岚通1.0.0829"
1 text "霁岚通1.0.0829"
2 button "最小化"
3 button "关闭"
4 group "归属地查询"
4.1 text "请输入8位电话号码："
4.2 edit "请输入8位电话号码："
4.3 text "电话号码信息查询结果："
4.4 edit "电话号码信息查询结果："
4.5 checkbox "用鼠标获取号码"
4.6 text "用鼠标获取号码"
4.7 checkbox "保留历史记录"
4.8 text "保留历史记录"
5 button "确定"
6 button "取消"
7 link "E-mail:qf@qf.test"
8 button "窗体最前"
9 text "青枫软件系列"
10 text "<clock>"
11 graphic ""
END
)" "$(echo "$tree" | outline)"
check "the input box has the focus" "focused,focusable" "$(probe acc "$MAIN" "$INPUT" state)"
check "the link says where it leads" "mailto:qf@qf.test" "$(probe acc "$MAIN" "link:*" value)"

wine "$PROBE" listen 60000 >"$WORK/events" 2>/dev/null &  # its own pid, to end it
LISTENER=$!
for _ in $(seq 1 50); do grep -q listening "$WORK/events" 2>/dev/null && break; sleep 0.1; done

probe press "$MAIN" "checkbox:保留历史记录"; sleep 0.3
check "pressing the history box ticks it" "checked,focusable" "$(probe acc "$MAIN" "checkbox:保留历史记录" state)"
check "then it offers to clear it" "清除" "$(probe acc "$MAIN" "checkbox:保留历史记录" action)"
type_text "$MAIN" 65251234
probe press "$MAIN" "button:确定"; sleep 0.3
check "pressing the query button answers" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' \
      "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
check "and the record is written" "yes" "$([ -s "$WORK/app/历史查询纪录.txt" ] && echo yes)"
hover "$MAIN" "button:窗体最前"
check "the hint line reads the pin's hint" "窗体最前/普通窗体" "$(probe acc "$MAIN" "$HINT")"
hover "$MAIN" "button:确定"
check "the button under the pointer reads as hot" "hot,focusable" "$(probe acc "$MAIN" "button:确定" state)"

backspace "$MAIN" 8
probe press "$MAIN" "button:确定"
probe wait "$NOTICE" 5000 >/dev/null
check "the notice, read whole" "$(cat <<'END'
0 client "电话号码输入有误，请重新输入！"
1 text "电话号码输入有误，请重新输入！"
2 button "确定"
3 graphic ""
END
)" "$(probe tree "$NOTICE" | outline)"
probe tree "$NOTICE" | sed 's/^/       /'
probe press "$NOTICE" "button:确定"
probe gone "$NOTICE" 5000
check "pressing the notice's OK closes it" "0" "$(probe count "$NOTICE")"

sleep 0.5; kill "$LISTENER" 2>/dev/null; wait "$LISTENER" 2>/dev/null
heard="$(tr -d '\r' <"$WORK/events")"
count() { echo "$heard" | grep -c "^$1\$"; }
check "another process hears the box ticked" "yes" "$([ "$(count "statechange 青枫软件系列 checkbox:保留历史记录")" -ge 1 ] && echo yes)"
check "it hears the answer change" "yes" "$([ "$(count "valuechange 青枫软件系列 edit:电话号码信息查询结果：")" -ge 1 ] && echo yes)"
check "it hears the hint line change" "yes" "$([ "$(count "namechange 青枫软件系列 text:窗体最前/普通窗体")" -ge 1 ] && echo yes)"
check "it hears the notice come up with its message" "1 1" \
      "$(count "show 霁岚通 text:电话号码输入有误，请重新输入！") $(count "alert 霁岚通 text:电话号码输入有误，请重新输入！")"
check "it hears no clock tick" "0" "$(echo "$heard" | grep -c '^namechange 青枫软件系列 text:.*年')"

probe press "$MAIN" "button:最小化"; sleep 0.5
check "pressing the minimise button hides the window into the tray" "visible=0 iconic=1" \
      "$(probe state "$MAIN" | cut -d' ' -f1-2)"
finish
