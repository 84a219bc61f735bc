#!/usr/bin/env bash
# Checks the shipped systemd user unit: systemd-analyze verify finds nothing wrong with it (with
# ExecStart pointed at the built norvane-cli), and it runs "serve", reloads with SIGHUP,
# restarts on failure and is wanted by the user's default target.
# Usage: verify_unit.sh UNIT_FILE NORVANE_CLI
set -euo pipefail
unit="$1"
command -v systemd-analyze >/dev/null || { echo "verify_unit: systemd-analyze is missing: install the Debian package systemd" >&2; exit 1; }
cli="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "verify_unit: $*" >&2; exit 1; }

grep -qx 'ExecStart=/usr/local/bin/norvane-cli serve --foreground' "$unit" || fail "ExecStart does not run serve"
grep -qx 'ExecReload=/bin/kill -HUP $MAINPID' "$unit" || fail "ExecReload does not send SIGHUP"
grep -qx 'Restart=on-failure' "$unit" || fail "no Restart=on-failure"
grep -qx 'WantedBy=default.target' "$unit" || fail "not wanted by default.target"

sed "s|^ExecStart=/usr/local/bin/norvane-cli |ExecStart=$cli |" "$unit" >"$work/norvane-gateway.service"
output="$(systemd-analyze verify --recursive-errors=no "$work/norvane-gateway.service" 2>&1)" || fail "systemd-analyze: $output"
if [ -n "$output" ]; then
    fail "systemd-analyze: $output"
fi
echo "verify_unit: $(basename "$unit") is sound"
