#!/usr/bin/env bash
# The release's installers under Wine, x86 and x64, each in a fresh WoW64
# prefix: a silent install (timed), what it put where (files, the registry
# view of its architecture and not the other, the helper's registration, the
# Programs and Features entry, the Start-menu link), ejectrac /L and the
# wizard's automatic mode from the install folder, a second install over the
# first, and a silent uninstall (timed) that leaves the prefix as it was
# apart from the user's desktop shortcuts. Then the 64-bit installer in a
# 32-bit prefix, which it refuses.
#
# The release is read from EJECTRA_DIST (default dist/, made by
# scripts/release); the wizard's driver and the simulated Pullcore.dll from
# the build folders under EJECTRA_BUILD_ROOT (default build/).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

source "$root/tests/wine/lib.sh"
run_in_xvfb "$@"  # the wizard needs an X display
source "$root/tests/wine/wizard_lib.sh"

version=1.10.112.0
dist=$(realpath -m "${EJECTRA_DIST:-$root/dist}")
build_root=$(realpath -m "${EJECTRA_BUILD_ROOT:-$root/build}")
clsid='{E0D32790-51A4-4CC1-A653-1FFC4349125B}'
binaries=(Pullcore.dll ejectrac.exe Ejectra.exe PullcoreHelper.exe PullcoreHook.dll EjectraWizard.exe)
headers=(include/pullcore.h)
install_key='HKLM\SOFTWARE\Lumenfold\Ejectra'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ejectra'
menu_link='ProgramData/Microsoft/Windows/Start Menu/Programs/Ejectra/Ejectra ショートカット ウィザード.lnk'

# Every Wine program of this test runs in the Japanese locale: Wine rewrites
# its code page, font and time zone keys whenever it starts in another one.
#
# regv KEY NAME VIEW: the data of value NAME ("" for the default value) of
# KEY in the registry view VIEW (32 or 64), as `reg query` shows it; nothing
# when the value or key is absent.
regv() {
  # The default value's name is localised ("(既定)"): /ve shows it alone.
  local switch=(/v "$2")
  [ -z "$2" ] && switch=(/ve)
  timeout 60 wine reg query "$1" "${switch[@]}" /reg:"$3" 2>/dev/null | tr -d '\r' |
    NAME=$2 awk '$2 ~ /^REG_/ && (ENVIRON["NAME"] == "" || $1 == ENVIRON["NAME"]) {
      $1 = ""; $2 = ""; sub(/^  */, ""); print}'
}
# regkey KEY VIEW: whether KEY exists in the view.
regkey() { timeout 60 wine reg query "$1" /reg:"$2" >/dev/null 2>&1; }

# helper_running: waits until the PullcoreHelper.exe just started holds its
# mutex, the one the installer and uninstaller look for (at most 30 s).
helper_running() {
  [ "$(timeout 60 wine "$build/tests/hook_client.exe" /running 30000 2>/dev/null | tr -d '\r')" = running ]
}

# seconds_since START: the time since START (date +%s.%N), to 0.01 s.
seconds_since() { python3 -c "import sys,time; print(f'{time.time() - float(sys.argv[1]):.2f}')" "$1"; }

# snapshot NAME: once every Wine process has ended (the registry files are
# written when the server ends), $work/NAME.reg holds the registry without
# Wine's own volatile keys (registry_snapshot.py says which and why) and
# $work/NAME.files every file (with its size), folder and link of the
# prefix. Left out of the listing: the registry files themselves (compared
# above), Wine's .update-timestamp and server lock, and the empty
# ~nsuN.tmp folders in the user's temporary folder: NSIS's uninstaller
# asks for its temporary copy and that folder to be deleted at the next
# start, and Wine's start-up deletes the file but not the folder.
snapshot() {
  wineserver -w
  python3 "$root/tests/wine/registry_snapshot.py" "$WINEPREFIX" >"$work/$1.reg"
  (cd "$WINEPREFIX" && find . -mindepth 1 \
      \( -path './drive_c/users/*/Temp/~nsu*.tmp' -type d -empty \) -prune -o \
      \( -regex '\./[^/]*\.reg' -o -path ./.update-timestamp -o -path ./wineserver \) -prune -o \
      \( -type f -printf 'f %s %P\n' \) -o \( -type l -printf 'l %P -> %l\n' \) -o -printf '%y %P\n') |
    LC_ALL=C sort >"$work/$1.files"
}

