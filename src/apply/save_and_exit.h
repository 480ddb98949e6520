#pragma once
// Saving the configuration and restarting the client service.

namespace apply {

// True when config.cfg was written (whatever became of the restart).
bool SaveAndExit();

}  // namespace apply
