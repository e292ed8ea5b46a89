// The simulated process's output: standard output as a byte stream or a
// console, and its message boxes.
#include "platform/sim/sim_process.h"

#include <string>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

}  // namespace

std::u16string SimProcess::StdoutText() const {
  std::string bytes;
  for (std::size_t i = 0; i < stdoutBytes.size(); ++i) {
    if (stdoutBytes[i] == '\r' && i + 1 < stdoutBytes.size() && stdoutBytes[i + 1] == '\n') continue;
    bytes += stdoutBytes[i];
  }
  return Utf8ToUtf16(bytes).value_or(u"<not UTF-8>");
}

void SimProcess::WriteStdout(std::string_view bytes) {
  if (world_.calls.Enter("WriteStdout")) return;  // a failed write loses its bytes
  for (const char c : bytes) {
    if (c == '\n') stdoutBytes += '\r';
    stdoutBytes += c;
  }
}

void SimProcess::WriteStdoutBytes(std::string_view bytes) {
  if (world_.calls.Enter("WriteStdoutBytes")) return;
  stdoutBytes += bytes;
}

std::uint32_t SimProcess::GetFileType() {
  if (const auto fault = world_.calls.Enter("GetFileType")) return Fail(*fault);
  switch (standardOutput) {
    case SimStdout::kFile: return kFileTypeDisk;
    case SimStdout::kPipe: return kFileTypePipe;
    case SimStdout::kConsole:
    case SimStdout::kNul: return kFileTypeChar;
  }
  return kFileTypeUnknown;
}

bool SimProcess::GetConsoleMode(std::uint32_t* mode) {
  if (const auto fault = world_.calls.Enter("GetConsoleMode")) return Fail(*fault);
  if (standardOutput != SimStdout::kConsole) return Fail(kErrorInvalidHandle);
  *mode = consoleMode;
  return true;
}

bool SimProcess::WriteConsoleW(std::u16string_view text) {
  if (const auto fault = world_.calls.Enter("WriteConsoleW")) return Fail(*fault);
  if (standardOutput != SimStdout::kConsole) return Fail(kErrorInvalidHandle);
  consoleText += text;
  return true;
}

int SimProcess::MessageBoxW(WindowHandle, const char16_t* text, const char16_t* caption,
                            std::uint32_t style) {
  if (const auto fault = world_.calls.Enter("MessageBoxW")) return static_cast<int>(Fail(*fault));
  messageBoxes.push_back(SimMessageBox{std::u16string(View(text)), std::u16string(View(caption)), style});
  return kIdOk;
}

}  // namespace ejectra::platform::sim
