// Exceptions through the runtime glue the shipped programs link
// (platform/win32/lean_runtime.cpp): the library's failed preconditions and
// an exhausted memory thrown through frames with cleanups, rethrown, thrown
// while another is being handled, and thrown on a second thread; one line
// per case. With the argument `terminate`, an exception leaves a noexcept
// function: the program must end quietly with exit code 3.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Cleanup {
  int& count;
  ~Cleanup() { ++count; }
};

[[gnu::noinline]] void TooLongVector() {
  std::vector<char> v;
  v.reserve(v.max_size() + 1);
}

[[gnu::noinline]] void TooLongString() {
  std::u16string s;
  s.resize(s.max_size() + 1);
}

[[gnu::noinline]] void NoMemory() {
  // More than any process can hold.
  volatile std::size_t size = static_cast<std::size_t>(-1) - 0xFFFF;
  ::operator delete(::operator new(size));
}

[[gnu::noinline]] void Deep(int depth, int& cleanups, void (*thrower)()) {
  const Cleanup cleanup{cleanups};
  if (depth == 0) {
    thrower();
    return;
  }
  Deep(depth - 1, cleanups, thrower);
}

void Case(const char* name, void (*thrower)()) {
  int cleanups = 0;
  try {
    Deep(4, cleanups, thrower);
    std::printf("%s: not thrown\n", name);
  } catch (...) {
    std::printf("%s: caught after %d cleanups\n", name, cleanups);
  }
}

void Rethrown() {
  int cleanups = 0;
  try {
    try {
      Deep(2, cleanups, TooLongVector);
    } catch (...) {
      throw;
    }
  } catch (...) {
    std::printf("rethrown: caught after %d cleanups\n", cleanups);
  }
}

void WhileHandling() {
  int inner = 0, outer = 0;
  try {
    Deep(1, outer, NoMemory);
  } catch (...) {
    try {
      Deep(3, inner, TooLongString);
    } catch (...) {
      std::printf("while handling: inner caught after %d cleanups\n", inner);
    }
    std::printf("while handling: outer still handled after %d cleanups\n", outer);
  }
}

DWORD WINAPI OnThread(void*) {
  Case("on a second thread", TooLongVector);
  return 0;
}

[[gnu::noinline]] void Escapes() noexcept { TooLongVector(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "terminate") {
    Escapes();
    std::printf("not terminated\n");
    return 0;
  }
  Case("vector too long", TooLongVector);
  Case("string too long", TooLongString);
  Case("no memory", NoMemory);
  Rethrown();
  WhileHandling();
  const HANDLE thread = CreateThread(nullptr, 0, OnThread, nullptr, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return 0;
}
