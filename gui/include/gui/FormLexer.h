// A form's lines and the tokens of one line (see gui/README.md):
// identifiers, numbers (decimal or $hex, signed), strings ('quoted' parts
// with '' for a quote, and #nnn character codes, run together),
// punctuation; "//" ends the line. Portable and free of the rest of the
// library, so the build's form code generator (tools/formgen) reads forms
// as the form reader does.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gui {

// A form text's lines, after a UTF-8 byte order mark; line n is [n - 1].
inline std::vector<std::string> FormLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

enum class TFormTok { End, Ident, Number, String, Punct };

struct TFormToken {
  TFormTok kind = TFormTok::End;
  std::string text;  // identifier, punctuation, or the string's bytes
  std::int64_t number = 0;
};

class TFormLineLexer {
 public:
  // Each quoted part of a string goes through `quoted` when one is given
  // (false: the part is refused); #nnn codes are bytes as they stand.
  using TQuotedPart = bool (*)(const std::string& part, std::string& out);

  explicit TFormLineLexer(const std::string& line, TQuotedPart quoted = nullptr) : s_(line), quoted_(quoted) {}

  // Throws std::string with the problem; the reader adds form and line.
  TFormToken Next() {
    SkipBlanks();
    TFormToken t;
    if (pos_ >= s_.size()) return t;
    char c = s_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      std::size_t start = pos_;
      while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
      t.kind = TFormTok::Ident;
      t.text = s_.substr(start, pos_ - start);
      return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
        ((c == '-' || c == '+') && pos_ + 1 < s_.size() &&
         (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$')))
      return Number();
    if (c == '\'' || c == '#') return String();
    t.kind = TFormTok::Punct;
    t.text = std::string(1, c);
    ++pos_;
    return t;
  }

  TFormToken Peek() {
    std::size_t saved = pos_;
    TFormToken t = Next();
    pos_ = saved;
    return t;
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r')) ++pos_;
    if (pos_ + 1 < s_.size() && s_[pos_] == '/' && s_[pos_ + 1] == '/') pos_ = s_.size();
  }

  TFormToken Number() {
    TFormToken t;
    t.kind = TFormTok::Number;
    bool negative = false;
    if (s_[pos_] == '-' || s_[pos_] == '+') negative = s_[pos_++] == '-';
    bool hex = s_[pos_] == '$';
    if (hex) ++pos_;
    std::size_t start = pos_;
    std::uint64_t value = 0;
    while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
      char d = s_[pos_];
      if (!hex && !std::isdigit(static_cast<unsigned char>(d))) break;
      unsigned digit = std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : (std::tolower(d) - 'a' + 10);
      unsigned base = hex ? 16 : 10;
      if (value > (UINT64_MAX - digit) / base) throw std::string("number too large");
      value = value * base + digit;
      ++pos_;
    }
    if (pos_ == start) throw std::string("a number is expected");
    if (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
      throw std::string("'" + s_.substr(start, pos_ - start + 1) + "' is not a number");
    if (value > static_cast<std::uint64_t>(INT64_MAX) + (negative ? 1 : 0)) throw std::string("number too large");
    t.number = negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
    return t;
  }

  // 'quoted' parts ('' for a quote) and #nnn character codes, run together.
  TFormToken String() {
    TFormToken t;
    t.kind = TFormTok::String;
    while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
      if (s_[pos_] == '#') {
        ++pos_;
        std::size_t start = pos_;
        int code = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) && pos_ - start < 4)
          code = code * 10 + (s_[pos_++] - '0');
        if (pos_ == start || code > 255) throw std::string("a character code #0 to #255 is expected");
        t.text += static_cast<char>(code);
        continue;
      }
      ++pos_;
      std::string part;
      for (;;) {
        if (pos_ >= s_.size()) throw std::string("unterminated string");
        if (s_[pos_] == '\'') {
          if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
            part += '\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        part += s_[pos_++];
      }
      if (quoted_) {
        std::string converted;
        if (!quoted_(part, converted)) throw std::string("the string is not valid UTF-8");
        part = std::move(converted);
      }
      t.text += part;
    }
    return t;
  }

  const std::string& s_;
  TQuotedPart quoted_;
  std::size_t pos_ = 0;
};

}  // namespace gui
