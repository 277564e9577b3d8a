// Today's date for the program: the system date, or the date fixed by the
// environment variable ZARIREVO_TODAY=YYYY-MM-DD (for tests and reproducible
// runs; an invalid value is ignored). The date is taken once and kept in
// `Program` (today_year, today_month, today_day), so that one run sees one day.
#ifndef ZARIREVO_APP_CLOCK_H_
#define ZARIREVO_APP_CLOCK_H_

#include <string>

#include "app/program_state.h"

namespace zr {

/// Parses "YYYY-MM-DD" into a valid calendar date; false otherwise.
bool ParseIsoDate(const std::string& text, int* year, int* month, int* day);
/// Sets today's date in `program` from ZARIREVO_TODAY or the system clock.
void LoadToday(Program& program);
/// Today's date in the short date form "dd/mm/yyyy" (loaded first when unset).
std::string ShortDateText(Program& program);

}  // namespace zr

#endif  // ZARIREVO_APP_CLOCK_H_
