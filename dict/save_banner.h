// The first line of a saved dictionary text, stamped with China Standard Time
// (UTC + 8 hours).
#pragma once

#include <string>

#include "platform/win32.h"

namespace qzf {

// The hour carries into the next day (and month and year) as a proper date.
std::string FormatSaveBanner(const SYSTEMTIME& utc);

}  // namespace qzf
