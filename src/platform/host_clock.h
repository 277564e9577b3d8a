// The host's calendar and environment: today's date from the system clock, or
// the date fixed by the environment variable ZARIREVO_TODAY=YYYY-MM-DD (for
// tests and reproducible runs; an invalid value is ignored), and the value of
// an environment variable for a front-end's own switches. The core reaches
// today's date only through `Platform::Today`.
#ifndef ZARIREVO_PLATFORM_HOST_CLOCK_H_
#define ZARIREVO_PLATFORM_HOST_CLOCK_H_

#include <string>

#include "platform/platform.h"

namespace zr {

/// Parses "YYYY-MM-DD" into a valid calendar date; false otherwise.
bool ParseIsoDate(const std::string& text, int* year, int* month, int* day);
/// Today's date: ZARIREVO_TODAY when it holds a valid date, else the local system date.
Date HostToday();
/// The value of the host environment variable `name`; "" when it is not set.
std::string HostEnvironment(const char* name);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_HOST_CLOCK_H_
