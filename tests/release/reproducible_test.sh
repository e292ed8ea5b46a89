#!/usr/bin/env bash
# Reproducible release: the git-tracked files are copied to a folder at
# another path, scripts/release runs there with a build root of its own
# (the Windows builds from scratch, without the test programs), and every
# file of its output must equal, byte for byte, the file of the same name in
# this checkout's release (EJECTRA_DIST, default dist/, made by
# scripts/release before this test).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"
dist=$(realpath -m "${EJECTRA_DIST:-$root/dist}")

if [ ! -f "$dist/SHA256SUMS" ]; then
  fail "the release to compare with is in $dist (run scripts/release first)"
  exit 1
fi

elsewhere=$(mktemp -d /tmp/ejectra-elsewhere.XXXXXX)
trap 'rm -rf "$elsewhere"' EXIT
mkdir -p "$elsewhere/source/tree"
(cd "$root" && git ls-files -z | tar --null -T - -cf -) | tar -xf - -C "$elsewhere/source/tree"

start=$SECONDS
if EJECTRA_CMAKE_ARGS="-DEJECTRA_TESTS=OFF -DEJECTRA_BENCH=OFF" \
   "$elsewhere/source/tree/scripts/release" --build-root "$elsewhere/builds" --out "$elsewhere/dist" \
   >"$elsewhere/release.log" 2>&1; then
  pass "scripts/release in $elsewhere/source/tree ($((SECONDS - start)) s)"
else
  fail "scripts/release in $elsewhere/source/tree"
  tail -20 "$elsewhere/release.log" | sed 's/^/    /'
  exit 1
fi

# hint FILE OTHER: where two differing files part, and for an installer or a
# zip, which of the shipped files differ (the installer stores them as the
# zip does, so the zip's members name the culprit).
hint() {
  local at
  at=$(cmp "$1" "$2" 2>/dev/null | grep -oE 'byte [0-9]+' | grep -oE '[0-9]+')
  echo "    first difference at offset $((at - 1)) (0x$(printf '%x' $((at - 1))))"
  case $1 in
    *.zip)
      python3 - "$1" "$2" <<'PY'
import sys, zipfile
a, b = (zipfile.ZipFile(p) for p in sys.argv[1:3])
for name in a.namelist():
    x, y = a.read(name), (b.read(name) if name in b.namelist() else None)
    if x != y:
        at = next((i for i, (p, q) in enumerate(zip(x, y or b'')) if p != q), min(len(x), len(y or b'')))
        print(f'    {name} differs, first at offset {at:#x}')
        if x[:2] == b'MZ' and y and 0x80 <= at < 0x400:
            print('      in the PE headers: a time stamp (link with --no-insert-timestamp) or a checksum')
PY
      ;;
    *-setup.exe)
      echo "    compare the zips' members above; the installer itself stores no dates (SetDateSave off)" ;;
  esac
  echo "    paths of the source or build folder in a binary: -ffile-prefix-map (cmake/Reproducible.cmake)"
}

names=$( (cd "$dist" && ls; cd "$elsewhere/dist" && ls) | LC_ALL=C sort -u)
for name in $names; do
  if [ ! -f "$dist/$name" ] || [ ! -f "$elsewhere/dist/$name" ]; then
    fail "$name is in both releases"
  elif cmp -s "$dist/$name" "$elsewhere/dist/$name"; then
    pass "$name is the same, byte for byte"
  else
    fail "$name is the same, byte for byte"
    hint "$dist/$name" "$elsewhere/dist/$name"
  fi
done
expect_eq "five files in the release" 5 "$(wc -w <<<"$names")"

echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
