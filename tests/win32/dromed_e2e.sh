#!/usr/bin/env bash
# korvane-cli's DromEd commands end to end under Wine: starts the test DromEd with one client
# size, drives it with the Windows korvane-cli and checks the answers, the exit statuses and the
# command lines the test DromEd logged.
#
#   dromed_e2e.sh KORVANE-CLI.EXE TEST-DROMED.EXE WIDTHxHEIGHT
#
# Exit status 77 (skipped) when there is no Wine desktop on this machine.
set -u

cli="$1"; dromed="$2"; size="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
if ! desktop="$("$root/scripts/wine-desktop.sh")"; then
    echo "SKIP: no Wine desktop (needs wine64, xvfb, x11-xserver-utils; scripts/install-deps.sh)"
    exit 77
fi
eval "$desktop"

work="$PWD/e2e-$size"
rm -rf "$work" && mkdir -p "$work"
log="$work/dromed.log"
failures=0
seen=1 # log lines already checked; the first is "# ready"

fail() { echo "FAIL [$size]: $*"; failures=$((failures + 1)); }

# expect STATUS OUTPUT ARGS...: runs "korvane-cli dromed ARGS" and compares its exit status and
# its standard output ("*" leaves the output unchecked).
expect() {
    local want_status="$1" want_out="$2"; shift 2
    local out status
    out="$(wine "$cli" dromed "$@" 2>"$work/stderr")"
    status=$?
    out="${out//$'\r'/}"
    if [ "$status" != "$want_status" ]; then
        fail "dromed $* exited with $status, expected $want_status ($(tr -d '\r' <"$work/stderr"))"
    elif [ "$want_out" != "*" ] && [ "$out" != "$want_out" ]; then
        fail "dromed $* printed '$out', expected '$want_out'"
    fi
}

# logged LINE...: the lines the test DromEd logged since the last check are exactly these.
logged() {
    local want=$(( seen + $# )) lines=()
    for _ in $(seq 50); do
        [ "$(wc -l <"$log")" -ge "$want" ] && break
        sleep 0.1
    done
    mapfile -t lines < <(tail -n +"$((seen + 1))" "$log" | tr -d '\r')
    seen=$(( seen + ${#lines[@]} ))
    if [ "${lines[*]}" != "$*" ]; then
        fail "DromEd received [$(printf '%s|' "${lines[@]}")], expected [$(printf '%s|' "$@")]"
    fi
}

wine "$dromed" --size "$size" --log "$(winepath -w "$log")" </dev/null >"$work/dromed.out" 2>&1 &
dromed_pid=$!
trap 'kill "$dromed_pid" 2>/dev/null' EXIT
for _ in $(seq 300); do
    grep -qs "^# ready" "$log" && break
    sleep 0.1
done
grep -qs "^# ready" "$log" || { echo "FAIL [$size]: the test DromEd did not start"; exit 1; }

tab=$'\t'
# The selection of every kind, read from the brush panel.
expect 0 "O${tab}7${tab}5${tab}Guard (5)" selection
for row in "1|T${tab}1${tab}0${tab}Terrain" "3|L${tab}3${tab}0${tab}Light" \
           "4|A${tab}4${tab}0${tab}Upper Hall" "9|F${tab}9${tab}0${tab}Flow" \
           "12|R${tab}12${tab}20${tab}Kitchen (20)"; do
    expect 0 "" select-brush "${row%%|*}"
    expect 0 "${row#*|}" selection
done
logged "brush_select 1" "brush_select 3" "brush_select 4" "brush_select 9" "brush_select 12"

# DromEd's refusals, and the status bar as text.
expect 1 "" select-brush 99
expect 0 "No brush 99" read-field StatusMessage
expect 0 "test.mis" read-field statusfile
expect 0 "" select-object 31
expect 0 "O${tab}15${tab}31${tab}Lever (31)" selection
expect 1 "" select-object 77
expect 0 "" link 5 31 ControlDevice --verify
expect 1 "" link 5 77 ControlDevice --verify
logged "brush_select 99" "obj_brush_select 31" "obj_brush_select 77" \
       "link_objs 5 31 ControlDevice" "link_objs 5 77 ControlDevice"

# Camera and renumbering: brush 15 is the seventh brush, and is brush 7 once compressed.
expect 0 "" camera --unroll --level
expect 0 "" compress
expect 1 "" select-brush 15
expect 0 "" select-brush 7
expect 0 "O${tab}7${tab}31${tab}Lever (31)" selection
logged cam_to_brush cam_unroll cam_level compress_br_ids "brush_select 15" "brush_select 7"

# A dialog of either kind (owned overlapped, owned popup) is closed by the next command.
expect 0 "" send "edit_obj 5"
expect 0 "" select-brush 4
expect 0 "" send "edit_links 5,0,0"
expect 0 "" load 'C:\Missions\Mine (2).MIS'
expect 0 "mine (2).mis" read-field StatusFile
logged "edit_obj 5" "# opened Object 5" "# closed Object 5" "brush_select 4" \
       "edit_links 5,0,0" "# opened edit_links 5,0,0" "# closed edit_links 5,0,0" \
       'load_file "c:/missions/mine (2).mis"'

# DromEd gone.
kill "$dromed_pid"
wait "$dromed_pid" 2>/dev/null
for _ in $(seq 50); do
    out="$(wine "$cli" dromed selection 2>/dev/null)"
    [ $? = 2 ] && break
    sleep 0.1
done
expect 2 "" selection
expect 2 "" send "cam_to_brush"

if [ "$failures" != 0 ]; then
    echo "$failures check(s) failed at $size"
    exit 1
fi
echo "all checks passed at $size"
