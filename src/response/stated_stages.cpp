#include "response/stated_stages.hpp"

#include <cmath>

namespace kalvert {

CascadeStage cascadeStageOf(const PoleZeroStage& stage, double frequency)
{
    const Complex s{0.0, twoPi * frequency};
    Complex value{1.0, 0.0};
    for (const Complex& zero : stage.zeros) value = complexMul(value, complexSub(s, zero));
    for (const Complex& pole : stage.poles) value = complexDiv(value, complexSub(s, pole));
    const double level = std::hypot(value.re, value.im);
    CascadeStage cascade;
    cascade.kind = CascadeStage::Kind::AnaloguePoleZero;
    cascade.number = 1;
    cascade.zeros = stage.zeros;
    cascade.poles = stage.poles;
    cascade.a0 = 1.0 / level;
    cascade.normalisationFrequency = frequency;
    cascade.gain = stage.constant * level;
    cascade.gainFrequency = frequency;
    return cascade;
}

std::vector<int> completeDecimations(std::vector<CascadeStage>& stages)
{
    std::vector<int> completed;
    double rate = 0.0;
    for (CascadeStage& stage : stages) {
        if (stage.decimation && stage.decimation->inputRate > 0) {
            rate = stage.decimation->inputRate / std::max(1, stage.decimation->factor);
        } else if (isDigital(stage) && !stage.decimation && rate > 0) {
            stage.decimation = Decimation{rate, 1, 0, 0.0, 0.0};
            completed.push_back(stage.number);
        }
    }
    return completed;
}

}  // namespace kalvert
