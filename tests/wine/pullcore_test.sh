#!/usr/bin/env bash
# The real Pullcore.dll builds, checked from outside and run under Wine:
# their exports and imports, the real library on Wine's machine, the
# simulated library on the bundled sample machine, and exceptions through the
# runtime glue the shipped binaries link.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

check_library() {  # ARCH FILE
  local arch=$1 dll=$2 dump
  dump=$(objdump -p "$dll")
  expect_eq "$arch: $(basename "$(dirname "$dll")")/Pullcore.dll exports the three original functions at ordinals 1-3, RemoveHardwareDriveExW at 4 and EjectDriveMedia at 5" \
    "$(printf '1 IsRemovableHardwareDrive\n2 IsRemovableHardwareDriveExW\n3 RemoveHardwareDrive\n4 RemoveHardwareDriveExW\n5 EjectDriveMedia')" \
    "$(awk '/Ordinal Base/ {base = $NF}
            /\[Ordinal\/Name Pointer\] Table/ {table = 1; next}
            table && NF == 0 {exit}
            table {gsub(/[][]/, ""); print $1 + base, $2}' <<<"$dump" | sort -n)"
  expect_eq "$arch: $(basename "$(dirname "$dll")")/Pullcore.dll names itself Pullcore.dll" "Pullcore.dll" \
    "$(awk '$1 == "Name" && $3 ~ /\.dll$/ {print $3}' <<<"$dump")"
  expect_eq "$arch: $(basename "$(dirname "$dll")")/Pullcore.dll imports only system libraries" "" \
    "$(foreign_imports "$dll")"
}

# The shipped library imports what it imported before RemoveHardwareDriveExW:
# the event log's wevtapi.dll is loaded when a refusal is looked into, never
# imported (Windows 7 has none of the logs asked).
shipped_imports='ADVAPI32.dll KERNEL32.dll msvcrt.dll SETUPAPI.dll SHLWAPI.dll USER32.dll'
check_shipped_imports() {  # ARCH FILE
  local imports
  imports=$(objdump -p "$2" | awk '/DLL Name:/ {print $3}' | xargs)
  expect_eq "$1: bin/Pullcore.dll imports exactly $shipped_imports" "$shipped_imports" "$imports"
  if grep -qi wevtapi <<<"$imports"; then
    fail "$1: bin/Pullcore.dll does not import wevtapi.dll"
  else
    pass "$1: bin/Pullcore.dll does not import wevtapi.dll"
  fi
}

# What `pullcore_probe misuse` prints: a null report and one of the wrong
# Size answer FALSE with ERROR_INVALID_PARAMETER (87) and leave the report as
# it was (0x5A5A5A5A = 1515870810); drives 0 and 27 answer FALSE with the
# report cleared but for its Size. The last error of those two is not part of
# the contract and is left out.
misuse_expected=$(cat <<'LIST'
null 0 87
small 0 87 size 4723 veto 1515870810 blockers 1515870810
large 0 87 size 4725 veto 1515870810 blockers 1515870810
drive0 0 size 4724 veto 0 blockers 0
drive27 0 size 4724 veto 0 blockers 0
LIST
)
misuse_seen() { sed -E 's/^(drive[0-9]+ 0) [0-9]+ /\1 /'; }

# What runtime_probe.exe prints: each exception caught, after its cleanups.
probe_catches=$(cat <<'LIST'
vector too long: caught after 5 cleanups
string too long: caught after 5 cleanups
no memory: caught after 5 cleanups
rethrown: caught after 3 cleanups
while handling: inner caught after 4 cleanups
while handling: outer still handled after 2 cleanups
on a second thread: caught after 5 cleanups
LIST
)

sample_list=$(cat <<'LIST'
E: "SanDisk Cruzer Blade USB Device" "USB 大容量記憶装置"
F: "Generic- SD/MMC USB Device" "USB 大容量記憶装置"
H: "WD My Passport 25E2 SCSI Disk Device" "USB 接続 SCSI (UAS) マス ストレージ デバイス"
J: "" "ディスク ドライブ"
LIST
)

