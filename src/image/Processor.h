// Which of the processor's vector extensions the engine's computations use.
#pragma once

namespace dt {

// Whether the AVX2 versions of the engine's vector code run: the processor has AVX2, and the
// environment does not set DTMORPH_DISABLE_AVX2 (to anything but "" or "0"). That variable runs
// the code that processors without AVX2 take on one that has it, to test or time it. Decided
// once, at the first question.
bool UseAvx2();

}  // namespace dt
