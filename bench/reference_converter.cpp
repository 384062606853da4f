// The same conversion written the plain way, standing alone (it shares no
// code with the tool): the yardsticks of bench/end_to_end.sh.
//   reference_converter to_chars IN=… OUT=… [FREQ=low;high] [NPOINTS=n] [-logX]
//   reference_converter snprintf IN=… OUT=… …
// Reads the ZEROS, POLES and CONSTANT of a plain pole-zero file, evaluates
// the velocity response in counts per nm/s on the same grid as the tool,
// formats every row (std::to_chars, or one snprintf per row) into one text,
// and writes it with one write(). Status 1 on any failure.
#include <charconv>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Model {
    std::vector<std::complex<double>> zeros, poles;
    double constant = 1.0;
};

bool readModel(const char* path, Model& model)
{
    std::ifstream in(path);
    std::string word;
    std::vector<std::complex<double>>* list = nullptr;
    int left = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        if (!(fields >> word) || word[0] == '*' || word[0] == '#') continue;
        if (word == "ZEROS" || word == "POLES") {
            list = word == "ZEROS" ? &model.zeros : &model.poles;
            fields >> left;
        } else if (word == "CONSTANT") {
            fields >> model.constant;
        } else if (list != nullptr && left > 0) {
            const double re = std::strtod(word.c_str(), nullptr);
            double im = 0.0;
            fields >> im;
            list->emplace_back(re, im);
            --left;
        }
    }
    return !model.poles.empty();
}

std::vector<double> grid(double low, double high, int n, bool logX)
{
    std::vector<double> points;
    if (!logX) {
        const double step = (high - low) / n;
        for (double f = low; f <= high; f += step) points.push_back(f);
        return points;
    }
    double start = 1.0;
    while (start > low * (1 + 1e-12)) start /= 10;
    for (; start <= high; start *= 10)
        for (int k = 0; k < n; ++k) {
            const double f = start * 9 * k / n + start;
            if (f >= low && f <= high) points.push_back(f);
        }
    return points;
}

char* toCharsRow(char* out, double frequency, double amplitude, double phase)
{
    char field[64];
    auto put = [&](std::chars_format form, double value, std::size_t width) {
        const auto end = std::to_chars(field, field + sizeof field, value, form, 7).ptr;
        const auto length = static_cast<std::size_t>(end - field);
        for (std::size_t i = length; i < width; ++i) *out++ = ' ';
        std::memcpy(out, field, length);
        out += length;
    };
    put(std::chars_format::fixed, frequency, 12);
    *out++ = ' ';
    *out++ = ' ';
    put(std::chars_format::scientific, amplitude, 10);
    *out++ = ' ';
    put(std::chars_format::fixed, phase, 10);
    *out++ = '\n';
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) return 1;
    const bool toChars = std::strcmp(argv[1], "to_chars") == 0;
    const char* input = nullptr;
    const char* output = nullptr;
    double low = 0.001, high = 20.0;
    int npoints = 300;
    bool logX = false;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("IN=", 0) == 0) input = argv[i] + 3;
        else if (argument.rfind("OUT=", 0) == 0) output = argv[i] + 4;
        else if (argument.rfind("NPOINTS=", 0) == 0) npoints = std::atoi(argv[i] + 8);
        else if (argument.rfind("FREQ=", 0) == 0) std::sscanf(argv[i] + 5, "%lf%*c%lf", &low, &high);
        else if (argument == "-logX") logX = true;
    }
    Model model;
    if (input == nullptr || output == nullptr || !readModel(input, model)) return 1;

    const std::vector<double> frequencies = grid(low, high, npoints, logX);
    std::string text(frequencies.size() * 64 + 64, '\0');
    char* out = text.data();
    out += std::snprintf(out, 64, "%zu\n", frequencies.size());
    for (const double f : frequencies) {
        const std::complex<double> s(0.0, 2 * M_PI * f);
        std::complex<double> h(1.0, 0.0);
        for (const auto& z : model.zeros) h *= s - z;
        for (const auto& p : model.poles) h /= s - p;
        const double amplitude = std::abs(h) * model.constant * 1e-9;
        const double phase = std::arg(h);
        if (toChars) out = toCharsRow(out, f, amplitude, phase);
        else out += std::snprintf(out, 64, "%12.7f  %10.7e %10.7f\n", f, amplitude, phase);
    }
    const int descriptor = ::open(output, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (descriptor < 0) return 1;
    const auto length = static_cast<std::size_t>(out - text.data());
    const bool written = ::write(descriptor, text.data(), length) == static_cast<ssize_t>(length);
    return ::close(descriptor) == 0 && written ? 0 : 1;
}
