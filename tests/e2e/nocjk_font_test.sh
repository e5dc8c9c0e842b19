# A system without any Chinese font: the number box still shows the digits
# typed into it, in the system's message font, at the program's height.
# Runs in a Wine prefix of its own whose fonts are the Latin ones alone,
# its message font DejaVu Sans.
source "$(dirname "$0")/lib.sh" "$@"
export WINEPREFIX="$WORK/prefix" FONTCONFIG_FILE="$WORK/fonts.conf"
cat >"$FONTCONFIG_FILE" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$WORK/fontcache</cachedir>
</fontconfig>
CONF
wineboot -i >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
     /v 'MS Shell Dlg' /d 'DejaVu Sans' /f >/dev/null 2>&1
[ "${QF_WINE_MANAGED:-0}" = 1 ] ||
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Stop only this prefix's server, whatever happens.
trap 'wineserver -k 2>/dev/null' EXIT

start_app
type_text "$MAIN" 65251234
check "the digits are in the box" "65251234" "$(probe acc "$MAIN" "$INPUT" value)"
IFS=, read -r l t w h <<<"$(probe acc "$MAIN" "$INPUT" where)"
import -window root "$WORK/shot.png"
ink="$(/usr/bin/convert "$WORK/shot.png" -crop "$((w - 4))x$((h - 4))+$((l + 2))+$((t + 2))" \
       -colorspace gray -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:)"
check "and they show in it (dark pixels: $ink)" "yes" "$([ "$ink" -ge 60 ] && echo yes || echo no)"
cp "$WORK/shot.png" /tmp/qf-nocjk.png 2>/dev/null
finish