fresh_prefix
work=$(mktemp -d /tmp/ejectra-pullcore.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT

for arch in x86 x64; do
  build=$root/build/windows-$arch
  check_library $arch "$build/bin/Pullcore.dll"
  check_library $arch "$build/sim/Pullcore.dll"

  mkdir -p "$work/$arch/real" "$work/$arch/sim"
  cp "$build/bin/Pullcore.dll" "$build/tests/pullcore_probe.exe" "$work/$arch/real/"
  cp "$build/sim/Pullcore.dll" "$build/tests/pullcore_probe.exe" "$work/$arch/sim/"

  check_shipped_imports $arch "$build/bin/Pullcore.dll"

  expect_eq "$arch: the real library answers FALSE for drives 0-27 on Wine's machine" \
    "$(for d in $(seq 0 27); do echo "$d 0 0 0"; done)" \
    "$(wine "$work/$arch/real/pullcore_probe.exe" sweep 2>/dev/null)"
  expect_eq "$arch: the real RemoveHardwareDriveExW refuses a null report, a wrong Size (error 87), drives 0 and 27" \
    "$misuse_expected" "$(wine "$work/$arch/real/pullcore_probe.exe" misuse 2>/dev/null | misuse_seen)"
  expect_eq "$arch: the real EjectDriveMedia answers 3 (not removable) for Wine's fixed C: and for drives 0 and 27" \
    "$(printf 'C: 3\n0 3\n27 3')" \
    "$(for d in C 0 27; do wine "$work/$arch/real/pullcore_probe.exe" media $d 2>/dev/null; done)"
  # Wine has no removable drive: C: (Wine's own) and Z: (its root) are refused
  # before an eject is asked, with no veto and no blocker.
  for letter in C Z; do
    expect_eq "$arch: the real RemoveHardwareDriveExW does not remove $letter: on Wine's machine, no veto, no blocker" \
      "$letter: refused veto 0 " \
      "$(wine "$work/$arch/real/pullcore_probe.exe" why $letter 2>/dev/null | sed -E 's/ refused [0-9]+ / refused /')"
  done

  cp "$root/machines/sample.json" "$work/$arch/machine.json"
  export EJECTRA_SIM_MACHINE
  EJECTRA_SIM_MACHINE=$(winpath "$work/$arch/machine.json")
  probe() { wine "$work/$arch/sim/pullcore_probe.exe" "$@" 2>/dev/null; }
  expect_eq "$arch: the sample machine's removable drives, names and descriptions" "$sample_list" "$(probe list)"
  expect_eq "$arch: the fixed disk C: is not removed" "C: not removed" "$(probe remove C)"
  expect_eq "$arch: the stick E: is removed" "E: removed" "$(probe remove E)"
  expect_eq "$arch: E: is gone afterwards" "$(tail -n +2 <<<"$sample_list")" "$(probe list)"
  expect_eq "$arch: E: cannot be removed twice" "E: not removed" "$(probe remove E)"
  expect_eq "$arch: J:, reached only through its mount record, is removed" "J: removed" "$(probe remove J)"
  expect_eq "$arch: RemoveHardwareDriveExW on H:, held open: veto 5 naming its volume, the two holders newest first, with drive-letter paths" \
    "$(printf '%s\n' 'H: refused veto 5 STORAGE\VOLUME\{7B2D9C40-8E1F-11EE-B4C2-A4BB6D112233}#0000000000100000' \
       '  5120 C:\Windows\explorer.exe' '  4242 C:\Program Files\Lumenfold Notes\notes.exe')" \
    "$(probe why H | sed -E 's/ refused [0-9]+ / refused /')"
  expect_eq "$arch: the simulated RemoveHardwareDriveExW refuses a null report, a wrong Size (error 87), drives 0 and 27" \
    "$misuse_expected" "$(probe misuse | misuse_seen)"
  expect_eq "$arch: ... and removes nothing: F: and H: are still there" "$(sed -n 2,3p <<<"$sample_list")" "$(probe list)"
  expect_eq "$arch: EjectDriveMedia: the empty MS slot G: fails (0), the fixed H: is not removable (3), F:'s card is ejected (1)" \
    "$(printf 'G: 0\nH: 3\nF: 1')" "$(probe media G; probe media H; probe media F)"
  expect_eq "$arch: ... the ejected card stays out in the machine written back: F: again fails (0)" "F: 0" "$(probe media F)"
  expect_eq "$arch: ... and the card reader and its letters stay: F: and H: are still listed" \
    "$(sed -n 2,3p <<<"$sample_list")" "$(probe list)"
  expect_eq "$arch: RemoveHardwareDriveExW removes F:" "F: removed" "$(probe why F)"
  expect_eq "$arch: ... and F: is gone" "$(sed -n 3p <<<"$sample_list")" "$(probe list)"
  unset EJECTRA_SIM_MACHINE
  expect_eq "$arch: without a machine description the simulated library answers FALSE" "" "$(probe list)"

  # The runtime glue linked into the shipped binaries (lean_runtime.cpp).
  expect_eq "$arch: exceptions thrown through the shipped binaries' runtime are caught, cleanups run" \
    "$probe_catches" "$(wine "$build/tests/runtime_probe.exe" 2>/dev/null | tr -d '\r')"
  wine "$build/tests/runtime_probe.exe" terminate >"$work/terminate.out" 2>"$work/terminate.err"
  status=$?
  expect_eq "$arch: an exception leaving a noexcept function ends the program quietly, exit code 3" \
    "3" "$status$(cat "$work/terminate.out" "$work/terminate.err")"

  contract=$(wine "$build/tests/platform_contract_tests.exe" 2>/dev/null)
  if grep -q '^\[  PASSED  \]' <<<"$contract" && ! grep -q '^\[  FAILED  \]' <<<"$contract"; then
    pass "$arch: the platform contract holds for the real layer ($(grep -c '^\[       OK \]' <<<"$contract") passed, $(grep -oE '^\[  SKIPPED \] [0-9]+' <<<"$contract" | grep -oE '[0-9]+$' || echo 0) skipped)"
  else
    fail "$arch: the platform contract holds for the real layer"
    grep -A4 'Failure' <<<"$contract" | sed 's/^/    /'
  fi
done

echo "pullcore: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
