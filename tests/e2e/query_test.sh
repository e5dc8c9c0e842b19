# The query from outside: typing, Enter, the answer and the notice dialog.
source "$(dirname "$0")/lib.sh" "$@"
start_app
check "the window opens with the focus in the input box" "$MAIN|Edit" "$(probe focus)"

type_text "$MAIN" 65251234
enter "$MAIN"
check "Enter answers the exchange" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' \
      "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
check "the input keeps its text" "65251234" "$(probe acc "$MAIN" "$INPUT" value)"

backspace "$MAIN" 8
type_text "$MAIN" 55081111
key alt+Return
check "Alt+Enter answers too" '你所查询电话号码的归属地是：\r\n电信东区：政肃' \
      "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
backspace "$MAIN" 8
type_text "$MAIN" 65251234
enter "$MAIN"

# Empty input: clear the box, press Enter, the notice opens with its text.
backspace "$MAIN" 8
check "the box is empty" "" "$(probe acc "$MAIN" "$INPUT" value)"
enter "$MAIN"
probe wait "$NOTICE" 5000 >/dev/null
check "empty input opens the notice" "1" "$(probe count "$NOTICE")"
check "the notice says the input is wrong" "电话号码输入有误，请重新输入！" "$(probe acc "$NOTICE" "$MESSAGE")"
check "the notice has the focus" "$NOTICE|QfForm" "$(probe focus)"

# Its OK picture closes it.
click "$NOTICE" 120 72
probe gone "$NOTICE" 5000
check "the OK picture closes the notice" "0" "$(probe count "$NOTICE")"

# Letters, then a click on the query picture: the other notice.
click "$MAIN" 125 100
type_text "$MAIN" abc
click "$MAIN" 220 249
probe wait "$NOTICE" 5000 >/dev/null
check "letters open the invalid-number notice" "你所输入的8位电话号码不合法！" \
      "$(probe acc "$NOTICE" "$MESSAGE")"
check "the answer stays" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
click "$NOTICE" 120 72
probe gone "$NOTICE" 5000

# Pinned on top, a bad number still gets a notice the user can see: on the
# screen it covers the main window, which lies under it.
pixel() { import -window root "$WORK/shot.png"; /usr/bin/convert "$WORK/shot.png" -format '%[hex:p{'"$1,$2"'}]' info: | cut -c1-6; }
frame_colour="$(pixel 307 320)"
click "$MAIN" 15 272
check "the pin keeps the window on top" "topmost=1" "$(probe state "$MAIN" | awk '{print $3}')"
click "$MAIN" 200 104
sleep 1  # the pointer rests on the box: its tooltip shows
type_text "$MAIN" $'\n'
probe wait "$NOTICE" 5000 >/dev/null
sleep 0.5
check "the notice shows above the pinned window" "FFFFFF" "$(pixel 307 320)"
check "no tooltip is left standing over the notice" "0" \
      "$(/usr/bin/convert "$WORK/shot.png" -crop 130x13+430+263 -threshold 50% -negate \
         -format '%[fx:round(mean*w*h)]' info:)"
check "where the main window showed its frame before" "ECECEC" "$frame_colour"
check "and it has the focus" "$NOTICE|QfForm" "$(probe focus)"
finish
