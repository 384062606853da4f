#include "end_to_end/independent_response.hpp"

#include <numbers>
#include <sstream>

namespace kalvert::testing {

// A plain reading of a one-channel SAC pole-zero file: keyword lines, value
// lines under them, "*" and "#" lines skipped, unlisted zeros at the origin.
Response readResponse(const std::string& text)
{
    Response response;
    std::istringstream in(text);
    std::vector<ComplexL>* section = nullptr;
    std::size_t wanted = 0;
    std::size_t announcedZeros = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        if (word == "*") {
            std::string key;
            words >> key;
            if (key == "SENSITIVITY") {
                std::string colon;
                words >> colon >> response.sensitivity;
            }
            if (key == "INPUT") {
                std::string unit, value;
                words >> unit >> value;
                if (value == ":") words >> value;
                response.inputUnit = value;
            }
            continue;
        }
        if (word[0] == '#') continue;
        if (word == "ZEROS" || word == "POLES") {
            words >> wanted;
            section = word == "ZEROS" ? &response.zeros : &response.poles;
            if (word == "ZEROS") announcedZeros = wanted;
            continue;
        }
        if (word == "CONSTANT") {
            words >> response.constant;
            section = nullptr;
            continue;
        }
        if (section != nullptr && section->size() < wanted) {
            std::istringstream numbers(line);
            long double re = 0, im = 0;
            numbers >> re >> im;
            section->emplace_back(re, im);
        }
    }
    response.zeros.resize(announcedZeros, ComplexL(0, 0));
    return response;
}

ComplexL transfer(const Response& response, long double frequency)
{
    const ComplexL s(0, 2 * std::numbers::pi_v<long double> * frequency);
    ComplexL h(1, 0);
    for (const ComplexL& z : response.zeros) h *= s - z;
    for (const ComplexL& p : response.poles) h /= s - p;
    return h;
}

}  // namespace kalvert::testing
