#include "engine/fpu_status.h"

#include "base/exceptions.h"

namespace ormel {

void throwFpuError(unsigned flags) {
  clearFpuErrors();
  if (flags & FE_DIVBYZERO) throw EZeroDivide();
  if (flags & FE_OVERFLOW) throw EOverflow();
  throw EInvalidOp();
}

}  // namespace ormel
