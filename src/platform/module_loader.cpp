#include "platform/module_loader.h"

#include <dlfcn.h>

#include <map>
#include <string>

#include "platform/file_system.h"

namespace platform {
namespace {

// Only beside the executable: no search path can put another file in its place.
void* OpenModule(const char* module) {
  std::string path = ExecutablePath();
  std::size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return nullptr;
  path = path.substr(0, cut + 1) + module;
  return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

void* ModuleSymbol(const char* module, const char* symbol) {
  // Modules stay loaded for the rest of the run.
  static std::map<std::string, void*> loaded;
  auto [entry, added] = loaded.try_emplace(module, nullptr);
  if (added) entry->second = OpenModule(module);
  return entry->second ? ::dlsym(entry->second, symbol) : nullptr;
}

}  // namespace platform
