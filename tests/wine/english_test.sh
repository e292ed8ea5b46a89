#!/usr/bin/env bash
# The programs' English texts under Wine in an English locale (en_US.UTF-8,
# code page 1252), on the sample machine through the simulated Pullcore.dll,
# in one pass of the x86 build: ejectrac's usage, listing and messages byte
# for byte, Ejectra's boxes, the wizard's pages (each page's caption, and a
# screenshot of each in build/wizard-screenshots/x86-en), and the x86
# installer installing and uninstalling in English when dist/ holds it.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
wine_locale=en_US.UTF-8
source "$root/tests/wine/lib.sh"
source "$root/tests/wine/wizard_lib.sh"
run_in_xvfb "$@"

build=$root/build/windows-x86
driver=$build/tests/wizard_driver.exe
installer=$root/dist/Ejectra-1.10.112.0-x86-setup.exe
wizard_prefix
shots=$root/build/wizard-screenshots/x86-en
tool=$work/tool
mkdir -p "$tool" "$shots"
install_sample_machine "$tool" "$build"
cp "$build/bin/EjectraWizard.exe" "$build/tests/box_reader.exe" "$tool/"
wineserver -w
wineserver -p >/dev/null 2>&1
sample=$(cat "$tool/machine.json")
reset_machine() { printf '%s\n' "$sample" >"$tool/machine.json"; }

# --- ejectrac: ASCII with CR LF; the device texts' Japanese as ? ---------------
banner=$'Ejectra (Console) Version 1.10\nCopyright (C) 2026 Lumenfold. All rights reserved.\n\n'
usage=$(cat <<'TEXT'
Usage: ejectrac [/B] [[/S] drives | /D device-name] | [/L]

drives         Names the drives. Example: A: B: or ABC (several at once)
/D device-name Names the device. Example: TOSHIBA MK5004MAL USB Device
/L             Lists the removable devices that are connected now.
/B             Shows the hardware removal message as a balloon.
/S             Skips drives that are not connected.
TEXT
)
crlf() { sed 's/$/\r/'; }
# ejectrac ARGS...: sets `out` (banner removed, CR LF kept as LF) and `code`.
ejectrac() {
  wine "$tool/ejectrac.exe" "$@" >"$work/out" 2>/dev/null
  code=$?
  out=$(tr -d '\r' <"$work/out" | tail -n +5)
}

wine "$tool/ejectrac.exe" >"$work/out" 2>/dev/null
expect_eq "ejectrac: no arguments: exit code 1" 1 "$?"
if cmp -s "$work/out" <(printf '%s\n%s\n' "$banner" "$usage" | crlf); then
  pass "ejectrac: no arguments: banner and English usage, byte for byte with CR LF"
else
  fail "ejectrac: no arguments: banner and English usage, byte for byte with CR LF"
  diff <(printf '%s\n%s\n' "$banner" "$usage") <(tr -d '\r' <"$work/out") | sed 's/^/    /'
fi
ejectrac /L
expect_eq "ejectrac /L: the same lines, each Japanese character of a device text a ? (exit $code)" \
  "$(printf '%s' "$sample_listing" | python3 -c "import sys; print(sys.stdin.read().encode('cp1252', 'replace').decode('cp1252'), end='')")" \
  "$out"
ejectrac Q:
expect_eq "ejectrac Q: says 2002 in English, exit 0" "Drive Q: does not exist on this system.|0" "$out|$code"
ejectrac /V H:
expect_eq "ejectrac /V H: says why in English, exit 0" "$(cat <<'TEXT'
Drive H: is in use and could not be removed.
  C:\Windows\explorer.exe (process ID 5120)
  C:\Program Files\Lumenfold Notes\notes.exe (process ID 4242)|0
TEXT
)" "$out|$code"
reset_machine

# --- Ejectra: its boxes, read and answered by box_reader ------------------------
# ejectra_boxes ARGUMENTS...: each box Ejectra shows, "caption<TAB>icon<TAB>text".
ejectra_boxes() {
  (cd "$tool" && timeout 60 wine "$tool/box_reader.exe" 5) >"$work/boxes" 2>/dev/null &
  local reader=$!
  (cd "$tool" && timeout 60 wine "$tool/Ejectra.exe" "$@") >/dev/null 2>&1
  wait "$reader"
  sed -n 's/^BOX\t//p' "$work/boxes"
}
expect_eq "Ejectra with no arguments shows the English usage" \
  "$(printf 'Ejectra\twarning\t%s' 'Ejectra\n\nUsage: ejectra [/B] [[/S] drives | /D device-name]\n\ndrives         Names the drives. Example: A: B: or ABC (several at once)\n/D device-name Names the device. Example: TOSHIBA MK5004MAL USB Device\n/B             Shows the hardware removal message as a balloon.\n/S             Skips drives that are not connected.')" \
  "$(ejectra_boxes)"
