#include "shared/file_version_info.h"

#include <cstring>
#include <new>

#include "shared/message_format.h"

namespace ejectra {

CFileVersionInfo::CFileVersionInfo(platform::Modules& modules, platform::VersionInfo& version,
                                   const char16_t* path)
    : modules_(modules), version_(version) {
  Load(path);
}

bool CFileVersionInfo::Load(const char16_t* path) {
  if (path) {
    std::size_t n = 0;
    for (; n + 1 < kPathCapacity && path[n]; ++n) path_[n] = path[n];  // lstrcpynW, 260
    path_[n] = u'\0';
  } else if (modules_.GetModuleFileNameW(0, path_.data(), kPathCapacity) == 0) {
    return false;
  }
  const std::uint32_t size = version_.GetFileVersionInfoSizeW(path_.data());
  if (size == 0) return false;
  block_.reset(new (std::nothrow) std::uint8_t[size]);
  if (!block_ || !version_.GetFileVersionInfoW(path_.data(), size, block_.get())) {
    block_.reset();
    return false;
  }
  return true;
}

const platform::VsFixedFileInfo* CFileVersionInfo::GetFixedFileInfo() const {
  const void* fixed = nullptr;
  std::uint32_t length = 0;
  if (!block_ || !version_.VerQueryValueW(block_.get(), u"\\", &fixed, &length) ||
      length < sizeof(platform::VsFixedFileInfo)) {
    return nullptr;
  }
  return static_cast<const platform::VsFixedFileInfo*>(fixed);
}

bool CFileVersionInfo::QueryValue(const char16_t* name, const char16_t** value,
                                  std::uint32_t* length) const {
  if (!name || !block_) return false;
  const void* translations = nullptr;
  std::uint32_t size = 0;
  if (!version_.VerQueryValueW(block_.get(), u"\\VarFileInfo\\Translation", &translations,
                               &size) ||
      size < 4) {
    return false;
  }
  std::uint16_t language, codePage;  // the first translation only
  std::memcpy(&language, translations, 2);
  std::memcpy(&codePage, static_cast<const std::uint8_t*>(translations) + 2, 2);
  const std::u16string subBlock = FormatMessageTemplate(
      u"\\StringFileInfo\\%04x%04x\\%s",
      {std::int64_t{language}, std::int64_t{codePage}, std::u16string_view(name)});
  const void* found = nullptr;
  if (!version_.VerQueryValueW(block_.get(), subBlock.c_str(), &found, length)) return false;
  *value = static_cast<const char16_t*>(found);
  return true;
}

}  // namespace ejectra
