#!/usr/bin/env bash
# The real ejectrac.exe builds under Wine, on the sample machine through the
# simulated Pullcore.dll, with the Japanese ANSI code page (932): the bytes it
# writes, its exit codes, listing, matching and skipping; and what a build
# links and carries, checked from outside.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

fresh_prefix
work=$(mktemp -d /tmp/ejectra-console.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT

# What ejectrac writes, as the bytes of code page 932 with CR LF line ends.
cp932() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }

banner=$'Ejectra (Console) Version 1.10\nCopyright (C) 2026 Lumenfold. All rights reserved.\n\n'
usage=$(cat <<'TEXT'
使用法: ejectrac [/B] [[/S] ドライブ名 | /D デバイス名] | [/L]

ドライブ名     ドライブ名を指定します。 (例)「A: B:」または「ABC」(複数指定)
/D デバイス名  デバイス名を指定します。 (例) TOSHIBA MK5004MAL USB Device
/L             現在接続されている取り外し可能なデバイスの一覧を表示します。
/B             ハードウェアの取り外しメッセージをバルーン表示にする。
/S             接続されていないドライブをスキップする
TEXT
)
listing=$sample_listing

for arch in x86 x64; do
  build=$root/build/windows-$arch
  dir=$work/$arch
  mkdir -p "$dir"
  install_sample_machine "$dir" "$build"
  sample=$(cat "$dir/machine.json")
  reset_machine() { printf '%s\n' "$sample" >"$dir/machine.json"; }
  edit_machine() {  # PYTHON: a statement on `m`, the machine description
    python3 -c "import json,sys; m=json.load(open(sys.argv[1])); $1; json.dump(m, open(sys.argv[1],'w'), ensure_ascii=False)" "$dir/machine.json"
  }
  # ejectrac ARGS...: sets `out` (UTF-8, banner removed, CR LF kept) and `code`.
  ejectrac() {
    wine "$dir/ejectrac.exe" "$@" >"$work/out" 2>/dev/null
    code=$?
    out=$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)
  }

  wine "$dir/ejectrac.exe" >"$work/out" 2>/dev/null
  code=$?
  expect_eq "$arch: no arguments: exit code 1" 1 "$code"
  if cmp -s "$work/out" <(printf '%s\n%s\n' "$banner" "$usage" | cp932); then
    pass "$arch: no arguments: banner and usage, byte for byte in code page 932 with CR LF"
  else
    fail "$arch: no arguments: banner and usage, byte for byte in code page 932 with CR LF"
    cmp "$work/out" <(printf '%s\n%s\n' "$banner" "$usage" | cp932) | sed 's/^/    /'
  fi

  ejectrac /L
  expect_eq "$arch: /L lists the removable drives in letter order (exit $code)" "$listing" "$out"
  expect_eq "$arch: /L exit code 0" 0 "$code"
  ejectrac /L A:
  expect_eq "$arch: /L A: lists and ignores A:" "$listing" "$out"
  ejectrac /D
  expect_eq "$arch: /D alone shows the usage, exit 1" "$usage|1" "$out|$code"
  ejectrac /X
  expect_eq "$arch: an argument that is no drive list shows the usage, exit 1" "$usage|1" "$out|$code"
  ejectrac "A: B:"
  expect_eq "$arch: a quoted drive list with a blank shows the usage, exit 1" "$usage|1" "$out|$code"
  ejectrac /B /S
  expect_eq "$arch: only switches: nothing, exit 0" "|0" "$out|$code"
  ejectrac :
  expect_eq "$arch: an empty drive list: nothing, exit 0" "|0" "$out|$code"

  ejectrac QCG
  expect_eq "$arch: absent and fixed drives are reported in letter order, exit 0" \
    "$(printf 'ドライブ C: は、取り外し可能なドライブではありません。\nドライブ G: は、取り外し可能なドライブではありません。\nドライブ Q: は、システムに存在しません。')|0" \
    "$out|$code"
  ejectrac /S Q
  expect_eq "$arch: /S passes over an absent drive silently, exit 0" "|0" "$out|$code"

  ejectrac /D "sandisk cruzer blade usb DEVICE "
  expect_eq "$arch: /D with a trailing blank matches nothing, exit 1" \
    'デバイス名 "sandisk cruzer blade usb DEVICE " に一致する取り外し可能なドライブは見つかりませんでした。|1' \
    "$out|$code"
  ejectrac /D "sandisk cruzer blade usb DEVICE"
  expect_eq "$arch: /D in other letter case matches and removes, exit 0" "|0" "$out|$code"
  ejectrac E: F:
  expect_eq "$arch: E: is already gone; only the first drive-list argument is read" \
    "ドライブ E: は、取り外し可能なドライブではありません。|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: E: is gone, F: is still there" "$(tail -n +2 <<<"$listing")" "$out"

  reset_machine
  edit_machine 'm["devices"][[d["id"] for d in m["devices"]].index("USB\\VID_0781&PID_5567\\4C530001230512115253")]["ejectAnswer"] = 23'
  ejectrac /D "SanDisk Cruzer Blade USB Device"
  expect_eq "$arch: /D whose removal is vetoed: no message, exit 1" "|1" "$out|$code"
  ejectrac E:
  expect_eq "$arch: a drive list whose removal is vetoed: exit 0" "|0" "$out|$code"

  reset_machine
  edit_machine 'next(d for d in m["devices"] if d.get("friendlyName", "").startswith("WD "))["friendlyName"] = "Twin"; next(d for d in m["devices"] if d.get("friendlyName", "").startswith("Generic-"))["friendlyName"] = "Twin"'
  ejectrac /D twin
  ejectrac /L
  expect_eq "$arch: /D with a name two drives share removes the lower letter" \
    "$(printf '[E:] SanDisk Cruzer Blade USB Device ( USB 大容量記憶装置 )\n[H:] Twin ( USB 接続 SCSI (UAS) マス ストレージ デバイス )\n[J:]  ( ディスク ドライブ )')" \
    "$out"

  # /V: each removal by RemoveHardwareDriveExW, which says why one was
  # refused. H: is held open by two programs, logged 300 ms after the refusal.
  reset_machine
  held=$(printf '%s\n' 'ドライブ H: は使用中のため、取り外せませんでした。' \
    '  C:\Windows\explorer.exe (プロセス ID 5120)' \
    '  C:\Program Files\Lumenfold Notes\notes.exe (プロセス ID 4242)')
  wine "$dir/ejectrac.exe" /V H: >"$work/out" 2>/dev/null
  code=$?
  if cmp -s "$work/out" <(printf '%s\n%s\n' "$banner" "$held" | cp932); then
    pass "$arch: /V H: says the drive is in use and names its two programs, byte for byte in code page 932 with CR LF"
  else
    fail "$arch: /V H: says the drive is in use and names its two programs, byte for byte in code page 932 with CR LF"
    diff <(printf '%s\n%s\n' "$banner" "$held" | cp932 | od -c) <(od -c "$work/out") | head -20 | sed 's/^/    /'
  fi
  expect_eq "$arch: /V H: exit code 0 (a drive list)" 0 "$code"
  ejectrac /V /D "WD My Passport 25E2 SCSI Disk Device"
  expect_eq "$arch: /V /D with H:'s device name: the same text, exit 1" "$held|1" "$out|$code"
  ejectrac -v h:
  expect_eq "$arch: -v h: is /V H:" "$held|0" "$out|$code"
  ejectrac H: /V
  expect_eq "$arch: H: /V: /V after the drives is ignored, the refusal is silent" "|0" "$out|$code"
  ejectrac H:
  expect_eq "$arch: H: without /V: nothing after the banner, exit 0" "|0" "$out|$code"
  ejectrac /D "WD My Passport 25E2 SCSI Disk Device"
  expect_eq "$arch: /D with H:'s device name without /V: nothing, exit 1" "|1" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and H: is still there" "$listing" "$out"

  ejectrac /V E:
  expect_eq "$arch: /V E: says E: may be unplugged, exit 0" "ドライブ E: は安全に取り外せます。|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and E: is gone" "$(tail -n +2 <<<"$listing")" "$out"
  ejectrac /V /S EFHK
  expect_eq "$arch: /V /S EFHK: E: (its letter still there) not removable, F: removed, H: refused with its programs, K: passed over, exit 0" \
    "$(printf '%s\n' 'ドライブ E: は、取り外し可能なドライブではありません。' 'ドライブ F: は安全に取り外せます。' "$held")|0" "$out|$code"
  reset_machine
  ejectrac /V /D "Generic- SD/MMC USB Device"
  expect_eq "$arch: /V /D with F:'s device name: F: may be unplugged, exit 0" \
    "ドライブ F: は安全に取り外せます。|0" "$out|$code"

  reset_machine
  edit_machine 'm["devices"][[d["id"] for d in m["devices"]].index("USB\\VID_0781&PID_5567\\4C530001230512115253")]["ejectAnswer"] = 23'
  ejectrac /V E:
  expect_eq "$arch: /V E: refused as a legacy device (veto type 1): its reason, exit 0" \
    "ドライブ E: の取り外しは拒否されました。デバイスが取り外しに対応していません。|0" "$out|$code"
  ejectrac /V /D "SanDisk Cruzer Blade USB Device"
  expect_eq "$arch: ... and with /D, exit 1" \
    "ドライブ E: の取り外しは拒否されました。デバイスが取り外しに対応していません。|1" "$out|$code"

  printf '{}\n' >"$dir/machine.json"
  ejectrac /L
  expect_eq "$arch: /L with nothing removable prints message 2005, exit 0" \
    "取り外し可能なドライブはありません。|0" "$out|$code"
  reset_machine

  # /M: the card leaves, its reader stays. F: is the SD slot of a card
  # reader whose MS slot, G:, is empty.
  # probe: "F: medium, G: medium, the reader, its SD disk, its MS disk" as the
  # machine file now holds them.
  probe() {
    python3 - "$dir/machine.json" <<'PY'
import json, sys
m = json.load(open(sys.argv[1]))
present = lambda i: next(d for d in m["devices"] if d["id"] == i).get("present", True)
print(m["volumes"]["F:"]["medium"], m["volumes"]["G:"]["medium"],
      present("USB\\VID_0BDA&PID_0158\\20120926571200000"),
      present("USBSTOR\\DISK&VEN_GENERIC-&PROD_SD/MMC&REV_1.00\\20120926571200000&0"),
      present("USBSTOR\\DISK&VEN_GENERIC-&PROD_MS/MS-PRO&REV_1.00\\20120926571200000&1"))
PY
  }
  reset_machine
  ejectrac /M F:
  expect_eq "$arch: /M F: ejects the card without a word, exit 0" "|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and F: is still listed" "$listing" "$out"
  expect_eq "$arch: ... F: has no medium; the reader and both its slots are still present" \
    "False False True True True" "$(probe)"
  ejectrac /V /M F: G:
  expect_eq "$arch: /V /M F: now empty: its medium cannot be ejected; G: (after F:, not read) untouched" \
    "ドライブ F: のメディアを取り出せませんでした。|0" "$out|$code"
  ejectrac /M CHZ
  expect_eq "$arch: /M CHZ: a fixed disk, a USB hard disk and a share are no removable drives" \
    "$(printf '%s\n' 'ドライブ C: は、取り外し可能なドライブではありません。' \
      'ドライブ H: は、取り外し可能なドライブではありません。' \
      'ドライブ Z: は、取り外し可能なドライブではありません。')|0" "$out|$code"
  edit_machine 'next(d for d in m["devices"] if d.get("physicalObjectName") == "\\Device\\HarddiskVolume7")["holders"] = [{"processId": 77, "image": "\\Device\\HarddiskVolume3\\viewer.exe"}]'
  ejectrac /M /D "SanDisk Cruzer Blade USB Device"
  expect_eq "$arch: /M /D with E:'s name while a program holds E:: two lines, exit 1" \
    "$(printf '%s\n' 'ドライブ E: のメディアを取り出せませんでした。' \
      '  ドライブを使用中のプログラムを閉じてから、もう一度実行してください。')|1" "$out|$code"
  # Rights missing: the volume kept to administrators; a reader that cannot
  # push the card out: dismounted, free to take out by hand.
  reset_machine
  edit_machine 'm["elevated"] = False; m["volumes"]["F:"]["adminOnly"] = True; m["volumes"]["E:"]["ejectError"] = 1'
  ejectrac /M EF
  expect_eq "$arch: /M EF: E: free to take out by hand, F: needs an administrator, exit 0" \
    "$(printf '%s\n' 'ドライブ E: のメディアは安全に取り出せます。' \
      'ドライブ F: のメディアを取り出すには管理者の権限が必要です。')|0" "$out|$code"
  ejectrac /M /D "Generic- SD/MMC USB Device"
  expect_eq "$arch: /M /D for F: without the rights: exit 1" "ドライブ F: のメディアを取り出すには管理者の権限が必要です。|1" "$out|$code"
  ejectrac /M /D "SanDisk Cruzer Blade USB Device"
  expect_eq "$arch: /M /D for E: left to the hand: exit 0" "ドライブ E: のメディアは安全に取り出せます。|0" "$out|$code"
  reset_machine
  ejectrac /V /M /A
  expect_eq "$arch: /V /M /A: every medium that can go, G: empty, the rest passed over in silence" \
    "$(printf '%s\n' 'ドライブ E: のメディアを取り出しました。' 'ドライブ F: のメディアを取り出しました。' \
      'ドライブ G: のメディアを取り出せませんでした。' 'ドライブ J: のメディアを取り出しました。')|0" "$out|$code"
  reset_machine
  ejectrac F:
  expect_eq "$arch: F: without /M removes the reader, exit 0" "|0" "$out|$code"
  expect_eq "$arch: ... and both its slots go with it" "True False False False False" "$(probe)"

  # /J: the list as JSON for scripts, UTF-8 bytes as they are, one line
  # feed, no banner.
  reset_machine
  wine "$dir/ejectrac.exe" /J >"$work/json" 2>/dev/null
  code=$?
  json='[{"drive":"E:","name":"SanDisk Cruzer Blade USB Device","description":"USB 大容量記憶装置"},{"drive":"F:","name":"Generic- SD/MMC USB Device","description":"USB 大容量記憶装置"},{"drive":"H:","name":"WD My Passport 25E2 SCSI Disk Device","description":"USB 接続 SCSI (UAS) マス ストレージ デバイス"},{"drive":"J:","name":"","description":"ディスク ドライブ"}]'
  if cmp -s "$work/json" <(printf '%s\n' "$json"); then
    pass "$arch: /J writes the drives as JSON in UTF-8, byte for byte, one LF at the end"
  else
    fail "$arch: /J writes the drives as JSON in UTF-8, byte for byte, one LF at the end"
    diff <(printf '%s\n' "$json" | od -c) <(od -c "$work/json") | head -10 | sed 's/^/    /'
  fi
  expect_eq "$arch: /J exit code 0" 0 "$code"
  if python3 -m json.tool "$work/json" >/dev/null 2>&1; then
    pass "$arch: /J is valid JSON (python3 -m json.tool)"
  else
    fail "$arch: /J is valid JSON (python3 -m json.tool)"
  fi
  printf '{}\n' >"$dir/machine.json"
  wine "$dir/ejectrac.exe" -j >"$work/json" 2>/dev/null
  expect_eq "$arch: -j with nothing removable: the bytes [ ] LF" "5b 5d 0a" "$(od -An -tx1 "$work/json" | xargs)"

  # /A: every removable drive, letter by letter; H: is held and refused
  # without a word, F:'s reader goes with G:, which is passed over.
  reset_machine
  ejectrac /A
  expect_eq "$arch: /A: nothing said, exit 0" "|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and only the held H: is left" "$(sed -n 3p <<<"$listing")" "$out"
  ejectrac /V /A
  expect_eq "$arch: /V /A: H:'s refusal and its programs, exit 0" "$held|0" "$out|$code"
  edit_machine '[d.pop("holders", None) for d in m["devices"]]'
  ejectrac /A
  ejectrac /L
  expect_eq "$arch: once no program holds H:, /A takes it too: /L says message 2005" \
    "取り外し可能なドライブはありません。|0" "$out|$code"
  ejectrac /A
  expect_eq "$arch: /A with nothing removable says message 2005, exit 0" \
    "取り外し可能なドライブはありません。|0" "$out|$code"
  reset_machine

  # /W: a held drive is asked again once a second until the bound; the run
  # is timed from outside, with room for Wine's start-up and the last try.
  ms() { echo $(($(date +%s%N) / 1000000)); }
  begin=$(ms)
  ejectrac /V /W:2 H:
  took=$(($(ms) - begin))
  expect_eq "$arch: /V /W:2 H: held for good: the refusal, the wait, the refusal again, exit 1" \
    "$(printf '%s\n' "$held" 'ドライブ H: が解放されるまで最大 2 秒待ちます。' "$held")|1" "$out|$code"
  if [ "$took" -ge 2000 ] && [ "$took" -lt 6000 ]; then
    pass "$arch: ... after the bound of 2 s (${took} ms)"
  else
    fail "$arch: ... after the bound of 2 s (${took} ms)"
  fi
  ejectrac /W:1 H:
  expect_eq "$arch: /W:1 H: without /V: silent, exit 1" "|1" "$out|$code"
  ejectrac /W:1 /S QH
  expect_eq "$arch: /W:1 /S QH: Q: passed over, H: still held, exit 1" "|1" "$out|$code"
  for value in /W:0 /W:3601 /W:x; do
    ejectrac $value H:
    expect_eq "$arch: $value H: shows the usage, exit 1" "$usage|1" "$out|$code"
  done
  begin=$(ms)
  ejectrac /W E:
  took=$(($(ms) - begin))
  expect_eq "$arch: /W E: free: removed without a word, exit 0" "|0" "$out|$code"
  if [ "$took" -lt 10000 ]; then
    pass "$arch: ... at once, far within the bound of 60 s (${took} ms)"
  else
    fail "$arch: ... at once, far within the bound of 60 s (${took} ms)"
  fi
  ejectrac /L
  expect_eq "$arch: ... and E: is gone" "$(tail -n +2 <<<"$listing")" "$out"
  reset_machine

  # The core library: missing, planted in the current folder, or lacking exports.
  mkdir -p "$dir/alone" "$dir/planted" "$dir/partial"
  cp "$dir/ejectrac.exe" "$dir/alone/"
  cp "$build/sim/Pullcore.dll" "$dir/planted/"
  cp "$dir/ejectrac.exe" "$build/sim-partial/Pullcore.dll" "$dir/partial/"
  (cd "$dir/planted" && wine "$dir/alone/ejectrac.exe" /L >"$work/out" 2>/dev/null); code=$?
  out=$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)
  expect_eq "$arch: /L without Pullcore.dll beside the program, one planted in the current folder: message 1001, exit 1" \
    "Pullcore.dll が見つかりませんでした。|1" "$out|$code"
  (cd "$dir/planted" && wine "$dir/alone/ejectrac.exe" /J >"$work/out" 2>/dev/null); code=$?
  expect_eq "$arch: /J without Pullcore.dll: message 1001 alone, exit 1" \
    "Pullcore.dll が見つかりませんでした。|1" "$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r')|$code"
  wine "$dir/alone/ejectrac.exe" /X >"$work/out" 2>/dev/null; code=$?
  out=$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)
  expect_eq "$arch: without Pullcore.dll a bad argument still shows the usage first" "$usage|1" "$out|$code"
  wine "$dir/partial/ejectrac.exe" /L >"$work/out" 2>/dev/null; code=$?
  out=$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)
  expect_eq "$arch: a Pullcore.dll lacking its first export lists nothing" "取り外し可能なドライブはありません。|0" "$out|$code"
  wine "$dir/partial/ejectrac.exe" E: >"$work/out" 2>/dev/null; code=$?
  out=$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)
  expect_eq "$arch: ... and calls every drive not removable" "ドライブ E: は、取り外し可能なドライブではありません。|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and removed nothing" "$listing" "$out"
done

echo "console: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
