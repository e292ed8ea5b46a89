#!/usr/bin/env bash
# EjectraWizard.exe under Wine on a virtual X display, on the sample machine
# through the simulated Pullcore.dll, driven from outside by
# wizard_driver.exe: the pages and their buttons, the About box, the
# automatic and the manual mode, the messages, the shortcuts it writes (read
# back with lnkinfo and from their header), and one of them started through
# Wine's shell. A screenshot of each page and of the About box is kept, and
# again at 144 DPI (x86), where the bitmaps are measured on the screen
# against the same measures at 96 DPI.
#
# Each build runs in turn: x86 always, x64 when it is built. The build
# folders are EJECTRA_BUILD_X86 and EJECTRA_BUILD_X64 (default
# build/windows-x86 and build/windows-x64); the program under test is
# EJECTRA_WIZARD_X86 or EJECTRA_WIZARD_X64 (default bin/EjectraWizard.exe
# of the build). Screenshots go to EJECTRA_WIZARD_SCREENSHOTS/ARCH (default
# build/wizard-screenshots/ARCH, and x86-144dpi).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

source "$root/tests/wine/lib.sh"
xvfb_screen=1280x1024x24  # room for the sheet at 144 DPI
run_in_xvfb "$@"
source "$root/tests/wine/wizard_lib.sh"

wizard_prefix
if [ -n "$font" ]; then
  pass "a Japanese font is installed ($font)"
else
  fail "a Japanese font is installed (fonts-noto-cjk)"
fi

# expect_sheet NAME: the wizard shows its sheet within 20 s; `shown` says
# whether it did.
expect_sheet() {
  local until=$((SECONDS + 20))
  shown=1
  until drive wait-sheet 1000 >/dev/null; do
    kill -0 "$wizard" 2>/dev/null && [ $SECONDS -lt $until ] && continue
    shown=0
    break
  done
  if [ $shown = 1 ]; then pass "$1"; else fail "$1"; fi
}

# check_ends NAME: the wizard, once it has shown its sheet, ends within
# 10 s, with exit code 0.
check_ends() {
  if [ "$shown" = 0 ]; then
    fail "$1 (its sheet was never shown)"
    stop_wizard
  elif ended_within 10; then
    pass "$1"
    wait "$wizard"
    expect_eq "$1: exit code" 0 "$?"
  else
    fail "$1"
    stop_wizard
  fi
}

# next_to NAME TITLE: presses Next and awaits the page TITLE.
next_to() {
  drive press next >/dev/null
  await "$1" "$2" title
}

# box_or_end: the message box the wizard shows, as `drive box` reads and
# answers it, or "none" once the wizard has ended without one; asked again
# for up to 30 s while neither has happened.
box_or_end() {
  local until=$((SECONDS + 30))
  while kill -0 "$wizard" 2>/dev/null; do
    if [[ " $(drive dialogs) " == *" box "* ]]; then
      drive box
      return
    fi
    [ $SECONDS -ge $until ] && { echo "still running, no box"; return; }
    sleep 0.2
  done
  echo none
}

# click_row N: a real click in the middle of the drive list's row N (the
# list notices a click only from the mouse); `point` is where.
click_row() {
  point=$(drive row-point "$1")
  [[ "$point" =~ ^[0-9]+\ [0-9]+$ ]] && xdotool mousemove --sync "${point% *}" "${point#* }" click 1
}

# extent_of WHICH "X0 Y0 X1 Y1": the width (w) or height (h) of the box.
extent_of() {
  local box=($2)
  if [ "$1" = w ]; then echo $((box[2] - box[0])); else echo $((box[3] - box[1])); fi
}

# half_again NAME AT96 AT144: AT144 is one and a half times AT96, give or
# take 3 pixels.
half_again() {
  local off=$((2 * $3 - 3 * $2))
  if [ "$2" -gt 0 ] && [ "${off#-}" -le 6 ]; then
    pass "$1 ($2 pixels at 96 DPI, $3 at 144)"
  else
    fail "$1 ($2 pixels at 96 DPI, $3 at 144)"
  fi
}

