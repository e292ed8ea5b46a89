// The English string tables beside the Japanese ones: every Japanese text has
// an English counterpart that a printf-style format fills the same way, the
// English texts are plain ASCII without a question mark, and the usage texts
// keep their layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/utf.h"
#include "tools/message_table.h"
#include "wizard/message_table.h"

namespace ejectra {
namespace {

using platform::sim::Utf16ToUtf8;
using Table = std::map<std::uint32_t, std::u16string>;

// The conversions of a format text in order ("%02d" gives 'd'; "%%" none).
std::u16string Placeholders(const std::u16string& text) {
  std::u16string found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') continue;
    while (++i < text.size() && std::u16string_view(u"-+ #0123456789.").find(text[i]) != std::u16string_view::npos) {
    }
    if (i < text.size() && text[i] != u'%') found += text[i];
  }
  return found;
}

std::vector<std::u16string> Lines(const std::u16string& text) {
  std::vector<std::u16string> lines(1);
  for (const char16_t c : text) {
    if (c == u'\n') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// The character at display column `column` of a line, counting the wide
// characters of Japanese text as two columns; 0 past the end.
char16_t AtColumn(const std::u16string& line, int column) {
  int at = 0;
  for (const char16_t c : line) {
    if (at == column) return c;
    at += c >= 0x1100 ? 2 : 1;
    if (at > column) return u'\x1';  // inside a wide character
  }
  return 0;
}

// A usage line's description starts at this column, after the switch and
// blanks.
constexpr int kDescriptionColumn = 15;
bool HasDescription(const std::u16string& line) {
  const char16_t at = AtColumn(line, kDescriptionColumn);
  return AtColumn(line, kDescriptionColumn - 1) == u' ' && at != u' ' && at > 1;
}

struct Pair {
  const char* name;
  const Table& japanese;
  const Table& english;
};

std::vector<Pair> Pairs() {
  return {{"ejectrac", tools::ConsoleMessageTable(), tools::EnglishConsoleMessageTable()},
          {"Ejectra", tools::WindowlessMessageTable(), tools::EnglishWindowlessMessageTable()},
          {"EjectraWizard", wizard::WizardMessageTable(), wizard::EnglishWizardMessageTable()}};
}

TEST(EnglishTexts, EveryJapaneseText_HasAnEnglishOneWithTheSamePlaceholdersInOrder) {
  for (const Pair& pair : Pairs()) {
    for (const auto& [id, text] : pair.japanese) {
      const auto english = pair.english.find(id);
      ASSERT_NE(english, pair.english.end()) << pair.name << " " << id;
      EXPECT_EQ(Utf16ToUtf8(Placeholders(english->second)), Utf16ToUtf8(Placeholders(text)))
          << pair.name << " " << id << ": " << Utf16ToUtf8(english->second);
    }
  }
}

TEST(EnglishTexts, AreAsciiWithoutAQuestionMark) {
  for (const Pair& pair : Pairs()) {
    for (const auto& [id, text] : pair.english) {
      for (const char16_t c : text) {
        EXPECT_TRUE((c >= 0x20 && c < 0x7F && c != u'?') || c == u'\n')
            << pair.name << " " << id << ": " << Utf16ToUtf8(text);
      }
    }
  }
}

TEST(EnglishTexts, UsageTexts_KeepTheJapaneseLinesAndDescriptionColumn) {
  for (const Pair& pair : Pairs()) {
    if (!pair.japanese.contains(104)) continue;  // the wizard has none
    const std::vector<std::u16string> japanese = Lines(pair.japanese.at(104));
    const std::vector<std::u16string> english = Lines(pair.english.at(104));
    ASSERT_EQ(english.size(), japanese.size()) << pair.name;
    int described = 0;
    for (std::size_t i = 0; i < japanese.size(); ++i) {
      EXPECT_EQ(english[i].empty(), japanese[i].empty()) << pair.name << " line " << i + 1;
      if (!HasDescription(japanese[i])) continue;
      EXPECT_TRUE(HasDescription(english[i])) << pair.name << " line " << i + 1 << ": "
                                              << Utf16ToUtf8(english[i]);
      ++described;
    }
    EXPECT_GE(described, 4) << pair.name;
  }
}

}  // namespace
}  // namespace ejectra
