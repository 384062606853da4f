#pragma once

#include <string_view>

namespace kalvert {

/// What a TYPE_OUT text asks for.
struct OutputKind {
    int n1 = 1;   ///< kind of motion: 0 displacement, 1 velocity, 2 acceleration
    int n2 = 0;   ///< 0 direct (counts per unit), anything else inverse (unit per count)
    int n3 = -9;  ///< power of ten of the metre: −6 micrometre, −9 nanometre

    [[nodiscard]] bool inverse() const { return n2 != 0; }
};

/// The kinds of motion a run converts between, read once from the TYPE_IN
/// and TYPE_OUT texts right after the command line is parsed.
struct ResponseKind {
    int inputMotion = 1;  ///< what the file describes: 0 displacement, 1 velocity, 2 acceleration
    OutputKind output;
    /// How the kind of motion changes: by the legacy zero-list adjustment, or
    /// physically, multiplying the response by (i2πf)^(inputMotion − n1).
    bool physicalMotion = false;
};

/// "GSE2" → (1, 0, −9), "QTV" → (0, 1, −6), letter case ignored; any other
/// text gives up to three leading-integer fields separated by any of ",;:"
/// (empty fields skipped), missing fields keeping the defaults (1, 0, −9).
/// The names map to exactly the triples whose header texts they print, so
/// nothing downstream needs to know whether a name was typed.
[[nodiscard]] OutputKind readOutputKind(std::string_view typeOut);

/// TYPE_IN's leading integer and TYPE_OUT's kind, as typed.
[[nodiscard]] ResponseKind readResponseKind(std::string_view typeIn, std::string_view typeOut);

}  // namespace kalvert
