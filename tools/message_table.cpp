#include "tools/message_table.h"

namespace ejectra::tools {

#define EJECTRA_MESSAGE(id, text) {id, u##text},

const MessageTable& ConsoleMessageTable() {
  static const MessageTable table = {
#include "tools/console/messages.inc"
  };
  return table;
}

const MessageTable& WindowlessMessageTable() {
  static const MessageTable table = {
#include "tools/windowless/messages.inc"
  };
  return table;
}

const MessageTable& EnglishConsoleMessageTable() {
  static const MessageTable table = {
#include "tools/console/messages_en.inc"
  };
  return table;
}

const MessageTable& EnglishWindowlessMessageTable() {
  static const MessageTable table = {
#include "tools/windowless/messages_en.inc"
  };
  return table;
}

#undef EJECTRA_MESSAGE

}  // namespace ejectra::tools
