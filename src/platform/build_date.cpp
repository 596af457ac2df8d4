#include "platform/build_date.h"

namespace kestrix {

const char* buildDateText() {
  return __DATE__;
}

}  // namespace kestrix
