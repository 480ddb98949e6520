// libFuzzer target: any bytes as config.cfg must load (or be refused) without a crash, with
// either set of options, and a loaded configuration must save and load back to the same record.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/config_file.h"
#include "config/uConstants.h"
#include "platform/text_encoding.h"

namespace {

// The folder standing in for the program's own, removed when the fuzzer ends.
struct Folder {
  std::string path;
  Folder() {
    platform::InitLocale();
    auto dir = std::filesystem::temp_directory_path() / ("talvex-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    path = dir.string() + "/";
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

const std::string& FolderForRun() {
  static const Folder folder;
  return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& dir = FolderForRun();
  {
    std::ofstream out(dir + "config.cfg", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Setup = TSetupData{};
  (void)config_file::LoadConfigurationIn(dir, false, true);  // no defaults, a connection required
  Setup = TSetupData{};
  if (config_file::LoadConfigurationIn(dir, true, false)) {
    TSetupData loaded = Setup;
    if (!SaveConfiguration()) std::abort();
    Setup = TSetupData{};
    if (!config_file::LoadConfigurationIn(dir, true, false)) std::abort();
    // The language path is rebuilt from its name; everything else must come back as saved.
    loaded.LanguageFile = Setup.LanguageFile;
    if (!(Setup == loaded)) std::abort();
  }
  return 0;
}