# bare_link ARGUMENTS COMMENT: the fields of a shortcut to Ejectra.exe with
# no folder known, as lnk_fields gives them without the path (Wine joins a
# bare target to a folder of its choosing there).
bare_link() {
  printf '%s\n' "target=Ejectra.exe" "arguments=$1" "comment=$2" "working=" "icon=Ejectra.exe" \
    "show=5" "hotkey=0"
}
bare_fields() { lnk_fields "$1" | grep -v '^path='; }

# The drives the simulated machine answers removable, as pullcore_probe lists them.
removable_now() { (cd "$tool" && timeout 30 wine "$tool/pullcore_probe.exe" list 2>/dev/null); }

welcome=$'Ejectra - ショートカット作成ウィザード'
connect=$'Ejectra - ドライブの接続'
method=$'Ejectra - ショートカット作成方法の選択'
select_drive=$'Ejectra - ドライブの選択'
shortcut=$'Ejectra - ショートカット作成'
more=$'Ejectra - 処理の選択'
finish=$'Ejectra - ショートカット作成ウィザードのご利用ありがとうございました'
about_box=$'Ejectra について\tVersion 1.10 (1.10.112.0)\t'\
'Copyright (C) 2026 Lumenfold. All rights reserved.'
comment_e='SanDisk Cruzer Blade USB Device (USB 大容量記憶装置) を取り外します。'
comment_f='Generic- SD/MMC USB Device (USB 大容量記憶装置) を取り外します。'
comment_h='WD My Passport 25E2 SCSI Disk Device (USB 接続 SCSI (UAS) マス ストレージ デバイス) を取り外します。'
comment_j=' (ディスク ドライブ) を取り外します。'
rows=$(printf '%s\n' \
  $'E:\tSanDisk Cruzer Blade USB Device\tUSB 大容量記憶装置' \
  $'F:\tGeneric- SD/MMC USB Device\tUSB 大容量記憶装置' \
  $'H:\tWD My Passport 25E2 SCSI Disk Device\tUSB 接続 SCSI (UAS) マス ストレージ デバイス' \
  $'J:\t\tディスク ドライブ')

