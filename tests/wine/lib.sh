# Shared by the Wine tests: counting checks, and a fresh Wine prefix.
# Source it; it sets `passed` and `failed`.

passed=0
failed=0

pass() { passed=$((passed + 1)); echo "ok - $1"; }
fail() { failed=$((failed + 1)); echo "FAIL - $1"; }

# expect_eq NAME EXPECTED ACTUAL
expect_eq() {
  if [ "$2" == "$3" ]; then
    pass "$1"
  else
    fail "$1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    /'
  fi
}

# run_in_xvfb "$@": windows and message boxes need an X display. Runs the
# calling script again inside one xvfb-run of its own, so that its prefix's
# wineserver starts under that display, unless it runs in one already. The
# screen is `xvfb_screen` when set (WIDTHxHEIGHTxDEPTH), else 1024x768x24.
run_in_xvfb() {
  [ -n "${EJECTRA_UNDER_XVFB:-}" ] && return 0
  EJECTRA_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 ${xvfb_screen:-1024x768x24}" "$0" "$@"
}

# What ejectrac /L lists on the sample machine.
sample_listing=$(cat <<'TEXT'
[E:] SanDisk Cruzer Blade USB Device ( USB 大容量記憶装置 )
[F:] Generic- SD/MMC USB Device ( USB 大容量記憶装置 )
[H:] WD My Passport 25E2 SCSI Disk Device ( USB 接続 SCSI (UAS) マス ストレージ デバイス )
[J:]  ( ディスク ドライブ )
TEXT
)

# A new prefix for this run, removed when the shell exits.
fresh_prefix() {
  WINEPREFIX=$(mktemp -d /tmp/ejectra-wine.XXXXXX)
  export WINEPREFIX WINEDEBUG=-all
  trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
  timeout 300 wineboot -i >/dev/null 2>&1
}

# wine_tool PROGRAM ARGUMENTS...: runs one of our own test programs (a
# driver or a probe, never a program under test) and prints its standard
# output. Now and then Wine 8 fails to load a program's image and hands its
# command line to start.exe, which prints its ShellExecuteEx failure and
# exits 1 without running the program: such a launch is tried again, up to
# three times in all.
wine_tool() {
  local out status try
  for try in 1 2 3; do
    out=$(timeout 30 wine "$@" 2>/dev/null)
    status=$?
    [ $status = 1 ] && [[ "$out" == *ShellExecuteEx* ]] || break
  done
  [ -n "$out" ] && printf '%s\n' "$out"
  return $status
}

# The Windows path of a Unix path, through Wine's Z: drive.
winpath() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

# The locale the programs under test run in: Japanese (code page 932) unless
# a script sets `wine_locale` before it calls install_sample_machine or
# wizard_prefix (en_US.UTF-8 for the English texts, code page 1252).
wine_locale=${wine_locale:-ja_JP.UTF-8}

# install_sample_machine FOLDER BUILD: the tools and the simulated
# Pullcore.dll in FOLDER, a copy of the sample machine beside them (named by
# EJECTRA_SIM_MACHINE), and its drive letters present in the prefix.
install_sample_machine() {
  local folder=$1 build=$2 letter
  cp "$build/bin/ejectrac.exe" "$build/bin/Ejectra.exe" "$build/sim/Pullcore.dll" "$folder/"
  cp "$(dirname "${BASH_SOURCE[0]}")/../../machines/sample.json" "$folder/machine.json"
  mkdir -p "$folder/media"
  for letter in e f g h i j; do ln -sfn "$folder/media" "$WINEPREFIX/dosdevices/$letter:"; done
  wineserver -k >/dev/null 2>&1  # Wine reads the drive letters afresh
  export EJECTRA_SIM_MACHINE LC_ALL=$wine_locale
  EJECTRA_SIM_MACHINE=$(winpath "$folder/machine.json")
}

# The libraries FILE imports beyond the system libraries and EXTRA ones.
foreign_imports() {
  local file=$1 extra=${2:-} name foreign=""
  local system='ADVAPI32.dll KERNEL32.dll msvcrt.dll SETUPAPI.dll SHLWAPI.dll USER32.dll SHELL32.dll VERSION.dll ole32.dll OLEAUT32.dll'
  for name in $(objdump -p "$file" | awk '/DLL Name:/ {print $3}'); do
    [[ " $system $extra " == *" $name "* ]] || foreign+=" $name"
  done
  echo "$foreign"
}
