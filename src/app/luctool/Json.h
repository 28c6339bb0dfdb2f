#pragma once
// A small JSON writer for luctool's --json output: one object per command,
// keys in the order written.

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace tilbo::luctool {

inline std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x80) {
          // Text fields are bytes shown as Latin-1: escape everything outside ASCII.
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out + "\"";
}

inline std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", value);
  return buf;
}

// Builds one object (or array) incrementally: w.Key("a").Value(1)...
class JsonWriter {
 public:
  JsonWriter& BeginObject() { Open('{'); return *this; }
  JsonWriter& EndObject() { Close('}'); return *this; }
  JsonWriter& BeginArray() { Open('['); return *this; }
  JsonWriter& EndArray() { Close(']'); return *this; }
  JsonWriter& Key(std::string_view key) {
    Separate();
    text_ += JsonString(key) + ":";
    afterKey_ = true;
    return *this;
  }
  JsonWriter& String(std::string_view v) { return Raw(JsonString(v)); }
  JsonWriter& Number(double v) { return Raw(JsonNumber(v)); }
  JsonWriter& Int(long long v) { return Raw(std::to_string(v)); }
  JsonWriter& Bool(bool v) { return Raw(v ? "true" : "false"); }
  const std::string& str() const { return text_; }

 private:
  JsonWriter& Raw(const std::string& v) {
    Separate();
    text_ += v;
    return *this;
  }
  void Open(char c) {
    Separate();
    text_.push_back(c);
    first_ = true;
  }
  void Close(char c) {
    text_.push_back(c);
    first_ = false;
  }
  void Separate() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (!first_ && !text_.empty()) text_.push_back(',');
    first_ = false;
  }
  std::string text_;
  bool first_ = true;
  bool afterKey_ = false;
};

}  // namespace tilbo::luctool
