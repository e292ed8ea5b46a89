// The helper's registration scripts as the tests read them: the files the
// server's resources are made of.
#pragma once

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/registry_tree.h"

namespace ejectra::helper {

// The script `name` in helper/registration/; the scripts are ASCII.
inline std::u16string ReadScript(const char* name) {
  std::ifstream file(std::string(EJECTRA_REGISTRATION_DIR) + "/" + name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  const std::string bytes = text.str();
  return std::u16string(bytes.begin(), bytes.end());
}

// Every key below HKEY_CLASSES_ROOT but the 32-bit view's, which the
// scripts never reach, as a path, depth first.
inline std::vector<std::u16string> ClassesRootKeys(const platform::sim::RegistryTree& tree) {
  std::vector<std::u16string> keys = tree.Keys(platform::kHkeyClassesRoot);
  std::erase_if(keys, [](const std::u16string& key) { return key.starts_with(u"WOW6432Node"); });
  return keys;
}

}  // namespace ejectra::helper
