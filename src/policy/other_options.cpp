// Placeholder until the other-options menu lands.
#include "policy/other_options.h"

namespace policy {

void OtherOptionsMenu() {}

}  // namespace policy
