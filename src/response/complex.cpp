#include "response/complex.hpp"

#include <cmath>

namespace kalvert {

const double twoPi = 8.0 * std::atan2(1.0, 1.0);

}  // namespace kalvert