for arch in x86 x64; do
  if [ $arch = x86 ]; then
    build=${EJECTRA_BUILD_X86:-$root/build/windows-x86}
    program=${EJECTRA_WIZARD_X86:-$build/bin/EjectraWizard.exe}
    view=/reg:32
  else
    build=${EJECTRA_BUILD_X64:-$root/build/windows-x64}
    program=${EJECTRA_WIZARD_X64:-$build/bin/EjectraWizard.exe}
    view=/reg:64
  fi
  driver=$build/tests/wizard_driver.exe
  if [ ! -f "$program" ] || [ ! -f "$driver" ]; then
    if [ $arch = x86 ]; then
      fail "x86: EjectraWizard.exe and wizard_driver.exe are built ($build)"
    else
      echo "x64: not built, skipped"
    fi
    continue
  fi
  shots=${EJECTRA_WIZARD_SCREENSHOTS:-$root/build/wizard-screenshots}/$arch
  rm -rf "$shots"
  mkdir -p "$shots"
  tool=$work/$arch/tool
  nolib=$work/$arch/nolib
  mkdir -p "$tool" "$nolib"
  install_sample_machine "$tool" "$build"
  wineserver -w  # the server that install_sample_machine stopped is gone
  wineserver -p >/dev/null 2>&1
  cp "$program" "$tool/EjectraWizard.exe"
  cp "$program" "$nolib/EjectraWizard.exe"
  cp "$build/tests/pullcore_probe.exe" "$tool/"
  sample=$(cat "$tool/machine.json")
  fresh_machine() { printf '%s\n' "$sample" >"$tool/machine.json"; }
  install_key="HKLM\\SOFTWARE\\Lumenfold\\Ejectra"

  # --- The pages in order, Back, the About box, the automatic mode ----------
  fresh_machine
  start_wizard "$tool"
  expect_sheet "$arch: the wizard shows its sheet"
  await "$arch: welcome page: title" "$welcome" title
  await "$arch: welcome page: only Next and Cancel" "back=0 next=1 finish=0 cancel=1" buttons
  shot 1-welcome
  [ $arch = x86 ] && watermark96=$(drive blue watermark)
  drive click 1015 >/dev/null
  await "$arch: the welcome page's button 1015 opens a box over the sheet" "about sheet" dialogs
  shot 8-about
  banner=$(drive banner)
  expect_eq "$arch: the About box shows its banner whole, at its size" 404x59 "${banner%% in *}"
  expect_eq "$arch: the welcome page's button 1015 opens the About box" "$about_box" \
    "$(drive about)"
  drive syscommand 0x10 >/dev/null
  expect_eq "$arch: the system menu's item 0x10 opens the About box" "$about_box" "$(drive about)"
  drive press next >/dev/null
  await "$arch: Next: the connect page" "$connect" title
  await "$arch: connect page: Back, Next and Cancel" "back=1 next=1 finish=0 cancel=1" buttons
  shot 2-connect
  [ $arch = x86 ] && header96=$(drive blue header)
  drive press next >/dev/null
  await "$arch: Next: the method page" "$method" title
  expect_eq "$arch: method page: its two choices" "1000 1001" "$(drive page)"
  expect_eq "$arch: method page: automatic by default" "1 0" \
    "$(drive checked 1000) $(drive checked 1001)"
  shot 3-method
  drive press back >/dev/null
  await "$arch: Back: the connect page" "$connect" title
  drive press back >/dev/null
  await "$arch: Back: the welcome page" "$welcome" title
  drive press next >/dev/null
  await "$arch: Next again: the connect page" "$connect" title
  drive press next >/dev/null
  await "$arch: Next again: the method page" "$method" title
  drive press next >/dev/null
  await "$arch: automatic mode: the finish page" "$finish" title
  await "$arch: finish page: only Finish, Cancel disabled" "back=0 next=0 finish=1 cancel=0" buttons
  shot 7-finish
  expect_eq "$arch: automatic mode: one shortcut per removable drive" \
    "$(printf '%s\n' "Eドライブ 取り外し.lnk" "Fドライブ 取り外し.lnk" "Hドライブ 取り外し.lnk" \
      "Jドライブ 取り外し.lnk" | LC_ALL=C sort)" "$(desktop_files)"
  expect_eq "$arch: automatic mode: E:'s shortcut" "$(bare_link E: "$comment_e")" \
    "$(bare_fields "$desktop/Eドライブ 取り外し.lnk")"
  expect_eq "$arch: automatic mode: F:'s shortcut" "$(bare_link F: "$comment_f")" \
    "$(bare_fields "$desktop/Fドライブ 取り外し.lnk")"
  expect_eq "$arch: automatic mode: H:'s shortcut" "$(bare_link H: "$comment_h")" \
    "$(bare_fields "$desktop/Hドライブ 取り外し.lnk")"
  expect_eq "$arch: automatic mode: J:'s shortcut (a device without a name)" \
    "$(bare_link J: "$comment_j")" "$(bare_fields "$desktop/Jドライブ 取り外し.lnk")"
  drive press finish >/dev/null
  check_ends "$arch: Finish ends the wizard"

  # --- A written shortcut, started through Wine's shell ----------------------
  # `wine start` returns before the program it starts has ended (and does so
  # for a shortcut even with /wait): the driver opens the shortcut through the
  # shell and returns once the process the shell started has ended; only then
  # is the machine read.
  expect_eq "$arch: E:'s shortcut opened through the shell starts one process, which ends" \
    "ended 1" "$(drive shell-open "$(winpath "$desktop/Eドライブ 取り外し.lnk")" 20000)"
  left=$(removable_now)
  expect_eq "$arch: E:'s shortcut started through the shell runs Ejectra.exe E:, and E: is gone" \
    "$(printf '%s\n' 'F: "Generic- SD/MMC USB Device" "USB 大容量記憶装置"' \
      'H: "WD My Passport 25E2 SCSI Disk Device" "USB 接続 SCSI (UAS) マス ストレージ デバイス"' \
      'J: "" "ディスク ドライブ"')" "$left"

  # --- InstallDirectory of another type, or naming a folder -----------------
  for type in REG_DWORD REG_SZ; do
    fresh_machine
    if [ $type = REG_DWORD ]; then
      timeout 60 wine reg add "$install_key" /v InstallDirectory /t REG_DWORD /d 1 /f $view \
        >/dev/null 2>&1
    else
      timeout 60 wine reg add "$install_key" /v InstallDirectory /t REG_SZ /d "$(winpath "$tool")" \
        /f $view >/dev/null 2>&1
    fi
    start_wizard "$tool"
    expect_sheet "$arch: InstallDirectory of $type: the wizard shows its sheet"
    next_to "$arch: InstallDirectory of $type: the connect page" "$connect"
    next_to "$arch: InstallDirectory of $type: the method page" "$method"
    next_to "$arch: InstallDirectory of $type: the finish page" "$finish"
    if [ $type = REG_DWORD ]; then
      expect_eq "$arch: InstallDirectory of REG_DWORD: the bare target, no working folder" \
        "$(bare_link E: "$comment_e")" "$(bare_fields "$desktop/Eドライブ 取り外し.lnk")"
    else
      expect_eq "$arch: InstallDirectory of REG_SZ: Ejectra.exe there, working in that folder" \
        "$(printf '%s\n' "path=$(winpath "$tool")\\Ejectra.exe" "working=$(winpath "$tool")" \
          "icon=$(winpath "$tool")\\Ejectra.exe")" \
        "$(lnk_fields "$desktop/Eドライブ 取り外し.lnk" | grep -E '^(path|working|icon)=')"
    fi
    drive press finish >/dev/null
    check_ends "$arch: InstallDirectory of $type: Finish ends the wizard"
  done
  timeout 60 wine reg delete "$install_key" /f $view >/dev/null 2>&1

  # --- The automatic mode with nothing to do ---------------------------------
  printf '{}\n' >"$tool/machine.json"
  start_wizard "$tool"
  expect_sheet "$arch: automatic mode without removable drives: the wizard shows its sheet"
  next_to "$arch: automatic mode without removable drives: the connect page" "$connect"
  next_to "$arch: automatic mode without removable drives: the method page" "$method"
  drive press next >/dev/null
  expect_eq "$arch: automatic mode without removable drives: message 11002, no icon" \
    $'Ejectra\tnone\t取り外し可能なドライブが見つかりませんでした。' "$(drive box 10000)"
  check_ends "$arch: automatic mode without removable drives: the wizard ends"
  expect_eq "$arch: automatic mode without removable drives: no shortcut" "" "$(desktop_files)"

  start_wizard "$nolib"
  expect_sheet "$arch: automatic mode without PULLCORE.DLL: the wizard shows its sheet"
  next_to "$arch: automatic mode without PULLCORE.DLL: the connect page" "$connect"
  next_to "$arch: automatic mode without PULLCORE.DLL: the method page" "$method"
  drive press next >/dev/null
  expect_eq "$arch: automatic mode without PULLCORE.DLL: no message" "none" "$(box_or_end)"
  check_ends "$arch: automatic mode without PULLCORE.DLL: the wizard ends"
  expect_eq "$arch: automatic mode without PULLCORE.DLL: no shortcut" "" "$(desktop_files)"

  # --- The manual mode ---------------------------------------------------
  fresh_machine
  start_wizard "$tool"
  expect_sheet "$arch: manual mode: the wizard shows its sheet"
  drive press next >/dev/null
  await "$arch: manual mode: the connect page" "$connect" title
  drive press next >/dev/null
  await "$arch: manual mode: the method page" "$method" title
  drive click 1001 >/dev/null
  await "$arch: method page: a click chooses the manual mode" 1 checked 1001
  expect_eq "$arch: method page: the automatic mode is no longer chosen" 0 "$(drive checked 1000)"
  drive press next >/dev/null
  await "$arch: manual mode: the drive list page" "$select_drive" title
  await "$arch: drive list: Next disabled until a row is clicked" \
    "back=1 next=0 finish=0 cancel=1" buttons
  expect_eq "$arch: drive list: the removable drives with their names and descriptions" "$rows" \
    "$(drive rows)"
  shot 4-drive-list
  if click_row 0; then
    pass "$arch: drive list: row E: is on the screen ($point)"
  else
    fail "$arch: drive list: row E: is on the screen ($point)"
  fi
  await "$arch: drive list: a click on a row enables Next" "back=1 next=1 finish=0 cancel=1" buttons
  drive press next >/dev/null
  await "$arch: manual mode: the shortcut page" "$shortcut" title
  expect_eq "$arch: shortcut page: the default name" "Eドライブ 取り外し" "$(drive text 1007)"
  expect_eq "$arch: shortcut page: the default comment" "$comment_e" "$(drive text 1006)"
  shot 5-shortcut
  drive set-text 1007 'Stick?' >/dev/null
  drive press next >/dev/null
  expect_eq "$arch: a name with a forbidden character: message 11001" \
    $'Ejectra\tnone\tショートカット名に / : * ? "< > | は使えません。' "$(drive box 10000)"
  await "$arch: a name with a forbidden character: the page stays" "$shortcut" title
  expect_eq "$arch: a name with a forbidden character: the name stays" "Stick?" "$(drive text 1007)"
  expect_eq "$arch: a name with a forbidden character: no shortcut" "" "$(desktop_files)"
  drive set-text 1007 'Stick.old' >/dev/null
  drive press next >/dev/null
  await "$arch: Next writes the shortcut: the more-or-quit page" "$more" title
  await "$arch: more-or-quit page: only Next and Cancel" "back=0 next=1 finish=0 cancel=1" buttons
  expect_eq "$arch: more-or-quit page: quit by default" "0 1" \
    "$(drive checked 1010) $(drive checked 1011)"
  shot 6-more-or-quit
  expect_eq "$arch: \"Stick.old\" is saved as it is" "Stick.old" "$(desktop_files)"
  expect_eq "$arch: \"Stick.old\": its fields" "$(bare_link E: "$comment_e")" \
    "$(bare_fields "$desktop/Stick.old")"
  drive click 1010 >/dev/null
  drive press next >/dev/null
  await "$arch: back to the drive list" "$select_drive" title
  await "$arch: drive list again: Next disabled until a row is clicked" \
    "back=1 next=0 finish=0 cancel=1" buttons
  click_row 1
  await "$arch: drive list again: a click on row F: enables Next" \
    "back=1 next=1 finish=0 cancel=1" buttons
  drive press next >/dev/null
  await "$arch: the shortcut page again" "$shortcut" title
  expect_eq "$arch: shortcut page again: F:'s default name" "Fドライブ 取り外し" "$(drive text 1007)"
  drive set-text 1007 'USB 2.0 Disk' >/dev/null
  drive press next >/dev/null
  await "$arch: the more-or-quit page again" "$more" title
  expect_eq "$arch: more-or-quit page again: the changed choice stays" "1 0" \
    "$(drive checked 1010) $(drive checked 1011)"
  expect_eq "$arch: \"USB 2.0 Disk\" is saved with .lnk" \
    "$(printf '%s\n' 'Stick.old' 'USB 2.0 Disk.lnk')" "$(desktop_files)"
  expect_eq "$arch: \"USB 2.0 Disk.lnk\": its fields" "$(bare_link F: "$comment_f")" \
    "$(bare_fields "$desktop/USB 2.0 Disk.lnk")"
  drive click 1011 >/dev/null
  drive press next >/dev/null
  await "$arch: quit: the finish page" "$finish" title
  await "$arch: quit: only Finish, Cancel disabled" "back=0 next=0 finish=1 cancel=0" buttons
  drive press finish >/dev/null
  check_ends "$arch: manual mode: Finish ends the wizard"

  stop_wizard
  echo "$arch screenshots: $shots"
