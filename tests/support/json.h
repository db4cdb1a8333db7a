// JSON for tests: a parsed value and a reader of JSON text (the engine's DevTools replies and
// target lists, pages' script results), and a text quoted as a JSON string.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::testing {

struct Json {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<Json> array;
  std::map<std::string, Json> object;

  // The member key of an object, or a null value.
  const Json& operator[](const std::string& key) const;
  // The value of a whole JSON text (blanks around it allowed); nothing when the text is not
  // JSON or nests deeper than 200 levels.
  static std::optional<Json> Parse(std::string_view text);
};

// A text as a JSON string literal (quotes included).
std::string JsonQuote(std::string_view text);

}  // namespace kam::testing
