#include "helper/hook/pullcore_hook.h"

namespace {

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

CPullcoreHook::CPullcoreHook() : m_hook(nullptr) {}

CPullcoreHook::~CPullcoreHook() {
  if (m_hook) UnhookWindowsHookEx(m_hook);
}

HHOOK CPullcoreHook::Start() {
  if (!m_hook) m_hook = SetWindowsHookExW(WH_GETMESSAGE, PassOn, nullptr, GetCurrentThreadId());
  return m_hook;
}

BOOL CPullcoreHook::Stop() {
  if (!m_hook) return TRUE;  // nothing installed, nothing to remove
  if (!UnhookWindowsHookEx(m_hook)) return FALSE;
  m_hook = nullptr;
  return TRUE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
