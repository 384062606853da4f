#pragma once

#include "response/channel_response.hpp"

namespace kalvert::bench {

/// A realistic response: the Streckeisen STS-2 (standard gain) of IU.COR.00.BH1,
/// 7 zeros and 11 poles, from IRIS SAC pole-zero output (SeisIO.jl test files).
PoleZeroStage sts2Model();

}  // namespace kalvert::bench
