#include "response/evaluation.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "response/output_kind.hpp"
#include "support/test_support.hpp"

namespace kalvert {
namespace {

using testing::responseAmplitude;
using testing::responsePhase;

PoleZeroStage model(std::vector<Complex> zeros, std::vector<Complex> poles, double constant = 1.0)
{
    PoleZeroStage m;
    m.zeros = std::move(zeros);
    m.poles = std::move(poles);
    m.constant = constant;
    return m;
}

// One row at exactly `frequency`: a linear grid whose step is infinite.
FapPoint evaluateAt(const PoleZeroStage& m, double frequency, const char* typeOut, const char* typeIn = "1")
{
    const std::vector<FapPoint> rows = testing::evaluateGrid(m, GridRequest{frequency, frequency + 1.0, 0, false},
                                                             readResponseKind(typeIn, typeOut));
    EXPECT_EQ(rows.size(), 1u);
    return rows.at(0);
}

TEST(OutputKind, NamesAndFreeTriples)
{
    struct Case {
        const char* text;
        int n1, n2, n3;
    };
    const Case cases[] = {
        {"GSE2", 1, 0, -9},   {"gse2", 1, 0, -9},    {"QTV", 0, 1, -6},    {"Qtv", 0, 1, -6},
        {" GSE2", 0, 0, -9},  {"0,1,-6", 0, 1, -6},  {"1;0;-9", 1, 0, -9}, {"1", 1, 0, -9},
        {"2", 2, 0, -9},      {"0,,-6", 0, -6, -9},  {"1,0,-9,7", 1, 0, -9}, {"", 1, 0, -9},
        {",;:", 1, 0, -9},    {"1.5:x", 1, 0, -9},   {" -3 ,+2", -3, 2, -9}, {"::2::1", 2, 1, -9},
    };
    for (const Case& c : cases) {
        const OutputKind kind = readOutputKind(c.text);
        EXPECT_EQ(kind.n1, c.n1) << c.text;
        EXPECT_EQ(kind.n2, c.n2) << c.text;
        EXPECT_EQ(kind.n3, c.n3) << c.text;
    }
}

TEST(Evaluation, ResponseExamples)
{
    const PoleZeroStage none = model({}, {}, 3.5);
    EXPECT_EQ(responseAmplitude(12.0, none), 3.5);
    EXPECT_EQ(responsePhase(12.0, none), 0.0);

    const PoleZeroStage onePole = model({}, {{-1, 0}});
    EXPECT_NEAR(responseAmplitude(1 / twoPi, onePole), 0.7071067812, 1e-10);
    EXPECT_NEAR(responsePhase(1 / twoPi, onePole), -0.7853981634, 1e-10);
    EXPECT_NEAR(evaluateAt(onePole, 1 / twoPi, "GSE2").amplitude, 7.071067812e-10, 1e-19);

    const PoleZeroStage zeroAndPole = model({{0, 0}}, {{-1, 0}});
    EXPECT_NEAR(responseAmplitude(1.0, zeroAndPole), 0.9875704922, 1e-10);
    EXPECT_NEAR(responsePhase(1.0, zeroAndPole), 0.1578311903, 1e-10);
}

TEST(Evaluation, KindAdjustmentOfTheTwoZeroExample)
{
    const PoleZeroStage m = model({{0, 0}, {0, 0}}, {{-1, 0}}, 2.0);
    const FapPoint gse2 = evaluateAt(m, 1 / twoPi, "GSE2");
    EXPECT_NEAR(gse2.amplitude, 1.414213562e-9, 1e-18);
    EXPECT_NEAR(gse2.phase, 2.3561944902, 1e-10);

    const FapPoint qtv = evaluateAt(m, 1 / twoPi, "QTV");  // the second zero goes first
    EXPECT_NEAR(qtv.amplitude, 7.071067812e5, 1e-4);
    EXPECT_NEAR(qtv.phase, 0.7853981634, 1e-10);
}

TEST(Evaluation, KindAdjustmentAddsOrRemovesZerosAtTheEnd)
{
    // A zero at -1 changes the response visibly when it is removed.
    const PoleZeroStage m = model({{0, 0}, {-1, 0}}, {{-2, 0}});
    const double f = 1 / twoPi;  // s = i
    EXPECT_EQ(evaluateAt(m, f, "0,0,0").amplitude, responseAmplitude(f, model({{0, 0}}, {{-2, 0}})));
    EXPECT_EQ(evaluateAt(m, f, "2,0,0").amplitude, responseAmplitude(f, model({{0, 0}, {-1, 0}, {0, 0}}, {{-2, 0}})));
    EXPECT_EQ(evaluateAt(m, f, "2,0,0", "0").amplitude,
              responseAmplitude(f, model({{0, 0}, {-1, 0}, {0, 0}, {0, 0}}, {{-2, 0}})));
    EXPECT_EQ(evaluateAt(m, f, "1,0,0", "abc").amplitude, evaluateAt(m, f, "2,0,0").amplitude);  // no digits: 0
}

TEST(Evaluation, RefusesImpossibleKindAdjustments)
{
    const PoleZeroStage oneZero = model({{0, 0}}, {{-1, 0}});
    EXPECT_THROW((void)testing::evaluateGrid(oneZero, GridRequest{1, 2, 10, false}, readResponseKind("2", "QTV")), std::domain_error);
    EXPECT_THROW((void)testing::evaluateGrid(oneZero, GridRequest{1, 2, 10, false}, readResponseKind("-2000000000", "2000000000")), std::length_error);
    EXPECT_THROW((void)testing::evaluateGrid(oneZero, GridRequest{1, 2, 10, false}, readResponseKind("2000000000", "-2000000000")), std::domain_error);
}

TEST(Evaluation, SignScalingAndNonFiniteValues)
{
    const PoleZeroStage negative = model({{0, 0}, {0, 0}}, {{-1, 0}}, -2.0);
    const FapPoint direct = evaluateAt(negative, 1 / twoPi, "GSE2");
    EXPECT_NEAR(direct.amplitude, -1.414213562e-9, 1e-18);
    EXPECT_NEAR(direct.phase, 2.3561944902, 1e-10);
    EXPECT_LT(evaluateAt(negative, 1 / twoPi, "QTV").amplitude, 0.0);
    EXPECT_EQ(evaluateAt(model({}, {}, 5.0), 1.0, "1,0,3").amplitude, 5.0 * std::pow(10.0, 3));
    EXPECT_EQ(evaluateAt(model({}, {}, 5.0), 1.0, "1,1,3").amplitude, std::pow(10.0, -3) / 5.0);

    const PoleZeroStage zeroAtOrigin = model({{0, 0}}, {{-1, 0}});
    EXPECT_EQ(evaluateAt(zeroAtOrigin, 0.0, "1,0,0").amplitude, 0.0);
    EXPECT_EQ(evaluateAt(zeroAtOrigin, 0.0, "1,1,0").amplitude, std::numeric_limits<double>::infinity());

    const FapPoint poleAtOrigin = evaluateAt(model({}, {{0, 0}}), 0.0, "GSE2");
    EXPECT_TRUE(std::isnan(poleAtOrigin.amplitude));
    EXPECT_TRUE(std::isnan(poleAtOrigin.phase));
}

TEST(Evaluation, InverseKindOnALogGrid)
{
    const PoleZeroStage m = model({{0, 0}}, {{-1, 0}, {-2, 3}});
    const std::vector<FapPoint> rows =
        testing::evaluateGrid(m, GridRequest{0.001, 20.0, 10, true}, readResponseKind("1", "0,1,-6"));
    ASSERT_EQ(rows.size(), 42u);
    // TYPE_OUT 0,1,-6 removes the zero: inverse of the two-pole response, in micrometres.
    const PoleZeroStage withoutZero = model({}, {{-1, 0}, {-2, 3}});
    EXPECT_EQ(rows[5].amplitude, 1e6 / responseAmplitude(rows[5].frequency, withoutZero));
    EXPECT_EQ(rows[5].phase, responsePhase(rows[5].frequency, withoutZero));
}

}  // namespace
}  // namespace kalvert
