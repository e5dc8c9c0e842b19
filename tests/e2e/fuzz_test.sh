# Other programs, careless or hostile: a seeded message fuzzer sends and
# posts thousands of messages to every window of the program, with history
# ticked, then checks that it answers and that its boxes and history hold
# only what the rules allow; then a user's hands check it: a second start
# brings it forward, Esc closes a notice left open, a click in the number
# box and a typed number with Enter are answered. A crash (its dialog, a
# debugger holding the process) fails, and is ended with the run.
# The seeds: the standing one and every seed that ever found a fault, the
# same on every run. QF_FUZZ_SEED="N ..." runs others (tools/fuzz draws
# fresh ones); QF_FUZZ_STRICT=1 finds the message after which the program
# stops answering.
source "$(dirname "$0")/lib.sh" "$@"
FUZZ="$(dirname "$PROBE")/fuzz.exe"
COUNT="${QF_FUZZ_COUNT:-3000}"
SEEDS="20240611 190292513 340214866 135388014 1612395763 609209100 563662755"
# Wine's debugger, started for a crash of this prefix's program, holds the
# process and its windows: found by the prefix it runs in, ended as ours.
debuggers() {
    local p
    for p in $(ps -eo pid=,args= | awk '/winedbg/ && !/awk/ { print $1 }'); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done
}
answered() { probe acc "$MAIN" "$ANSWER" value --escaped; }
for seed in ${QF_FUZZ_SEED:-$SEEDS}; do
    dir="$WORK/app-$seed"
    start_app "$dir"
    click "$MAIN" 242 206  # 保留历史记录
    check "seed $seed: history ticked" "checked" "$(probe acc "$MAIN" "checkbox:保留历史记录" state | grep -o checked)"
    out="$(timeout 120 wine "$FUZZ" "$MAIN" "$seed" "$COUNT" "$(winepath -w "$dir/历史查询纪录.txt" 2>/dev/null)" ${QF_FUZZ_STRICT:+strict} 2>&1 | tr -d '\r')"
    rc=$?
    echo "$out" | sed 's/^/  /'
    check "seed $seed: every check of the fuzzer holds" "0" "$rc"
    # A second start still finds it and brings it forward, no error box.
    (cd "$dir" && timeout 20 wine jilantong.exe) >/dev/null 2>&1
    check "seed $seed: a second start ends by itself" "0" "$?"
    check "seed $seed: the first copy comes forward, without an error box or a crash" "yes|||" \
          "$(probe ping "$MAIN" 1000)|$(probe msgbox "$MAIN")|$(probe state "$MAIN" | grep -o 'iconic=1')|$(debuggers)"
    # A user's keys and mouse, through the X server.
    if [ "$(probe count "$NOTICE")" = 1 ]; then
        x_keys_on "$NOTICE"; key Escape
        check_soon "seed $seed: Esc closes the notice left open" "0" probe count "$NOTICE"
    fi
    x_keys_on "$MAIN"
    hover "$MAIN" "$INPUT"; xdotool click 1; key ctrl+a; type_text "$MAIN" $'65251234\n'
    check_soon "seed $seed: a click in the number box, a typed number and Enter are answered" \
               '你所查询电话号码的归属地是：\r\n电信东区： 凉城' answered
    stop_app
    for p in $(debuggers); do kill "$p" 2>/dev/null; done
done
finish
