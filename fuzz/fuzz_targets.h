// Fuzz entry points: each takes one input and checks the properties its
// code must keep for every input, aborting with a message when one fails.
// Built into libFuzzer programs (clang, -DZARIREVO_FUZZ=ON) and into a test
// that replays the kept inputs of fuzz/corpus/ with the normal build.
#ifndef ZARIREVO_FUZZ_FUZZ_TARGETS_H_
#define ZARIREVO_FUZZ_FUZZ_TARGETS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zrfuzz {

using Entry = int (*)(const uint8_t* data, size_t size);

int Profile(const uint8_t* data, size_t size);       // settings reader and writer
int Cnf(const uint8_t* data, size_t size);           // KY-GEN.CNF and parameter lines
int Names(const uint8_t* data, size_t size);         // name resolution texts
int CommandLine(const uint8_t* data, size_t size);   // Windows-style argument splitting
int PkZipCommand(const uint8_t* data, size_t size);  // the archiver's command line and names
int PkZipExtract(const uint8_t* data, size_t size);  // the archiver's extraction

struct Target {
  const char* name;
  Entry entry;
};
inline constexpr Target kTargets[] = {
    {"profile", Profile},
    {"cnf", Cnf},
    {"names", Names},
    {"command_line", CommandLine},
    {"pkzip_command", PkZipCommand},
    {"pkzip_extract", PkZipExtract},
};

/// The input cut at NUL bytes into `count` texts (missing ones empty).
inline std::vector<std::string> Fields(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> fields(count);
  size_t field = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && field + 1 < count) {
      ++field;
    } else {
      fields[field] += static_cast<char>(data[i]);
    }
  }
  return fields;
}

[[noreturn]] inline void Fail(const char* target, const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s [%s]\n", target, what, detail.c_str());
  std::abort();
}

}  // namespace zrfuzz

#define ZRFUZZ_CHECK(target, condition, detail)                   \
  do {                                                            \
    if (!(condition)) ::zrfuzz::Fail(target, #condition, detail); \
  } while (0)

#endif  // ZARIREVO_FUZZ_FUZZ_TARGETS_H_
