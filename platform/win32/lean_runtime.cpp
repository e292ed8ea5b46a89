// Runtime glue linked into the shipped Windows programs only, to keep them
// small. The C++ runtime is linked statically, and its stock helpers for
// failed library preconditions build std::string-based exception objects
// (std::length_error and its kin, with their message strings and the
// std::string implementation behind them), and its default terminate handler
// prints the demangled type of the exception, which drags in the demangler.
// None of our code catches a specific standard exception type: every
// boundary catches (...) and answers its failure. So these replacements
// throw std::bad_alloc, whose class is small and already present, and the
// terminate handler ends the process quietly, with the exit code of abort().
// Defining them here keeps the library's own definitions out of the link; a
// reference to one that is missing here would pull the library's object in
// and fail the link with a duplicate definition.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace {

[[noreturn]] void Fail() { throw std::bad_alloc(); }

}  // namespace

namespace std {

void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_bad_cast() { Fail(); }
void __throw_bad_typeid() { Fail(); }
void __throw_bad_exception() { Fail(); }
void __throw_bad_function_call() { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_domain_error(const char*) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_runtime_error(const char*) { Fail(); }
void __throw_range_error(const char*) { Fail(); }
void __throw_overflow_error(const char*) { Fail(); }
void __throw_underflow_error(const char*) { Fail(); }
void __throw_system_error(int) { Fail(); }

}  // namespace std

namespace __gnu_cxx {

// std::terminate's default: no message, no demangled type name; the exit
// code abort() would give.
void __verbose_terminate_handler() { ::TerminateProcess(::GetCurrentProcess(), 3); }

}  // namespace __gnu_cxx

// The start-up code applies the linker's runtime pseudo-relocations, which
// only data imported from a DLL without dllimport needs. The programs are
// linked with --disable-auto-import and --disable-runtime-pseudo-reloc, so
// the linker refuses to make any, and the list is empty: no relocator, and
// none of its section walking and error reporting, is needed. Should a list
// ever appear all the same, the program ends rather than run unrelocated.
extern "C" {

extern const char __RUNTIME_PSEUDO_RELOC_LIST__[];
extern const char __RUNTIME_PSEUDO_RELOC_LIST_END__[];

void _pei386_runtime_relocator() {
  if (&__RUNTIME_PSEUDO_RELOC_LIST__[0] != &__RUNTIME_PSEUDO_RELOC_LIST_END__[0]) {
    ::TerminateProcess(::GetCurrentProcess(), 3);
  }
}

}  // extern "C"

#if defined(__i386__) && !defined(__SEH__) && !defined(__USING_SJLJ_EXCEPTIONS__)
// 32-bit x86 unwinds by DWARF call frame information. crtbegin.o registers
// the image's .eh_frame at start-up, and the unwinder asks for the frame
// description entry (FDE) of each return address. libgcc's registry sorts
// every FDE into a table on the first throw and carries code for a dozen ways
// of registering; ours walks the one registered .eh_frame on each lookup. A
// throw here means an exhausted memory, which is rare: the walk's cost does
// not matter. The registry answers as libgcc's does: bases for text and data
// of zero, the function's start, and entries whose start is zero skipped (the
// linker's remains of discarded code).
namespace {

constexpr std::uint8_t kPeOmit = 0xFF;
constexpr std::uint8_t kPeAbsPtr = 0x00;
constexpr std::uint8_t kPePcRel = 0x10;
constexpr std::uint8_t kPeIndirect = 0x80;

// Each registration: the start of an .eh_frame and the object it came with.
struct Registration {
  const unsigned char* frames;
  void* object;
};
Registration g_registered[4];

// An LEB128 number at P, P moved past it; SHIFT: how many bits it had,
// LAST: its last byte.
std::uintptr_t ReadLeb(const unsigned char*& p, unsigned& shift, unsigned char& last) {
  std::uintptr_t value = 0;
  shift = 0;
  do {
    last = *p++;
    if (shift < 8 * sizeof value) value |= static_cast<std::uintptr_t>(last & 0x7F) << shift;
    shift += 7;
  } while (last & 0x80);
  return value;
}

std::uintptr_t ReadUleb(const unsigned char*& p) {
  unsigned shift;
  unsigned char last;
  return ReadLeb(p, shift, last);
}

std::intptr_t ReadSleb(const unsigned char*& p) {
  unsigned shift;
  unsigned char last;
  std::uintptr_t value = ReadLeb(p, shift, last);
  if (shift < 8 * sizeof value && (last & 0x40)) value |= ~std::uintptr_t{0} << shift;
  return static_cast<std::intptr_t>(value);
}

template <typename T>
std::uintptr_t ReadFixed(const unsigned char*& p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  p += sizeof value;
  return static_cast<std::uintptr_t>(value);
}

// A pointer in ENCODING at P, P moved past it; RAW: its stored value.
// False for a form the compiler never emits here.
bool ReadEncoded(std::uint8_t encoding, const unsigned char*& p, std::uintptr_t& value,
                 std::uintptr_t* raw = nullptr) {
  const unsigned char* const field = p;
  switch (encoding & 0x0F) {
    case 0x00: value = ReadFixed<std::uintptr_t>(p); break;
    case 0x01: value = ReadUleb(p); break;
    case 0x02: value = ReadFixed<std::uint16_t>(p); break;
    case 0x03: value = ReadFixed<std::uint32_t>(p); break;
    case 0x04: value = ReadFixed<std::uint64_t>(p); break;
    case 0x09: value = static_cast<std::uintptr_t>(ReadSleb(p)); break;
    case 0x0A: value = ReadFixed<std::int16_t>(p); break;
    case 0x0B: value = ReadFixed<std::int32_t>(p); break;
    case 0x0C: value = ReadFixed<std::int64_t>(p); break;
    default: return false;
  }
  if (raw) *raw = value;
  if (value == 0) return true;
  // The registered bases for text and data are zero: only pc-relative
  // values move.
  switch (encoding & 0x70) {
    case 0x00: case 0x20: case 0x30: break;
    case kPePcRel: value += reinterpret_cast<std::uintptr_t>(field); break;
    default: return false;
  }
  if (encoding & kPeIndirect) value = *reinterpret_cast<const std::uintptr_t*>(value);
  return true;
}

// The encoding of the addresses in the FDEs of the common information entry
// at CIE, as libgcc reads it; kPeOmit when it cannot be read.
std::uint8_t FdeEncoding(const unsigned char* cie) {
  const unsigned char version = cie[8];
  const char* augmentation = reinterpret_cast<const char*>(cie + 9);
  const unsigned char* p = cie + 9 + std::strlen(augmentation) + 1;
  if (augmentation[0] != 'z') return kPeAbsPtr;
  ReadUleb(p);  // code alignment
  ReadSleb(p);  // data alignment
  if (version == 1) {
    ++p;
  } else {
    ReadUleb(p);
  }
  ReadUleb(p);  // the length of the augmentation data
  for (const char* a = augmentation + 1; *a; ++a) {
    if (*a == 'R') return *p;
    if (*a == 'P') {
      std::uintptr_t personality;
      if (!ReadEncoded(*p++ & 0x7F, p, personality)) return kPeOmit;
    } else if (*a == 'L') {
      ++p;
    } else if (*a != 'S' && *a != 'B') {
      return kPeAbsPtr;
    }
  }
  return kPeAbsPtr;
}

}  // namespace

extern "C" {

struct dwarf_eh_bases {
  void* tbase;
  void* dbase;
  void* func;
};

void __register_frame_info(const void* begin, void* object) {
  const auto* frames = static_cast<const unsigned char*>(begin);
  std::uint32_t first;
  std::memcpy(&first, frames, sizeof first);
  if (first == 0) return;  // an empty .eh_frame
  for (Registration& slot : g_registered) {
    if (!slot.frames) {
      slot = {frames, object};
      return;
    }
  }
  ::TerminateProcess(::GetCurrentProcess(), 3);  // one image registers once
}

void* __deregister_frame_info(const void* begin) {
  for (Registration& slot : g_registered) {
    if (slot.frames == begin) {
      void* const object = slot.object;
      slot = {};
      return object;
    }
  }
  return nullptr;
}

const void* _Unwind_Find_FDE(void* pc, dwarf_eh_bases* bases) {
  const auto address = reinterpret_cast<std::uintptr_t>(pc);
  for (const Registration& slot : g_registered) {
    if (!slot.frames) continue;
    for (const unsigned char* entry = slot.frames;;) {
      std::uint32_t length, cieOffset;
      std::memcpy(&length, entry, sizeof length);
      if (length == 0 || length == 0xFFFFFFFF) break;  // the end; 64-bit DWARF is never made
      std::memcpy(&cieOffset, entry + 4, sizeof cieOffset);
      if (cieOffset != 0) {
        const std::uint8_t encoding = FdeEncoding(entry + 4 - cieOffset);
        const unsigned char* p = entry + 8;
        std::uintptr_t start, stored, range;
        if (encoding != kPeOmit && ReadEncoded(encoding, p, start, &stored) && stored != 0 &&
            ReadEncoded(encoding & 0x0F, p, range) && address - start < range) {
          bases->tbase = nullptr;
          bases->dbase = nullptr;
          bases->func = reinterpret_cast<void*>(start);
          return entry;
        }
      }
      entry += 4 + length;
    }
  }
  return nullptr;
}

}  // extern "C"
#endif
