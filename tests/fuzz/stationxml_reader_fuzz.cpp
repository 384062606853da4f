// Arbitrary bytes as a StationXML document.
#include "readers/stationxml_reader.hpp"
#define READ_TEXT kalvert::readStationXmlText
#include "reader_fuzz_body.hpp"
