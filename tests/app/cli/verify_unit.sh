#!/usr/bin/env bash
# Checks the systemd user unit that "cmake --install" writes: installed into a scratch prefix,
# it lies in <prefix>/lib/systemd/user, its ExecStart runs <prefix>/bin/norvane-cli serve,
# systemd-analyze verify finds nothing wrong with it, and it reloads with SIGHUP, restarts on
# failure and is wanted by the user's default target.
# Usage: verify_unit.sh BUILD_DIR NORVANE_CLI
set -euo pipefail
build="$1"
cli="$2"
command -v systemd-analyze >/dev/null || { echo "verify_unit: systemd-analyze is missing: install the Debian package systemd" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "verify_unit: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" --component systemd >/dev/null || fail "cmake --install failed"
unit="$prefix/lib/systemd/user/norvane-gateway.service"
[ -f "$unit" ] || fail "cmake --install wrote no $unit"
grep -qx "ExecStart=$prefix/bin/norvane-cli serve --foreground" "$unit" || fail "ExecStart does not run $prefix/bin/norvane-cli serve: $(grep ExecStart "$unit")"
grep -qx 'ExecReload=/bin/kill -HUP $MAINPID' "$unit" || fail "ExecReload does not send SIGHUP"
grep -qx 'Restart=on-failure' "$unit" || fail "no Restart=on-failure"
grep -qx 'WantedBy=default.target' "$unit" || fail "not wanted by default.target"

# systemd-analyze wants the program to exist.
mkdir -p "$prefix/bin"
ln -s "$cli" "$prefix/bin/norvane-cli"
output="$(systemd-analyze verify --recursive-errors=no "$unit" 2>&1)" || fail "systemd-analyze: $output"
if [ -n "$output" ]; then
    fail "systemd-analyze: $output"
fi
echo "verify_unit: $(basename "$unit") is sound"