# same NAME A B: snapshots A and B are equal (registry and files).
same() {
  local what
  for what in reg files; do
    if cmp -s "$work/$2.$what" "$work/$3.$what"; then
      pass "$1 ($what)"
    else
      fail "$1 ($what)"
      diff "$work/$2.$what" "$work/$3.$what" | head -40 | sed 's/^/    /'
    fi
  done
}

# install_silently NAME: runs the installer with /S, waits for every Wine
# process, prints the time taken (the installer's in `install_seconds`);
# checks exit code 0.
install_silently() {
  local start code
  start=$(date +%s.%N)
  timeout 120 wine "$setup" /S >/dev/null 2>&1
  code=$?
  install_seconds=$(seconds_since "$start")
  wineserver -w
  echo "# $arch: $1: installer $install_seconds s, until every Wine process ended $(seconds_since "$start") s"
  expect_eq "$arch: $1: exit code 0" 0 "$code"
}

check_installation() {  # NAME: the files and the registry of one installation
  local name=$1 file expected listing
  # The folder holds the release's files (the zip's bytes), Pullcore.dll's
  # header, the guide and the uninstaller, nothing more.
  expected=$( (printf '%s\n' "${binaries[@]}" "${headers[@]}" Uninstall.exe; unzip -Z1 "$zip" | sed -n "s|^Ejectra-$version-$arch/guide/|guide/|p" | grep -v '/$') | LC_ALL=C sort)
  listing=$(cd "$dir" 2>/dev/null && find . -type f -printf '%P\n' | LC_ALL=C sort)
  expect_eq "$arch: $name: the files in $windir" "$expected" "$listing"
  local differing=""
  for file in "${binaries[@]}" "${headers[@]}" $(unzip -Z1 "$zip" | sed -n "s|^Ejectra-$version-$arch/\(guide/.*[^/]\)$|\1|p"); do
    cmp -s <(unzip -p "$zip" "Ejectra-$version-$arch/$file") "$dir/$file" || differing+=" $file"
  done
  expect_eq "$arch: $name: the installed files are the zip's, byte for byte" "" "$differing"
  [ -d "$WINEPREFIX/drive_c/$otherdir/Lumenfold" ] && fail "$arch: $name: nothing in $otherdir" ||
    pass "$arch: $name: nothing in $otherdir"

  expect_eq "$arch: $name: InstallDirectory in the $view-bit view" "$windir" \
    "$(regv "$install_key" InstallDirectory "$view")"
  regkey 'HKLM\SOFTWARE\Lumenfold' "$other" && fail "$arch: $name: no Lumenfold key in the $other-bit view" ||
    pass "$arch: $name: no Lumenfold key in the $other-bit view"

  expect_eq "$arch: $name: the helper's LocalServer32 in the $view-bit view" "\"$windir\\PullcoreHelper.exe\"" \
    "$(regv "HKCR\\CLSID\\$clsid\\LocalServer32" "" "$view")"
  expect_eq "$arch: $name: the helper's class ProgID" "PullcoreHelper.PullcoreHookHelper.1" \
    "$(regv "HKCR\\CLSID\\$clsid\\ProgID" "" "$view")"
  regkey "HKCR\\CLSID\\$clsid" "$other" && fail "$arch: $name: no helper class in the $other-bit view" ||
    pass "$arch: $name: no helper class in the $other-bit view"
  # Registered once: one class key names the helper, in the normalised registry.
  expect_eq "$arch: $name: one LocalServer32 names the installed helper" 1 \
    "$(python3 "$root/tests/wine/registry_snapshot.py" "$WINEPREFIX" | grep -c '^@="\\"C:\\\\Program Files.*\\\\PullcoreHelper.exe\\""$')"

  local values size
  size=$(find "$dir" -type f -printf '%s\n' | awk '{ total += $1 } END { print int(total / 1024) }')
  values=$(for v in DisplayName DisplayVersion Publisher EstimatedSize DisplayIcon InstallLocation \
                    UninstallString QuietUninstallString NoModify NoRepair; do
             echo "$v=$(regv "$uninstall_key" "$v" "$view")"; done)
  expect_eq "$arch: $name: the Programs and Features entry in the $view-bit view" "DisplayName=Ejectra
DisplayVersion=$version
Publisher=Lumenfold
EstimatedSize=$(printf '0x%x' "$size")
DisplayIcon=$windir\\EjectraWizard.exe,0
InstallLocation=$windir
UninstallString=\"$windir\\Uninstall.exe\"
QuietUninstallString=\"$windir\\Uninstall.exe\" /S
NoModify=0x1
NoRepair=0x1" "$values"
  regkey "$uninstall_key" "$other" && fail "$arch: $name: no Programs and Features entry in the $other-bit view" ||
    pass "$arch: $name: no Programs and Features entry in the $other-bit view"
  expect_eq "$arch: $name: one Programs and Features entry" 1 \
    "$(timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:"$view" 2>/dev/null | grep -ic 'Uninstall\\Ejectra')"

  local link=$WINEPREFIX/drive_c/$menu_link
  if [ -f "$link" ]; then
    expect_eq "$arch: $name: the Start-menu link starts the installed wizard" \
      "path=$windir\\EjectraWizard.exe" "$(lnk_fields "$link" | grep '^path=')"
  else
    fail "$arch: $name: the Start-menu link C:\\$menu_link"
    find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" | sed 's/^/    /'
  fi
}

