# One instance per executable file: the same file started by another route
# (the other drive letter of the same folder, a linked folder, other letter
# case) ends at once; a copy of the file elsewhere is another program. And
# nothing else keeps it from starting: not another program that holds the
# name the copies share, nor one that answers for them too, nor a frozen copy.
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

EXE_WIN='C:\qf-instance-'$$'\app\jilantong.exe'
for how in "" answer; do
    # The running copy holds the name; so does the squatter, from now on.
    who="a squatter${how:+ answering for the copies}"
    wine "$PROBE" squat "$EXE_WIN" 60000 $how >"$WORK/squat" 2>/dev/null &
    squatter=$!
    for _ in $(seq 1 300); do [ -s "$WORK/squat" ] && break; sleep 0.1; done
    check "$who takes the copies' name" "taken" "$(head -1 "$WORK/squat" | tr -d '\r')"
    stop_app
    (exec wine "$EXE_WIN") >/dev/null 2>&1 &
    APP_PID=$!
    check "a start comes up though $who holds the name" "1" \
          "$(probe wait "$MAIN" 15000 >/dev/null; probe count "$MAIN")"
    check "and a start after it still finds it" "rc=0 windows=1" "$(second "$EXE_WIN")"
    kill "$squatter" 2>/dev/null; wait "$squatter" 2>/dev/null
done

# A copy frozen (after a crash, say) no longer answers: a start goes on.
probe freeze "$MAIN"
(exec wine "$EXE_WIN") >/dev/null 2>&1 &
beside=$!
for _ in $(seq 1 100); do [ "$(probe count "$MAIN")" = 2 ] && break; sleep 0.1; done
check "a start comes up beside a frozen copy" "2" "$(probe count "$MAIN")"
check "and a start after it finds that one" "rc=0 windows=2" "$(second "$EXE_WIN")"
kill "$beside" 2>/dev/null; wait "$beside" 2>/dev/null
for _ in 1 2 3; do probe kill "$MAIN" >/dev/null; done
rm -rf "$DIR"
finish
