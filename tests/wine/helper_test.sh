#!/usr/bin/env bash
# PullcoreHelper.exe under Wine, the 32-bit and the 64-bit build in turn in
# one WoW64 prefix: registration as the registry shows it, in the program's
# own registry view and not in the other one, activation from ejectrac /B
# and from several clients at once, sixteen clients racing to activate it,
# the idle shutdown, and a late-bound client through IDispatch.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/wine/lib.sh"

fresh_prefix
work=$(mktemp -d /tmp/ejectra-helper.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT

clsid='{E0D32790-51A4-4CC1-A653-1FFC4349125B}'
appid='{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}'
libid='{939DF115-B2FA-48D6-B59C-DD17BA6F1362}'
ms() { echo $(($(date +%s%N) / 1000000)); }
# within NAME LOW HIGH MS: a measured time, LOW <= MS < HIGH.
within() {
  if [ "$4" -ge "$2" ] && [ "$4" -lt "$3" ]; then pass "$1 ($4 ms)"; else fail "$1 ($4 ms)"; fi
}

for arch in x86 x64; do
  build=$root/build/windows-$arch
  dir=$work/$arch
  mkdir -p "$dir"
  install_sample_machine "$dir" "$build"
  cp "$build/bin/PullcoreHelper.exe" "$build/bin/PullcoreHook.dll" "$build/tests/hook_client.exe" \
     "$build/tests/trivial_console.exe" "$dir/"
  helper=$(winpath "$dir/PullcoreHelper.exe")
  # The registry view the program writes (HKCR\CLSID is redirected for
  # 32-bit programs), the other one, the type library's platform key, and
  # the script host of the program's bitness (Debian's `wine` is the 32-bit
  # loader, for which system32 is syswow64; the 64-bit one is named here).
  case $arch in
    x86) view=32 other=64 platform=win32 cscript=(wine 'C:\windows\syswow64\cscript.exe') ;;
    x64) view=64 other=32 platform=win64 cscript=(/usr/lib/wine/wine64 'C:\windows\system32\cscript.exe') ;;
  esac

  # The registry under HKCR\KEY in the program's view as "KEY|name|data"
  # lines, or nothing.
  query() {
    local out
    out=$(LC_ALL=C wine reg query "HKCR\\$1" "/reg:$view" 2>/dev/null) || return 0
    tr -d '\r' <<<"$out" | KEY=$1 awk '
      /^HKEY_/ {next} NF == 0 {next}
      {name = $1; $1 = ""; $2 = ""; sub(/^  */, ""); print ENVIRON["KEY"] "|" name "|" $0}'
  }
  # exists KEY [VIEW]: whether HKCR\KEY is there, in the program's view or in VIEW.
  exists() { LC_ALL=C wine reg query "HKCR\\$1" "/reg:${2:-$view}" >/dev/null 2>&1; }
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
    query "TypeLib\\$libid\\1.0\\0\\$platform"
  }
  # What is in the other view: the class, or a type library key of the
  # other platform (the TypeLib keys are shared by both views).
  elsewhere() {
    exists "CLSID\\$clsid" "$other" && echo "CLSID\\$clsid in the $other-bit view"
    local key=win64
    [ "$platform" = win64 ] && key=win32
    exists "TypeLib\\$libid\\1.0\\0\\$key" && echo "TypeLib\\$libid\\1.0\\0\\$key"
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
TypeLib\\$libid\\1.0\\0\\$platform|(Default)|$helper
TEXT
)

  # The exit code as the shell sees it: the HRESULT's low byte.
  run_helper() { wine "$dir/PullcoreHelper.exe" "$@" >/dev/null 2>&1; echo $?; }
  # The text ejectrac wrote to $dir/out, in UTF-8 without its banner.
  said() { iconv -f CP932 -t UTF-8 <"$dir/out" | tr -d '\r' | tail -n +5; }
  # This run's servers of this build only: their command line names its folder.
  servers="$(basename "$work").$arch.PullcoreHelper.exe"

  expect_eq "$arch: /RegServer exits with 0" 0 "$(run_helper /RegServer)"
  expect_eq "$arch: /RegServer writes every key and value of both scripts and the type library ($platform), in the $view-bit view" \
    "$expected_registration" "$(registration)"
  expect_eq "$arch: ... and nothing in the $other-bit view of HKCR\\CLSID or under the type library's other platform" \
    "" "$(elsewhere)"
  expect_eq "$arch: /UnregServer exits with 0" 0 "$(run_helper /UnregServer)"
  expect_eq "$arch: /UnregServer removes them" "" "$(registration)$(elsewhere)"
  if exists AppID && exists CLSID; then pass "$arch: /UnregServer leaves HKCR\\AppID and HKCR\\CLSID"; else fail "$arch: /UnregServer leaves HKCR\\AppID and HKCR\\CLSID"; fi
  for switch in -regserver /REGSERVER; do
    expect_eq "$arch: $switch registers" "0|$expected_registration" "$(run_helper $switch)|$(registration)"
    run_helper /UnregServer >/dev/null
  done
  run_helper /RegServer >/dev/null
  expect_eq "$arch: /UnregServer /RegServer unregisters only" "0|" "$(run_helper /UnregServer /RegServer)|$(registration)"
  second=$(run_helper /UnregServer)
  expect_eq "$arch: unregistering what is not registered stops at the type library with its failure" \
    "nonzero|" "$([ "$second" != 0 ] && echo nonzero || echo 0)|$(registration)"
  timeout 3 wine "$dir/PullcoreHelper.exe" /RegServerX >/dev/null 2>&1
  expect_eq "$arch: /RegServerX serves instead (it is still running after 3 s) and registers nothing" \
    "124|" "$?|$(registration)"
  wineserver -k >/dev/null 2>&1

  # With the class not registered, /B removes without a word.
  wine "$dir/ejectrac.exe" /B E: >"$dir/out" 2>/dev/null; code=$?
  expect_eq "$arch: /B with the class not registered removes E: silently, exit 0" "|0" "$(said)|$code"

  run_helper /RegServer >/dev/null
  cp "$root/machines/sample.json" "$dir/machine.json"
  begin=$(ms)
  wine "$dir/ejectrac.exe" /B F: >"$dir/out" 2>/dev/null; code=$?
  took=$(($(ms) - begin))
  expect_eq "$arch: /B F: with the helper registered: no message, exit 0" "|0" "$(said)|$code"
  # The 3000 ms grace period, with room for Wine's start-up and the first
  # activation of the server (Wine waits a fixed second), not for a second
  # grace period.
  within "$arch: /B as the only client waits out the grace period, once" 3000 6000 "$took"
  wine "$dir/ejectrac.exe" /L >"$dir/out" 2>/dev/null
  if ! grep -q '^\[F:\]' <(said); then pass "$arch: /B F: removed F:"; else fail "$arch: /B F: removed F:"; fi

  # Eight clients at once share one start and one stop of the hook: each
  # holds it until all eight have started it (named events let them go).
  go="ejectra-eight-go-$arch-$$" stop="ejectra-eight-stop-$arch-$$"
  for i in 1 2 3 4 5 6 7 8; do
    wine "$dir/hook_client.exe" 0 "$go" "$stop" >"$dir/client$i" 2>/dev/null &
  done
  # count WORD: how many clients have printed a line starting with WORD (read
  # as they write it: no pipe may hold it back).
  count() { cat "$dir"/client* | tr -d '\r' | grep -c "^$1"; }
  begin=$(ms)
  while [ "$(count ready)" -lt 8 ] && [ $(($(ms) - begin)) -lt 60000 ]; do sleep 0.05; done
  wine "$dir/hook_client.exe" /set "$go" 2>/dev/null
  begin=$(ms)
  while [ "$(count 'start\|create [^0]')" -lt 8 ] && [ $(($(ms) - begin)) -lt 60000 ]; do sleep 0.05; done
  wine "$dir/hook_client.exe" /set "$stop" 2>/dev/null
  wait
  released=$(ms)
  sed -i 's/\r$//' "$dir"/client*
  expect_eq "$arch: eight clients get the counts 1 to 8 from StartHook, each S_OK" \
    "$(seq 1 8)" "$(cat "$dir"/client* | awk '$1 == "start" && $2 == "00000000" {print $3}' | sort -n)"
  expect_eq "$arch: ... and 0 to 7 from StopHook, each S_OK" \
    "$(seq 0 7)" "$(cat "$dir"/client* | awk '$1 == "stop" && $2 == "00000000" {print $3}' | sort -n)"
  last_stop=$(cat "$dir"/client* | awk '$1 == "stop" && $3 == 0 {print $4}')
  # Ten pauses of 300 ms, with room for the call itself, not for an eleventh
  # round of pauses.
  within "$arch: only the last StopHook waits the grace period" 3000 4000 "${last_stop:-0}"
  # Polled until every server has gone; 15 s only bounds a server that hangs.
  while pgrep -f "$servers" >/dev/null && [ $(($(ms) - released)) -lt 15000 ]; do sleep 0.1; done
  gone=$(($(ms) - released))
  # 5000 ms idle, then the 1000 ms pause before the main function returns; the
  # room is for Wine's process teardown and this loop's polling, not for a
  # pause of another length (5000 alone or 8000 would fall outside).
  if [ "$gone" -ge 5800 ] && [ "$gone" -lt 7000 ]; then
    pass "$arch: the server ends 5000 + 1000 ms after the last release (${gone} ms)"
  else
    fail "$arch: the server ends 5000 + 1000 ms after the last release (${gone} ms)"
  fi
  wine "$dir/hook_client.exe" 0 2>/dev/null | tr -d '\r' >"$dir/again"
  expect_eq "$arch: a new server starts the count at 0 again" "1 0" \
    "$(awk '$1 != "create" {printf "%s%s", (n++ ? " " : ""), $3}' "$dir/again")"

  # A late-bound client of the same bitness: the script host, by ProgID and by name.
  cat >"$dir/client.vbs" <<'VBS'
