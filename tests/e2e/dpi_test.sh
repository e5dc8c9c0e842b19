# The program at 125, 150 and 200 % (120, 144 and 192 DPI): the window and
# the notice take their 96-DPI sizes times DPI / 96, the outline is cut at
# the scaled corners, the pointer finds the scaled pictures, a query
# answers. Runs on a display of its own, large enough for the window at
# 200 %, in a Wine prefix of its own whose DPI it sets (Wine's LogPixels).
# QF_SHOTS, when set, names a folder for a screenshot at each DPI.
if [ -z "${QF_DPI_INNER:-}" ]; then
    # Nothing to check on the desktop pass: skipped (77), not passed.
    [ "${QF_DESKTOP:-0}" = 1 ] && { echo "# DPI checks run on the bare display only"; exit 77; }
    state="$(mktemp -d /tmp/qf-dpi.XXXXXX)"
    QF_DPI_INNER=1 QF_STATE_DIR="$state" QF_SCREEN=1600x1200x24 WINEPREFIX="$state/prefix" \
        "$(dirname "$0")/../../tools/wine-env" bash "$0" "$@"
    rc=$?
    rm -rf "$state"
    exit $rc
fi
source "$(dirname "$0")/lib.sh" "$@"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

near() { # name expected actual: within 2 pixels
    local d=$(($3 - $2))
    check "$1 (${3} px, ${2} expected)" yes "$([ "${d#-}" -le 2 ] && echo yes || echo no)"
}
scaled() { echo $((($1 * DPI + 48) / 96)); }
pixel() { /usr/bin/convert "$SHOT" -format "%[pixel:p{$1,$2}]" info:; }

for DPI in 120 144 192; do
    wineserver -k 2>/dev/null; wineserver -w
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f >/dev/null 2>&1
    start_app
    echo "# at $DPI DPI"
    aware="$(probe awareness "$MAIN")"
    check "$DPI: the program declares itself DPI-aware ($aware)" yes \
        "$([ "$aware" = system ] || [ "$aware" = permonitor ] && echo yes || echo no)"
    read -r _ _ _ X Y W H <<<"$(probe state "$MAIN")"
    near "$DPI: the window's width" "$(scaled 359)" "$W"
    near "$DPI: the window's height" "$(scaled 293)" "$H"

    # The outline: cut 6 pixels at 96 DPI, so the scaled cut leaves the
    # desktop showing where an unscaled one would show the window.
    sleep 0.5
    SHOT="$WORK/shot-$DPI.png"
    import -window root "$SHOT"
    cut=$(scaled 6)
    desk="$(pixel 2 2)"
    check "$DPI: the top-left corner is cut at $cut pixels" "$desk" "$(pixel $((X + 1)) $((Y + cut - 3)))"
    check "$DPI: the top-right corner too" "$desk" "$(pixel $((X + W - 2)) $((Y + cut - 3)))"
    check "$DPI: the window starts beside the cut" yes \
        "$([ "$(pixel $((X + cut + 2)) $((Y + 1)))" != "$desk" ] && echo yes || echo no)"

    # The picture button, found by a screen reader, has its scaled size;
    # the pointer lights it up at its far corner, which lies outside the
    # button's 96-DPI place, and a click there answers the query.
    IFS=, read -r l t w h <<<"$(probe acc "$MAIN" "button:确定" where)"
    near "$DPI: the 确定 picture's width" "$(scaled 70)" "$w"
    type_text "$MAIN" 65251234
    xdotool mousemove $((l + w - 3)) $((t + h - 3)); sleep 0.3
    check "$DPI: the pointer lights up 确定" yes \
        "$(probe acc "$MAIN" "button:确定" state | grep -q hot && echo yes || echo no)"
    [ -n "${QF_SHOTS:-}" ] && mkdir -p "$QF_SHOTS" && import -window root "$QF_SHOTS/hover-$DPI.png"
    xdotool click 1; sleep 0.4
    check "$DPI: a click on it answers" "你所查询电话号码的归属地是：\r\n电信东区： 凉城" \
        "$(probe acc "$MAIN" "$ANSWER" value --escaped)"
    [ -n "${QF_SHOTS:-}" ] && import -window root "$QF_SHOTS/main-$DPI.png"

    # No number: the notice, at its scaled size, closed by Enter.
    key ctrl+a; key BackSpace; enter
    probe wait "$NOTICE" 5000 >/dev/null
    read -r _ _ _ _ _ NW NH <<<"$(probe state "$NOTICE")"
    near "$DPI: the notice's width" "$(scaled 248)" "$NW"
    near "$DPI: the notice's height" "$(scaled 92)" "$NH"
    [ -n "${QF_SHOTS:-}" ] && import -window root "$QF_SHOTS/notice-$DPI.png"
    enter
    check "$DPI: Enter closes the notice" 0 "$(probe count "$NOTICE")"

    # Tab to 保留历史记录: its focus cue shows, in lines as wide as the DPI
    # makes one pixel.
    shot "plain-$DPI"; key Tab; key Tab; key Tab; shot "cue-$DPI"
    n="$(changed "plain-$DPI" "cue-$DPI")"
    check "$DPI: the focus on 保留历史记录 shows its cue ($n pixels)" yes \
        "$([ "$n" -gt $((40 * DPI / 96)) ] && echo yes || echo no)"
    [ -n "${QF_SHOTS:-}" ] && import -window root "$QF_SHOTS/focus-$DPI.png"
    stop_app
done
finish
