#include "common/version_rule.h"

#include <string>

#include "common/code_page.h"

namespace kam {

bool IsUpgradeDue(std::string_view installed, std::string_view offered) {
  const std::string a = Utf8ToGbk(installed);
  const std::string b = Utf8ToGbk(offered);
  // std::string compares through char_traits<char>, which orders as unsigned char.
  return a.compare(b) < 0;
}

}  // namespace kam
