# Tray residence with the real program: minimise into the tray, restore with
# the left button, the menu with the mouse, and exit. The menu's access keys
# are left out: under Wine a real keyboard's keys reach Wine's own tray
# window, not the menu.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/tray_lib.sh"

# A stranger's libraries beside the program, under the names of system
# libraries and of what they load in turn: none of them may run, at start,
# in the tray, for the tooltips, the number test or a screen reader.
PLANTED_NAMES="shcore shlwapi version uxtheme dwmapi propsys profapi userenv cryptbase winmm
    imm32 msctf usp10 msimg32 apphelp sspicli secur32 netapi32 wtsapi32 dbghelp setupapi
    cfgmgr32 wintrust crypt32 urlmon wininet comctl32 oleacc ole32 oleaut32"
mkdir -p "$WORK/app"
for n in $PLANTED_NAMES; do cp "$QF_PLANTED" "$WORK/app/$n.dll"; done
start_app
hover "$MAIN" button:窗体最前; sleep 1
type_text "$MAIN" abc; enter
probe wait "$NOTICE" 5000 >/dev/null && key Return
probe tree "$MAIN" >/dev/null
minimise
check "the minimise picture hides the window" "visible=0 iconic=1" "$(state)"
check "an icon is in the tray" "yes" \
      "$(xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null && echo yes || echo no)"

tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
check "a left click on the icon restores the window" "visible=1 iconic=0" "$(state)"
check "restored with the focus" "$MAIN|Edit" "$(probe focus)"
# The keyboard, as the shell passes it on (Wine's tray takes no keys): its
# select (Enter or Space on the icon) restores; its context menu (the menu
# key, Shift+F10) opens at the point the shell names, the icon's corner.
# Version 4 callbacks: the event in lParam's low word, the point in wParam.
minimise
probe send "$MAIN" . "$TRAY_CALLBACK" $((700 << 16 | 300)) 0x401 >/dev/null  # NIN_KEYSELECT
for _ in $(seq 1 30); do [ "$(state)" = "visible=1 iconic=0" ] && break; sleep 0.1; done
check "the keyboard's select on the icon restores the window" "visible=1 iconic=0" "$(state)"
check "with the focus" "$MAIN|Edit" "$(probe focus)"
minimise
probe send "$MAIN" . "$TRAY_CALLBACK" $((500 << 16 | 600)) 0x7B >/dev/null  # WM_CONTEXTMENU
for _ in $(seq 1 30); do menu_open && break; sleep 0.1; done
check "the keyboard's context menu opens at the icon" "600 500" "$(probe menu | awk '{print $1, $2}')"
menu_choose resume
check "its resume restores the window" "visible=1 iconic=0" "$(state)"
# A DPI change while the window is in the tray waits for it to come back.
minimise
probe send "$MAIN" . 0x2E0 $((120 << 16 | 120)) 0x10 >/dev/null  # WM_DPICHANGED, to 125 %
tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
check "a DPI change met in the tray lays the window out when it is back" "449 366 yes" \
      "$(probe state "$MAIN" | cut -d' ' -f6-7) $(IFS=, read -r l t w h <<<"$(probe acc "$MAIN" "$INPUT" where)"; \
         read -r _ _ _ x y ww hh <<<"$(probe state "$MAIN")"; [ $((l + w)) -le $((x + ww)) ] && echo yes || echo no)"
probe send "$MAIN" . 0x2E0 $((96 << 16 | 96)) 0x10 >/dev/null
check "none of 30 libraries planted beside the program ran" "" \
      "$(cd "$WORK/app" && ls -- *.ran 2>/dev/null | tr '\n' ' ')"

