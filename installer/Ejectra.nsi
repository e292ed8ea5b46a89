; The Ejectra installer, one script for both architectures:
;
;   makensis -INPUTCHARSET UTF8 -DARCH=x86 -DSTAGE=<folder> -DOUTFILE=<setup.exe> Ejectra.nsi
;
; ARCH is x86 or x64. STAGE holds the six binaries of that architecture,
; Pullcore.dll's header as include\pullcore.h, the guide under guide\, and
; guide.nsh, the guide's File lines in a fixed order (scripts/release writes
; it). The output depends on nothing but these inputs:
; no file dates are stored and every file is named in a fixed order.
;
; Silent: Ejectra-<version>-<arch>-setup.exe /S; Uninstall.exe /S.
; Exit codes: 0 installed, 1 cancelled, 2 failed (helper registration,
; or the 64-bit installer on 32-bit Windows).

Unicode true
SetCompressor /SOLID lzma
SetDateSave off
RequestExecutionLevel admin
ManifestSupportedOS all

!ifndef ARCH
  !error "ARCH (x86 or x64) is not defined"
!endif
!ifndef STAGE
  !error "STAGE (the staged files) is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Ejectra-${VERSION}-${ARCH}-setup.exe"
!endif

!define VERSION "1.10.112.0"
!define COMPANY "Lumenfold"
!define PRODUCT "Ejectra"
!define INSTALL_KEY "SOFTWARE\${COMPANY}\${PRODUCT}"
!define COMPANY_KEY "SOFTWARE\${COMPANY}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; --- pages and languages ---------------------------------------------------
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: it is the language of every system that is not Japanese.
; NSIS picks the language of the user's interface by itself; no dialog asks.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"
!include "strings.nsh"

; --- the installer's own version resource ----------------------------------
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
!macro VersionKeys LANGUAGE
  VIAddVersionKey /LANG=${LANGUAGE} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${LANGUAGE} "CompanyName" "${COMPANY}"
  VIAddVersionKey /LANG=${LANGUAGE} "FileVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANGUAGE} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANGUAGE} "FileDescription" "${PRODUCT} Setup (${ARCH})"
  VIAddVersionKey /LANG=${LANGUAGE} "LegalCopyright" "Copyright (C) 2026 ${COMPANY}. All rights reserved."
!macroend
!insertmacro VersionKeys ${LANG_ENGLISH}
!insertmacro VersionKeys ${LANG_JAPANESE}

!include "helper.nsh"

; --- the installer ----------------------------------------------------------
Function .onInit
  SetShellVarContext all
  ; The registry view is the one the installed wizard reads: the 32-bit
  ; view for the 32-bit programs, the 64-bit view for the 64-bit ones.
  ; Program Files is not redirected for a 32-bit process, so the 64-bit
  ; files need no ${DisableX64FSRedirection}.
!if ${ARCH} == x64
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsX64)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetRegView 64
  !define DEFAULT_DIR "$PROGRAMFILES64\${COMPANY}\${PRODUCT}"
!else
  SetRegView 32
  !define DEFAULT_DIR "$PROGRAMFILES32\${COMPANY}\${PRODUCT}"
!endif
  ; /D=folder wins; else an earlier installation is replaced where it is.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${INSTALL_KEY}" "InstallDirectory"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "${DEFAULT_DIR}"
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecMain
  SectionIn RO
  ; A running helper holds its file: it is waited for, then stopped.
  Call StopHelper

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\Pullcore.dll"
  File "${STAGE}\ejectrac.exe"
  File "${STAGE}\Ejectra.exe"
  File "${STAGE}\PullcoreHelper.exe"
  File "${STAGE}\PullcoreHook.dll"
  File "${STAGE}\EjectraWizard.exe"
  SetOutPath "$INSTDIR\include"
  File "${STAGE}\include\pullcore.h"
  RMDir /r "$INSTDIR\guide"
  !include "${STAGE}\guide.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${INSTALL_KEY}" "InstallDirectory" "$INSTDIR"

  ; The helper registers its class, ProgIDs, AppID and type library. If
  ; that fails, nothing of this installation stays behind.
  DetailPrint "$(Registering)"
  ClearErrors
  ExecWait '"$INSTDIR\PullcoreHelper.exe" /RegServer' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    DetailPrint "$(RegisterFailed)"
    ExecWait '"$INSTDIR\PullcoreHelper.exe" /UnregServer'
    Call RemoveInstallation
    MessageBox MB_OK|MB_ICONSTOP "$(RegisterFailed)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\$(MenuWizard).lnk" "$INSTDIR\EjectraWizard.exe" "" \
                 "$INSTDIR\EjectraWizard.exe" 0 SW_SHOWNORMAL "" "$(MenuWizardComment)"

  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\EjectraWizard.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; --- the uninstaller --------------------------------------------------------
Function un.onInit
  SetShellVarContext all
!if ${ARCH} == x64
  SetRegView 64
!else
  SetRegView 32
!endif
FunctionEnd

Section "Uninstall"
  Call un.StopHelper
  DetailPrint "$(Unregistering)"
  ExecWait '"$INSTDIR\PullcoreHelper.exe" /UnregServer'
  Call un.RemoveInstallation
SectionEnd
