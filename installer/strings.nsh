; The installer's own texts, in English and Japanese (UTF-8).

LangString NeedsX64 ${LANG_ENGLISH} "This installer is for 64-bit Windows. Please use the 32-bit (x86) installer on this computer."
LangString NeedsX64 ${LANG_JAPANESE} "このインストーラーは 64 ビット版 Windows 用です。このコンピューターでは 32 ビット版 (x86) のインストーラーを使ってください。"

LangString Registering ${LANG_ENGLISH} "Registering PullcoreHelper.exe..."
LangString Registering ${LANG_JAPANESE} "PullcoreHelper.exe を登録しています..."

LangString Unregistering ${LANG_ENGLISH} "Unregistering PullcoreHelper.exe..."
LangString Unregistering ${LANG_JAPANESE} "PullcoreHelper.exe の登録を解除しています..."

LangString RegisterFailed ${LANG_ENGLISH} "PullcoreHelper.exe could not be registered (exit code $0). The installation has been undone."
LangString RegisterFailed ${LANG_JAPANESE} "PullcoreHelper.exe を登録できませんでした (終了コード $0)。インストールを取り消しました。"

LangString StoppingHelper ${LANG_ENGLISH} "Waiting for PullcoreHelper.exe to end..."
LangString StoppingHelper ${LANG_JAPANESE} "PullcoreHelper.exe の終了を待っています..."

; The Start-menu entry of the wizard: its name and comment follow the language.
; The uninstaller removes both names, whichever language installed it.
!define MENU_WIZARD_EN "Ejectra Shortcut Wizard"
!define MENU_WIZARD_JA "Ejectra ショートカット ウィザード"
LangString MenuWizard ${LANG_ENGLISH} "${MENU_WIZARD_EN}"
LangString MenuWizard ${LANG_JAPANESE} "${MENU_WIZARD_JA}"
LangString MenuWizardComment ${LANG_ENGLISH} "Puts a shortcut that removes a drive on the desktop."
LangString MenuWizardComment ${LANG_JAPANESE} "ドライブを取り外すショートカットをデスクトップに作成します。"
