// One libFuzzer program per entry point: ZRFUZZ_ENTRY names it.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return ZRFUZZ_ENTRY(data, size);
}
