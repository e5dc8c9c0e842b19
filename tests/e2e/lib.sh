# Shared helpers for the end-to-end tests: the real program, driven with
# xdotool on the virtual display and read back exactly with the probe.
# Sourced by each *_test.sh, which get: $1 the exe, $2 the probe (Linux
# paths); QF_E2E_EXE, when set, names the program under test instead (the
# test command sets it to the shipped build).
set -uo pipefail
EXE_SRC="${QF_E2E_EXE:-$1}"
PROBE="$2"
echo "# the program under test: $EXE_SRC ($(stat -c %s "$EXE_SRC" 2>/dev/null) bytes)"
MAIN="青枫软件系列"
NOTICE="霁岚通"
PASS=0
FAIL=0
APP_PID=
WORK="$(mktemp -d /tmp/qf-e2e.XXXXXX)"

probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# What a screen reader reads of the program, for `probe acc TITLE WHO`: the
# boxes by their labels' names; the clock by the shape of its text, the
# hint line by its tip (its description); the windows by their own names
# (the main window's title, the notice's message). Never by position.
INPUT='edit:请输入8位电话号码：'
ANSWER='edit:电话号码信息查询结果：'
CLOCK='text:*年*月*日 ??:??:??'
TITLE_LINE='.'
HINT='text~青枫软件系列：小巧、免费的桌面工具，欢迎来信交流'
MESSAGE='.'  # the notice's

# Moves the pointer to the middle of an element a screen reader locates.
hover() { # title who
    local l t w h
    IFS=, read -r l t w h <<<"$(probe acc "$1" "$2" where)"
    xdotool mousemove $((l + w / 2)) $((t + h / 2))
    sleep 0.3
}

check() { # name expected actual
    if [ "$2" == "$3" ]; then
        PASS=$((PASS + 1)); echo "ok   - $1"
    else
        FAIL=$((FAIL + 1)); echo "FAIL - $1"; echo "       expected: [$2]"; echo "       actual:   [$3]"
    fi
}

# Starts a copy of the program in a folder of its own (its history file goes
# there) and waits for its window. APP_ENV: settings for the program's own
# Wine process only (NAME=VALUE ...).
start_app() {
    local dir="${1:-$WORK/app}"
    mkdir -p "$dir"
    cp "$EXE_SRC" "$dir/jilantong.exe"
    (cd "$dir" && exec env ${APP_ENV:-} wine jilantong.exe) >/dev/null 2>&1 &
    APP_PID=$!
    probe wait "$MAIN" 15000 >/dev/null
    # Keys typed before the window has the X focus would go elsewhere.
    local w _; w="$(xid "$MAIN")"
    for _ in $(seq 1 30); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$w" ] && break; sleep 0.1; done
}

stop_app() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    wait "$APP_PID" 2>/dev/null
    APP_PID=
    # The Windows process is not always the launcher's own, and a copy
    # started while it lives would end as the second copy: make sure it is
    # gone, asking it to close first, as a user would.
    local _
    for _ in $(seq 1 10); do [ "$(probe exists "$MAIN")" = no ] && return; sleep 0.1; done
    probe sendclose "$MAIN" >/dev/null
    for _ in $(seq 1 20); do [ "$(probe exists "$MAIN")" = no ] && return; sleep 0.1; done
    for _ in $(seq 1 50); do
        [ "$(probe exists "$MAIN")" = no ] && return
        probe kill "$MAIN" >/dev/null
        sleep 0.1
    done
}

# A check that waits for the program: the command's output is read again
# until it is the expected one, for at most 3 s; a busy machine is slow,
# not wrong.
check_soon() { # name expected command...
    local name="$1" want="$2" got _
    shift 2
    for _ in $(seq 1 30); do
        got="$("$@")"
        [ "$got" == "$want" ] && break
        sleep 0.1
    done
    check "$name" "$want" "$got"
}

xid() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
# Waits (5 s at most) until the window of that title has the X focus: real
# keys go there.
x_keys_on() { local w _; w="$(xid "$1")"; for _ in $(seq 1 50); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$w" ] && return; sleep 0.1; done; }

click() { # title x y [button]
    # Let the program see the pointer arrive before the button goes down.
    xdotool mousemove --window "$(xid "$1")" "$2" "$3"
    sleep 0.15
    xdotool click "${4:-1}"
    sleep 0.3
}

# Keys are real keys: xdotool sends them through the X server to the window
# that has the X focus, as a keyboard does (the title names the window
# expected to have it).
type_text() { # title text (a line break is the Return key)
    local rest="$2" part
    while [ -n "$rest" ]; do
        part="${rest%%$'\n'*}"
        [ -n "$part" ] && xdotool type --delay 40 -- "$part"
        [ "$part" = "$rest" ] && break
        xdotool key Return
        rest="${rest#*$'\n'}"
    done
    sleep 0.3
}

enter() { xdotool key Return; sleep 0.3; }
key() { xdotool key "$@"; sleep 0.3; }

backspace() { # title count
    xdotool key --delay 30 --repeat "$2" BackSpace
    sleep 0.2
}

# The focus cue around 保留历史记录 (box and label), as the screen shows it:
# pixels that change on the label's part of it between two screenshots.
cue_area() {
    local bl bt bw bh ll lt lw lh top bottom
    IFS=, read -r bl bt bw bh <<<"$(probe acc "$MAIN" "checkbox:保留历史记录" where)"
    IFS=, read -r ll lt lw lh <<<"$(probe acc "$MAIN" "text:保留历史记录" where)"
    top=$((bt < lt ? bt : lt)); bottom=$((bt + bh > lt + lh ? bt + bh : lt + lh))
    echo "$((lw + 4))x$((bottom - top + 8))+$((ll + 2))+$((top - 4))"
}
shot() { import -window root "$WORK/$1.png"; }
changed() { compare -metric AE -crop "$(cue_area)" "$WORK/$1.png" "$WORK/$2.png" null: 2>&1 | cut -d' ' -f1; }

finish() {
    stop_app
    rm -rf "$WORK"
    echo "$PASS passed, $FAIL failed"
    # A script that checked nothing stopped short somewhere: it does not pass.
    [ "$FAIL" -eq 0 ] && [ "$PASS" -gt 0 ]
    exit $?
}
