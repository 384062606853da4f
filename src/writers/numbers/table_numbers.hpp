#pragma once

namespace kalvert {

// The table's two conversions, "%<width>.7f" and "%<width>.7e" (three-digit
// exponent), on the straight path that serves nearly every row: the digits
// are formed in double arithmetic, guarded against rounding ties, and
// written two at a time straight into the output. Anything else (a value
// near a tie, out of the path's range, zero, subnormal or non-finite) goes
// to writeFixed or writeExponent, so the text is always printf's. `out` needs
// room for max(width, maxNumberLength) characters; the end is returned.

char* writeFixed7(char* out, double value, int width);
char* writeExponent7(char* out, double value, int width);

}  // namespace kalvert
