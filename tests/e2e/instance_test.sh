# One instance per executable file: the same file started by another route
# (the other drive letter of the same folder, a linked folder, other letter
# case) ends at once; a copy of the file elsewhere is another program.
source "$(dirname "$0")/lib.sh" "$@"
: "${WINEPREFIX:?run inside tools/wine-env}"
DIR="$WINEPREFIX/drive_c/qf-instance-$$"
mkdir -p "$DIR/app" "$WORK/copy"
cp "$EXE_SRC" "$DIR/app/jilantong.exe"
cp "$EXE_SRC" "$WORK/copy/jilantong.exe"
ln -s "$DIR/app" "$WORK/linked"

(exec wine 'C:\qf-instance-'$$'\app\jilantong.exe') >/dev/null 2>&1 &
APP_PID=$!
probe wait "$MAIN" 15000 >/dev/null
check "started through drive C:" "1" "$(probe count "$MAIN")"

second() { # path: a second start must end by itself, leaving one window
    timeout 20 wine "$1" >/dev/null 2>&1
    local rc=$?
    sleep 0.5
    echo "rc=$rc windows=$(probe count "$MAIN")"
}
check "the same file through drive Z: ends at once" "rc=0 windows=1" \
      "$(second "Z:$(echo "$DIR/app/jilantong.exe" | tr / '\\')")"
check "the same file through a linked folder ends at once" "rc=0 windows=1" \
      "$(second "Z:$(echo "$WORK/linked/jilantong.exe" | tr / '\\')")"
check "the same file in other letter case ends at once" "rc=0 windows=1" \
      "$(second 'C:\QF-INSTANCE-'$$'\APP\JILANTONG.EXE')"

(cd "$WORK/copy" && exec wine jilantong.exe) >/dev/null 2>&1 &
copy=$!
for _ in $(seq 1 50); do [ "$(probe count "$MAIN")" = 2 ] && break; sleep 0.2; done
check "a copy of the file elsewhere is another program" "2" "$(probe count "$MAIN")"
kill "$copy" 2>/dev/null; wait "$copy" 2>/dev/null
rm -rf "$DIR"
finish
