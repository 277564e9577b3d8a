// KY-GEN.CNF and parameter lines: finding the folder that holds KY-GEN.CNF
// (asking the user with the folder picker), reading one of its fixed 85-byte
// records, and looking up a "|"-separated parameter line by its key.
#ifndef ZARIREVO_CNF_CNF_READER_H_
#define ZARIREVO_CNF_CNF_READER_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "cnf/cnf_session.h"

namespace zr {

inline constexpr int kMaxFields = 12;

/// A folder that holds KY-GEN.CNF, or the current folder. Asks with the
/// picker while neither holds it (or when forced); "Yes" to the question
/// "File Ky-gen.cnf non trovato" ends the program.
std::string LocateCnfFolder(CnfSession& program, bool force_question);

/// Record `number` (from 1) of "KY-GEN.cnf" in the current folder: its first
/// 80 characters without blanks at both ends; "" when the file or the record
/// is missing (nothing is created).
std::string ReadCnfRecord(CnfSession& program, std::int16_t number);

/// Value `number` (0 to 11; 0 is the text before the first "|") of the first
/// line of `file` that starts with `key` (case counts); nullopt when no line
/// does; "" when the file cannot be read (a missing file also shows the "File
/// non trovato" box).
std::optional<std::string> GetCnfParameter(CnfSession& program, const std::string& file,
                                           const std::string& key, std::int16_t number);

/// Splits a line into at most 12 fields (index 1 to 12; index 0 unused).
/// Fields beyond the 12th are ignored.
void SplitFields(const std::string& line, const std::string& separator,
                 std::array<std::string, kMaxFields + 1>& fields, std::int16_t& count);

/// Blanks removed at both ends, then cut before the first "'" and the first tab.
std::string StripComment(const std::string& text);

}  // namespace zr

#endif  // ZARIREVO_CNF_CNF_READER_H_
