// A client of the hook helper for the tests: creates one object, calls
// StartHook, waits, calls StopHook, and prints what each step answered and
// how long it took: "create <hr> <ms>", "start <hr> <count> <ms>" and
// "stop <hr> <count> <ms>".
//
//   hook_client WAIT_MS
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include <initguid.h>
#include "PullcoreHelper.h"

int wmain(int argc, wchar_t** argv) {
  const DWORD wait = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 0;
  if (FAILED(CoInitialize(nullptr))) return 2;
  IPullcoreHookHelper* helper = nullptr;
  DWORD start = GetTickCount();
  const HRESULT created = CoCreateInstance(CLSID_PullcoreHookHelper, nullptr, CLSCTX_LOCAL_SERVER,
                                           IID_IPullcoreHookHelper, reinterpret_cast<void**>(&helper));
  std::printf("create %08lx %lu\n", static_cast<unsigned long>(created), GetTickCount() - start);
  if (FAILED(created)) {
    CoUninitialize();
    return 1;
  }
  LONG count = -100;
  start = GetTickCount();
  HRESULT result = helper->StartHook(&count);
  std::printf("start %08lx %ld %lu\n", static_cast<unsigned long>(result), count, GetTickCount() - start);
  std::fflush(stdout);
  Sleep(wait);
  count = -100;
  start = GetTickCount();
  result = helper->StopHook(&count);
  std::printf("stop %08lx %ld %lu\n", static_cast<unsigned long>(result), count, GetTickCount() - start);
  helper->Release();
  CoUninitialize();
  return 0;
}
