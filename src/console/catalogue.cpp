// Placeholder until the language files land: no catalogue, every text "Not translated!".
#include "console/catalogue.h"

namespace console {

bool LoadCatalogue() { return true; }

const std::vector<std::string_view>& ProgramKeys() {
  static const std::vector<std::string_view> keys;
  return keys;
}

}  // namespace console
