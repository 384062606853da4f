#pragma once

#include <optional>
#include <string>
#include <vector>

#include "response/complex.hpp"

namespace kalvert {

/// How a digital stage samples: the rate at its input, how many samples it
/// keeps of each `factor`, and the delay the data logger estimated and the
/// one it already removed from the time stamps (seconds).
struct Decimation {
    double inputRate = 0.0;
    int factor = 1;
    int offset = 0;
    double delay = 0.0;
    double correction = 0.0;
};

/// One value of a response list: where, how large, and the phase.
struct ListedValue {
    double frequency = 0.0;  ///< Hz
    double amplitude = 0.0;
    double phase = 0.0;  ///< degrees
};

/// A polynomial stage's terms: the approximation, where it holds, and its
/// coefficients, lowest power first.
struct PolynomialTerms {
    char approximation = 'M';  ///< M: MacLaurin
    double lowestFrequency = 0.0;
    double highestFrequency = 0.0;
    double lowestInput = 0.0;
    double highestInput = 0.0;
    double largestError = 0.0;
    std::vector<double> coefficients;
};

/// One stage of a StationXML or RESP response, as the file states it.
struct CascadeStage {
    enum class Kind {
        AnaloguePoleZero,      ///< Laplace, roots in rad/s or (`hertz`) in Hz
        DigitalPoleZero,       ///< z-transform roots
        Fir,                   ///< numerator taps only (expanded from a symmetric listing)
        Iir,                   ///< numerator and denominator
        AnalogueCoefficients,  ///< Σ b_k s^k / Σ a_k s^k, s in rad/s or (`hertz`) in Hz
        GainOnly,              ///< a stage gain and nothing else
        Polynomial,            ///< a non-linear mapping: no frequency response
        ResponseList,          ///< values at listed frequencies only
    };
    Kind kind = Kind::GainOnly;
    int number = 0;
    bool hertz = false;
    std::vector<Complex> zeros;
    std::vector<Complex> poles;
    double a0 = 1.0;                      ///< normalisation factor
    double normalisationFrequency = 0.0;  ///< Hz
    std::vector<double> numerator;        ///< FIR taps or IIR numerator, b0 first
    std::vector<double> denominator;      ///< IIR denominator, a0 first
    bool declaredSymmetric = false;       ///< symmetry B or C (ODD or EVEN)
    char symmetry = 'N';                  ///< how the FIR was listed: N (whole), O or E (half of an odd or even one)
    bool coefficientsElement = false;     ///< stated as coefficients (Coefficients, B054), not as a FIR
    std::vector<ListedValue> listed;      ///< a response list's values
    PolynomialTerms polynomial;
    std::optional<Decimation> decimation;
    std::optional<double> gain;
    double gainFrequency = 0.0;  ///< Hz
    std::string inputUnit;       ///< the unit's name ("M/S", "V", "COUNTS")
    std::string outputUnit;
    std::string inputUnitDescription;  ///< "Velocity in Meters Per Second", as stated
    std::string outputUnitDescription;
};

/// Does the stage filter digitally, and so need the sampling rate at its input?
[[nodiscard]] bool isDigital(const CascadeStage& stage);

/// Does it have a frequency response at all?
[[nodiscard]] bool isEvaluable(const CascadeStage& stage);

/// A stage made ready for evaluation by the reference evaluator's rules:
/// its level (stage gain times the normalisation, recomputed where the gain
/// or normalisation frequency is not the sensitivity frequency), its
/// sampling interval, and whether a FIR is zero-phase.
struct PreparedStage {
    CascadeStage::Kind kind = CascadeStage::Kind::GainOnly;
    bool hertz = false;
    std::vector<Complex> zeros;
    std::vector<Complex> poles;
    std::vector<double> numerator;
    std::vector<double> denominator;
    double scale = 1.0;       ///< the stage's level factor
    double interval = 0.0;    ///< Δt at the stage's input, seconds (digital stages)
    bool zeroPhase = false;   ///< a symmetric FIR, evaluated as a real number
    double phaseShift = 0.0;  ///< seconds: e^{+iω·shift} (an asymmetric FIR's correction)
};

/// What preparing a cascade found, for the checks and their messages.
struct CascadeNotes {
    double sensitivityFrequency = 0.0;  ///< f_S: stated, else the last non-zero gain frequency
    std::vector<int> carriedRate;       ///< digital stages without decimation, at the rate carried on
    int rateUnknown = 0;                ///< a digital stage whose rate cannot be known (0: none)
};

/// Prepares every stage; `statedFrequency` is the overall sensitivity's
/// frequency, if the file states one. A digital stage without decimation
/// takes the rate the stage before it passes on (factor 1, no delay).
[[nodiscard]] std::vector<PreparedStage> prepareCascade(const std::vector<CascadeStage>& stages,
                                                        std::optional<double> statedFrequency, CascadeNotes& notes);

/// The product of the prepared stages at `frequency` (Hz): counts per unit
/// of the first stage's input.
[[nodiscard]] Complex cascadeValue(const std::vector<PreparedStage>& stages, double frequency);

/// One stage's value at `frequency`.
[[nodiscard]] Complex stageValue(const PreparedStage& stage, double frequency);

/// |A0 · PZ(fn)| of a pole-zero stage (Δt `interval` for a digital one):
/// 1 when its normalisation factor is right.
[[nodiscard]] double normalisedLevel(const CascadeStage& stage, double interval);

/// Terms one frequency of the cascade costs (roots and taps).
[[nodiscard]] double cascadeTerms(const std::vector<PreparedStage>& stages);

}  // namespace kalvert
