#include "wizard/message_table.h"

namespace ejectra::wizard {

#define EJECTRA_MESSAGE(id, text) {id, u##text},

const MessageTable& WizardMessageTable() {
  static const MessageTable table = {
#include "wizard/messages.inc"
  };
  return table;
}

const MessageTable& EnglishWizardMessageTable() {
  static const MessageTable table = {
#include "wizard/messages_en.inc"
  };
  return table;
}

#undef EJECTRA_MESSAGE

}  // namespace ejectra::wizard
