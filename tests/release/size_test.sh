#!/usr/bin/env bash
# The shipped Windows binaries of both builds against their size budgets in
# tests/release/size_budgets.tsv: each binary stripped, its size against its
# x86 budget, or floor(1.3 times it) on x64, plus the data of its icons and
# bitmaps where the table says "+images", and that data against its own
# budget where the table gives one (the same on both builds, whose resources
# are the same). Also checks that PullcoreHook.dll
# imports only system libraries (the other binaries' imports are checked by
# the Wine tests). scripts/bench-wine prints these lines too.
#   tests/release/size_test.sh [BUDGETS]   (BUDGETS: another table to check against)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"
budgets=${1:-$root/tests/release/size_budgets.tsv}

work=$(mktemp -d /tmp/ejectra-sizes.XXXXXX)
trap 'rm -rf "$work"' EXIT

for arch in x86 x64; do
  bin=$root/build/windows-$arch/bin
  case $arch in
    x86) strip=i686-w64-mingw32-strip ;;
    x64) strip=x86_64-w64-mingw32-strip ;;
  esac
  while IFS=$'\t' read -r file budget images images_budget; do
    [[ -z $file || $file == \#* ]] && continue
    if [ ! -f "$bin/$file" ]; then
      fail "$arch $file is built"
      continue
    fi
    [ $arch = x64 ] && budget=$((budget * 13 / 10))
    if [ "$images" = +images ]; then
      image_bytes=$(python3 "$root/tests/wine/resource_dump.py" images "$bin/$file")
      budget=$((budget + image_bytes))
      if [ -n "${images_budget:-}" ] && [ "$images_budget" != - ]; then
        if [ "$image_bytes" -le "$images_budget" ]; then
          pass "$arch $file images: $image_bytes bytes of icons and bitmaps (budget $images_budget)"
        else
          fail "$arch $file images: $image_bytes bytes of icons and bitmaps (budget $images_budget)"
        fi
      fi
    fi
    "$strip" -o "$work/$file" "$bin/$file"
    size=$(stat -c %s "$work/$file")
    if [ "$size" -le "$budget" ]; then
      pass "$arch $file $size bytes (budget $budget)"
    else
      fail "$arch $file $size bytes (budget $budget)"
    fi
  done <"$budgets"
  expect_eq "$arch: PullcoreHook.dll imports only system libraries" "" \
    "$(foreign_imports "$bin/PullcoreHook.dll")"
done

echo "sizes: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
