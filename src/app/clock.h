// Today's date for the program, as the platform gives it (the system date, or
// the date fixed by ZARIREVO_TODAY=YYYY-MM-DD; see platform/host_clock.h). The
// date is taken once and kept in `Session` (today_year, today_month,
// today_day), so that one run sees one day.
#ifndef ZARIREVO_APP_CLOCK_H_
#define ZARIREVO_APP_CLOCK_H_

#include <string>

#include "app/session.h"

namespace zr {

/// Sets today's date in `program` from the platform.
void LoadToday(Session& program);
/// Today's date in the short date form "dd/mm/yyyy" (loaded first when unset).
std::string ShortDateText(Session& program);

}  // namespace zr

#endif  // ZARIREVO_APP_CLOCK_H_
