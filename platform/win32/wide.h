// The seam's text is char16_t and the Windows headers' is wchar_t: the same
// UTF-16 code units under two names. The win32 layer crosses between them
// here and nowhere else.
#pragma once

namespace ejectra::platform::win32 {

static_assert(sizeof(char16_t) == sizeof(wchar_t) && alignof(char16_t) == alignof(wchar_t));

inline wchar_t* Wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline const char16_t* Utf16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}

}  // namespace ejectra::platform::win32