# The menu, chosen with the mouse: about tells what the program is and
# knows, and the window stays in the tray; resume restores.
minimise
tray_click 3 menu_open
pointer="$(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/')"
check "a right click opens the menu at the pointer" "$pointer" "$(probe menu | awk '{print $1, $2}')"
menu_choose about
check "about closes the menu" "no" "$(menu_open && echo yes || echo no)"
ABOUT="关于霁岚通"
about_open() { probe msgbox "$ABOUT" >/dev/null; }
for _ in $(seq 1 50); do about_open && break; sleep 0.1; done
# What it must say, from elsewhere than the program: the name and version
# that head the guide, the table's rows and distinct prefixes as its source
# lists them, and the guide's name in the zip.
src="$(dirname "$0")/../.."
heading="$(head -1 "$src/res/guide.txt" | sed 's/ 使用说明$//')"
rows="$(grep -c '^ *{L"' "$src/src/lookup/exchange_data.cpp")"
prefixes="$(grep -o '^ *{L"[^"]*", {[^}]*}' "$src/src/lookup/exchange_data.cpp" | sed 's/.*{//; s/}//' \
    | tr -s ', ' '\n\n' | grep -E '^[0-9]{4}$' | sort -u | wc -l)"
said="$(probe msgbox "$ABOUT")"
has() { grep -qF -- "$1" <<<"$said" && echo yes || echo "no: $1"; }
check "about shows the name and version, $prefixes prefixes, $rows exchanges and the guide" \
      "yes yes yes yes" \
      "$(head -1 <<<"$said" | grep -qxF -- "$heading" && echo yes || echo "no: $heading") $(has "$prefixes 个号码前缀") $(has "$rows 个电话局") $(has "使用说明.txt")"
check "and leaves the window in the tray" "visible=0 iconic=1" "$(state)"
about_gone() { for _ in $(seq 1 50); do about_open || break; sleep 0.1; done; about_open && echo open || echo closed; }
key Return
check "Enter closes it, and the window is still in the tray" "closed visible=0 iconic=1" "$(about_gone) $(state)"
# Chosen again while its box is open (behind other windows, say): that box
# comes forward. A click on it gives it the keys where a window manager
# left them with the tray.
tray_click 3 menu_open && menu_choose about
for _ in $(seq 1 50); do about_open && break; sleep 0.1; done
tray_click 3 menu_open && menu_choose about
boxes="$(xdotool search --onlyvisible --name "^$ABOUT\$" 2>/dev/null)"
check "about again brings the same box forward, not a second one" "1" "$(grep -c . <<<"$boxes")"
X=0 Y=0 WIDTH=0 HEIGHT=0; eval "$(xdotool getwindowgeometry --shell "$(head -1 <<<"$boxes")")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 3)); sleep 0.2; xdotool click 1; sleep 0.3
key Return
check "a click on it and Enter close it" "closed visible=0 iconic=1" "$(about_gone) $(state)"
tray_click 3 menu_open
menu_choose resume
check "resume restores the window" "visible=1 iconic=0" "$(state)"

# Round after round, restored by the left button and by the menu in turn,
# as fast as the tray takes clicks: the window always comes back, and no
# state is left that neither click gets out of.
rounds=0 stuck=0
for i in $(seq 1 12); do
    minimise
    if [ "$(state)" != "visible=0 iconic=1" ]; then stuck=$((stuck + 1)); break; fi
    if [ $((i % 2)) = 0 ]; then
        tray_click 1 '[ "$(state)" = "visible=1 iconic=0" ]'
    else
        tray_click 3 menu_open && menu_choose resume
        for _ in $(seq 1 20); do [ "$(state)" = "visible=1 iconic=0" ] && break; sleep 0.1; done
    fi
    if [ "$(state)" != "visible=1 iconic=0" ]; then stuck=$((stuck + 1)); break; fi
    rounds=$((rounds + 1))
done
check "12 rounds into the tray and back, both ways" "12 0" "$rounds $stuck"

# Exit with a notice open: the notice stays and keeps the program alive.
enter "$MAIN"
probe wait "$NOTICE" 5000 >/dev/null
click "$MAIN" 320 12
tray_click 3 menu_open
menu_choose exit; sleep 0.4
check "exit unloads the main window" "no" "$(probe exists "$MAIN")"
check "the notice stays open" "1" "$(probe count "$NOTICE")"
check "the program still runs" "yes" "$(kill -0 "$APP_PID" 2>/dev/null && echo yes)"
check "no dead icon is left in the tray" "no" \
      "$(xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null && echo yes || echo no)"
click "$NOTICE" 120 72
sleep 1
check "closing the notice ends the program" "no" "$(kill -0 "$APP_PID" 2>/dev/null && echo yes || echo no)"
finish
