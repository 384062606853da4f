#pragma once

#include <string_view>

namespace kalvert {

/// What a TYPE_OUT text asks for.
struct OutputKind {
    int n1 = 1;   ///< kind of motion: 0 displacement, 1 velocity, 2 acceleration
    int n2 = 0;   ///< 0 direct (counts per unit), anything else inverse (unit per count)
    int n3 = -9;  ///< power of ten of the metre: −6 micrometre, −9 nanometre
};

/// "GSE2" → (1, 0, −9), "QTV" → (0, 1, −6), letter case ignored; any other
/// text gives up to three leading-integer fields separated by any of ",;:"
/// (empty fields skipped), missing fields keeping the defaults (1, 0, −9).
OutputKind readOutputKind(std::string_view text);

/// The leading integer of a text as the C library's atoi reads it.
int readLeadingInteger(std::string_view text);

/// Whole-text comparison ignoring the case of ASCII letters.
bool equalsIgnoringCase(std::string_view text, std::string_view name);

}  // namespace kalvert
