#include "readers/cascade_rules.hpp"

#include <charconv>
#include <algorithm>
#include <cmath>

#include "readers/channel_codes.hpp"
#include "text/text_scan.hpp"

namespace kalvert {
namespace {

std::string stageName(const CascadeStage& stage)
{
    return "stage " + std::to_string(stage.number);
}

std::string numberText(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

bool hasFilter(const CascadeStage& stage)
{
    return stage.kind != CascadeStage::Kind::GainOnly;
}

// A stage's gain and decimation as the file states them, or the defect.
void checkStage(ChannelResponse& response, CascadeStage& stage, bool onlyStage)
{
    if (!hasFilter(stage) && !stage.gain) {
        noteDefect(response, stageName(stage) + " has no filter and no gain (a decimation alone is no stage)");
        return;
    }
    if (!isEvaluable(stage)) return;  // refused for tables; no gain needed to carry it
    if (!stage.gain) {
        // The reference evaluator takes a lone stage's level from the overall sensitivity.
        if (onlyStage && response.stated.sensitivity) {
            stage.gain = response.stated.sensitivity;
            stage.gainFrequency = response.stated.sensitivityFrequency.value_or(0.0);
            response.gainFromSensitivity = true;
        } else {
            noteDefect(response, stageName(stage) + " states no gain");
        }
    } else if (!std::isfinite(*stage.gain) || *stage.gain == 0.0) {
        noteDefect(response, stageName(stage) + ": its gain is " + numberText(*stage.gain) + ", which no response has");
    }
    if (stage.decimation && stage.decimation->factor < 1)
        noteDefect(response, stageName(stage) + ": decimation factor " + std::to_string(stage.decimation->factor) +
                                 " (a factor is 1 or more)");
}

}  // namespace

std::string unitName(std::string_view written)
{
    written = trimmed(written);
    // The name ends where " -" begins its description, or the text does.
    for (std::size_t at = written.find(" -"); at != std::string_view::npos; at = written.find(" -", at + 1))
        if (at + 2 == written.size() || written[at + 2] == ' ' || written[at + 2] == '\t')
            return std::string(trimmed(written.substr(0, at)));
    return std::string(written);
}

namespace {

// "M/S - Velocity in Meters Per Second": the name stays, the description
// (unless the file gave one apart) goes where descriptions go.
void splitUnit(std::string& unit, std::string& description)
{
    std::string name = unitName(unit);
    if (description.empty() && name.size() < unit.size()) {
        std::string_view rest = trimmed(unit);
        rest.remove_prefix(std::min(rest.size(), name.size()));
        rest = trimmed(rest);
        if (!rest.empty() && rest.front() == '-') rest.remove_prefix(1);
        description = std::string(trimmed(rest));
    }
    unit = std::move(name);
}

}  // namespace

void settleCascade(ChannelResponse& response)
{
    settleIdentity(response);
    response.stated.sensitivityUnit = unitName(response.stated.sensitivityUnit);
    for (ResponseStage& held : response.stages) {
        auto* stage = std::get_if<CascadeStage>(&held);
        if (stage == nullptr) continue;
        splitUnit(stage->inputUnit, stage->inputUnitDescription);
        splitUnit(stage->outputUnit, stage->outputUnitDescription);
        checkStage(response, *stage, response.stages.size() == 1);
        if (response.inputUnit.empty()) response.inputUnit = stage->inputUnit;
    }
    if (response.stages.empty() || !response.inputUnit.empty()) return;
    if (!response.stated.sensitivityUnit.empty()) {
        response.inputUnit = response.stated.sensitivityUnit;
        response.inputUnitFromSensitivity = true;
    } else {
        noteDefect(response, "no stage and no overall sensitivity states an input unit");
    }
}

}  // namespace kalvert
