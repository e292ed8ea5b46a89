// CPullcoreHook: the hook library's class as the helper server links it.
//
// This library stands in for the outside library of that name, which turns
// the system's hardware-removal notice into a balloon. The stand-in only
// keeps its call contract: Start installs a real but harmless hook (a
// message hook on the calling thread that passes every message on) and
// answers its handle; Stop removes it. Stop without Start, Start after a
// failed Stop and destruction while started are all accepted.
#pragma once

#include <windows.h>

#ifdef EJECTRA_BUILDING_PULLCORE_HOOK
#define PULLCORE_HOOK_API __declspec(dllexport)
#else
#define PULLCORE_HOOK_API __declspec(dllimport)
#endif

class PULLCORE_HOOK_API CPullcoreHook {
 public:
  CPullcoreHook();
  ~CPullcoreHook();
  CPullcoreHook(const CPullcoreHook&) = delete;
  CPullcoreHook& operator=(const CPullcoreHook&) = delete;

  HHOOK Start();  // null on failure
  BOOL Stop();    // FALSE when the hook could not be removed

 private:
  HHOOK hook_;
};
