#pragma once

#include "response/pole_zero_model.hpp"

namespace kalvert::bench {

/// A realistic response: the Streckeisen STS-2 (standard gain) of IU.COR.00.BH1,
/// 7 zeros and 11 poles, from IRIS SAC pole-zero output (SeisIO.jl test files).
PoleZeroModel sts2Model();

}  // namespace kalvert::bench
