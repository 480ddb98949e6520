// Placeholder until the XML file lands: the configuration at its defaults.
#include "config/uConstants.h"

bool LoadConfiguration(bool, bool) {
  Setup.AppDir = ApplicationDir();
  Setup.ConfigFile = Setup.AppDir + "config.cfg";
  SetDefaults();
  return true;
}

bool SaveConfiguration() { return false; }