for arch in x86 x64; do
  setup=$dist/Ejectra-$version-$arch-setup.exe
  zip=$dist/Ejectra-$version-$arch.zip
  build=$build_root/windows-$arch
  if [ ! -f "$setup" ] || [ ! -f "$zip" ]; then
    fail "$arch: the release is in $dist (scripts/release)"
    continue
  fi
  expect_eq "$arch: the zip carries include/pullcore.h as the repository holds it" \
    "$(sha256sum <"$root/include/pullcore.h")" \
    "$(unzip -p "$zip" "Ejectra-$version-$arch/include/pullcore.h" | sha256sum)"
  if [ $arch = x86 ]; then
    view=32 other=64 windir='C:\Program Files (x86)\Lumenfold\Ejectra'
    progdir='Program Files (x86)' otherdir='Program Files'
  else
    view=64 other=32 windir='C:\Program Files\Lumenfold\Ejectra'
    progdir='Program Files' otherdir='Program Files (x86)'
  fi

  # The installer's own version resource, in English (0409, code page 1252)
  # and Japanese (0411, code page 932).
  version_info=""
  for language in 1033 1041; do
    version_info+=$(python3 "$root/tests/wine/version_resource.py" \
                      <(wrestool -x --raw -t16 -L $language "$setup" 2>/dev/null) |
                    sed 's/^VS_VERSION_INFO\\StringFileInfo\\//')$'\n'
  done
  expected_version=""
  for table in 040904e4 041103a4; do
    [ $table = 040904e4 ] && translations="0409/04e4 0411/03a4" || translations="0411/03a4 0409/04e4"
    expected_version+="FixedFileVersion=$version
FixedProductVersion=$version
$table\\CompanyName=Lumenfold
$table\\FileDescription=Ejectra Setup ($arch)
$table\\FileVersion=$version
$table\\LegalCopyright=Copyright (C) 2026 Lumenfold. All rights reserved.
$table\\ProductName=Ejectra
$table\\ProductVersion=$version
VS_VERSION_INFO\\VarFileInfo\\Translation=$translations
"
  done
  expect_eq "$arch: the installer's version resource, English and Japanese" "$expected_version" "$version_info"

  # Japanese fonts, a desktop folder of the prefix's own, no menu files on
  # the host; the installer runs in the Japanese locale (its texts and the
  # Start-menu name are Japanese). No persistent server: `wineserver -w`
  # waits for the end of everything a step started.
  wizard_prefix
  wineserver -k >/dev/null 2>&1
  dir=$WINEPREFIX/drive_c/$progdir/Lumenfold/Ejectra
  snapshot before

  # An installer whose helper cannot register (ejectrac.exe in its place
  # answers /RegServer with its usage and exit code 1) fails with exit code
  # 2 and leaves nothing behind.
  broken=$work/broken-stage
  if [ -d "$build_root/release-stage/$arch" ]; then
    cp -r "$build_root/release-stage/$arch" "$broken"
    cp "$broken/ejectrac.exe" "$broken/PullcoreHelper.exe"
    makensis -V1 -INPUTCHARSET UTF8 -DARCH="$arch" -DSTAGE="$broken" \
      -DOUTFILE="$work/broken-setup.exe" "$root/installer/Ejectra.nsi" >/dev/null
    timeout 120 wine "$work/broken-setup.exe" /S >/dev/null 2>&1
    expect_eq "$arch: a helper that cannot register fails the installation: exit code 2" 2 "$?"
    snapshot failed
    same "$arch: the failed installation leaves the prefix as it was" before failed
  else
    fail "$arch: the release's staged files are in $build_root/release-stage (scripts/release)"
  fi

  install_silently "silent install"
  check_installation "after the install"

  # ejectrac /L on Wine's own machine: the banner, then message 2005 (no
  # removable drive: Wine has none), exit code 0.
  (cd "$dir" && exec timeout 60 wine ./ejectrac.exe /L >"$work/list.out" 2>/dev/null)
  code=$?
  out=$(iconv -f CP932 -t UTF-8 <"$work/list.out" | tr -d '\r')
  expect_eq "$arch: ejectrac /L from the install folder: banner, no removable drive, exit code 0" \
    "Ejectra (Console) Version 1.10
