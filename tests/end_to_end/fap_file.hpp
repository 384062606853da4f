#pragma once

#include <string>
#include <vector>

namespace kalvert::testing {

/// A FAP file read back by the GSE2 column layout of its CAL2 and FAP2 lines.
struct FapFile {
    struct Row {
        double frequency = 0.0;
        double amplitude = 0.0;
        double phase = 0.0;
        int amplitudeExponent = 0;  ///< the printed power of ten, for the text's precision
    };
    std::string station;      ///< CAL2 columns 6-10
    std::string channel;      ///< CAL2 columns 12-14
    double calibration = 0.0; ///< CAL2 columns 28-43
    double period = 0.0;      ///< CAL2 columns 45-51
    std::string times;        ///< CAL2 from column 65
    std::string location;     ///< from the comment line
    std::string network;
    std::string unit;
    int fap2Count = 0;        ///< FAP2 columns 25-27
    std::string descriptor;   ///< FAP2 columns 29-53, trailing blanks removed
    std::vector<Row> rows;
};

/// Reads `text`; on a malformed file returns false and says why in `error`.
bool parseFapFile(const std::string& text, FapFile& file, std::string& error);

}  // namespace kalvert::testing
