; What the installer and the uninstaller share: stopping a running
; PullcoreHelper.exe, and removing an installation.

; Every PullcoreHelper.exe process holds the named mutex below for its whole
; life (helper/hook_session.h, kHookMutexName). Idle, the server ends about
; 6 s after its last client lets go: the mutex is polled for up to 10 s, then
; the server is stopped by force and the mutex polled for up to 5 s more.
!define HELPER_MUTEX "{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}"
!define SYNCHRONIZE 0x00100000

!macro StopHelperFunction UN
Function ${UN}HelperRunning  ; pushes 1 while a helper runs, else 0
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${HELPER_MUTEX}") p.r9'
  ${If} $9 P<> 0
    System::Call 'kernel32::CloseHandle(p r9)'
    Push 1
  ${Else}
    Push 0
  ${EndIf}
FunctionEnd

Function ${UN}StopHelper
  Push $8
  Push $9
  Call ${UN}HelperRunning
  Pop $9
  ${If} $9 = 1
    DetailPrint "$(StoppingHelper)"
    ${For} $8 1 20
      Sleep 500
      Call ${UN}HelperRunning
      Pop $9
      ${IfThen} $9 = 0 ${|} ${ExitFor} ${|}
    ${Next}
  ${EndIf}
  ${If} $9 = 1
    nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM PullcoreHelper.exe'
    Pop $9
    ${For} $8 1 10
      Call ${UN}HelperRunning
      Pop $9
      ${IfThen} $9 = 0 ${|} ${ExitFor} ${|}
      Sleep 500
    ${Next}
  ${EndIf}
  Pop $9
  Pop $8
FunctionEnd
!macroend
!insertmacro StopHelperFunction ""
!insertmacro StopHelperFunction "un."

; Removes the files, the folder (and the company's if empty), the Start-menu
; entry and the registry keys. The desktop shortcuts the wizard wrote are the
; user's and stay.
!macro RemoveInstallationFunction UN
Function ${UN}RemoveInstallation
  ; A folder that is the current one cannot be removed.
  SetOutPath "$TEMP"
  Delete "$INSTDIR\Pullcore.dll"
  Delete "$INSTDIR\ejectrac.exe"
  Delete "$INSTDIR\Ejectra.exe"
  Delete "$INSTDIR\PullcoreHelper.exe"
  Delete "$INSTDIR\PullcoreHook.dll"
  Delete "$INSTDIR\EjectraWizard.exe"
  Delete "$INSTDIR\include\pullcore.h"
  RMDir "$INSTDIR\include"
  RMDir /r "$INSTDIR\guide"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${${UN}GetParent} "$INSTDIR" $9
  RMDir "$9"

  Delete "${MENU_FOLDER}\${MENU_WIZARD_EN}.lnk"
  Delete "${MENU_FOLDER}\${MENU_WIZARD_JA}.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${INSTALL_KEY}"
  DeleteRegKey /ifempty HKLM "${COMPANY_KEY}"
FunctionEnd
!macroend
!insertmacro RemoveInstallationFunction ""
!insertmacro RemoveInstallationFunction "un."
