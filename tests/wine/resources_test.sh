#!/usr/bin/env bash
# The programs' executables checked from outside, without running them: what
# they import, their subsystem, string tables in Japanese and English (each
# the texts of its messages.inc or messages_en.inc), version resource,
# Ejectra's icons, and EjectraWizard's strings, dialogs, bitmaps, icon and
# manifest.
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

# The DPI awareness that EXE's manifest declares, read back from the
# executable: "dpiAware=... dpiAwareness=..." (the 2005 and the 2016 element).
dpi_settings() {
  wrestool -x --raw -t 24 -n 1 "$1" >"$work/manifest"
  python3 - "$work/manifest" <<'PY'
import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
found = {}
for name, ns in (("dpiAware", "2005"), ("dpiAwareness", "2016")):
    e = root.find(f".//{{http://schemas.microsoft.com/SMI/{ns}/WindowsSettings}}{name}")
    found[name] = e.text if e is not None else "missing"
print(" ".join(f"{k}={v}" for k, v in found.items()))
PY
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

# The string table of EXE in LANGUAGE (default 1041), as ID<TAB>TEXT.
strings_of() {
  local exe=$1 language=${2:-1041} id args=()
  for id in $(wrestool -l -t 6 "$exe" | grep -- "--language=$language " | grep -oE -- '--name=[0-9]+' | cut -d= -f2); do
    wrestool -x --raw -t 6 -n "$id" -L "$language" "$exe" >"$work/strings$id"
    args+=("$id=$work/strings$id")
  done
  python3 "$root/tests/wine/resource_dump.py" strings "${args[@]}"
}

# The EJECTRA_MESSAGE entries of a messages.inc the same way, by ID.
table_of() {
  python3 - "$1" <<'PY'
import re, sys
source = open(sys.argv[1], encoding="utf-8").read()
for id, text in sorted((int(i), t) for i, t in re.findall(r'EJECTRA_MESSAGE\((\d+), "((?:[^"\\]|\\.)*)"\)', source)):
    print(f"{id}\t{text.replace(chr(92) + 'x22', chr(34))}")
PY
}

# The dialog IDs of EXE in LANGUAGE, in order.
dialog_ids() {
  wrestool -l -t 5 "$1" | grep -- "--language=$2 " | grep -oE -- '--name=[0-9]+' | cut -d= -f2 | sort -n | xargs
}

# dialog_of EXE ID LANGUAGE: the template as resource_dump.py reads it.
dialog_of() {
  wrestool -x --raw -t 5 -n "$2" -L "$3" "$1" >"$work/dialog"
  python3 "$root/tests/wine/resource_dump.py" dialog "$work/dialog"
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
    expect_eq "$arch: $exe.exe's manifest declares per-monitor v2 DPI awareness, true/pm before" \
      "dpiAware=true/pm dpiAwareness=PerMonitorV2, PerMonitor" "$(dpi_settings "$bin/$exe.exe")"
    expect_eq "$arch: $exe.exe's string table is Japanese (1041) and English (1033)" "1033 1041" \
      "$(wrestool -l -t 6 "$bin/$exe.exe" | grep -oE 'language=[0-9]+' | cut -d= -f2 | sort -u | xargs)"
    expect_eq "$arch: $exe.exe's other resources are Japanese (1041)" "1041" \
      "$(wrestool -l "$bin/$exe.exe" | grep -v -- '--type=6 ' | grep -oE 'language=[0-9]+' | cut -d= -f2 | sort -u)"
    folder=$([ $exe = ejectrac ] && echo console || echo windowless)
    expect_eq "$arch: $exe.exe's Japanese strings are those of messages.inc" \
      "$(table_of "$root/tools/$folder/messages.inc")" "$(strings_of "$bin/$exe.exe" 1041)"
    expect_eq "$arch: $exe.exe's English strings are those of messages_en.inc" \
      "$(table_of "$root/tools/$folder/messages_en.inc")" "$(strings_of "$bin/$exe.exe" 1033)"
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

expected_wizard_strings=$(cat <<'TEXT'
101	Ejectra について(&A)...
1001	%cドライブ 取り外し
1002	%s (%s) を取り外します。
1200	Ejectra - ショートカット作成ウィザード
1201	Ejectra へようこそ
1202	Ejectra へようこそ
1203	Ejectra - ショートカット作成ウィザードのご利用ありがとうございました
1204	Ejectra
1205	Ejectra
1206	Ejectra - ドライブの接続
1207	ドライブの接続
1208	USBやIEEE1394接続のドライブを接続します。
1209	Ejectra - ショートカット作成方法の選択
1210	ショートカット作成方法の選択
1211	ショートカット作成方法を選択します。
1212	Ejectra - ドライブの選択
1213	ドライブの選択
1214	ショートカットを作成したいドライブを選択します。
1215	Ejectra - ショートカット作成
1216	ショートカット作成
1217	ショートカットを作成します。
1218	Ejectra - 処理の選択
1219	処理の選択
1220	処理を選択してください。
1300	ドライブ
1301	デバイス名
1302	説明
11001	ショートカット名に / : * ? "< > | は使えません。
11002	取り外し可能なドライブが見つかりませんでした。
12001	ショートカットの作成に失敗しました。
57344	Ejectra
TEXT
)

# The templates: the font, then each control as ID, class and text.
expected_wizard_dialogs=$(cat <<'TEXT'
== 16
font	9	ＭＳ Ｐゴシック	
1021	static	Ejectra ショートカット作成ウィザード
-1	static	Ejectra ショートカット作成ウィザードを使用すれば、ドライブ取り外しのショートカットを簡単に作成することができます。
-1	static	作成されたショートカットを使用すれば、「ハードウェアの安全な取り外し」からデバイスを選ばずに簡単かつ安全にドライブを取り外せます。
-1	static	このプログラムについての詳細は、下のボタンを押してください。
1015	button	詳細(&A)...
-1	static	続けるには「次へ」のボタンを押してください。
== 179
font	9	ＭＳ Ｐゴシック	
-1	static	ドライブ取り外しのショートカットを作成したいドライブを接続してください。\n接続が完了して、ドライブとして認識されたのを確認したら「次へ」を押して下さい。
== 181
font	9	ＭＳ Ｐゴシック	
-1	static	ドライブ取り外しのショートカットを作成する方法を選択して下さい。
1000	button	接続されている取り外し可能なドライブのショートカットを自動で作成(&A)
1001	button	ドライブを選択して手動でショートカットを作成(&C)
== 178
font	9	ＭＳ Ｐゴシック	
-1	static	ショートカットを作成したいドライブを一覧から選択してください。
-1	static	取り外し可能なドライブ一覧:
1002	syslistview32	
== 176
font	9	ＭＳ Ｐゴシック	
-1	static	作成するショートカットのアイコン、ショートカット名、コメントを設定します。\n「次へ」ボタンを押すと、ショートカットが作成されます。
-1	static	アイコン(&I):
1008	static	
1003	button	アイコンの変更(&I)...
-1	static	ショートカット名(&S):
1007	edit	
-1	static	コメント(&C):
1006	edit	
== 180
font	9	ＭＳ Ｐゴシック	
-1	static	ドライブ取り外しのショートカットを作成しました。\nさらにショートカットを作成する場合は、「ドライブ選択画面へ戻る」を選んで下さい。
1010	button	ドライブ選択画面へ戻る(&D)
1011	button	ウィザードを終了する(&Q)
== 156
font	9	ＭＳ Ｐゴシック	
1021	static	Ejectra ショートカット作成ウィザード の\nご利用ありがとうございました
1009	static	ショートカットは、デスクトップ上に作成されています。\n\n再度、ウィザードを使用する場合は、Ejectra インストールフォルダにある EjectraWizard.exe を実行してください。
== 135
font	9	MS UI Gothic	Ejectra について
-1	static	#147
1010	static	
1011	static	
-1	static	取り外しのショートカットを、デスクトップにひとつずつ。
-1	button	
-1	static	Lumenfold ホームページ:
1012	static	https://lumenfold.example/ejectra
1	button	OK
TEXT
)

for arch in x86 x64; do
  exe=$root/build/windows-$arch/bin/EjectraWizard.exe
  expect_eq "$arch: EjectraWizard.exe imports only system libraries" "" \
    "$(foreign_imports "$exe" "COMCTL32.DLL COMCTL32.dll GDI32.dll")"
  expect_eq "$arch: EjectraWizard.exe is of subsystem 2" 2 \
    "$(objdump -p "$exe" | awk '$1 == "Subsystem" {print $2 + 0}')"
  wrestool -x --raw -t 16 "$exe" >"$work/version"
  expect_eq "$arch: EjectraWizard.exe carries its version resource" \
    "$(version_of "Ejectra ショートカット作成ウィザード" EjectraWizard)" \
    "$(python3 "$root/tests/wine/version_resource.py" "$work/version")"
  expect_eq "$arch: EjectraWizard.exe's resources are Japanese (1041)" "1041" \
    "$(wrestool -l "$exe" | grep -vE -- '--type=(5|6) ' | grep -oE 'language=[0-9]+' | cut -d= -f2 | sort -u)"
  expect_eq "$arch: EjectraWizard.exe's strings and dialogs are Japanese (1041) and English (1033)" \
    "1033 1041" \
    "$(wrestool -l "$exe" | grep -E -- '--type=(5|6) ' | grep -oE 'language=[0-9]+' | cut -d= -f2 | sort -u | xargs)"
  expect_eq "$arch: EjectraWizard.exe's string table" "$expected_wizard_strings" "$(strings_of "$exe")"
  expect_eq "$arch: EjectraWizard.exe's English strings are those of messages_en.inc" \
    "$(table_of "$root/wizard/messages_en.inc")" "$(strings_of "$exe" 1033)"
  expect_eq "$arch: EjectraWizard.exe carries the seven pages and the About box" \
    "16 135 156 176 178 179 180 181" "$(dialog_ids "$exe" 1041)"
  expect_eq "$arch: EjectraWizard.exe carries them in English too" \
    "16 135 156 176 178 179 180 181" "$(dialog_ids "$exe" 1033)"
  expect_eq "$arch: EjectraWizard.exe's dialog templates" "$expected_wizard_dialogs" \
    "$(for id in 16 179 181 178 176 180 156 135; do
         echo "== $id"
         dialog_of "$exe" $id 1041
       done)"
  # The English templates: the same controls (ID and class) in the same
  # order, with ASCII texts without a question mark.
  for id in 16 179 181 178 176 180 156 135; do
    dialog_of "$exe" $id 1041 | sed 1d | cut -f1,2 >"$work/japanese"
    dialog_of "$exe" $id 1033 >"$work/english"
    expect_eq "$arch: English dialog $id has the Japanese one's controls" \
      "$(cat "$work/japanese")" "$(sed 1d "$work/english" | cut -f1,2)"
    expect_eq "$arch: English dialog $id's texts are ASCII without a question mark" "" \
      "$(LC_ALL=C grep -nP '[^\t -~]|\?' "$work/english")"
  done
  # bitmap_sizes EXE ID...: "ID WIDTHxHEIGHT@BITS" for each bitmap.
  bitmap_sizes() {
    local file=$1 id
    shift
    for id; do
      wrestool -x --raw -t 2 -n "$id" "$file" >"$work/bitmap"
      echo "$id $(python3 "$root/tests/wine/resource_dump.py" bitmap "$work/bitmap")"
    done
  }
  expect_eq "$arch: EjectraWizard.exe's bitmaps: header, watermark, About banner, 24 bits" \
    "$(printf '132 575x58@24\n133 579x295@24\n147 404x59@24')" \
    "$(bitmap_sizes "$exe" 132 133 147)"
  expect_eq "$arch: EjectraWizard.exe's bitmaps for 192 DPI: twice the size of 132, 133, 147, 8 bits, RLE8" \
    "$(printf '232 1150x116@8 RLE8\n233 1158x590@8 RLE8\n247 808x118@8 RLE8')" \
    "$(bitmap_sizes "$exe" 232 233 247)"
  # The 192-DPI drawings decode whole, and averaged over 2x2 blocks lie within
  # 1.5 (mean channel difference) of the 96-DPI ones: in 24 bits they lie 0.3,
  # 0.1 and 0.7 from them (drawn anew at twice the size), in 256 colours 0.3,
  # 0.1 and 1.1; the About banner in 64 colours would lie 1.9 from its own.
  expect_eq "$arch: EjectraWizard.exe's 192-DPI bitmaps decode whole and look like 132, 133, 147" \
    "$(printf '232 like 132\n233 like 133\n247 like 147')" \
    "$(for pair in '232 132' '233 133' '247 147'; do
         wrestool -x --raw -t 2 -n "${pair% *}" "$exe" >"$work/large"
         wrestool -x --raw -t 2 -n "${pair#* }" "$exe" >"$work/small"
         far=$(python3 "$root/tests/wine/resource_dump.py" likeness "$work/large" "$work/small" \
               2>/dev/null)
         if [ -n "$far" ] && awk -v d="$far" 'BEGIN { exit !(d <= 1.5) }'; then
           echo "${pair% *} like ${pair#* }"
         else
           echo "${pair% *} ${far:-undecoded}"
         fi
       done)"
  expect_eq "$arch: EjectraWizard.exe carries no other bitmaps" "132 133 147 232 233 247" \
    "$(wrestool -l -t 2 "$exe" | grep -oE -- '--name=[0-9]+' | cut -d= -f2 | sort -n | xargs)"
  expect_eq "$arch: EjectraWizard.exe's manifest declares system DPI awareness" \
    "dpiAware=true dpiAwareness=system" "$(dpi_settings "$exe")"
  expect_eq "$arch: EjectraWizard.exe carries icon group 128" \
    "128 1 16x16@8 32x32@8 48x48@8 16x16@32 32x32@32 48x48@32" "$(icon_groups "$exe")"
  wrestool -x --raw -t 24 -n 1 "$exe" >"$work/manifest"
  expect_eq "$arch: EjectraWizard.exe's manifest asks for Common-Controls 6.0.0.0 for its processor" \
    "Microsoft.Windows.Common-Controls 6.0.0.0 $([ $arch = x86 ] && echo x86 || echo amd64)" \
    "$(python3 - "$work/manifest" <<'PY'
import sys
import xml.etree.ElementTree as ET
ns = "{urn:schemas-microsoft-com:asm.v1}"
root = ET.parse(sys.argv[1]).getroot()
for dep in root.iter(ns + "dependentAssembly"):
    a = dep.find(ns + "assemblyIdentity").attrib
    print(a["name"], a["version"], a["processorArchitecture"])
PY
)"
done

echo "resources: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
