#pragma once
// The other-options menu: access password, service messages, system log.

namespace policy {

void OtherOptionsMenu();

}  // namespace policy
