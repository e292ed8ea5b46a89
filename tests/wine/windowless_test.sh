#!/usr/bin/env bash
# Ejectra.exe, the tool that speaks only in message boxes, run under Wine on
# a virtual X display: for each case, box_reader.exe reads every box the tool
# shows (caption and whole text) and answers it with OK, a relay trace of
# USER32.MessageBoxW gives each box's style, and the exit code is checked.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

source "$root/tests/wine/lib.sh"
run_in_xvfb "$@"

build=$root/build/windows-x86
if [ ! -f "$build/tests/box_reader.exe" ]; then
  fail "box_reader.exe is built (build/windows-x86/tests)"
  echo "windowless: $passed passed, $failed failed"
  exit 1
fi
fresh_prefix
work=$(mktemp -d /tmp/ejectra-windowless.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null; wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
cp "$build/tests/box_reader.exe" "$work/"

stop_file=$(winpath "$work")\\stop

# run_tool FOLDER ARGUMENTS...: runs FOLDER/Ejectra.exe while box_reader
# answers its boxes. Sets status (the exit code, 124 if it had to be stopped
# after 60 s) and boxes: one line per box, in order,
# "caption<TAB>style<TAB>icon<TAB>text", the style from the relay trace, the
# rest from box_reader.
run_tool() {
  local folder=$1
  shift
  rm -f "$work/stop" "$work/boxes" "$work/relay"
  timeout 60 wine "$work/box_reader.exe" 30 "$stop_file" >"$work/boxes" 2>/dev/null &
  local reader=$!
  WINEDEBUG=+relay timeout 60 wine "$folder/Ejectra.exe" "$@" 2>"$work/relay"
  status=$?
  touch "$work/stop"
  wait "$reader"
  # The relay line: Call user32.MessageBoxW(owner,text,caption,style) ret=...
  # The text may be cut, but the style is always the last argument.
  local styles
  styles=$(sed -n 's/^.*:Call user32\.MessageBoxW(.*,\([0-9a-fA-F]\{8\}\)) ret=.*$/\1/p' "$work/relay" |
    while read -r hex; do printf '0x%x\n' "$((16#$hex))"; done)
  boxes=$(paste <(grep '^BOX	' "$work/boxes" | cut -f2) <(printf '%s\n' "$styles" | grep .) \
    <(grep '^BOX	' "$work/boxes" | cut -f3-) | grep -v '^[[:space:]]*$')
}

# check NAME EXPECTED_STATUS EXPECTED_BOXES: the checks of the last run.
check() {
  if [ "$status" -eq 124 ]; then
    fail "$1 ends within 60 s"
  else
    pass "$1 ends within 60 s"
  fi
  expect_eq "$1 exits with $2" "$2" "$status"
  expect_eq "$1 shows its boxes" "$3" "$boxes"
}

usage='Ejectra\n\n使用法: ejectra [/B] [[/S] ドライブ名 | /D デバイス名]\n\nドライブ名     ドライブ名を指定します。 (例)「A: B:」または「ABC」(複数指定)\n/D デバイス名  デバイス名を指定します。 (例) TOSHIBA MK5004MAL USB Device\n/B             ハードウェアの取り外しメッセージをバルーン表示にする。\n/S             接続されていないドライブをスキップする'
ms() { echo $(($(date +%s%N) / 1000000)); }

# The 32-bit and the 64-bit Ejectra.exe in turn; box_reader reads the boxes
# of either.
for arch in x86 x64; do
  build=$root/build/windows-$arch
  tool=$work/$arch/tool
  mkdir -p "$tool" "$work/$arch/nolib"
  install_sample_machine "$tool" "$build"
  cp "$build/bin/PullcoreHelper.exe" "$build/bin/PullcoreHook.dll" "$tool/"
  cp "$build/bin/Ejectra.exe" "$work/$arch/nolib/"
  wineserver -w  # the server that install_sample_machine stopped is gone
  # One server for the build's runs, so that they do not each start Wine anew.
  wineserver -p >/dev/null 2>&1
  # Without a window manager, Wine waits 2 s for every hidden managed window
  # to be withdrawn; unmanaged windows close at once. The relay trace is kept
  # to the message boxes (it is switched on per run, in WINEDEBUG).
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.MessageBoxW /f \
    >/dev/null 2>&1
  fresh_machine() { cp "$root/machines/sample.json" "$tool/machine.json"; }

  fresh_machine
  run_tool "$tool"
  check "$arch: no arguments" 1 "Ejectra	0x30	warning	$usage"

  fresh_machine
  run_tool "$tool" /L
  check "$arch: /L" 0 "Ejectra	0x30	warning	サポートされていないオプションです。"

  fresh_machine
  run_tool "$tool" /D "SanDisk Cruzer Blade USB Device"
  check "$arch: /D with the name of E: (removed without a word)" 0 ""

  fresh_machine
  run_tool "$tool" QCE
  check "$arch: QCE (a box for C:, then one for Q:)" 0 "$(printf '%s\n' \
    "Ejectra	0x30	warning	ドライブ C: は、取り外し可能なドライブではありません。" \
    "Ejectra	0x30	warning	ドライブ Q: は、システムに存在しません。")"
  run_tool "$tool" /D "SanDisk Cruzer Blade USB Device"
  check "$arch: after QCE, /D with the name of E: (E: is gone)" 1 \
    "Ejectra	0x30	warning	デバイス名 \"SanDisk Cruzer Blade USB Device\"  に一致する取り外し可能なドライブは見つかりませんでした。"

  fresh_machine
  run_tool "$tool" /D nothing
  check "$arch: /D nothing (two blanks after the quote)" 1 \
    "Ejectra	0x30	warning	デバイス名 \"nothing\"  に一致する取り外し可能なドライブは見つかりませんでした。"

  # /V: the removal by RemoveHardwareDriveExW. H: is held open by two
  # programs; the refusal is one warning box naming them, in full.
  held='ドライブ H: は使用中のため、取り外せませんでした。\n  C:\\Windows\\explorer.exe (プロセス ID 5120)\n  C:\\Program Files\\Lumenfold Notes\\notes.exe (プロセス ID 4242)'
  fresh_machine
  run_tool "$tool" /V H:
  check "$arch: /V H: (one warning box: in use, by two programs)" 0 "Ejectra	0x30	warning	$held"
  run_tool "$tool" /V /D "WD My Passport 25E2 SCSI Disk Device"
  check "$arch: /V /D with H:'s device name (the same box)" 1 "Ejectra	0x30	warning	$held"
  run_tool "$tool" H:
  check "$arch: H: without /V (refused without a word)" 0 ""
  run_tool "$tool" /V F:
  check "$arch: /V F: (one information box: F: may be unplugged)" 0 \
    "Ejectra	0x40	information	ドライブ F: は安全に取り外せます。"
  fresh_machine
  run_tool "$tool" -v /s EHK
  check "$arch: -v /s EHK (a box for each drive, in letter order; K: passed over)" 0 "$(printf '%s\n' \
    "Ejectra	0x40	information	ドライブ E: は安全に取り外せます。" \
    "Ejectra	0x30	warning	$held")"
  # /M: the medium of F: leaves, the reader stays.
  fresh_machine
  run_tool "$tool" /V /M F:
  check "$arch: /V /M F: (one information box: the medium is out)" 0 \
    "Ejectra	0x40	information	ドライブ F: のメディアを取り出しました。"
  run_tool "$tool" /M FH
  check "$arch: /M FH (F: now empty, H: a hard disk: a warning box each)" 0 "$(printf '%s\n' \
    "Ejectra	0x30	warning	ドライブ F: のメディアを取り出せませんでした。" \
    "Ejectra	0x30	warning	ドライブ H: は、取り外し可能なドライブではありません。")"
  fresh_machine
  python3 -c 'import json,sys; m=json.load(open(sys.argv[1])); next(d for d in m["devices"] if d.get("physicalObjectName") == "\\Device\\HarddiskVolume8")["holders"] = [{"processId": 77, "image": "\\Device\\HarddiskVolume3\\viewer.exe"}]; json.dump(m, open(sys.argv[1], "w"), ensure_ascii=False)' "$tool/machine.json"
  run_tool "$tool" /M F:
  check "$arch: /M F: while a program holds it (one warning box of two lines)" 0 \
    "Ejectra	0x30	warning	ドライブ F: のメディアを取り出せませんでした。\n  ドライブを使用中のプログラムを閉じてから、もう一度実行してください。"
  fresh_machine
  python3 -c 'import json,sys; m=json.load(open(sys.argv[1])); m["elevated"] = False; m["volumes"]["F:"]["adminOnly"] = True; m["volumes"]["E:"]["ejectError"] = 1; json.dump(m, open(sys.argv[1], "w"), ensure_ascii=False)' "$tool/machine.json"
  run_tool "$tool" /M EF
  check "$arch: /M EF (E: free to take out by hand, F: needs an administrator)" 0 "$(printf '%s\n' \
    "Ejectra	0x40	information	ドライブ E: のメディアは安全に取り出せます。" \
    "Ejectra	0x30	warning	ドライブ F: のメディアを取り出すには管理者の権限が必要です。")"
  # Our own switches: /J answers as /L; /A takes every removable drive.
  fresh_machine
  run_tool "$tool" /J
  check "$arch: /J (not supported, as /L)" 0 "Ejectra	0x30	warning	サポートされていないオプションです。"
  run_tool "$tool" /V /A
  check "$arch: /V /A (a box for each removable drive, in letter order)" 0 "$(printf '%s\n' \
    "Ejectra	0x40	information	ドライブ E: は安全に取り外せます。" \
    "Ejectra	0x40	information	ドライブ F: は安全に取り外せます。" \
    "Ejectra	0x30	warning	$held" \
    "Ejectra	0x40	information	ドライブ J: は安全に取り外せます。")"
  printf '{}\n' >"$tool/machine.json"
  run_tool "$tool" /A
  check "$arch: /A with nothing removable (message 3009)" 0 \
    "Ejectra	0x30	warning	取り外し可能なドライブはありません。"
  fresh_machine
  run_tool "$tool" F:
  check "$arch: F: without /V (removed without a word)" 0 ""
  # /W: H: held for good is asked again up to the bound, and shown once, at
  # the end; E: is free and goes at once.
  fresh_machine
  begin=$(ms)
  run_tool "$tool" /V /W:2 HE
  took=$(($(ms) - begin))
  check "$arch: /V /W:2 HE (one box per drive, at the end)" 1 "$(printf '%s\n' \
    "Ejectra	0x40	information	ドライブ E: は安全に取り外せます。" \
    "Ejectra	0x30	warning	$held")"
  if [ "$took" -ge 2000 ] && [ "$took" -lt 6000 ]; then
    pass "$arch: ... after the bound of 2 s (${took} ms)"
  else
    fail "$arch: ... after the bound of 2 s (${took} ms)"
  fi

  run_tool "$work/$arch/nolib" E:
  check "$arch: E: without Pullcore.dll beside the tool" 1 "Ejectra	0x10	error	Pullcore.dll が見つかりませんでした。"

  # /B through the helper of the same build: the drive goes without a box,
  # after the helper's grace period for its only client.
  fresh_machine
  wine "$tool/PullcoreHelper.exe" /RegServer >/dev/null 2>&1
  begin=$(ms)
  run_tool "$tool" /B F:
  took=$(($(ms) - begin))
  check "$arch: /B F: through the $arch helper (removed without a word)" 0 ""
  # The 3000 ms grace period, with room for Wine's start-up and the first
  # activation of the server (Wine waits a fixed second), not for a second
  # grace period.
  if [ "$took" -ge 3000 ] && [ "$took" -lt 6000 ]; then
    pass "$arch: ... after the helper's grace period, once (${took} ms)"
  else
    fail "$arch: ... after the helper's grace period, once (${took} ms)"
  fi
  wine "$tool/ejectrac.exe" /L >"$work/listing" 2>/dev/null
  if ! grep -q '^\[F:\]' "$work/listing"; then pass "$arch: ... and F: is gone"; else fail "$arch: ... and F: is gone"; fi
  wine "$tool/PullcoreHelper.exe" /UnregServer >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
done

echo "windowless: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
