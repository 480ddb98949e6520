#pragma once
// Owners for what sd-bus hands out: a bus, a message, an error, and the malloc'd texts and
// text lists of its property readers. Each releases its object on every path out of scope.

#include <systemd/sd-bus.h>

#include <cstdlib>
#include <memory>

namespace platform {

struct BusRelease {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusPtr = std::unique_ptr<sd_bus, BusRelease>;

struct MessageRelease {
  void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<sd_bus_message, MessageRelease>;

struct MallocRelease {
  void operator()(char* text) const { std::free(text); }
};
using MallocText = std::unique_ptr<char, MallocRelease>;

struct StrvRelease {
  void operator()(char** list) const {
    for (char** item = list; *item; ++item) std::free(*item);
    std::free(list);
  }
};
using MallocList = std::unique_ptr<char*, StrvRelease>;

// The error a call fills in.
struct BusError {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  BusError() = default;
  BusError(const BusError&) = delete;
  BusError& operator=(const BusError&) = delete;
  ~BusError() { sd_bus_error_free(&error); }
};

}  // namespace platform
