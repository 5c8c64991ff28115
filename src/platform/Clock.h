// The current local date and time.
#pragma once

#include "platform/DateTime.h"

namespace orv {

// Now, in local time (honouring TZ), as the program's date-time value.
TDateTime CurrentLocalDateTime();

}  // namespace orv