Copyright (C) 2026 Lumenfold. All rights reserved.


取り外し可能なドライブはありません。|0" "$out|$code"

  # The wizard's automatic mode from the install folder. It offers only
  # removable drives, and plain Wine has none: for this step the installed
  # Pullcore.dll is replaced by the simulated one of the build, on the bundled
  # sample machine with its drive letters (as wizard_test.sh and
  # scripts/run-main do); the real library and Wine's own drive letters are
  # put back afterwards.
  driver=$build/tests/wizard_driver.exe
  dosdevices=$(ls "$WINEPREFIX/dosdevices")
  sample=$work/sample
  mkdir -p "$sample"
  install_sample_machine "$sample" "$build"
  cp "$build/sim/Pullcore.dll" "$dir/Pullcore.dll"
  start_wizard "$dir"
  if drive wait-sheet 20000 >/dev/null; then
    for page in welcome connect method; do
      title=$(drive title)
      drive press next >/dev/null
      for _ in $(seq 50); do [ "$(drive title)" != "$title" ] && break; sleep 0.2; done
    done
    drive press finish >/dev/null
  fi
  ended_within 15 && pass "$arch: the installed wizard ends after its automatic mode" ||
    { fail "$arch: the installed wizard ends after its automatic mode"; stop_wizard; }
  links=$(desktop_files)
  expect_eq "$arch: the wizard wrote a shortcut for each removable drive" \
    "$(printf '%s\n' 'Eドライブ 取り外し.lnk' 'Fドライブ 取り外し.lnk' 'Hドライブ 取り外し.lnk' 'Jドライブ 取り外し.lnk')" "$links"
  targets=$(for file in "$desktop"/*.lnk; do lnk_fields "$file" | grep -E '^(path|working)='; done | sort -u)
  expect_eq "$arch: the shortcuts start the installed Ejectra.exe in the install folder" \
    "path=$windir\\Ejectra.exe
working=$windir" "$targets"
  unzip -p "$zip" "Ejectra-$version-$arch/Pullcore.dll" >"$dir/Pullcore.dll"
  for letter in e f g h i j; do
    grep -qx "$letter:" <<<"$dosdevices" || rm -f "$WINEPREFIX/dosdevices/$letter:"
  done
  rm -rf "$sample"
  unset EJECTRA_SIM_MACHINE
  wineserver -k >/dev/null 2>&1
  snapshot installed

  # A second install over the first replaces it in place, while a helper
  # runs. x86: one started by hand, which never ends by itself: the
  # installer waits 10 s, then stops it. x64: one started as COM starts it
  # (-Embedding), which ends by itself 6 s after its start with no client:
  # the installer waits for that end (exit code 0, in less than 10 s).
  # (Wine's taskkill /F ends a process with exit code 0, not 1 as Windows'
  # does: the x86 case is told by the time alone.)
  if [ $arch = x86 ]; then helper_switch=() helper_how="stopped after 10 s"
  else helper_switch=(-Embedding) helper_how="waited for"; fi
  timeout 60 wine "$dir/PullcoreHelper.exe" "${helper_switch[@]}" >/dev/null 2>&1 &
  helper=$!
  helper_running && kill -0 "$helper" 2>/dev/null && pass "$arch: a helper runs before the second install" ||
    fail "$arch: a helper runs before the second install"
  install_silently "second silent install"
  if kill -0 "$helper" 2>/dev/null; then
    fail "$arch: the running helper was $helper_how"
  else
    wait "$helper"
    helper_code=$?
    if [ $arch = x86 ]; then
      python3 -c "import sys; sys.exit(not float(sys.argv[1]) >= 9.5)" "$install_seconds" &&
        pass "$arch: the running helper was $helper_how ($install_seconds s)" ||
        fail "$arch: the running helper was $helper_how ($install_seconds s)"
    else
      python3 -c "import sys; sys.exit(not float(sys.argv[1]) < 9.5)" "$install_seconds" &&
        [ "$helper_code" = 0 ] && pass "$arch: the running helper was $helper_how ($install_seconds s, exit code 0)" ||
        fail "$arch: the running helper was $helper_how ($install_seconds s, exit code $helper_code)"
    fi
  fi
  check_installation "after the second install"
  snapshot reinstalled
  same "$arch: the second install leaves the registry and files as the first did" installed reinstalled

  # Silent uninstall. NSIS's uninstaller runs from a copy in the temporary
  # folder, which it asks to be deleted at the next start: the only trace
  # left until then. A Wine restart (wineboot -r) is that next start.
  # x86: a helper that COM started is running too: the uninstaller waits for
  # its end before it unregisters and deletes it (Wine, like Windows, refuses
  # to delete a running program's file: the comparison below would see it).
  # x64: nothing runs; its time is the uninstaller's alone. The uninstaller
  # returns at once (it goes on from a copy of itself in the temporary
  # folder): the time is until every Wine process has ended.
  if [ $arch = x86 ]; then
    timeout 60 wine "$dir/PullcoreHelper.exe" -Embedding >/dev/null 2>&1 &
    helper=$!
    helper_running || fail "$arch: a helper runs before the uninstall"
    how="with a helper ending 6 s after its own start"
  else
    how="nothing else running"
  fi
  start=$(date +%s.%N)
  timeout 120 wine "$dir/Uninstall.exe" /S >/dev/null 2>&1
  code=$?
  wineserver -w
  echo "# $arch: silent uninstall ($how): until every Wine process ended $(seconds_since "$start") s"
  expect_eq "$arch: silent uninstall: exit code 0" 0 "$code"
  if [ $arch = x86 ]; then
    kill -0 "$helper" 2>/dev/null && fail "$arch: the helper running during the uninstall ended by itself" || {
      wait "$helper"
      expect_eq "$arch: the helper running during the uninstall ended by itself (exit code 0)" 0 "$?"
    }
  fi
  pending=$(regv 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations 64)
  [[ -z "$pending" || "$pending" == *'\Temp\~nsu'* ]] && pass "$arch: only the uninstaller's copy waits for the next start" ||
    fail "$arch: only the uninstaller's copy waits for the next start: $pending"
  timeout 120 wineboot -r >/dev/null 2>&1
  wineserver -w
  expect_eq "$arch: the desktop shortcuts stay" "$links" "$(desktop_files)"
  rm -f "$desktop"/*.lnk
  snapshot uninstalled
  same "$arch: after the uninstall the prefix is as before the install (but for the desktop shortcuts)" \
    before uninstalled
  [ -e "$WINEPREFIX/drive_c/$progdir/Lumenfold" ] && fail "$arch: the Lumenfold folder is gone" ||
    pass "$arch: the Lumenfold folder is gone"
  regkey 'HKLM\SOFTWARE\Lumenfold' "$view" && fail "$arch: the Lumenfold key is gone" ||
    pass "$arch: the Lumenfold key is gone"

  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX" "$work"
done

# The 64-bit installer on 32-bit Windows (a 32-bit prefix): it refuses,
# with exit code 2, and changes nothing.
setup=$dist/Ejectra-$version-x64-setup.exe
if [ -f "$setup" ]; then
  arch=x64
  WINEARCH=win32 fresh_prefix
  work=$(mktemp -d /tmp/ejectra-installer.XXXXXX)
  trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
  snapshot before
  timeout 120 wine "$setup" /S >/dev/null 2>&1
  expect_eq "x64 on 32-bit Windows: the installer refuses with exit code 2" 2 "$?"
  snapshot after
  same "x64 on 32-bit Windows: nothing changed" before after
fi

echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
