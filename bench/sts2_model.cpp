#include "sts2_model.hpp"

#include "readers/legacy_reader.hpp"

namespace kalvert::bench {

PoleZeroStage sts2Model()
{
    static const char text[] =
        "ZEROS\t7\n"
        "\t+0.000000e+00\t+0.000000e+00\t\n"
        "\t+0.000000e+00\t+0.000000e+00\t\n"
        "\t+0.000000e+00\t+0.000000e+00\t\n"
        "\t-1.515000e+01\t+0.000000e+00\t\n"
        "\t-1.766000e+02\t+0.000000e+00\t\n"
        "\t-4.631000e+02\t-4.305000e+02\t\n"
        "\t-4.631000e+02\t+4.305000e+02\t\n"
        "POLES\t11\n"
        "\t-3.724190e-02\t-3.670000e-02\t\n"
        "\t-3.724190e-02\t+3.670000e-02\t\n"
        "\t-1.564000e+01\t+0.000000e+00\t\n"
        "\t-9.734000e+01\t-4.007000e+02\t\n"
        "\t-9.734000e+01\t+4.007000e+02\t\n"
        "\t-3.748000e+02\t+0.000000e+00\t\n"
        "\t-5.203000e+02\t+0.000000e+00\t\n"
        "\t-1.053000e+04\t-1.005000e+04\t\n"
        "\t-1.053000e+04\t+1.005000e+04\t\n"
        "\t-1.330000e+04\t+0.000000e+00\t\n"
        "\t-2.550970e+02\t+0.000000e+00\t\n"
        "CONSTANT\t8.679594e+26\n";
    return std::get<PoleZeroStage>(readLegacyPoleZeroText(text).stages.front());
}

}  // namespace kalvert::bench
