#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dates/date_time.hpp"
#include "writers/tabulated_response.hpp"

namespace kalvert {

/// The column layout and envelope of a GSE response.
enum class GseVersion { Gse20, Gse21, Ims10 };

/// "GSE2.0", "GSE2.1", "IMS1.0".
[[nodiscard]] const char* gseVersionName(GseVersion version);

/// What the CAL2 line and the comment name, taken from a section's header.
struct GseChannel {
    std::string name;            ///< "NET.STA.LOC.CHA", the FAP2 descriptor
    std::string station;         ///< ≤ 5 characters
    std::string channel;         ///< ≤ 3 characters
    std::string location;        ///< ≤ 4 characters, CAL2's auxiliary id
    std::string instrumentType;  ///< the GSE code, or empty
    std::optional<double> sampleRate;
    std::optional<DateTime> on;
    std::optional<DateTime> off;  ///< nothing while the response is valid
    std::string comment;          ///< the text of the "(…)" line; brackets in it become blanks
};

/// The most rows one FAP2 block can announce (ntrip is i3).
inline constexpr std::size_t maxFap2Rows = 999;

/// The frequency as the f10.5 column holds it (what the row is evaluated at);
/// 0 for one that rounds to nothing. Throws FieldError from 10000 Hz on.
[[nodiscard]] double gseWrittenFrequency(double frequency);

/// The GSE instrument code for a header's instrument text ("Geotech KS-54000
/// Borehole Seismometer" → "KS5400"), or empty for one the codes do not list.
[[nodiscard]] std::string gseInstrumentType(const std::string& instrument);

/// CAL2, the comment line and one FAP2 stage with its data lines, in the
/// version's columns: calib = 1/|H(1/calper)| nm/count. Throws FieldError
/// for a text, number or row count that its columns cannot hold.
[[nodiscard]] std::string formatGseResponse(const GseChannel& channel, const std::vector<DisplacementRow>& rows,
                                            double calib, double calper, GseVersion version);

/// One response of a message (or SEISAN's file) for a tabulated channel: its
/// identity, instrument code, sample rate and epoch on the CAL2 line, and a
/// comment that names the channel, the source file and the unit.
[[nodiscard]] std::string gseResponseText(const TabulatedResponse& table, GseVersion version);

/// SEISAN's bare GSE2.0 response: as gseResponseText, but the CAL2 line ends
/// after the on-time (SEISAN reads no off date, and Geotool refuses a CAL2
/// line that reaches column 84).
[[nodiscard]] std::string seisanResponseText(const TabulatedResponse& table);

/// MSG_ID's text for a message that begins with `first`: "STA_CHA", letters,
/// digits and "_" only, at most 20 characters ("KALVERT" when that leaves
/// nothing).
[[nodiscard]] std::string gseMessageId(const ChannelResponse& first);

/// BEGIN, MSG_TYPE, MSG_ID and DATA_TYPE RESPONSE of a message that begins
/// with `first`; each response follows with a blank line, then "STOP\n".
[[nodiscard]] std::string gseMessageHead(const ChannelResponse& first, GseVersion version);
inline constexpr std::string_view gseMessageTail = "STOP\n";

/// BEGIN, MSG_TYPE, MSG_ID, DATA_TYPE RESPONSE, the responses separated by a
/// blank line, STOP.
[[nodiscard]] std::string formatGseMessage(const std::vector<std::string>& responses, const std::string& messageId,
                                           GseVersion version);

/// SEISAN's CAL file name: station padded to 5, component in 4 ("BH Z" for
/// BHZ), blanks as "_", the start as yyyy-mm-dd-hhmm, "_GSE":
/// "ANMO_BH_Z.2012-03-12-2028_GSE".
[[nodiscard]] std::string seisanFileName(const std::string& station, const std::string& channel,
                                         const std::optional<DateTime>& start);
[[nodiscard]] std::string seisanFileName(const ChannelResponse& response);

}  // namespace kalvert
