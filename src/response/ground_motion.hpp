#pragma once

#include <optional>
#include <string_view>

namespace kalvert {

/// A unit of ground motion as a pole-zero file's INPUT UNIT names it.
struct GroundMotionUnit {
    int motion = 0;              ///< 0 displacement, 1 velocity, 2 acceleration
    double metresPerUnit = 1.0;  ///< the unit of length in metres: 1e-9 for NM
};

/// M, CM, MM, UM or NM, alone (displacement), per S (velocity) or per S**2
/// (acceleration), in any letter case: "M", "NM/S", "m/s**2". Nothing for
/// anything else (PA, PASCAL, V, COUNTS …).
[[nodiscard]] std::optional<GroundMotionUnit> readGroundMotionUnit(std::string_view unit);

/// The kind of motion's name: "displacement", "velocity", "acceleration".
[[nodiscard]] const char* motionName(int motion);

}  // namespace kalvert
