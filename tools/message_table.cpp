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

#undef EJECTRA_MESSAGE

}  // namespace ejectra::tools
