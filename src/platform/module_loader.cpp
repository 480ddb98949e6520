#include "platform/module_loader.h"

#include <dlfcn.h>

#include <map>
#include <string>

#include "platform/file_system.h"

namespace platform {
namespace {

// Beside the executable first; then the library search path of the executable (its run path),
// which is where test programs built elsewhere find the modules.
void* OpenModule(const char* module) {
  std::string path = ExecutablePath();
  std::size_t cut = path.find_last_of('/');
  if (cut != std::string::npos) {
    path = path.substr(0, cut + 1) + module;
    if (void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  }
  return ::dlopen(module, RTLD_NOW | RTLD_LOCAL);
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
