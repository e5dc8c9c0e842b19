# Other programs, careless or hostile: a seeded message fuzzer sends and
# posts thousands of messages to every window of the program, with history
# ticked, then checks that it answers and that its boxes and history hold
# only what the rules allow. Two runs: a fixed seed, and a fresh one each
# time (both printed; QF_FUZZ_SEED=N replays one run of seed N; QF_FUZZ_STRICT=1 finds the
# message after which the program stops answering).
source "$(dirname "$0")/lib.sh" "$@"
FUZZ="$(dirname "$PROBE")/fuzz.exe"
COUNT="${QF_FUZZ_COUNT:-3000}"
if [ -n "${QF_FUZZ_SEED:-}" ]; then
    seeds="$QF_FUZZ_SEED"
else
    seeds="20240611 $(( $(od -An -N4 -tu4 /dev/urandom) % 2000000000 ))"
fi
for seed in $seeds; do
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
    check "seed $seed: the first copy comes forward, without an error box" "yes||" \
          "$(probe ping "$MAIN" 1000)|$(probe msgbox "$MAIN")|$(probe state "$MAIN" | grep -o 'iconic=1')"
    stop_app
done
finish
