// Arbitrary bytes as a RESP file.
#include "readers/resp_reader.hpp"
#define READ_TEXT kalvert::readRespText
#include "reader_fuzz_body.hpp"
