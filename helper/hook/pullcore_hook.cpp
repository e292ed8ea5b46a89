#include "helper/hook/pullcore_hook.h"

namespace {

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// When the environment variable EJECTRA_HOOK_LOG names a file, every call
// of Start and Stop appends one line to it: "Start <process id>" or
// "Stop <process id>". Without it nothing is written; a line that cannot
// be written is left out and changes nothing else, the last error included.
void Log(const char* call) {
  const DWORD error = GetLastError();
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"EJECTRA_HOOK_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    SetLastError(error);
    return;
  }
  const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char line[64];
    const int size = wsprintfA(line, "%s %lu\r\n", call, GetCurrentProcessId());
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
  }
  SetLastError(error);
}

}  // namespace

CPullcoreHook::CPullcoreHook() : hook_(nullptr) {}

CPullcoreHook::~CPullcoreHook() {
  if (hook_) UnhookWindowsHookEx(hook_);
}

HHOOK CPullcoreHook::Start() {
  Log("Start");
  if (!hook_) hook_ = SetWindowsHookExW(WH_GETMESSAGE, PassOn, nullptr, GetCurrentThreadId());
  return hook_;
}

BOOL CPullcoreHook::Stop() {
  Log("Stop");
  if (!hook_) return TRUE;  // nothing installed, nothing to remove
  if (!UnhookWindowsHookEx(hook_)) return FALSE;
  hook_ = nullptr;
  return TRUE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
