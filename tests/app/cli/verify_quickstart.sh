#!/usr/bin/env bash
# Checks the README as a new user meets it, as far as a test can:
# - every command line in its examples that holds an address with "!" quotes it in single
#   quotes (in double quotes an interactive bash takes "!1234" as a history reference);
# - the Quick start's first page, run as written in an interactive bash with a fresh home and
#   an empty settings store, arrives at the local SNPP test server. Only the port (a free one
#   instead of 4444) and the program's path (the built norvane-cli instead of a release build)
#   differ, and the test waits until the server listens before the send.
# Usage: verify_quickstart.sh SOURCE_DIR NORVANE_CLI
set -euo pipefail
src="$1"
cli="$2"
readme="$src/README.md"
fail() { echo "verify_quickstart: $*" >&2; exit 1; }

# 1. Addresses with "!" outside single quotes on command lines of the examples.
bad="$(awk '
    /^```/ { inside = !inside; next }
    inside && /^(\$ )?(sudo )?(norvane-cli|scripts\/|build-release\/|[a-z].*\| *norvane-cli)/ {
        line = $0
        gsub(/'"'"'[^'"'"']*'"'"'/, "", line)   # single-quoted parts are safe
        sub(/[ \t]+#.*$/, "", line)             # comments
        if (line ~ /!/) print NR ": " $0
    }' "$readme")"
[ -z "$bad" ] || fail "addresses with \"!\" not in single quotes:
$bad"

# 2. The Quick start's first page.
block="$(awk '
    /^## / { quick = ($0 == "## Quick start") }
    quick && /^```/ { if (inside) { if (found) exit; body = "" } inside = !inside; next }
    quick && inside { body = body $0 "\n"; if ($0 ~ /snpp-test-server/) found = 1 }
    END { if (found) printf "%s", body }' "$readme")"
[ -n "$block" ] || fail "the Quick start has no first page to scripts/snpp-test-server"
grep -q "snpp-test-server 4444" <<<"$block" || fail "the Quick start's test server does not name port 4444"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
port="$(perl -MIO::Socket::INET -e 'print IO::Socket::INET->new(Listen => 1, LocalAddr => "127.0.0.1:0")->sockport')"
mkdir -p "$work/home" "$work/cwd"
script=""
while IFS= read -r line; do
    line="${line//4444/$port}"
    line="${line//build-release\/app\/cli\/norvane-cli /$cli }"
    line="${line//scripts\//$src/scripts/}"
    script+="$line"$'\n'
    if [[ "$line" == *snpp-test-server* ]]; then
        # Listening (state 0A in the kernel's table), without a probe connection.
        hexport="$(printf '%04X' "$port")"
        script+="for i in \$(seq 100); do grep -q ':$hexport 00000000:0000 0A' /proc/net/tcp && break; sleep 0.1; done"$'\n'
    fi
done <<<"$block"
script+=$'sleep 0.5\nkill %1\nwait\n'

(cd "$work/cwd" && env HOME="$work/home" XDG_DATA_HOME= XDG_CONFIG_HOME= NORVANE_REGISTRY= \
    timeout 60 bash --norc -i <<<"$script" >"$work/out" 2>&1) || true
grep -qx "page for 1234: Hello" "$work/out" || fail "no page arrived; the session was:
$(cat "$work/out")"
[ -f "$work/home/.config/norvane/registry.reg" ] || fail "no settings store in the fresh home"
[ -f "$work/home/.local/share/norvane/data/ndlog.dat" ] || fail "no log in the data folder"
[ -z "$(ls -A "$work/cwd")" ] || fail "files landed in the working folder: $(ls -A "$work/cwd")"
echo "verify_quickstart: the README's first page arrives"
