// Arbitrary bytes as a dataless SEED volume.
#include "readers/dataless_reader.hpp"
#define READ_TEXT kalvert::readDatalessBytes
#include "reader_fuzz_body.hpp"
