#!/usr/bin/env bash
# PullcoreHelper.exe under Wine: registration as the registry shows it,
# activation from ejectrac /B and from several clients at once, the idle
# shutdown, and a late-bound client through IDispatch.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

build=$root/build/windows-x86
fresh_prefix
work=$(mktemp -d /tmp/ejectra-helper.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
install_sample_machine "$work" "$build"
cp "$build/bin/PullcoreHelper.exe" "$build/bin/PullcoreHook.dll" "$build/tests/hook_client.exe" \
   "$build/tests/trivial_console.exe" "$work/"
helper=$(winpath "$work/PullcoreHelper.exe")

clsid='{E0D32790-51A4-4CC1-A653-1FFC4349125B}'
appid='{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}'
libid='{939DF115-B2FA-48D6-B59C-DD17BA6F1362}'

# The registry under HKCR\KEY as "KEY|name|data" lines, or nothing.
query() {
  local out
  out=$(LC_ALL=C wine reg query "HKCR\\$1" 2>/dev/null) || return 0
  tr -d '\r' <<<"$out" | KEY=$1 awk '
    /^HKEY_/ {next} NF == 0 {next}
    {name = $1; $1 = ""; $2 = ""; sub(/^  */, ""); print ENVIRON["KEY"] "|" name "|" $0}'
}
exists() { LC_ALL=C wine reg query "HKCR\\$1" >/dev/null 2>&1; }
registration() {
  query "AppID\\$appid"; query "AppID\\PullcoreHelper.EXE"
  query "PullcoreHelper.PullcoreHookHelper.1"; query "PullcoreHelper.PullcoreHookHelper.1\\CLSID"
  query "PullcoreHelper.PullcoreHookHelper"; query "PullcoreHelper.PullcoreHookHelper\\CLSID"
  query "PullcoreHelper.PullcoreHookHelper\\CurVer"
  query "CLSID\\$clsid"
  for sub in ProgID VersionIndependentProgID Programmable LocalServer32 TypeLib; do
    query "CLSID\\$clsid\\$sub"
    exists "CLSID\\$clsid\\$sub" && echo "CLSID\\$clsid\\$sub exists"
  done
  query "TypeLib\\$libid\\1.0\\0\\win32"
}
expected_registration=$(cat <<TEXT
AppID\\$appid|(Default)|PullcoreHelper
AppID\\PullcoreHelper.EXE|AppID|$appid
PullcoreHelper.PullcoreHookHelper.1|(Default)|PullcoreHookHelper Class
PullcoreHelper.PullcoreHookHelper.1\\CLSID|(Default)|$clsid
PullcoreHelper.PullcoreHookHelper|(Default)|PullcoreHookHelper Class
PullcoreHelper.PullcoreHookHelper\\CLSID|(Default)|$clsid
PullcoreHelper.PullcoreHookHelper\\CurVer|(Default)|PullcoreHelper.PullcoreHookHelper.1
CLSID\\$clsid|(Default)|PullcoreHookHelper Class
CLSID\\$clsid|AppID|$appid
CLSID\\$clsid\\ProgID|(Default)|PullcoreHelper.PullcoreHookHelper.1
CLSID\\$clsid\\ProgID exists
CLSID\\$clsid\\VersionIndependentProgID|(Default)|PullcoreHelper.PullcoreHookHelper
CLSID\\$clsid\\VersionIndependentProgID exists
CLSID\\$clsid\\Programmable exists
CLSID\\$clsid\\LocalServer32|(Default)|"$helper"
CLSID\\$clsid\\LocalServer32 exists
CLSID\\$clsid\\TypeLib|(Default)|$libid
CLSID\\$clsid\\TypeLib exists
TypeLib\\$libid\\1.0\\0\\win32|(Default)|$helper
TEXT
)

# The exit code as the shell sees it: the HRESULT's low byte.
run_helper() { wine "$work/PullcoreHelper.exe" "$@" >/dev/null 2>&1; echo $?; }
ms() { echo $(($(date +%s%N) / 1000000)); }

expect_eq "/RegServer exits with 0" 0 "$(run_helper /RegServer)"
expect_eq "/RegServer writes every key and value of both scripts and the type library" \
  "$expected_registration" "$(registration)"
expect_eq "/UnregServer exits with 0" 0 "$(run_helper /UnregServer)"
expect_eq "/UnregServer removes them" "" "$(registration)"
if exists AppID && exists CLSID; then pass "/UnregServer leaves HKCR\\AppID and HKCR\\CLSID"; else fail "/UnregServer leaves HKCR\\AppID and HKCR\\CLSID"; fi
for switch in -regserver /REGSERVER; do
  expect_eq "$switch registers" "0|$expected_registration" "$(run_helper $switch)|$(registration)"
  run_helper /UnregServer >/dev/null
done
run_helper /RegServer >/dev/null
expect_eq "/UnregServer /RegServer unregisters only" "0|" "$(run_helper /UnregServer /RegServer)|$(registration)"
second=$(run_helper /UnregServer)
expect_eq "unregistering what is not registered stops at the type library with its failure" \
  "nonzero|" "$([ "$second" != 0 ] && echo nonzero || echo 0)|$(registration)"
timeout 3 wine "$work/PullcoreHelper.exe" /RegServerX >/dev/null 2>&1
expect_eq "/RegServerX serves instead (it is still running after 3 s) and registers nothing" \
  "124|" "$?|$(registration)"
wineserver -k >/dev/null 2>&1

# With the class not registered, /B removes without a word.
wine "$work/ejectrac.exe" /B E: >"$work/out" 2>/dev/null; code=$?
expect_eq "/B with the class not registered removes E: silently, exit 0" \
  "|0" "$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)|$code"

run_helper /RegServer >/dev/null
cp "$root/machines/sample.json" "$work/machine.json"
begin=$(ms)
wine "$work/ejectrac.exe" /B F: >"$work/out" 2>/dev/null; code=$?
took=$(($(ms) - begin))
expect_eq "/B F: with the helper registered: no message, exit 0" \
  "|0" "$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)|$code"
if [ "$took" -ge 3000 ]; then pass "/B as the only client waits out the grace period (${took} ms)"; else fail "/B as the only client waits out the grace period (${took} ms)"; fi
wine "$work/ejectrac.exe" /L >"$work/out" 2>/dev/null
if ! grep -q '^\[F:\]' <(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r'); then pass "/B F: removed F:"; else fail "/B F: removed F:"; fi

# Eight clients at once, each holding the hook for 5 s so that all overlap,
# share one start and one stop of it.
for i in 1 2 3 4 5 6 7 8; do
  wine "$work/hook_client.exe" 5000 2>/dev/null | tr -d '\r' >"$work/client$i" &
done
wait
released=$(ms)
expect_eq "eight clients get the counts 1 to 8 from StartHook, each S_OK" \
  "$(seq 1 8)" "$(cat "$work"/client* | awk '$1 == "start" && $2 == "00000000" {print $3}' | sort -n)"
expect_eq "... and 0 to 7 from StopHook, each S_OK" \
  "$(seq 0 7)" "$(cat "$work"/client* | awk '$1 == "stop" && $2 == "00000000" {print $3}' | sort -n)"
last_stop=$(cat "$work"/client* | awk '$1 == "stop" && $3 == 0 {print $4}')
if [ "${last_stop:-0}" -ge 3000 ]; then pass "only the last StopHook waits the grace period (${last_stop} ms)"; else fail "only the last StopHook waits the grace period (${last_stop:-none} ms)"; fi
# This run's servers only: their command line names this run's folder.
servers="$(basename "$work").PullcoreHelper.exe"
while pgrep -f "$servers" >/dev/null && [ $(($(ms) - released)) -lt 15000 ]; do sleep 0.1; done
gone=$(($(ms) - released))
# 5000 ms idle, then the 1000 ms pause before the main function returns; the
# room is for Wine's process teardown and this loop's polling, not for a
# pause of another length (5000 alone or 8000 would fall outside).
if [ "$gone" -ge 5800 ] && [ "$gone" -lt 7000 ]; then
  pass "the server ends 5000 + 1000 ms after the last release (${gone} ms)"
else
  fail "the server ends 5000 + 1000 ms after the last release (${gone} ms)"
fi
wine "$work/hook_client.exe" 0 2>/dev/null | tr -d '\r' >"$work/again"
expect_eq "a new server starts the count at 0 again" "1 0" \
  "$(awk '$1 != "create" {printf "%s%s", (n++ ? " " : ""), $3}' "$work/again")"

# A late-bound client: the script host, by ProgID and by name.
cat >"$work/client.vbs" <<'VBS'
Set helper = CreateObject("PullcoreHelper.PullcoreHookHelper")
WScript.Echo helper.StartHook()
WScript.Echo helper.StopHook()
VBS
expect_eq "a script creates the object by ProgID and calls both methods through IDispatch" "1 0" \
  "$(wine 'C:\windows\syswow64\cscript.exe' //nologo "$(winpath "$work/client.vbs")" 2>/dev/null | tr -d '\r' | paste -sd ' ')"

# A registered server that cannot serve: message 1003, no drive touched.
wineserver -k >/dev/null 2>&1  # no server of the earlier clients may still be serving
wine reg add "HKCR\\CLSID\\$clsid\\LocalServer32" /ve /d "\"$(winpath "$work/trivial_console.exe")\"" /f >/dev/null 2>&1
wine "$work/ejectrac.exe" /B H: >"$work/out" 2>/dev/null; code=$?
expect_eq "/B with a server that exits at once: message 1003, exit 1" \
  "PullcoreHookHelper インスタンスの生成に失敗しました。|1" \
  "$(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r' | tail -n +5)|$code"
wine "$work/ejectrac.exe" /L >"$work/out" 2>/dev/null
if grep -q '^\[H:\]' <(iconv -f CP932 -t UTF-8 <"$work/out" | tr -d '\r'); then pass "... and H: was not touched"; else fail "... and H: was not touched"; fi

echo "helper: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
