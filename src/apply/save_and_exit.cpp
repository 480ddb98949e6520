// Placeholder until saving lands.
#include "apply/save_and_exit.h"

namespace apply {

bool SaveAndExit() { return false; }

}  // namespace apply