Set helper = CreateObject("PullcoreHelper.PullcoreHookHelper")
WScript.Echo helper.StartHook()
WScript.Echo helper.StopHook()
VBS
  expect_eq "$arch: a script creates the object by ProgID and calls both methods through IDispatch" "1 0" \
    "$("${cscript[@]}" //nologo "$(winpath "$dir/client.vbs")" 2>/dev/null | tr -d '\r' | paste -sd ' ')"

  # Sixteen clients released at one moment by a named event race to activate
  # the helper: each launches a server, the first server to register its
  # class serves them all, and the others, never given an object, must end
  # on their own. The clients hold the hook until all have started it, then
  # stop it together. The hook library logs its calls (EJECTRA_HOOK_LOG).
  wineserver -k >/dev/null 2>&1  # no server of the earlier clients may still be serving
  race=$dir/race
  mkdir -p "$race"
  go="ejectra-go-$arch-$$" stop="ejectra-stop-$arch-$$"
  for i in $(seq 1 16); do
    EJECTRA_HOOK_LOG="$(winpath "$race")\\hook.log" \
      wine "$dir/hook_client.exe" 500 "$go" "$stop" >"$race/client$i" 2>/dev/null &
  done
  lines() { cat "$race"/client* | tr -d '\r' | grep -c "^$1"; }
  begin=$(ms)
  while [ "$(lines ready)" -lt 16 ] && [ $(($(ms) - begin)) -lt 60000 ]; do sleep 0.05; done
  wine "$dir/hook_client.exe" /set "$go" 2>/dev/null
  # The servers the race launched: every one seen from the release until all
  # clients have started the hook (each lives at least 6 s, far longer than
  # a round of this loop).
  begin=$(ms)
  seen=""
  while :; do
    seen+=" $(pgrep -f "$servers" | paste -sd ' ')"
    [ "$(lines 'start\|create [^0]')" -ge 16 ] || [ $(($(ms) - begin)) -ge 30000 ] && break
    sleep 0.05
  done
  started=$(($(ms) - begin))
  launched=$(tr ' ' '\n' <<<"$seen" | grep . | sort -u | wc -l)
  wine "$dir/hook_client.exe" /set "$stop" 2>/dev/null
  wait
  released=$(ms)
  # Polled until every server has gone; 15 s only bounds a server that hangs.
  while pgrep -f "$servers" >/dev/null && [ $(($(ms) - released)) -lt 15000 ]; do sleep 0.1; done
  gone=$(($(ms) - released))
  left=$(pgrep -fc "$servers")
  replies=$(cat "$race"/client* | tr -d '\r')
  expect_eq "$arch: sixteen racing clients each create the object, S_OK (all started StartHook within ${started} ms)" \
    "$(printf '00000000\n%.0s' $(seq 1 16))" "$(awk '$1 == "create" {print $2}' <<<"$replies")"
  if [ "$launched" -ge 2 ]; then
    pass "$arch: the race launched several servers ($launched seen until all held the hook)"
  else
    fail "$arch: the race launched several servers ($launched seen until all held the hook)"
  fi
  expect_eq "$arch: the sixteen get the counts 1 to 16 from StartHook, each once, each S_OK" \
    "$(seq 1 16)" "$(awk '$1 == "start" && $2 == "00000000" {print $3}' <<<"$replies" | sort -n)"
  expect_eq "$arch: ... and 15 to 0 from StopHook, each once, each S_OK" \
    "$(seq 15 -1 0)" "$(awk '$1 == "stop" && $2 == "00000000" {print $3}' <<<"$replies" | sort -rn)"
  expect_eq "$arch: the hook is started once and stopped once, by one server" "Start Stop|1" \
    "$(tr -d '\r' <"$race/hook.log" 2>/dev/null | awk '{print $1}' | paste -sd ' ')|$(
      tr -d '\r' <"$race/hook.log" 2>/dev/null | awk '{print $2}' | sort -u | wc -l)"
  # The serving one idles 5000 + 1000 ms after the last release (timed from
  # both sides with the eight clients above); the others end 6 s after their
  # start.
  if [ "$left" -eq 0 ] && [ "$gone" -lt 6500 ]; then
    pass "$arch: no server of the race is left 6500 ms after the last release (all gone after ${gone} ms)"
  else
    fail "$arch: no server of the race is left 6500 ms after the last release (gone after ${gone} ms, $left still running)"
  fi

  # A registered server that cannot serve: message 1003, no drive touched.
  wineserver -k >/dev/null 2>&1
  wine reg add "HKCR\\CLSID\\$clsid\\LocalServer32" /ve /d "\"$(winpath "$dir/trivial_console.exe")\"" \
    "/reg:$view" /f >/dev/null 2>&1
  wine "$dir/ejectrac.exe" /B H: >"$dir/out" 2>/dev/null; code=$?
  expect_eq "$arch: /B with a server that exits at once: message 1003, exit 1" \
    "PullcoreHookHelper インスタンスの生成に失敗しました。|1" "$(said)|$code"
  wine "$dir/ejectrac.exe" /L >"$dir/out" 2>/dev/null
  if grep -q '^\[H:\]' <(said); then pass "$arch: ... and H: was not touched"; else fail "$arch: ... and H: was not touched"; fi

  # The next build starts from a registry without this one.
  run_helper /UnregServer >/dev/null
  expect_eq "$arch: /UnregServer removes the registration again" "" "$(registration)$(elsewhere)"
  wineserver -k >/dev/null 2>&1
done

echo "helper: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
