# Shared by the scripts that run EjectraWizard.exe under Wine and drive it
# with wizard_driver.exe (tests/wine/wizard_test.sh, scripts/run-main).
# Source it after lib.sh, inside one xvfb-run. It uses `driver` (the
# driver's path), and sets `work`, `desktop`, `font` and `wizard`.

# wizard_prefix: a fresh prefix for the wizard: Japanese fonts for its
# dialogs, a desktop folder of its own, no desktop files for the links;
# `font` is the Japanese font found, or empty.
wizard_prefix() {
  # No menu entries or desktop files for the links, no add-on installers.
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
  fresh_prefix
  work=$(mktemp -d /tmp/ejectra-wizard.XXXXXX)
  trap 'kill $(jobs -p) 2>/dev/null; wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
  wineserver -p >/dev/null 2>&1  # one server for the whole test
  export LC_ALL=$wine_locale

  # Without a window manager, Wine waits 2 s for every hidden managed window
  # to be withdrawn; unmanaged windows close at once.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # The dialog templates name Japanese fonts that Wine does not have.
  font=$(fc-list :lang=ja family | tr ',' '\n' | grep -m1 -xE 'Noto Sans CJK JP|IPAPGothic|IPAGothic')
  for name in "ＭＳ Ｐゴシック" "MS UI Gothic"; do
    timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ \
      /d "${font:-Noto Sans CJK JP}" /f >/dev/null 2>&1
  done

  # The shortcuts land here. A fresh prefix may link the desktop to the
  # user's own folder: it is replaced by a folder of the prefix's own.
  for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    [[ "$desktop" != */Public/* ]] && break
  done
  [ -L "$desktop" ] && rm "$desktop"
  mkdir -p "$desktop"
}

# The driver's answer to ARGUMENTS (wizard_driver.cpp).
drive() { wine_tool "$driver" "$@"; }

# await NAME EXPECTED ARGUMENTS...: checks the driver's answer, asked again
# for up to 10 s while it differs and the wizard runs (the wizard posts its
# button changes).
await() {
  local name=$1 expected=$2 answer="" until=$((SECONDS + 10))
  shift 2
  while :; do
    answer=$(drive "$@")
    [ "$answer" == "$expected" ] || [ $SECONDS -ge $until ] && break
    kill -0 "$wizard" 2>/dev/null || break
    sleep 0.2
  done
  expect_eq "$name" "$expected" "$answer"
}

# start_wizard FOLDER: runs FOLDER/EjectraWizard.exe; `wizard` is its job.
start_wizard() {
  rm -rf "${desktop:?}"/*
  (cd "$work" && exec timeout 120 wine "$1/EjectraWizard.exe") >/dev/null 2>&1 &
  wizard=$!
}

# ended_within SECONDS: whether the wizard has ended by then.
ended_within() {
  local tick
  for ((tick = 0; tick < $1 * 5; tick++)); do
    kill -0 "$wizard" 2>/dev/null || return 0
    sleep 0.2
  done
  return 1
}

# stop_wizard: ends a wizard still running, by Cancel, or by force.
stop_wizard() {
  kill -0 "$wizard" 2>/dev/null || return 0
  drive press cancel >/dev/null
  ended_within 5 || kill "$wizard" 2>/dev/null
  wait "$wizard" 2>/dev/null
}

# shot NAME: the screen, once still, as NAME.png.
shot() {
  drive screenshot-ready >/dev/null
  import -window root "$shots/$1.png"
}

# The files on the desktop, one a line, sorted.
desktop_files() { find "$desktop" -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort; }

# lnk_fields FILE: what a shortcut holds, a line each: the path lnkinfo
# reads, the names in its target's ID list (joined by \), the arguments,
# comment, working folder and icon location, then the show command and
# hotkey from the header (offsets 0x3C and 0x40), which lnkinfo misreads.
lnk_fields() {
  local info
  info=$(lnkinfo "$1" 2>/dev/null)
  field() { sed -n "s/^\t$1\t*: \{0,1\}//p" <<<"$info" | head -1; }
  echo "path=$(field 'Local path')"
  echo "target=$(sed -n 's/^\t\tName\t*: //p' <<<"$info" | paste -sd '\\')"
  echo "arguments=$(field 'Command line arguments')"
  echo "comment=$(field Description)"
  echo "working=$(field 'Working directory')"
  echo "icon=$(field 'Icon location')"
  echo "show=$(od -An -tu4 -j 60 -N4 "$1" | tr -d ' ')"
  echo "hotkey=$(od -An -tu2 -j 64 -N2 "$1" | tr -d ' ')"
}
