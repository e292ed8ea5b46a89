// A client of the hook helper for the tests: creates one object, calls
// StartHook, waits, calls StopHook, and prints what each step answered and
// how long it took: "create <hr> <ms>", "start <hr> <count> <ms>" and
// "stop <hr> <count> <ms>".
//
//   hook_client WAIT_MS
//   hook_client WAIT_MS GO STOP
//   hook_client /set EVENT
//   hook_client /running MS
//
// With GO and STOP (names of manual-reset events), the client first prints
// "ready", then waits for GO before it creates the object, and after
// StartHook and WAIT_MS waits for STOP before it calls StopHook: many
// clients started together are released at the same moment, activate the
// server in a race, and all hold the hook until the test lets them go.
// Each wait gives up after 60 s (exit code 3). "/set EVENT" sets an event
// of that name. "/running MS" waits up to MS for a PullcoreHelper.exe to be
// running (every one holds the helper's named mutex for its whole life, the
// one the installer looks for) and prints "running", or "none" (exit code 1).
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include <initguid.h>
#include "PullcoreHelper.h"

namespace {

constexpr DWORD kBarrierLimitMilliseconds = 60000;
constexpr wchar_t kHelperMutex[] =  // helper/hook_session.h, kHookMutexName
    L"{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}";
constexpr DWORD kPollMilliseconds = 20;

HANDLE Barrier(const wchar_t* name) { return CreateEventW(nullptr, TRUE, FALSE, name); }

bool Pass(HANDLE barrier) {
  return barrier && WaitForSingleObject(barrier, kBarrierLimitMilliseconds) == WAIT_OBJECT_0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"/set") == 0) {
    const HANDLE event = Barrier(argv[2]);
    const bool set = event && SetEvent(event);
    if (event) CloseHandle(event);
    return set ? 0 : 1;
  }
  if (argc == 3 && std::wcscmp(argv[1], L"/running") == 0) {
    const DWORD limit = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
    for (const DWORD start = GetTickCount();; Sleep(kPollMilliseconds)) {
      const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kHelperMutex);
      if (mutex) {
        CloseHandle(mutex);
        std::printf("running\n");
        return 0;
      }
      if (GetTickCount() - start >= limit) {
        std::printf("none\n");
        return 1;
      }
    }
  }
  const DWORD wait = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 0;
  const bool barriers = argc > 3;
  if (FAILED(CoInitialize(nullptr))) return 2;
  HANDLE go = nullptr;
  HANDLE stop = nullptr;
  if (barriers) {
    go = Barrier(argv[2]);
    stop = Barrier(argv[3]);
    std::printf("ready\n");
    std::fflush(stdout);
    if (!Pass(go)) return 3;
  }
  IPullcoreHookHelper* helper = nullptr;
  DWORD start = GetTickCount();
  const HRESULT created = CoCreateInstance(CLSID_PullcoreHookHelper, nullptr, CLSCTX_LOCAL_SERVER,
                                           IID_IPullcoreHookHelper, reinterpret_cast<void**>(&helper));
  std::printf("create %08lx %lu\n", static_cast<unsigned long>(created), GetTickCount() - start);
  std::fflush(stdout);
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
  if (barriers && !Pass(stop)) return 3;
  count = -100;
  start = GetTickCount();
  result = helper->StopHook(&count);
  std::printf("stop %08lx %ld %lu\n", static_cast<unsigned long>(result), count, GetTickCount() - start);
  helper->Release();
  CoUninitialize();
  if (go) CloseHandle(go);
  if (stop) CloseHandle(stop);
  return 0;
}