done

# --- At 144 DPI (x86) ----------------------------------------------------------
# Wine 8 takes the DPI from LogPixels (HKCU\Control Panel\Desktop) when its
# server starts. Each page is kept again; the header's and the watermark's
# pictures are measured where they are seen (Wine shows no more than the
# left 164 pixels of a watermark: its height is measured) and the About
# banner against its static.
build=${EJECTRA_BUILD_X86:-$root/build/windows-x86}
driver=$build/tests/wizard_driver.exe
tool=$work/x86/tool
shots=${EJECTRA_WIZARD_SCREENSHOTS:-$root/build/wizard-screenshots}/x86-144dpi
if [ -f "$driver" ] && [ -f "$tool/EjectraWizard.exe" ]; then
  rm -rf "$shots"
  mkdir -p "$shots"
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
    >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  wineserver -w
  wineserver -p >/dev/null 2>&1
  printf '%s\n' "$sample" >"$tool/machine.json"
  start_wizard "$tool"
  expect_sheet "144 DPI: the wizard shows its sheet"
  await "144 DPI: the welcome page" "$welcome" title
  shot 1-welcome
  half_again "144 DPI: the watermark's picture is half again as high" \
    "$(extent_of h "${watermark96:-0 0 0 0}")" "$(extent_of h "$(drive blue watermark)")"
  drive click 1015 >/dev/null
  await "144 DPI: the About box" "about sheet" dialogs
  shot 8-about
  banner=$(drive banner)
  seen=${banner%% in *} static=${banner##* in }
  width=${seen%x*} height=${seen#*x}
  off=$((808 * height - 118 * width))
  if [ "$width" = "${static%x*}" ] && [ "$width" -ge 565 ] && [ "${off#-}" -le 808 ]; then
    pass "144 DPI: the About banner fills its static's width, in proportion ($banner)"
  else
    fail "144 DPI: the About banner fills its static's width, in proportion ($banner)"
  fi
  drive about >/dev/null
  next_to "144 DPI: the connect page" "$connect"
  shot 2-connect
  half_again "144 DPI: the header's picture is half again as wide" \
    "$(extent_of w "${header96:-0 0 0 0}")" "$(extent_of w "$(drive blue header)")"
  next_to "144 DPI: the method page" "$method"
  drive click 1001 >/dev/null
  await "144 DPI: the manual mode chosen" 1 checked 1001
  shot 3-method
  next_to "144 DPI: the drive list" "$select_drive"
  await "144 DPI: the drive list's rows" "$rows" rows
  shot 4-drive-list
  click_row 0
  await "144 DPI: a click on a row enables Next" "back=1 next=1 finish=0 cancel=1" buttons
  next_to "144 DPI: the shortcut page" "$shortcut"
  shot 5-shortcut
  next_to "144 DPI: the more-or-quit page" "$more"
  shot 6-more-or-quit
  next_to "144 DPI: the finish page" "$finish"
  shot 7-finish
  drive press finish >/dev/null
  check_ends "144 DPI: Finish ends the wizard"
  echo "x86 screenshots at 144 DPI: $shots"
fi

# Every wizard run has been waited for: none may still be running before the
# prefix's processes are stopped.
if [ -z "$(jobs -rp)" ]; then
  pass "no program left running"
else
  fail "no program left running"
fi
wineserver -k >/dev/null 2>&1
wineserver -w
echo "wizard: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
