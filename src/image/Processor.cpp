#include "image/Processor.h"

#include <cstdlib>
#include <cstring>

namespace dt {

bool UseAvx2() {
  static const bool use = [] {
    const char* disable = std::getenv("DTMORPH_DISABLE_AVX2");
    if (disable != nullptr && *disable != '\0' && std::strcmp(disable, "0") != 0) return false;
#if defined(__x86_64__) && defined(__GNUC__)
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
  }();
  return use;
}

}  // namespace dt
