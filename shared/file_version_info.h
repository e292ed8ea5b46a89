// Reads a program's version resource: its fixed part, and string values of
// its first translation.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/process_services.h"

namespace ejectra {

class CFileVersionInfo {
 public:
  // Loads the version resource of `path`, or of the running program when null.
  CFileVersionInfo(platform::Modules& modules, platform::VersionInfo& version,
                   const char16_t* path);
  CFileVersionInfo(const CFileVersionInfo&) = delete;
  CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

  bool Load(const char16_t* path);
  // Null when there is no resource or no fixed part.
  const platform::VsFixedFileInfo* GetFixedFileInfo() const;
  // The value `name` of the first translation's string table.
  bool QueryValue(const char16_t* name, const char16_t** value, std::uint32_t* length) const;

 private:
  static constexpr std::size_t kPathCapacity = 260;

  platform::Modules& modules_;
  platform::VersionInfo& version_;
  std::array<char16_t, kPathCapacity + 1> path_{};
  std::unique_ptr<std::uint8_t[]> block_;
};

}  // namespace ejectra
