// One drive, A: to Z:, in the three forms the suite meets it in: its letter,
// its number (1 = A:, the form Pullcore.dll takes) and its bit in a
// GetLogicalDrives mask (bit 0 = A:). Made only from valid input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ejectra {

class Drive {
 public:
  static constexpr int kCount = 26;

  static constexpr std::optional<Drive> FromNumber(int number) noexcept {
    if (number < 1 || number > kCount) return std::nullopt;
    return Drive(number - 1);
  }
  // A letter in either case.
  static constexpr std::optional<Drive> FromLetter(char16_t letter) noexcept {
    if (letter >= u'a' && letter <= u'z') return Drive(letter - u'a');
    if (letter >= u'A' && letter <= u'Z') return Drive(letter - u'A');
    return std::nullopt;
  }

  constexpr char16_t Letter() const noexcept { return static_cast<char16_t>(u'A' + index_); }
  constexpr int Number() const noexcept { return index_ + 1; }
  constexpr std::uint32_t Bit() const noexcept { return std::uint32_t{1} << index_; }
  constexpr bool In(std::uint32_t mask) const noexcept { return (mask & Bit()) != 0; }
  // "E:"
  std::u16string Name() const { return {Letter(), u':'}; }

  friend constexpr bool operator==(Drive, Drive) = default;

 private:
  constexpr explicit Drive(int index) : index_(index) {}
  int index_;
};

// The drives of a mask, A: first; bits above Z: are not drives.
inline std::vector<Drive> DrivesIn(std::uint32_t mask) {
  std::vector<Drive> drives;
  for (int number = 1; number <= Drive::kCount; ++number) {
    const Drive drive = *Drive::FromNumber(number);
    if (drive.In(mask)) drives.push_back(drive);
  }
  return drives;
}

}  // namespace ejectra
