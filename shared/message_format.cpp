#include "shared/message_format.h"

#include <vector>

namespace ejectra {

namespace {

std::u16string Digits(std::uint64_t value, unsigned base) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), u"0123456789abcdef"[value % base]);
    value /= base;
  } while (value != 0);
  return digits;
}

// One directive: an optional zero-padded width of one digit and a kind.
struct Directive {
  std::size_t length = 0;  // characters after the percent sign
  unsigned width = 0;
  char16_t kind = 0;
};

Directive ReadDirective(std::u16string_view rest) {
  Directive d;
  std::size_t i = 0;
  if (rest.size() >= 2 && rest[0] == u'0' && rest[1] >= u'1' && rest[1] <= u'9') {
    d.width = static_cast<unsigned>(rest[1] - u'0');
    i = 2;
  }
  if (i < rest.size()) {
    const char16_t kind = rest[i];
    const bool numeric = kind == u'd' || kind == u'x';
    if (numeric || (d.width == 0 && (kind == u'c' || kind == u's' || kind == u'%'))) {
      d.kind = kind;
      d.length = i + 1;
    }
  }
  return d;
}

bool Render(const Directive& d, const MessageArg& arg, std::u16string& out) {
  if (d.kind == u'c' && std::holds_alternative<char16_t>(arg)) {
    out += std::get<char16_t>(arg);
  } else if (d.kind == u's' && std::holds_alternative<std::u16string_view>(arg)) {
    out += std::get<std::u16string_view>(arg);
  } else if ((d.kind == u'd' || d.kind == u'x') && std::holds_alternative<std::int64_t>(arg)) {
    const std::int64_t value = std::get<std::int64_t>(arg);
    const bool negative = d.kind == u'd' && value < 0;
    const std::uint64_t magnitude =
        d.kind == u'x' ? static_cast<std::uint32_t>(value)
                       : (negative ? 0 - static_cast<std::uint64_t>(value)
                                   : static_cast<std::uint64_t>(value));
    std::u16string digits = Digits(magnitude, d.kind == u'x' ? 16 : 10);
    if (digits.size() < d.width) digits.insert(0, d.width - digits.size(), u'0');
    if (negative) out += u'-';
    out += digits;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::u16string FormatMessageTemplate(std::u16string_view format,
                                     std::initializer_list<MessageArg> args) {
  std::u16string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != u'%') {
      out += format[i];
      continue;
    }
    const Directive d = ReadDirective(format.substr(i + 1));
    if (d.kind == u'%') {
      out += u'%';
    } else if (d.kind == 0 || next == args.end() || !Render(d, *next, out)) {
      out += u'%';  // not ours to fill: the directive stays as written
      continue;
    } else {
      ++next;
    }
    i += d.length;
  }
  return out;
}

}  // namespace ejectra
