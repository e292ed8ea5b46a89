#!/usr/bin/env bash
# The shipped Pullcore.dll end to end under Wine: the real library (its
# platform/win32 layer) driven by the real ejectrac.exe, x86 and x64. Wine's
# setupapi.dll and wevtapi.dll know no removable device and no event log, so
# for ejectrac.exe alone they are replaced by the simulated ones of
# tests/wine/system_dlls, answering from a Wine variant of the sample machine
# (tests/wine/wine_machine.py): its volumes renumbered as Wine's
# QueryDosDeviceW numbers the prefix's letters (C: is 1), its mount records
# imported into the prefix's registry for the real advapi32. The rest is
# Wine's own: QueryDosDeviceW, the registry, Sleep and the clock.
#
# console_test.sh, windowless_test.sh, wizard_test.sh, helper_test.sh and the
# second half of pullcore_test.sh still load the simulated Pullcore.dll: /M
# and /A reach volumes through kernel32 (GetDriveTypeW, CreateFileW,
# DeviceIoControl), which Wine answers for its own folders, so driving them
# through the real library would need kernel32 simulated as well.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

fresh_prefix
work=$(mktemp -d /tmp/ejectra-realcore.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
started=$(date +%s%N)

cp932() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }
banner=$'Ejectra (Console) Version 1.10\nCopyright (C) 2026 Lumenfold. All rights reserved.\n\n'
listing=$sample_listing
held=$(printf '%s\n' 'ドライブ H: は使用中のため、取り外せませんでした。' \
  '  C:\Windows\explorer.exe (プロセス ID 5120)' \
  '  C:\Program Files\Lumenfold Notes\notes.exe (プロセス ID 4242)')
stick='USB\VID_0781&PID_5567\4C530001230512115253'
passport='USB\VID_1058&PID_25E2\575836314137383438373230'

# The sample's drive letters, then one server for the whole run: Wine's mount
# manager writes MountedDevices values of its own whenever a server starts.
mkdir -p "$work/media"
for letter in e f g h i j; do ln -sfn "$work/media" "$WINEPREFIX/dosdevices/$letter:"; done
wineserver -k >/dev/null 2>&1
wineserver -p
letters=$(ls "$WINEPREFIX/dosdevices" | sed -n 's/^\([a-z]\):$/\1/p' | tr -d '\n')
python3 "$root/tests/wine/wine_machine.py" "$root/machines/sample.json" "$letters" \
  "$work/wine-machine.json" "$work/mounts.reg" || exit 1
wine reg import "$(winpath "$work/mounts.reg")" >/dev/null 2>&1
mount_record() {  # LETTER: its value's data under the prefix's SYSTEM\MountedDevices
  wine reg query 'HKLM\SYSTEM\MountedDevices' /v "\\DosDevices\\$1" 2>/dev/null | tr -d '\r' |
    awk '$2 == "REG_BINARY" {print $3}'
}
j_record=$(python3 -c 'import sys; print(sys.argv[1].encode("utf-16-le").hex().upper())' \
  '\??\STORAGE#RemovableMedia#7&3a4b5c6d&0&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}')
expect_eq "the prefix holds the sample's mount record of J: (REG_BINARY), not Wine's" "$j_record" "$(mount_record J:)"

# The simulated libraries over Wine's, loaded natively by ejectrac.exe only.
for dll in setupapi wevtapi; do
  cp "$root/build/windows-x86/sim-system/$dll.dll" "$WINEPREFIX/drive_c/windows/syswow64/$dll.dll"
  cp "$root/build/windows-x64/sim-system/$dll.dll" "$WINEPREFIX/drive_c/windows/system32/$dll.dll"
  wine reg add 'HKCU\Software\Wine\AppDefaults\ejectrac.exe\DllOverrides' /v $dll /d native /f >/dev/null 2>&1
done
export LC_ALL=ja_JP.UTF-8 EJECTRA_SIM_MACHINE

imports() {  # FILE: its libraries, and the functions it takes from ADVAPI32.dll and SETUPAPI.dll
  LC_ALL=C objdump -p "$1" | awk '/DLL Name:/ {dll = $3; print dll; next}
    NF == 0 {dll = ""}
    (dll == "ADVAPI32.dll" || dll == "SETUPAPI.dll") && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print dll, $3}'
}
exports() { LC_ALL=C objdump -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}' | sort; }

