#pragma once
// Reads JSON text back into a tree, so that tests look at a report as a collector
// would, not at its characters. Strict enough for the program's own output: objects,
// arrays, strings (with \u escapes, surrogate pairs joined), numbers, true, false, null.
// Any fault throws.

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zc::testing {

struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::u16string string;
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;

  const JsonValue& operator[](const std::string& key) const {
    auto it = object.find(key);
    if (type != Type::Object || it == object.end()) throw std::runtime_error("no member " + key);
    return it->second;
  }
  const JsonValue& operator[](size_t index) const {
    if (type != Type::Array || index >= array.size()) throw std::runtime_error("no element");
    return array[index];
  }
  bool Has(const std::string& key) const { return object.count(key) != 0; }
};

class JsonReader {
 public:
  static JsonValue Parse(const std::string& text) {
    JsonReader reader(text);
    JsonValue value = reader.Value();
    reader.Blanks();
    if (reader.at_ != text.size()) throw std::runtime_error("text after the value");
    return value;
  }

 private:
  explicit JsonReader(const std::string& text) : text_(text) {}

  void Blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
      ++at_;
  }
  char Peek() {
    Blanks();
    if (at_ >= text_.size()) throw std::runtime_error("unexpected end");
    return text_[at_];
  }
  void Expect(char c) {
    if (Peek() != c) throw std::runtime_error(std::string("expected ") + c);
    ++at_;
  }
  bool Word(const char* word) {
    const std::string w(word);
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    return true;
  }

  JsonValue Value() {
    JsonValue v;
    const char c = Peek();
    if (c == '{') {
      v.type = JsonValue::Type::Object;
      ++at_;
      if (Peek() == '}') return ++at_, v;
      for (;;) {
        if (Peek() != '"') throw std::runtime_error("key expected");
        const std::u16string key = String();
        Expect(':');
        std::string narrow(key.begin(), key.end());
        if (v.object.count(narrow)) throw std::runtime_error("duplicate key " + narrow);
        v.object[narrow] = Value();
        if (Peek() == ',') { ++at_; continue; }
        Expect('}');
        return v;
      }
    }
    if (c == '[') {
      v.type = JsonValue::Type::Array;
      ++at_;
      if (Peek() == ']') return ++at_, v;
      for (;;) {
        v.array.push_back(Value());
        if (Peek() == ',') { ++at_; continue; }
        Expect(']');
        return v;
      }
    }
    if (c == '"') {
      v.type = JsonValue::Type::String;
      v.string = String();
      return v;
    }
    if (Word("true")) { v.type = JsonValue::Type::Bool; v.boolean = true; return v; }
    if (Word("false")) { v.type = JsonValue::Type::Bool; return v; }
    if (Word("null")) return v;
    size_t used = 0;
    v.type = JsonValue::Type::Number;
    v.number = std::stod(text_.substr(at_), &used);
    if (used == 0) throw std::runtime_error("not a value");
    at_ += used;
    return v;
  }

  uint32_t Hex4() {
    if (at_ + 4 > text_.size()) throw std::runtime_error("short escape");
    const uint32_t value = static_cast<uint32_t>(std::stoul(text_.substr(at_, 4), nullptr, 16));
    at_ += 4;
    return value;
  }

  std::u16string String() {
    Expect('"');
    std::u16string out;
    while (true) {
      if (at_ >= text_.size()) throw std::runtime_error("unterminated string");
      const unsigned char c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return out;
      if (c < 0x20) throw std::runtime_error("raw control character");
      if (c == '\\') {
        const char e = text_[at_++];
        switch (e) {
          case '"': out += u'"'; break;
          case '\\': out += u'\\'; break;
          case '/': out += u'/'; break;
          case 'n': out += u'\n'; break;
          case 'r': out += u'\r'; break;
          case 't': out += u'\t'; break;
          case 'b': out += u'\b'; break;
          case 'f': out += u'\f'; break;
          case 'u': out += static_cast<char16_t>(Hex4()); break;
          default: throw std::runtime_error("bad escape");
        }
        continue;
      }
      // UTF-8, checked strictly.
      uint32_t code = 0;
      int more = 0;
      if (c < 0x80) { code = c; }
      else if ((c & 0xE0) == 0xC0) { code = c & 0x1F; more = 1; }
      else if ((c & 0xF0) == 0xE0) { code = c & 0x0F; more = 2; }
      else if ((c & 0xF8) == 0xF0) { code = c & 0x07; more = 3; }
      else throw std::runtime_error("bad UTF-8 lead");
      for (int i = 0; i < more; ++i) {
        if (at_ >= text_.size() || (static_cast<unsigned char>(text_[at_]) & 0xC0) != 0x80)
          throw std::runtime_error("bad UTF-8 continuation");
        code = (code << 6) | (static_cast<unsigned char>(text_[at_++]) & 0x3F);
      }
      if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) throw std::runtime_error("encoded surrogate");
      if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
      } else {
        out += static_cast<char16_t>(code);
      }
    }
  }

  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace zc::testing