expect_eq "Ejectra K: says 2002 in English" \
  "$(printf 'Ejectra\twarning\tDrive K: does not exist on this system.')" "$(ejectra_boxes K:)"

# --- The installer in English, before the wizard's InstallDirectory is set ------
# (an installer finding one installs there again)
if [ ! -f "$installer" ]; then
  echo "  (no $installer: scripts/release makes it)"
else
  menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ejectra"
  folder="$WINEPREFIX/drive_c/Program Files (x86)/Lumenfold/Ejectra"  # x86 on 64-bit Wine
  # No persistent server here: `wineserver -w` waits for the end of every
  # process a step started (the uninstaller goes on from a copy of itself).
  wineserver -k >/dev/null 2>&1
  timeout 300 wine "$installer" /S >/dev/null 2>&1
  expect_eq "installer: installs silently, exit 0" 0 "$?"
  wineserver -w
  expect_eq "installer: the Start-menu entry has its English name" "Ejectra Shortcut Wizard.lnk" \
    "$(ls "$menu" 2>/dev/null)"
  [ -f "$folder/EjectraWizard.exe" ] && pass "installer: the programs are installed" ||
    fail "installer: the programs are installed"
  timeout 300 wine "$folder/Uninstall.exe" /S >/dev/null 2>&1
  wineserver -w
  wineserver -p >/dev/null 2>&1
  [ ! -e "$folder" ] && [ ! -e "$menu" ] && pass "installer: uninstalls silently, nothing left" ||
    fail "installer: uninstalls silently, nothing left"
fi

# --- The wizard's pages ----------------------------------------------------------
timeout 60 wine reg add 'HKLM\SOFTWARE\Lumenfold\Ejectra' /v InstallDirectory /t REG_SZ \
  /d "$(winpath "$tool")" /reg:32 /f >/dev/null 2>&1
start_wizard "$tool"
drive wait-sheet 20000 >/dev/null
await "wizard: welcome page" "Ejectra - Shortcut Creation Wizard" title
shot 1-welcome
drive click 1015 >/dev/null
await "wizard: the About box comes over the sheet" "about sheet" dialogs
shot 8-about
expect_eq "wizard: the About box" \
  "$(printf 'About Ejectra\tVersion 1.10 (1.10.112.0)\tCopyright (C) 2026 Lumenfold. All rights reserved.')" \
  "$(drive about)"
drive press next >/dev/null
await "wizard: connect page" "Ejectra - Connect the Drive" title
shot 2-connect
drive press next >/dev/null
await "wizard: method page" "Ejectra - Choose How to Create Shortcuts" title
drive click 1001 >/dev/null
await "wizard: method page: one chosen drive" 1 checked 1001
shot 3-method
drive press next >/dev/null
await "wizard: drive list page" "Ejectra - Choose a Drive" title
point=$(drive row-point 0)
[[ "$point" =~ ^[0-9]+\ [0-9]+$ ]] && xdotool mousemove --sync "${point% *}" "${point#* }" click 1
await "wizard: drive list page: a drive chosen" "back=1 next=1 finish=0 cancel=1" buttons
shot 4-drive-list
drive press next >/dev/null
await "wizard: shortcut page" "Ejectra - Create the Shortcut" title
expect_eq "wizard: shortcut page: the default name in English word order" "Remove drive E" \
  "$(drive text 1007)"
expect_eq "wizard: shortcut page: the default comment" \
  "Removes SanDisk Cruzer Blade USB Device (USB 大容量記憶装置)." "$(drive text 1006)"
shot 5-shortcut
drive press next >/dev/null
await "wizard: the next-step page" "Ejectra - Choose What to Do Next" title
shot 6-more
expect_eq "wizard: the shortcut is on the desktop" "Remove drive E.lnk" "$(desktop_files)"
drive click 1011 >/dev/null
drive press next >/dev/null
await "wizard: finish page" "Ejectra - Thank you for using the Shortcut Creation Wizard" title
shot 7-finish
drive press finish >/dev/null
ended_within 10 || { fail "wizard: ends with Finish"; stop_wizard; }
echo "  screenshots: $shots"

echo "english: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
