#include "ui/LayoutText.h"

#include <cctype>

namespace ui {

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + extra < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
    i += extra + 1;
  }
  return out;
}

namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  TLayoutObject Document() {
    TLayoutObject root = Object();
    Skip();
    if (pos_ != text_.size()) Fail("text after the end of the layout");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw ELayoutError("Layout line " + std::to_string(line_) + ": " + what);
  }

  void Skip() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == ',' || c == ';') {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  char Peek() {
    Skip();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }

  void Expect(char c) {
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  static bool IdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
  static bool IdentPart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
  }

  std::string Identifier() {
    if (!IdentStart(Peek())) Fail("expected a name");
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IdentPart(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  TLayoutObject Object() {
    TLayoutObject object;
    object.line = line_;
    object.className = Utf8ToWide(Identifier());
    object.name = Utf8ToWide(Identifier());
    Expect('{');
    Body(object.properties, &object.children);
    return object;
  }

  // Properties (and, in a component, owned components) up to the '}'.
  void Body(std::vector<TLayoutProperty>& properties, std::vector<TLayoutObject>* children) {
    while (Peek() != '}') {
      if (pos_ >= text_.size()) Fail("missing '}'");
      const std::size_t start = pos_;
      const int startLine = line_;
      const std::string first = Identifier();
      if (Peek() == '=') {
        ++pos_;
        TLayoutProperty property{Utf8ToWide(first), Value(), startLine};
        properties.push_back(std::move(property));
      } else if (children != nullptr) {
        pos_ = start;
        line_ = startLine;
        children->push_back(Object());
      } else {
        Fail("expected '=' after " + first);
      }
    }
    ++pos_;
  }

  TLayoutValue Value() {
    TLayoutValue value;
    const char c = Peek();
    value.line = line_;
    if (c == '"') {
      value.kind = TLayoutValue::String;
      value.text = Utf8ToWide(QuotedString());
    } else if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c))) {
      value.kind = TLayoutValue::Integer;
      value.integer = Integer();
    } else if (c == '[') {
      ++pos_;
      value.kind = TLayoutValue::Set;
      while (Peek() != ']') {
        if (pos_ >= text_.size()) Fail("missing ']'");
        value.elements.push_back(Value());
      }
      ++pos_;
    } else if (c == '{') {
      ++pos_;
      value.kind = TLayoutValue::Group;
      Body(value.properties, nullptr);
    } else if (c == '(') {
      ++pos_;
      value.kind = TLayoutValue::Collection;
      while (Peek() != ')') {
        Expect('{');
        value.items.emplace_back();
        Body(value.items.back(), nullptr);
      }
      ++pos_;
    } else if (IdentStart(c)) {
      const std::string word = Identifier();
      if (word == "data") {
        value.kind = TLayoutValue::Data;
        value.data = HexData(QuotedString());
      } else if (word == "picture") {
        value.kind = TLayoutValue::PictureName;
        value.text = Utf8ToWide(QuotedString());
      } else {
        value.kind = TLayoutValue::Identifier;
        value.text = Utf8ToWide(word);
      }
    } else {
      Fail("expected a value");
    }
    return value;
  }

  std::int64_t Integer() {
    bool negative = false;
    if (text_[pos_] == '-' || text_[pos_] == '+') negative = text_[pos_++] == '-';
    int base = 10;
    if (text_.substr(pos_, 2) == "0x" || text_.substr(pos_, 2) == "0X") {
      base = 16;
      pos_ += 2;
    }
    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
    for (; pos_ < text_.size(); ++pos_, ++digits) {
      const int d = DigitValue(text_[pos_]);
      if (d < 0 || d >= base) break;
      magnitude = magnitude * base + d;
      if (magnitude > 0xFFFFFFFFull) Fail("number too large");
    }
    if (digits == 0) Fail("expected digits");
    return negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  }

  static int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  std::string QuotedString() {
    Expect('"');
    std::string out;
    while (true) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') break;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated string");
      const char e = text_[pos_++];
      if (e == 'n') {
        out.push_back('\n');
      } else if (e == 't') {
        out.push_back('\t');
      } else if (e == '"' || e == '\\') {
        out.push_back(e);
      } else if (e == 'u') {
        unsigned cp = 0;
        for (int k = 0; k < 4; ++k) {
          const int d = pos_ < text_.size() ? DigitValue(text_[pos_++]) : -1;
          if (d < 0) Fail("bad \\u escape");
          cp = cp * 16 + d;
        }
        AppendUtf8(out, cp);
      } else {
        Fail(std::string("unknown escape \\") + e);
      }
    }
    return out;
  }

  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  std::vector<std::uint8_t> HexData(const std::string& hex) {
    if (hex.size() % 2 != 0) Fail("odd number of hex digits in data");
    std::vector<std::uint8_t> out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      const int hi = DigitValue(hex[i]);
      const int lo = DigitValue(hex[i + 1]);
      if (hi < 0 || lo < 0) Fail("bad hex digit in data");
      out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

TLayoutObject ParseLayout(std::string_view text) {
  return Parser(text).Document();
}

}  // namespace ui
