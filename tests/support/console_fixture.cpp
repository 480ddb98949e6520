#include "support/console_fixture.h"

#include <cstdlib>

#include "config/uConstants.h"
#include "console/catalogue.h"
#include "platform/terminal.h"

namespace test {

std::string SourceDir() {
  const char* dir = std::getenv("TALVEX_SOURCE_DIR");
  return dir ? dir : TALVEX_SOURCE_DIR_DEFAULT;
}

void ConsoleFixture::SetUp() {
  platform::SetTerm(&terminal);
  ::Setup = TSetupData{};
  console::Catalogue.reset();
}

void ConsoleFixture::TearDown() {
  console::Catalogue.reset();
  platform::SetTerm(nullptr);
}

void ConsoleFixture::UseCatalogue(std::initializer_list<std::pair<std::string, std::string>> entries) {
  console::Catalogue = std::make_unique<console::TCatalogue>();
  for (const auto& [key, text] : entries) console::AddCatalogueEntry(*console::Catalogue, key, text);
}

void ConsoleFixture::UseLanguage(const std::string& name) {
  ::Setup.LanguageFile = SourceDir() + "/languages/" + name + ".lng";
  ASSERT_TRUE(console::LoadCatalogue()) << ::Setup.LanguageFile;
}

std::string ConsoleFixture::TakeOutput() {
  std::string out;
  out.swap(terminal.output);
  return out;
}

}  // namespace test
