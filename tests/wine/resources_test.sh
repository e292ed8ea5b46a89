#!/usr/bin/env bash
# The tools' executables checked from outside, without running them: what
# they import, their subsystem, string table language, version resource and
# Ejectra's icons.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

work=$(mktemp -d /tmp/ejectra-resources.XXXXXX)
trap 'rm -rf "$work"' EXIT

version_of() {  # DESCRIPTION NAME: the expected version resource
  cat <<TEXT
FixedFileVersion=1.10.112.0
FixedProductVersion=1.10.0.0
VS_VERSION_INFO\\StringFileInfo\\041104b0\\Comments=取り外し可能なドライブを安全に取り外します。
VS_VERSION_INFO\\StringFileInfo\\041104b0\\CompanyName=Lumenfold
VS_VERSION_INFO\\StringFileInfo\\041104b0\\FileDescription=$1
VS_VERSION_INFO\\StringFileInfo\\041104b0\\FileVersion=1.10.112.0
VS_VERSION_INFO\\StringFileInfo\\041104b0\\InternalName=$2
VS_VERSION_INFO\\StringFileInfo\\041104b0\\LegalCopyright=Copyright (C) 2026 Lumenfold. All rights reserved.
VS_VERSION_INFO\\StringFileInfo\\041104b0\\OriginalFilename=$2.exe
VS_VERSION_INFO\\StringFileInfo\\041104b0\\ProductName=Ejectra
VS_VERSION_INFO\\StringFileInfo\\041104b0\\ProductVersion=1.10.0.0
VS_VERSION_INFO\\VarFileInfo\\Translation=0411/04b0
TEXT
}

# The icon groups: ID, then each image as WIDTHxHEIGHT@BITS.
icon_groups() {
  local exe=$1 id
  for id in $(wrestool -l -t 14 "$exe" | grep -oE -- '--name=[0-9]+' | cut -d= -f2 | sort -n); do
    wrestool -x --raw -t 14 -n "$id" "$exe" >"$work/group"
    python3 - "$id" "$work/group" <<'PY'
import struct, sys
data = open(sys.argv[2], "rb").read()
_, kind, count = struct.unpack_from("<HHH", data, 0)
images = []
for i in range(count):
    w, h, colors, _, planes, bits, size, rid = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
    images.append(f"{w or 256}x{h or 256}@{bits}")
print(sys.argv[1], kind, " ".join(images))
PY
  done
}

for arch in x86 x64; do
  bin=$root/build/windows-$arch/bin
  for exe in ejectrac Ejectra; do
    dump=$(objdump -p "$bin/$exe.exe")
    expect_eq "$arch: $exe.exe imports only system libraries" "" "$(foreign_imports "$bin/$exe.exe")"
    wrestool -x --raw -t 16 "$bin/$exe.exe" >"$work/version"
    case $exe in
      ejectrac) expected=$(version_of "Ejectra コンソール版" ejectrac); subsystem=3 ;;
      Ejectra) expected=$(version_of "Ejectra" Ejectra); subsystem=2 ;;
    esac
    expect_eq "$arch: $exe.exe carries its version resource" "$expected" \
      "$(python3 "$root/tests/wine/version_resource.py" "$work/version")"
    expect_eq "$arch: $exe.exe is of subsystem $subsystem" "$subsystem" \
      "$(awk '$1 == "Subsystem" {print $2 + 0}' <<<"$dump")"
    expect_eq "$arch: $exe.exe's string table is Japanese (1041)" "1041" \
      "$(wrestool -l -t 6 "$bin/$exe.exe" | grep -oE 'language=[0-9]+' | cut -d= -f2 | sort -u)"
  done

  dump=$(objdump -p "$bin/PullcoreHelper.exe")
  expect_eq "$arch: PullcoreHelper.exe imports only system libraries and PullcoreHook.dll" "" \
    "$(foreign_imports "$bin/PullcoreHelper.exe" PullcoreHook.dll)"
  expect_eq "$arch: PullcoreHelper.exe is of subsystem 2" 2 "$(awk '$1 == "Subsystem" {print $2 + 0}' <<<"$dump")"
  expect_eq "$arch: PullcoreHelper.exe carries its two scripts and its type library" \
    "$(printf "'REGISTRY' 101\n'REGISTRY' 102\n'TYPELIB' 1")" \
    "$(wrestool -l "$bin/PullcoreHelper.exe" | grep -v 'type=version' | sed -E "s/--type=([^ ]+) --name=([0-9]+).*/\1 \2/")"
  for id in 101 102; do
    wrestool -x --raw -t REGISTRY -n $id "$bin/PullcoreHelper.exe" >"$work/script"
    expect_eq "$arch: registration script $id is stored as the ASCII text of the repository" \
      "$(sha256sum <"$root/helper/registration/$([ $id = 101 ] && echo application || echo class).rgs")" \
      "$(sha256sum <"$work/script")"
  done
  exports=$(objdump -p "$bin/PullcoreHook.dll" | awk '/\[Ordinal\/Name Pointer\] Table/ {t = 1; next} t && NF == 0 {exit} t {print $NF}' | sort)
  if grep -q 'CPullcoreHook5Start' <<<"$exports" && grep -q 'CPullcoreHook4Stop' <<<"$exports"; then
    pass "$arch: PullcoreHook.dll exports CPullcoreHook's Start and Stop"
  else
    fail "$arch: PullcoreHook.dll exports CPullcoreHook's Start and Stop"
  fi

  expected_icons=$(for id in 107 $(seq 129 166); do echo "$id 1 16x16@8 32x32@8 48x48@8 16x16@32 32x32@32 48x48@32"; done)
  expect_eq "$arch: Ejectra.exe carries the 39 icon groups, six images each" "$expected_icons" \
    "$(icon_groups "$bin/Ejectra.exe")"
done

echo "resources: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
