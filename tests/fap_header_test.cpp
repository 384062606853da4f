#include "writers/fap/fap_header.hpp"

#include <gtest/gtest.h>

namespace kalvert {
namespace {

std::string header(const char* typeOut, std::size_t count, const char* station = "ABC", const char* channel = "BHZ")
{
    StationInfo info;
    info.station = station;
    info.channel = channel;
    info.network = "XX";
    return formatFapHeader(info, {"2001/01/01 00:00", "2002/02/02"}, count, readOutputKind(typeOut));
}

TEST(FapHeader, DefaultTypeLayout)
{
    EXPECT_EQ(header("GSE2", 300),
              "CAL2 ABC   BHZ             -1.00000000e+000  -1.000             2001/01/01 00:00 2002/02/02\n"
              " ( ABC:BHZ::XX Count/(nM/sec) )\n"
              "FAP2  0 C         0.000 300 GSE2 FAP Triplets 300    \n");
}

TEST(FapHeader, EmptyFieldsAndWideOnes)
{
    EXPECT_EQ(formatFapHeader(StationInfo{}, TimeTexts{}, 0, readOutputKind("qtv")),
              "CAL2                       -1.00000000e+000  -1.000              \n"
              " ( ::: mkM/Count )\n"
              "FAP2  0 C         0.000   0 QTV FAP Triplets 0       \n");
    const std::string wide = header("GSE2", 1200, "LONGSTA", "HHZ1");
    EXPECT_EQ(wide.substr(0, wide.find('\n') + 1),
              "CAL2 LONGSTA HHZ1             -1.00000000e+000  -1.000             2001/01/01 00:00 2002/02/02\n");
    EXPECT_EQ(wide.substr(wide.rfind("FAP2")), "FAP2  0 C         0.000 999 GSE2 FAP Triplets 1200   \n");
}

TEST(FapHeader, UnitTextsAndDescriptors)
{
    struct Case {
        const char* typeOut;
        const char* unit;
        const char* descriptor;
    };
    const Case cases[] = {
        {"GSE2", "Count/(nM/sec)", "GSE2 FAP Triplets 7"},
        {"gSe2", "Count/(nM/sec)", "GSE2 FAP Triplets 7"},
        {"QTV", "mkM/Count", "QTV FAP Triplets 7"},
        {"GSE2 ", "Count/nM", "FAP Triplets 7"},
        {"", "Count/(nM/sec)", "GSE2 FAP Triplets 7"},
        {";;", "Count/(nM/sec)", "GSE2 FAP Triplets 7"},
        {"0,1,-6", "mkM/Count", "QTV FAP Triplets 7"},
        {"0,5,-6", "mkM/Count", "QTV FAP Triplets 7"},
        {"1,0,-9,7", "Count/(nM/sec)", "GSE2 FAP Triplets 7"},
        {"2;1;-12", "(1E-12*M/sec**2)/Count", "FAP Triplets 7"},
        {"0,1", "nM/Count", "FAP Triplets 7"},
        {"0,0,0", "Count/M", "FAP Triplets 7"},
        {"1,0,-3", "Count/(mM/sec)", "FAP Triplets 7"},
        {"2,0,3", "Count/(1E3*M/sec**2)", "FAP Triplets 7"},
        {"0,0,-1", "Count/1E-1*M", "FAP Triplets 7"},
        {"1,1,-1000", "(1E-1000*M/sec)/Count", "FAP Triplets 7"},
        {"3,0,-9", "", "FAP Triplets 7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fapUnitText(readOutputKind(c.typeOut)), c.unit) << c.typeOut;
        EXPECT_EQ(fapDescriptor(readOutputKind(c.typeOut), 7), c.descriptor) << c.typeOut;
    }
    EXPECT_NE(header("3,0,-9", 1).find(" ( ABC:BHZ::XX  )\n"), std::string::npos);
    EXPECT_NE(header("0,0,0", 12345678).find(" 999 FAP Triplets 12345678    \n"), std::string::npos);
}

}  // namespace
}  // namespace kalvert
