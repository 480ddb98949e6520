#pragma once
// The message catalogue: every text the program shows, looked up by key.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace console {

struct TCatalogueEntry {
  std::string Name;     // empty for a line without "="
  std::string Text;
  std::string UpperName;  // Name in upper case, for lookups that ignore letter case
};

// Entries in the order of the language file; the first entry of a name wins.
struct TCatalogue {
  std::vector<TCatalogueEntry> Entries;
};

// Appends an entry (name, text) to catalogue.
void AddCatalogueEntry(TCatalogue& catalogue, std::string name, std::string text);

// Absent (null) until the start-up loads it, and again after CleanUp.
extern std::unique_ptr<TCatalogue> Catalogue;

// Fills Catalogue from the language file Setup.LanguageFile names; true when it holds at
// least one entry.
bool LoadCatalogue();

// Every key the program looks up, in alphabetical order.
const std::vector<std::string_view>& ProgramKeys();

}  // namespace console
