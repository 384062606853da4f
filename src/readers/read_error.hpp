#pragma once

#include <stdexcept>

namespace kalvert {

/// Why a file cannot be read as responses, in words for the user.
struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kalvert
