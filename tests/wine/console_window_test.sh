#!/usr/bin/env bash
# The real ejectrac.exe builds under Wine at a console rather than a file:
# run in a pseudo-terminal, Wine gives the program a console, whose output
# code page console_cp_driver.exe switches to UTF-8 (chcp 65001) before it
# starts ejectrac in it. Code page 932 bytes would show as garbage there;
# the text reads right only when it reaches the console as UTF-16.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

fresh_prefix
work=$(mktemp -d /tmp/ejectra-console-window.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT

# What the console showed, its cursor and erase sequences, blanks and line
# ends removed (the console draws a blank as an erase and a cursor step).
shown() { sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$1" | tr -d ' \r\n'; }

expected=$(printf '%s\n' 'Ejectra (Console) Version 1.10' \
  'Copyright (C) 2026 Lumenfold. All rights reserved.' "$sample_listing" | tr -d ' \n')

for arch in x86 x64; do
  build=$root/build/windows-$arch
  dir=$work/$arch
  mkdir -p "$dir"
  install_sample_machine "$dir" "$build"
  cp "$build/tests/console_cp_driver.exe" "$dir/"
  timeout 120 script -qec "wine '$dir/console_cp_driver.exe' '$(winpath "$dir/ejectrac.exe")' /L" \
    /dev/null </dev/null >"$dir/tty" 2>&1
  code=$?
  expect_eq "$arch: /L at a UTF-8 console: banner and list read right (exit $code)" \
    "$expected|0" "$(shown "$dir/tty")|$code"
done

echo "console window: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
