#!/usr/bin/env bash
# Try the program without a telephone system: build what is missing, start the main unit
# stand-in with demo boxes on a free loopback port, and start orven with a settings file of
# its own that already holds that log-in, so pressing "ログイン" is enough. The user's own
# settings and data are never touched; everything made here is removed when orven ends.
set -euo pipefail

# The settings file as orven writes its own: UTF-16LE with a byte order mark and CRLF line
# ends, so that a name orven stores in it later keeps every character.
# With DATA, the download folder DATA/demo is the one the window opens.
write_settings() {  # FILE PORT [DATA]
    local lines='[LOGIN]\r\nIP=127.0.0.1\r\nUSER=maint\r\nPASS=zuka\r\nCHECK=1\r\nPORT=%s\r\n'
    if [[ -n "${3:-}" ]]; then
        lines+='[FOLDER]\r\nFOLDER=%s/\r\n[DISP]\r\nFOLDERNAME=demo\r\n'
    fi
    (
        umask 077  # it holds a password
        {
            printf '\xff\xfe'
            # shellcheck disable=SC2059  # the format is the file's lines
            printf "$lines" "$2" "${3:-}" | iconv -f UTF-8 -t UTF-16LE
        } >"$1"
    )
}

# --write-settings FILE PORT [DATA]: write only that settings file (the tests read it back).
if [[ "${1:-}" == "--write-settings" ]]; then
    write_settings "$2" "$3" "${4:-}"
    exit 0
fi

cd "$(dirname "$0")/.."
build=${ORVEN_BUILD_DIR:-build}

scripts/setup-debian.sh --demo

if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target orven orven-mainunit

work=$(mktemp -d "${TMPDIR:-/tmp}/orven-demo.XXXXXX")
server_pid=""
cleanup() {
    if [[ -n "$server_pid" ]]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A high port nobody answers on; should the stand-in still fail to bind it, try another.
mkdir -p "$work/mainunit" "$work/home" "$work/data/demo"
for _ in 1 2 3 4 5 6 7 8 9 10; do
    port=$((20000 + RANDOM % 40000))
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        continue
    fi
    "$build/orven-mainunit" --root "$work/mainunit" --port "$port" --address 127.0.0.1 --demo &
    server_pid=$!
    sleep 0.5
    if kill -0 "$server_pid" 2>/dev/null; then
        break
    fi
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
done
if [[ -z "$server_pid" ]]; then
    echo "demo: could not start the main unit stand-in" >&2
    exit 1
fi

write_settings "$work/home/ORVEN.ini" "$port" "$work/data"

echo "main unit stand-in on 127.0.0.1:$port (user maint, password zuka)"
ORVEN_HOME="$work/home" "$build/orven"
