# The program under the Windows versions Wine reports for it: Windows XP,
# 7 and 10. It starts, answers a query, goes into the tray and back, and
# names the platform it runs on in the hint line while the pointer is over
# it. The shipped build is checked the same way, from outside, as a
# screen reader reads it.
#   versions.sh EXE PROBE RELEASE_EXE   (inside tools/wine-env)
RELEASE="$3"
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/tray_lib.sh"
KEY='HKCU\Software\Wine\AppDefaults\jilantong.exe'
trap 'wine reg delete "$KEY" /f >/dev/null 2>&1' EXIT

# Wine 8's "win7" reports a server's product type: the name is what the
# system reports.
for v in "winxp:你的操作平台是Windows XP" "win7:你的操作平台是Windows Server 2008 R2" "win10:你的操作平台是Windows 10"; do
    ver="${v%%:*}" line="${v#*:}"
    wine reg add "$KEY" /v Version /d "$ver" /f >/dev/null 2>&1
    for build in "development" "shipped"; do
        if [ "$build" = shipped ]; then EXE_SRC="$RELEASE" start_app; else start_app; fi
        check "$ver, $build build: the window opens" "1" "$(probe count "$MAIN")"
        hover "$MAIN" "$HINT"
        check "$ver, $build build: the platform line" "$line" "$(probe acc "$MAIN" "$HINT")"
        type_text "$MAIN" $'65251234\n'
        check "$ver, $build build: Enter answers" '你所查询电话号码的归属地是：\r\n电信东区： 凉城' \
              "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
        minimise
        check "$ver, $build build: into the tray" "visible=0 iconic=1" "$(state)"
        tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
        check "$ver, $build build: and back" "visible=1 iconic=0" "$(state)"
        # The menu key on the icon, as the shell passes it on: XP's version
        # 3 callbacks name no point, and the menu opens at the pointer;
        # later ones open it at the icon's corner the shell names.
        minimise
        probe send "$MAIN" . "$TRAY_CALLBACK" $((500 << 16 | 600)) 0x7B >/dev/null  # WM_CONTEXTMENU
        for _ in $(seq 1 30); do menu_open && break; sleep 0.1; done
        if [ "$ver" = winxp ]; then
            at="at the pointer"; want="$(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/')"
        else
            at="at the icon"; want="600 500"
        fi
        check "$ver, $build build: the keyboard's menu opens $at" "$want" "$(probe menu | awk '{print $1, $2}')"
        menu_choose resume
        check "$ver, $build build: its resume restores" "visible=1 iconic=0" "$(state)"
        stop_app
    done
done
wine reg delete "$KEY" /f >/dev/null 2>&1
finish
