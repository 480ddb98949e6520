#pragma once
// Shared modules loaded at their first use. The SNMP library and the system bus library take
// several milliseconds to load and relocate; the program loads them only when a connection is
// tested or the service restarted, so that the menus appear at once.

namespace platform {

// Module file names, found beside the program's executable.
constexpr const char* kSnmpModule = "talvexsetup-snmp.so";
constexpr const char* kSystemdModule = "talvexsetup-systemd.so";

// The address of symbol in module, loading the module once; null when either is missing.
void* ModuleSymbol(const char* module, const char* symbol);

}  // namespace platform

// Entry points of the modules.
#define TALVEX_MODULE_EXPORT extern "C" __attribute__((visibility("default")))