for arch in x86 x64; do
  build=$root/build/windows-$arch
  dir=$work/$arch
  mkdir -p "$dir"
  cp "$build/bin/ejectrac.exe" "$build/bin/Pullcore.dll" "$dir/"
  cp "$build/bin/ejectrac.exe" "$dir/ejectrac-plain.exe"  # no override: Wine's libraries
  EJECTRA_SIM_MACHINE=$(winpath "$dir/machine.json")
  reset_machine() { cp "$work/wine-machine.json" "$dir/machine.json"; }
  edit_machine() {  # PYTHON: a statement on `m` and `dev(id)`, the machine and a device of it
    python3 -c "import json,sys; m=json.load(open(sys.argv[1])); dev=lambda i: next(d for d in m['devices'] if d['id'] == i); $1; json.dump(m, open(sys.argv[1],'w'), ensure_ascii=False)" "$dir/machine.json"
  }
  machine() {  # PYTHON: an expression on `m` and `dev(id)`, printed
    python3 -c "import json,sys; m=json.load(open(sys.argv[1])); dev=lambda i: next(d for d in m['devices'] if d['id'] == i); print($1)" "$dir/machine.json"
  }
  ejectrac() {  # ARGS...: sets `out` (UTF-8, banner removed) and `code`
    wine "$dir/ejectrac.exe" "$@" >"$work/out" 2>/dev/null
    code=$?
    out=$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)
  }
  reset_machine

  expect_eq "$arch: bin/Pullcore.dll imports the libraries, ADVAPI32.dll and SETUPAPI.dll functions of tests/wine/system_dlls/pullcore_imports.txt" \
    "$(grep -v '^#' "$root/tests/wine/system_dlls/pullcore_imports.txt")" "$(imports "$build/bin/Pullcore.dll")"
  expect_eq "$arch: the simulated setupapi.dll exports exactly what bin/Pullcore.dll imports from SETUPAPI.dll" \
    "$(imports "$build/bin/Pullcore.dll" | awk '$1 == "SETUPAPI.dll" && NF == 2 {print $2}' | sort)" \
    "$(exports "$build/sim-system/setupapi.dll")"
  expect_eq "$arch: the simulated wevtapi.dll exports the five functions Pullcore.dll loads by name, each named in it" \
    "$(printf '%s\n' EvtClose EvtCreateRenderContext EvtNext EvtQuery EvtRender)" \
    "$(exports "$build/sim-system/wevtapi.dll" | while read -r name; do grep -qa "$name" "$build/bin/Pullcore.dll" && echo "$name"; done)"

  wine "$dir/ejectrac-plain.exe" /L >"$work/out" 2>/dev/null
  expect_eq "$arch: without the override (Wine's setupapi.dll) /L finds nothing removable" \
    "取り外し可能なドライブはありません。" "$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)"
  ejectrac /L
  if [ "$out" != "$listing" ]; then
    fail "$arch: the override takes effect: ejectrac.exe's /L lists the machine file's drives"
    printf '    %s\n' "$out"
    continue
  fi
  pass "$arch: the override takes effect: ejectrac.exe's /L lists the machine file's drives"
  expect_eq "$arch: /L exit code 0" 0 "$code"

  ejectrac QCG
  expect_eq "$arch: QCG: absent and fixed drives reported in letter order, exit 0" \
    "$(printf 'ドライブ C: は、取り外し可能なドライブではありません。\nドライブ G: は、取り外し可能なドライブではありません。\nドライブ Q: は、システムに存在しません。')|0" \
    "$out|$code"
  ejectrac /D "sandisk cruzer blade usb DEVICE "
  expect_eq "$arch: /D with a trailing blank matches nothing, exit 1" \
    'デバイス名 "sandisk cruzer blade usb DEVICE " に一致する取り外し可能なドライブは見つかりませんでした。|1' \
    "$out|$code"

  ejectrac E:
  expect_eq "$arch: E: removes the stick silently, exit 0" "|0" "$out|$code"
  expect_eq "$arch: ... the machine file shows the stick and its disk gone" "False False" \
    "$(machine "dev(r'$stick').get('present', True), dev(r'USBSTOR\DISK&VEN_SANDISK&PROD_CRUZER_BLADE&REV_1.00\4C530001230512115253&0').get('present', True)")"
  ejectrac /L
  expect_eq "$arch: ... and a second /L no longer lists E:" "$(tail -n +2 <<<"$listing")" "$out"
  ejectrac E:
  expect_eq "$arch: ... and E: is no removable drive any more" \
    "ドライブ E: は、取り外し可能なドライブではありません。|0" "$out|$code"

  reset_machine
  ejectrac /D "sandisk cruzer blade usb DEVICE"
  expect_eq "$arch: /D in other letter case matches and removes, exit 0" "|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and E: is gone" "$(tail -n +2 <<<"$listing")" "$out"

  reset_machine
  wine "$dir/ejectrac.exe" /V H: >"$work/out" 2>/dev/null
  code=$?
  if cmp -s "$work/out" <(printf '%s\n%s\n' "$banner" "$held" | cp932); then
    pass "$arch: /V H: (held, its events 300 ms late): message 3001 and both programs with drive-letter paths, byte for byte in code page 932"
  else
    fail "$arch: /V H: (held, its events 300 ms late): message 3001 and both programs with drive-letter paths, byte for byte in code page 932"
    diff <(printf '%s\n%s\n' "$banner" "$held" | cp932 | iconv -f CP932 -t UTF-8) \
      <(iconv -f CP932 -t UTF-8 <"$work/out") | sed 's/^/    /'
  fi
  expect_eq "$arch: /V H: exit code 0" 0 "$code"
  expect_eq "$arch: ... the machine file's System log holds one Kernel-PnP 225 per holder, with NT paths" \
    "$(printf '%s\n' 'Microsoft-Windows-Kernel-PnP 225 4242 \Device\HarddiskVolume1\Program Files\Lumenfold Notes\notes.exe' \
       'Microsoft-Windows-Kernel-PnP 225 5120 \Device\HarddiskVolume1\Windows\explorer.exe')" \
    "$(machine "'\n'.join(f\"{e['provider']} {e['id']} {e['numbers']['ProcessId']} {e['texts']['ProcessName']}\" for e in m.get('systemLog', []))")"
  expect_eq "$arch: ... each naming the node the eject was asked of, H:'s USB device" \
    "$(printf '%s\n%s' "$passport" "$passport")" \
    "$(machine "'\n'.join(e['texts']['DeviceInstance'] for e in m.get('systemLog', []))")"
  ejectrac /V /D "WD My Passport 25E2 SCSI Disk Device"
  expect_eq "$arch: /V /D with H:'s device name: the same text, exit 1" "$held|1" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and H: is still there" "$listing" "$out"

  reset_machine
  edit_machine 'next(d for d in m["devices"] if "holders" in d)["eventDelay"] = 5000'
  ejectrac /V H:
  expect_eq "$arch: /V H: with the events 5 s late, after the library stops looking: message 3001, no program known" \
    "$(head -1 <<<"$held")
  使用中のプログラムは特定できませんでした。|0" "$out|$code"

  reset_machine
  ejectrac /V E:
  expect_eq "$arch: /V E: says E: may be unplugged, exit 0" "ドライブ E: は安全に取り外せます。|0" "$out|$code"

  reset_machine
  edit_machine "dev(r'$stick')['ejectAnswer'] = 23"
  ejectrac /V E:
  expect_eq "$arch: /V E: refused as a legacy device (veto type 1): its reason, exit 0" \
    "ドライブ E: の取り外しは拒否されました。デバイスが取り外しに対応していません。|0" "$out|$code"

  reset_machine
  edit_machine "dev(r'$passport')['vetoWithSuccess'] = True"
  ejectrac /V H:
  expect_eq "$arch: /V H: whose eject answers CR_SUCCESS with a veto: the refusal, message 3001 and both programs, exit 0" \
    "$held|0" "$out|$code"
  ejectrac /L
  expect_eq "$arch: ... and H: is still there" "$listing" "$out"
  ejectrac /D "WD My Passport 25E2 SCSI Disk Device"
  expect_eq "$arch: ... without /V (no veto asked for) the eject is refused as before: exit 1, H: still there" \
    "|1|True" "$out|$code|$(machine "dev(r'$passport').get('present', True)")"
done

expect_eq "the prefix still holds the sample's mount record of J: at the end" "$j_record" "$(mount_record J:)"
echo "real Pullcore.dll: $passed passed, $failed failed ($(( ($(date +%s%N) - started) / 1000000 )) ms)"
[ "$failed" -eq 0 ]
