# The history file from outside: tick the box with a real click, query with
# the keyboard, read the bytes; then a history file on a full device.
source "$(dirname "$0")/lib.sh" "$@"
FILE_NAME="历史查询纪录.txt"
rec() { printf '%s.\xbc\xc7\xc2\xbc   \r\n%s\r\n------------------------------\r\n' "$1" "$2"; }

start_app "$WORK/app"
check "start-up creates no history file" "no" "$([ -e "$WORK/app/$FILE_NAME" ] && echo yes || echo no)"
click "$MAIN" 242 206          # the history check box
check "a click ticks the box and leaves the keys in the number box" "checked,focusable" "$(probe acc "$MAIN" "checkbox:保留历史记录" state)"
type_text "$MAIN" $'65251234\n'
backspace "$MAIN" 8; type_text "$MAIN" $'5508\n'
backspace "$MAIN" 4; type_text "$MAIN" $'5508\n'
backspace "$MAIN" 4; type_text "$MAIN" $'65251234\n'
check "the answer is on screen" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
check "three records, the repeat left out, exact bytes" \
      "$( (rec 0 65251234; rec 1 5508; rec 2 65251234) | od -An -tx1 | tr -d ' \n')" \
      "$(od -An -tx1 "$WORK/app/$FILE_NAME" 2>/dev/null | tr -d ' \n')"

# Text put into the number box by another program keeps the record layout:
# one line, at most eight characters.
probe settext "$MAIN" "$INPUT" '6525\n'
check "a line break sent from outside is cut off" "6525" "$(probe acc "$MAIN" "$INPUT" value)"
type_text "$MAIN" $'\n'
probe settext "$MAIN" "$INPUT" "$(printf '5%.0s' $(seq 1 300))"
check "an overlong text sent from outside is cut to eight" "55555555" "$(probe acc "$MAIN" "$INPUT" value)"
click "$MAIN" 220 249
# A tab sent from outside is a blank, as one typed is; a number pasted with
# its partings is logged as the digits queried.
probe settext "$MAIN" "$INPUT" $'\t6525123'
type_text "$MAIN" $'\n'
probe clip "5508-1111"; key ctrl+a; key ctrl+v; enter
check "the records stay three lines each" \
      "$( (rec 0 65251234; rec 1 5508; rec 2 65251234; rec 3 6525; rec 4 55555555; rec 5 ' 6525123'
           rec 6 55081111) | od -An -tx1 | tr -d ' \n')" \
      "$(od -An -tx1 "$WORK/app/$FILE_NAME" 2>/dev/null | tr -d ' \n')"
stop_app

# A last line written by hand without its line break: the next record
# starts on a line of its own, and nothing else in the file changes.
mkdir -p "$WORK/note"
printf 'my own note' >"$WORK/note/$FILE_NAME"
start_app "$WORK/note"
click "$MAIN" 242 206
click "$MAIN" 200 104
type_text "$MAIN" $'6525\n'
check "a record after a last line without its break starts on a line of its own" \
      "$( (printf 'my own note\r\n'; rec 0 6525) | od -An -tx1 | tr -d ' \n')" \
      "$(od -An -tx1 "$WORK/note/$FILE_NAME" 2>/dev/null | tr -d ' \n')"
stop_app

# A history file on a full device: the program stays, says so, and counts
# nothing, so the next query tries again.
mkdir -p "$WORK/full"
ln -s /dev/full "$WORK/full/$FILE_NAME"
start_app "$WORK/full"
click "$MAIN" 242 206
click "$MAIN" 200 104
type_text "$MAIN" $'55081111\n'
probe wait "$NOTICE" 5000 >/dev/null
check "a full disk opens the notice" "历史记录无法写入，本次查询未被记录！" "$(probe acc "$NOTICE" "$MESSAGE")"
check "the answer is still shown" '你所查询电话号码的归属地是：\r\n电信东区：政肃' "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
check "the program goes on" "1" "$(probe count "$MAIN")"
finish
