#include "response/ground_motion.hpp"

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

struct LengthUnit {
    std::string_view name;
    double metres;
};

constexpr LengthUnit lengthUnits[] = {{"M", 1.0}, {"CM", 1e-2}, {"MM", 1e-3}, {"UM", 1e-6}, {"NM", 1e-9}};

struct TimeDerivative {
    std::string_view suffix;
    int motion;
};

constexpr TimeDerivative derivatives[] = {{"", 0}, {"/S", 1}, {"/S**2", 2}, {"/SEC", 1}, {"/SEC**2", 2}};

}  // namespace

std::optional<GroundMotionUnit> readGroundMotionUnit(std::string_view unit)
{
    for (const LengthUnit& length : lengthUnits) {
        if (!startsWithIgnoringCase(unit, length.name)) continue;
        for (const TimeDerivative& derivative : derivatives)
            if (equalsIgnoringCase(unit.substr(length.name.size()), derivative.suffix))
                return GroundMotionUnit{derivative.motion, length.metres};
    }
    return std::nullopt;
}

const char* motionName(int motion)
{
    switch (motion) {
    case 0: return "displacement";
    case 1: return "velocity";
    case 2: return "acceleration";
    default: return "motion";
    }
}

}  // namespace kalvert
