// The whole cascade of real StationXML and RESP files, evaluated by the
// tool and compared with the reference evaluator's worked values and with an
// independent evaluation (every tap its own sine and cosine, long double).
#include <cmath>
#include <complex>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "readers/resp_reader.hpp"
#include "readers/stationxml_reader.hpp"
#include "response/evaluation.hpp"

namespace kalvert {
namespace {

using Exact = std::complex<long double>;

ChannelResponse firstResponse(const std::string& name)
{
    std::ifstream in(std::string(KALVERT_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    return (looksLikeStationXml(text) ? readStationXmlText(text) : readRespText(text)).front();
}

// D(f) in counts/nm as the standard formats write it: velocity input (M/S).
FapPoint displacementAt(const ChannelResponse& response, double frequency)
{
    ChannelResponse metres = response;
    const PreparedResponse prepared = prepareResponse(metres, ResponseKind{1, OutputKind{0, 0, -9}, true});
    FapPoint row;
    evaluatePoints(prepared, &frequency, 1, &row);
    return row;
}

double degreesApart(double radians, double degrees)
{
    const double difference = std::remainder(radians * 180.0 / std::numbers::pi - degrees, 360.0);
    return std::fabs(difference);
}

// The reference's worked values, one row per file and frequency, grouped by
// the rule each file exercises first.
TEST(Cascade, WorkedValuesOfTheReference)
{
    struct Case {
        const char* file;
        const char* rule;
        double frequency;
        double amplitude;  ///< |D|, counts/nm
        double phase;      ///< arg D, degrees
    };
    const Case cases[] = {
        {"stationxml/IU_ANMO_00_BHZ.xml", "asymmetric FIR with its correction", 0.02, 0.41156208, 122.1867},
        {"stationxml/IU_ANMO_00_BHZ.xml", "asymmetric FIR with its correction", 1, 23.921916, 70.8248},
        {"stationxml/IU_ANMO_00_BHZ.xml", "asymmetric FIR with its correction", 5, 88.250195, -16.4585},
        {"stationxml/IU_ANMO_00_BHZ.xml", "asymmetric FIR with its correction", 9, 17.839379, -79.5959},
        {"resp/RESP.NZ.CRLZ.10.HHZ", "Hz roots, corrections beyond the delay", 1, 5.2513159, -138.2177},
        {"resp/RESP.NZ.CRLZ.10.HHZ", "Hz roots, corrections beyond the delay", 25, 121.26640, 40.5214},
        {"resp/RESP.NZ.CRLZ.10.HHZ", "Hz roots, corrections beyond the delay", 45, 54.113472, 96.4178},
        {"resp/IUANMO.resp", "level from the stage gains", 0.02, 0.40961211, 122.1374},
        {"resp/IUANMO.resp", "level from the stage gains", 0.45, 0.87743213, 80.4755},
        {"stationxml/IUANMO.xml", "level from the stage gains", 0.1, 2.3712296, 94.6833},
        {"stationxml/IUANMO.xml", "level from the stage gains", 0.25, 5.9634887, 86.7487},
        // ObsPy's value for a z-transform stage without decimation: 6.27191825e8 + 1.38925202e8 i counts/(m/s).
        {"stationxml/DK.BSD..BHZ.xml", "digital stage at the carried rate", 0.1, 0.40362793, 102.48956},
    };
    for (const Case& c : cases) {
        const FapPoint row = displacementAt(firstResponse(c.file), c.frequency);
        EXPECT_NEAR(row.amplitude / c.amplitude, 1.0, 1e-5) << c.file << " at " << c.frequency << " Hz: " << c.rule;
        EXPECT_LT(degreesApart(row.phase, c.phase), 0.01) << c.file << " at " << c.frequency << " Hz: " << c.rule;
    }
}

// The stages by the formulas of the reference, each tap and root on its own,
// with the tool's own normalisation (checked against the worked values above).
Exact independentStage(const PreparedStage& stage, long double f)
{
    const long double omega = 2 * std::numbers::pi_v<long double> * f;
    const auto product = [](const std::vector<Complex>& roots, Exact x) {
        Exact p = 1;
        for (const Complex& r : roots) p *= x - Exact(r.re, r.im);
        return p;
    };
    const auto taps = [&](const std::vector<double>& b) {
        Exact sum = 0;
        for (std::size_t k = 0; k < b.size(); ++k)
            sum += static_cast<long double>(b[k]) * std::polar(1.0L, -omega * static_cast<long double>(k) * stage.interval);
        return sum;
    };
    const long double scale = stage.scale;
    switch (stage.kind) {
    case CascadeStage::Kind::AnaloguePoleZero: {
        const Exact s(0, stage.hertz ? f : omega);
        return scale * product(stage.zeros, s) / product(stage.poles, s);
    }
    case CascadeStage::Kind::DigitalPoleZero: {
        const Exact z = std::polar(1.0L, omega * stage.interval);
        return scale * product(stage.zeros, z) / product(stage.poles, z);
    }
    case CascadeStage::Kind::Fir: {
        const std::vector<double>& b = stage.numerator;
        if (!stage.zeroPhase) return scale * taps(b) * std::polar(1.0L, omega * stage.phaseShift);
        // b_{m−1} + 2 Σ b_k cos(ω(m−1−k)Δt) for odd N = 2m−1; 2 Σ b_k cos(ω(m−k−½)Δt) for even N = 2m.
        const std::size_t n = b.size();
        long double sum = n % 2 == 1 ? b[n / 2] : 0;
        for (std::size_t k = 0; k < n / 2; ++k)
            sum += 2 * b[k] * std::cos(omega * ((n - 1) / 2.0L - static_cast<long double>(k)) * stage.interval);
        return scale * sum;
    }
    case CascadeStage::Kind::Iir: return scale * taps(stage.numerator) / taps(stage.denominator);
    default: return scale;
    }
}

// Every file, at its sensitivity frequency, 1 Hz, half and 0.9 of Nyquist.
TEST(Cascade, HornerAndZeroPhaseAgreeWithTapByTapSums)
{
    const char* files[] = {"stationxml/IU_ANMO_00_BHZ.xml", "stationxml/IUANMO.xml",     "stationxml/DK.BSD..BHZ.xml",
                           "stationxml/AU.MEEK.xml",        "resp/IUANMO.resp",          "resp/RESP.NZ.CRLZ.10.HHZ",
                           "resp/RESP.ANMO.IU.00.BHZ",      "resp/RESP.BW.FURT..EHZ"};
    for (const char* file : files) {
        const ChannelResponse response = firstResponse(file);
        std::vector<CascadeStage> stages;
        for (const ResponseStage& stage : response.stages) stages.push_back(std::get<CascadeStage>(stage));
        CascadeNotes notes;
        const std::vector<PreparedStage> prepared = prepareCascade(stages, response.stated.sensitivityFrequency, notes);
        const double nyquist = *response.sampleRate / 2;
        for (const double f : {notes.sensitivityFrequency, 1.0, nyquist / 2, nyquist * 0.9}) {
            Exact exact = 1;
            for (const PreparedStage& stage : prepared) exact *= independentStage(stage, f);
            const Complex tool = cascadeValue(prepared, f);
            const Exact difference = Exact(tool.re, tool.im) - exact;
            EXPECT_LT(std::abs(difference) / std::abs(exact), 1e-9) << file << " at " << f << " Hz";
        }
    }
}

// The same LHZ epoch as StationXML and as RESP: the same response everywhere.
TEST(Cascade, StationXmlAndRespTwinsAgree)
{
    const ChannelResponse xml = firstResponse("stationxml/IUANMO.xml");
    const ChannelResponse resp = firstResponse("resp/IUANMO.resp");
    EXPECT_EQ(channelName(xml.id), channelName(resp.id));
    EXPECT_EQ(xml.stages.size(), resp.stages.size());
    for (const double f : {0.001, 0.02, 0.1, 0.3, 0.49}) {
        const FapPoint a = displacementAt(xml, f);
        const FapPoint b = displacementAt(resp, f);
        EXPECT_NEAR(a.amplitude / b.amplitude, 1.0, 1e-6) << f;
        EXPECT_NEAR(a.phase, b.phase, 1e-6) << f;
    }
}

}  // namespace
}  // namespace kalvert
