#include <string>
#include <vector>

#include "app/conversion_run.hpp"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    return static_cast<int>(kalvert::runConversion(arguments));
}
