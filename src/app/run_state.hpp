#pragma once

#include <chrono>
#include <memory>
#include <cstdint>
#include <unordered_set>
#include <cstddef>
#include <string>
#include <vector>

#include "app/options.hpp"
#include "files/file_access.hpp"
#include "files/held_file.hpp"
#include "files/staged_files.hpp"
#include "response/channel_response.hpp"
#include "response/output_kind.hpp"
#include "writers/metadata_response.hpp"
#include "writers/fap/fap_stream.hpp"

namespace kalvert {

/// A response chosen and checked: its constant per metre of its unit of
/// length, and the kinds of motion it is converted between.
struct CheckedResponse {
    std::size_t number = 0;  ///< section number from 1 (1 for the legacy reading)
    ChannelResponse response;
    ResponseKind kind;
    double metresPerUnit = 1.0;  ///< of the input unit's length
    std::string sourceName;      ///< the name of the file it came from, without its folder
    /// A metadata format writes the response as its file states it: no
    /// change of unit, any kind of input, every kind of stage.
    bool asStated = false;
    Grouping grouping;  ///< its place among the Network and Station elements
};

struct Converting;

/// What the input file holds, told by its content.
enum class InputKind { SacPoleZero, StationXml, Resp, Dataless };

/// The one line on a terminal that shows how far a long run has come.
struct ProgressLine {
    bool shown = false;  ///< standard error is a terminal and the run is long
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point drawn;  ///< when the line was last drawn
    std::size_t files = 0;
    std::size_t filesDone = 0;
    std::size_t responses = 0;  ///< converted so far
    std::string current;        ///< the file being read
};

/// What one run holds as it goes from stage to stage.
struct RunState {
    OutputRequest request;
    std::string inputText;
    FileIdentity inputFile;
    HeldFile input;  ///< open from the first reading to the last
    /// Every file the run reads, in device and inode order: never a target.
    std::vector<FileIdentity> inputFiles;
    InputKind inputKind = InputKind::SacPoleZero;
    bool sectioned = false;  ///< read by sections (SECTION=, CHANNEL=, TIME=, a standard format, or not SAC)
    /// StationXML and RESP files are read twice, piece by piece, never whole:
    /// once to check and choose, once to convert. Then `responses` holds the
    /// responses without their stages, and `checked` too until converted.
    bool streamed = false;
    std::vector<ChannelResponse> responses;  ///< every response of the file, in file order
    std::vector<std::size_t> selected;       ///< indices into responses: the ones to convert
    std::vector<CheckedResponse> checked;
    std::size_t skipped = 0;   ///< responses refused and skipped (ON_ERROR=skip)
    std::size_t unlisted = 0;  ///< responses of a folder run beyond those `responses` lists
    bool inFolder = false;     ///< one file of a folder: choosing nothing is no error
    ProgressLine progress;
    bool finished = false;    ///< the run's answer is given (SECTION=0 listed the sections)
    PreparedFapFile fapFile;  ///< the legacy FAP file, ready to stream
    /// The standard formats' files, each written as its response is
    /// converted, under a temporary name until the run commits them.
    StagedFiles staged;
    std::vector<std::string> targets;  ///< where each checked response goes (or the one message)
    /// Hashes of the files' names in lower case: no two names alike (a hash met
    /// again is checked against the names themselves).
    std::unordered_set<std::uint64_t> plannedNames;
    std::size_t planned = 0;             ///< responses given a target
    unsigned long long outputBytes = 0;  ///< staged so far, bounded for the whole run
    std::size_t converted = 0;           ///< responses rendered and staged
    /// One reading: a table format's StationXML, RESP or dataless file is
    /// converted as it is read (the chosen responses staged, committed at the
    /// end); this holds the grid and the queue once the first is chosen.
    bool oneReading = false;
    std::shared_ptr<Converting> converting;
    bool typeOutWarned = false;  ///< TYPE_OUT's warning is given once
};

}  // namespace kalvert
