// Kestrix: the date this engine was built, as the compiler writes it
// ("Mmm dd yyyy", a one-digit day padded with a blank). ABOUT turns it into
// the version number.
#pragma once

namespace kestrix {

const char* buildDateText();

}  // namespace kestrix
