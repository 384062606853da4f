#include "readers/dataless_reader.hpp"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "readers/resp_reader.hpp"
#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// Every logical record begins with its sequence number, header type and
// continuation mark.
constexpr std::size_t recordHead = 8;
constexpr std::size_t blocketteHead = 7;  // type and length
constexpr std::size_t shortestRecord = 256;
constexpr int shortestExponent = 8;
constexpr int longestExponent = 15;

// A field a blockette does not hold as SEED says: the channel epoch (or the
// dictionary entry) is refused, the volume read on.
struct FieldDefect {
    std::string why;
};

bool isBlank(std::string_view text)
{
    return text.find_first_not_of(' ') == std::string_view::npos;
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The fields of one blockette, read in the manual's order.
class Fields {
public:
    explicit Fields(std::string_view bytes) : bytes_(bytes) {}

    [[nodiscard]] std::string name() const { return "B" + std::string(bytes_.substr(0, 3)); }

    std::string_view fixed(std::size_t width, const char* what)
    {
        if (at_ + width > bytes_.size()) throw FieldDefect{name() + " ends before its " + what};
        const std::string_view text = bytes_.substr(at_, width);
        at_ += width;
        return text;
    }
    // I n: zero- or blank-padded; blank is 0.
    int integer(std::size_t width, const char* what)
    {
        const std::string_view text = trimmed(fixed(width, what));
        if (text.empty()) return 0;
        if (!isDigits(text) && !(text.front() == '-' && isDigits(text.substr(1))))
            throw FieldDefect{name() + ": its " + what + " \"" + std::string(text) + "\" is not a whole number"};
        int value = 0;
        for (const char c : text.substr(text.front() == '-' ? 1 : 0)) value = value * 10 + (c - '0');
        return text.front() == '-' ? -value : value;
    }
    // F, D, E n: the whole field is a number; kept as written.
    std::string number(std::size_t width, const char* what)
    {
        const std::string_view text = trimmed(fixed(width, what));
        if (!readExactNumber(text))
            throw FieldDefect{name() + ": its " + what + " \"" + std::string(text) + "\" is not a number"};
        return std::string(text);
    }
    // V max: up to "~".
    std::string variable(std::size_t most, const char* what)
    {
        const std::size_t end = bytes_.find('~', at_);
        if (end == std::string_view::npos || end - at_ > most)
            throw FieldDefect{name() + ": its " + what + " has no end (~) within " + std::to_string(most) +
                              " characters"};
        std::string text(bytes_.substr(at_, end - at_));
        at_ = end + 1;
        return text;
    }
    [[nodiscard]] bool ended() const { return at_ >= bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_ = blocketteHead;
};

// A table of a response blockette: its count and its rows, as RESP prints them.
struct Table {
    int countField = 0;
    std::string countLabel;
    std::string tag;  ///< "B053F10-13"
    int stated = 0;
    std::vector<std::string> rows;  ///< the values after the index
};

// One response blockette as the RESP reader reads it.
struct RespBlock {
    int blockette = 0;
    int stage = 0;
    std::vector<std::pair<std::string, std::string>> fields;  ///< "B053F03 Transfer function type", value
    std::vector<Table> tables;
};

std::string tag(int blockette, int field)
{
    std::string text = "B0" + std::to_string(blockette) + "F";
    if (field < 10) text += '0';
    return text + std::to_string(field);
}

// What a volume's abbreviation dictionary says.
struct Dictionary {
    std::map<int, std::string> abbreviations;        ///< B033: instruments, networks
    std::map<int, std::string> units;                ///< B034: "M/S - Velocity in Meters Per Second"
    std::map<int, std::vector<std::string>> stages;  ///< B041–B048 by key, in order

    std::string unit(int code) const
    {
        if (code == 0) return {};
        const auto found = units.find(code);
        if (found == units.end())
            throw FieldDefect{"unit code " + std::to_string(code) + " is not in the volume's B034 dictionary"};
        return found->second;
    }
};

// The parts of each response blockette, after its stage number (given by
// the caller for a dictionary entry, which has none).
class BlockMaker {
public:
    BlockMaker(const Dictionary& dictionary, Fields& fields, RespBlock& block)
        : dictionary_(dictionary), fields_(fields), block_(block)
    {
    }

    void field(int number, const char* label, std::string value)
    {
        block_.fields.emplace_back(tag(block_.blockette, number) + "     " + label, std::move(value));
    }
    void stage(std::optional<int> given)
    {
        block_.stage = given ? *given : fields_.integer(2, "stage number");
        const int blockette = block_.blockette;
        const bool afterType = blockette == 53 || blockette == 54 || blockette == 62;
        field(afterType ? 4 : 3, "Stage sequence number", std::to_string(block_.stage));
    }
    void units(int inField, int outField)
    {
        field(inField, "Response in units lookup", dictionary_.unit(fields_.integer(3, "input unit")));
        field(outField, "Response out units lookup", dictionary_.unit(fields_.integer(3, "output unit")));
    }
    // A count, then that many rows of `widths` numbers; a dictionary FIR
    // piece may hold fewer (the rest follows under the same key).
    void table(int countField, int countWidth, const char* label, const char* rowTag,
               const std::vector<std::size_t>& widths, bool partial = false)
    {
        Table table{countField, label, rowTag, fields_.integer(static_cast<std::size_t>(countWidth), label), {}};
        for (int i = 0; i < table.stated; ++i) {
            if (partial && fields_.ended()) break;
            std::string row;
            for (const std::size_t width : widths) row += "  " + fields_.number(width, label);
            table.rows.push_back(std::move(row));
        }
        block_.tables.push_back(std::move(table));
    }

private:
    const Dictionary& dictionary_;
    Fields& fields_;
    RespBlock& block_;
};

void polesZeros(BlockMaker& make, Fields& fields, std::optional<int> stage)
{
    make.field(3, "Transfer function type", std::string(fields.fixed(1, "transfer function type")));
    make.stage(stage);
    make.units(5, 6);
    make.field(7, "A0 normalization factor", fields.number(12, "A0"));
    make.field(8, "Normalization frequency", fields.number(12, "normalization frequency"));
    make.table(9, 3, "Number of zeroes", "B053F10-13", {12, 12, 12, 12});
    make.table(14, 3, "Number of poles", "B053F15-18", {12, 12, 12, 12});
}

void coefficients(BlockMaker& make, Fields& fields, std::optional<int> stage)
{
    make.field(3, "Transfer function type", std::string(fields.fixed(1, "transfer function type")));
    make.stage(stage);
    make.units(5, 6);
    make.table(7, 4, "Number of numerators", "B054F08-09", {12, 12});
    make.table(10, 4, "Number of denominators", "B054F11-12", {12, 12});
}

void responseList(BlockMaker& make, std::optional<int> stage)
{
    make.stage(stage);
    make.units(4, 5);
    make.table(6, 4, "Number of responses listed", "B055F07-11", {12, 12, 12, 12, 12});
}

void decimation(BlockMaker& make, Fields& fields, std::optional<int> stage)
{
    make.stage(stage);
    make.field(4, "Input sample rate", fields.number(10, "input sample rate"));
    make.field(5, "Decimation factor", std::to_string(fields.integer(5, "decimation factor")));
    make.field(6, "Decimation offset", std::to_string(fields.integer(5, "decimation offset")));
    make.field(7, "Estimated delay (seconds)", fields.number(11, "delay"));
    make.field(8, "Correction applied (seconds)", fields.number(11, "correction"));
}

void gain(BlockMaker& make, Fields& fields, std::optional<int> stage)
{
    make.stage(stage);
    make.field(4, "Gain", fields.number(12, "gain"));
    make.field(5, "Frequency of gain", fields.number(12, "frequency of gain") + " HZ");
    make.field(6, "Number of calibrations", "0");  // their history is not part of the response
}

void fir(BlockMaker& make, Fields& fields, std::optional<int> stage, bool dictionary)
{
    make.stage(stage);
    make.field(4, "Response Name", fields.variable(25, "name"));
    make.field(5, "Symmetry type", std::string(fields.fixed(1, "symmetry")));
    make.units(6, 7);
    make.table(8, 4, "Number of numerators", "B061F09", {14}, dictionary);
}

void polynomial(BlockMaker& make, Fields& fields, std::optional<int> stage)
{
    make.field(3, "Transfer function type", std::string(fields.fixed(1, "transfer function type")));
    make.stage(stage);
    make.units(5, 6);
    make.field(7, "Polynomial Approximation Type", std::string(fields.fixed(1, "approximation type")));
    make.field(8, "Valid Frequency Units", std::string(fields.fixed(1, "frequency units")));
    make.field(9, "Lower Valid Frequency Bound", fields.number(12, "lower frequency bound"));
    make.field(10, "Upper Valid Frequency Bound", fields.number(12, "upper frequency bound"));
    make.field(11, "Lower Bound of Approximation", fields.number(12, "lower bound"));
    make.field(12, "Upper Bound of Approximation", fields.number(12, "upper bound"));
    make.field(13, "Maximum Absolute Error", fields.number(12, "maximum error"));
    make.table(14, 3, "Number of coefficients", "B062F15-16", {12, 12});
}

// A response blockette of the channel (053–062) or of the dictionary
// (041–048, acting as 053–062 with the stage number `stage`).
RespBlock makeBlock(const Dictionary& dictionary, std::string_view bytes, std::optional<int> stage)
{
    Fields fields(bytes);
    int type = 0;
    for (const char c : bytes.substr(0, 3)) type = type * 10 + (c - '0');
    const bool fromDictionary = type < 50;
    if (fromDictionary) {
        (void)fields.integer(4, "lookup key");
        if (type != 41) (void)fields.variable(25, "name");
    }
    static const std::map<int, int> actsAs{{41, 61}, {42, 62}, {43, 53}, {44, 54},
                                           {45, 55}, {46, 56}, {47, 57}, {48, 58}};
    RespBlock block;
    block.blockette = fromDictionary ? actsAs.at(type) : type;
    BlockMaker make(dictionary, fields, block);
    switch (block.blockette) {
    case 53: polesZeros(make, fields, stage); break;
    case 54: coefficients(make, fields, stage); break;
    case 55: responseList(make, stage); break;
    case 57: decimation(make, fields, stage); break;
    case 58: gain(make, fields, stage); break;
    case 61: fir(make, fields, stage, fromDictionary); break;
    case 62: polynomial(make, fields, stage); break;
    default:
        throw FieldDefect{"B0" + std::to_string(type) +
                          " is a generic response (corner frequencies and slopes), which no evaluator reads"};
    }
    return block;
}

// Pieces of one filter: several 054 or 061 of one stage, or several 041 of
// one key, are one list of coefficients, chained in order.
void chain(std::vector<RespBlock>& blocks, bool countsAreTotals)
{
    std::vector<RespBlock> chained;
    for (RespBlock& block : blocks) {
        const bool piece = block.blockette == 54 || block.blockette == 61;
        auto first = std::find_if(chained.begin(), chained.end(), [&](const RespBlock& earlier) {
            return piece && earlier.blockette == block.blockette && earlier.stage == block.stage;
        });
        if (first == chained.end()) {
            chained.push_back(std::move(block));
            continue;
        }
        for (std::size_t i = 0; i < first->tables.size() && i < block.tables.size(); ++i) {
            Table& table = first->tables[i];
            if (!countsAreTotals) table.stated += block.tables[i].stated;
            table.rows.insert(table.rows.end(), block.tables[i].rows.begin(), block.tables[i].rows.end());
        }
    }
    blocks = std::move(chained);
}

// One channel epoch as it is read: its identity lines, its stages.
struct ChannelInProgress {
    bool open = false;
    std::vector<std::string> identity;  ///< B050 and B052 lines
    std::vector<RespBlock> blocks;
    std::string defect;  ///< the first field the volume does not hold as SEED says
};

// Blockettes that hold nothing of a response: volume and time-span
// indexes, data formats, comments, beams, and the data blockettes.
bool isSkipped(std::string_view type)
{
    for (const std::string_view known : {"005", "008", "010", "011", "012", "030", "031", "032", "035", "051", "059",
                                         "070", "071", "072", "073", "074", "100"})
        if (type == known) return true;
    return type.front() == '2';
}

// The reading of one volume, blockette by blockette.
class VolumeReading {
public:
    explicit VolumeReading(const ResponseSink& each)
        : sink_([this, &each](ChannelResponse&& response) {
              if (!defects_.empty()) {
                  if (!defects_.front().empty()) response.defect = defects_.front();
                  defects_.pop_front();
              }
              return each(std::move(response));
          }),
          lines_(sink_, false)
    {
    }

    // False when the sink wants no more.
    bool blockette(std::string_view bytes)
    {
        const std::string_view type = bytes.substr(0, 3);
        try {
            if (type == "033") return abbreviation(bytes), true;
            if (type == "034") return unit(bytes), true;
            if (type >= "041" && type <= "048") return dictionaryEntry(bytes), true;
            if (type == "050") return station(bytes);
            if (type == "052") return channel(bytes);
            if ((type >= "053" && type <= "058") || type == "060" || type == "061" || type == "062") {
                if (!channel_.open) throw ReadError("a response blockette B" + std::string(type) + " before any B052");
                if (type == "060")
                    reference(bytes);
                else
                    channel_.blocks.push_back(makeBlock(dictionary_, bytes, std::nullopt));
                return true;
            }
            if (!isSkipped(type)) {
                if (!channel_.open)
                    throw ReadError("B" + std::string(type) + " is no blockette of SEED's control headers");
                throw FieldDefect{"B" + std::string(type) + " is no blockette of SEED's control headers"};
            }
        } catch (const FieldDefect& defect) {
            if (channel_.open && channel_.defect.empty()) channel_.defect = defect.why;
        }
        return true;
    }

    bool finish()
    {
        if (!feed()) return false;
        return lines_.finish();
    }
    [[nodiscard]] std::size_t epochs() const { return lines_.epochs(); }

private:
    void abbreviation(std::string_view bytes)
    {
        Fields fields(bytes);
        const int code = fields.integer(3, "code");
        dictionary_.abbreviations[code] = fields.variable(50, "description");
    }
    void unit(std::string_view bytes)
    {
        Fields fields(bytes);
        const int code = fields.integer(3, "code");
        std::string name = fields.variable(20, "unit name");
        const std::string description = fields.variable(50, "unit description");
        if (!description.empty()) name += " - " + description;
        dictionary_.units[code] = std::move(name);
    }
    void dictionaryEntry(std::string_view bytes)
    {
        Fields fields(bytes);
        dictionary_.stages[fields.integer(4, "lookup key")].emplace_back(bytes);
    }
    // B060: stages stated by reference to the dictionary.
    void reference(std::string_view bytes)
    {
        Fields fields(bytes);
        const int stages = fields.integer(2, "stage count");
        for (int i = 0; i < stages; ++i) {
            const int stage = fields.integer(2, "stage number");
            const int keys = fields.integer(2, "key count");
            for (int k = 0; k < keys; ++k) {
                const int key = fields.integer(4, "lookup key");
                const auto entry = dictionary_.stages.find(key);
                if (entry == dictionary_.stages.end())
                    throw FieldDefect{"B060 stage " + std::to_string(stage) + ": key " + std::to_string(key) +
                                      " names no entry of the volume's dictionary"};
                std::vector<RespBlock> pieces;
                for (const std::string& piece : entry->second) pieces.push_back(makeBlock(dictionary_, piece, stage));
                chain(pieces, true);
                for (RespBlock& block : pieces) channel_.blocks.push_back(std::move(block));
            }
        }
    }
    bool station(std::string_view bytes)
    {
        if (!feed()) return false;
        Fields fields(bytes);
        stationLines_.clear();
        stationLines_.push_back("B050F03     Station:     " + std::string(trimmed(fields.fixed(5, "station code"))));
        stationLines_.push_back("B050F04     Latitude:    " + fields.number(10, "latitude"));
        stationLines_.push_back("B050F05     Longitude:   " + fields.number(11, "longitude"));
        stationLines_.push_back("B050F06     Elevation:   " + fields.number(7, "elevation"));
        (void)fields.integer(4, "channel count");
        (void)fields.integer(3, "comment count");
        stationLines_.push_back("B050F09     Site name:   " + fields.variable(60, "site name"));
        (void)fields.integer(3, "network identifier");
        (void)fields.integer(4, "32-bit word order");
        (void)fields.integer(2, "16-bit word order");
        (void)fields.variable(22, "start");
        (void)fields.variable(22, "end");
        (void)fields.fixed(1, "update flag");
        if (!fields.ended())
            stationLines_.push_back("B050F16     Network:     " +
                                    std::string(trimmed(fields.fixed(2, "network code"))));
        return true;
    }
    bool channel(std::string_view bytes)
    {
        if (!feed()) return false;
        channel_ = ChannelInProgress{};
        channel_.open = true;
        channel_.identity = stationLines_;
        try {
            Fields fields(bytes);
            std::vector<std::string>& lines = channel_.identity;
            const std::string location(trimmed(fields.fixed(2, "location")));
            lines.push_back("B052F03     Location:    " + (location.empty() ? std::string("??") : location));
            lines.push_back("B052F04     Channel:     " + std::string(trimmed(fields.fixed(3, "channel"))));
            (void)fields.integer(4, "subchannel");
            const int instrument = fields.integer(3, "instrument");
            if (const auto name = dictionary_.abbreviations.find(instrument);
                instrument != 0 && name != dictionary_.abbreviations.end())
                lines.push_back("B052F06     Instrument:  " + name->second);
            (void)fields.variable(30, "comment");
            (void)fields.integer(3, "signal units");
            (void)fields.integer(3, "calibration units");
            lines.push_back("B052F10     Latitude:    " + fields.number(10, "latitude"));
            lines.push_back("B052F11     Longitude:   " + fields.number(11, "longitude"));
            lines.push_back("B052F12     Elevation:   " + fields.number(7, "elevation"));
            lines.push_back("B052F13     Local depth: " + fields.number(5, "local depth"));
            lines.push_back("B052F14     Azimuth:     " + fields.number(5, "azimuth"));
            lines.push_back("B052F15     Dip:         " + fields.number(5, "dip"));
            (void)fields.integer(4, "data format");
            (void)fields.integer(2, "record length");
            lines.push_back("B052F18     Sample rate: " + fields.number(10, "sample rate"));
            (void)fields.number(10, "clock drift");
            (void)fields.integer(4, "comment count");
            (void)fields.variable(26, "channel flags");
            lines.push_back("B052F22     Start date:  " + fields.variable(22, "start"));
            const std::string end = fields.variable(22, "end");
            lines.push_back("B052F23     End date:    " + (end.empty() ? std::string("No Ending Time") : end));
        } catch (const FieldDefect& defect) {
            channel_.defect = defect.why;
        }
        return true;
    }

    // The channel read so far, handed to the RESP reading as its lines.
    bool feed()
    {
        if (!channel_.open) return true;
        chain(channel_.blocks, false);
        defects_.push_back(channel_.defect);
        bool goOn = true;
        for (const std::string& line : channel_.identity) goOn = goOn && lines_.line(line);
        std::string line;
        auto say = [&](std::initializer_list<std::string_view> parts) {
            line.clear();
            for (const std::string_view part : parts) line.append(part);
            goOn = goOn && lines_.line(line);
        };
        for (const RespBlock& block : channel_.blocks) {
            for (const auto& [label, value] : block.fields) say({label, ": ", value});
            for (const Table& table : block.tables) {
                say({tag(block.blockette, table.countField), "     ", table.countLabel, ": ",
                     std::to_string(table.stated)});
                for (std::size_t i = 0; i < table.rows.size(); ++i)
                    say({table.tag, "  ", std::to_string(i), table.rows[i]});
            }
        }
        channel_ = ChannelInProgress{};
        return goOn;
    }

    Dictionary dictionary_;
    std::vector<std::string> stationLines_;
    ChannelInProgress channel_;
    std::deque<std::string> defects_;  ///< of the channels handed over, not yet given out
    ResponseSink sink_;
    RespLineReader lines_;
};

// The records of a volume, one at a time, from pieces of its bytes.
class Records {
public:
    explicit Records(const ChunkSource& source) : source_(source) {}

    // The record length blockette 010 states, found in the first record.
    void learnLength()
    {
        fill(shortestRecord);
        std::size_t at = recordHead;
        while (at + blocketteHead <= buffer_.size()) {
            const std::string_view head = std::string_view(buffer_).substr(at, blocketteHead);
            const std::string_view length = trimmed(head.substr(3));
            if (!isDigits(head.substr(0, 3)) || !isDigits(length)) break;
            if (head.substr(0, 3) == "010") {
                constexpr std::size_t exponentAt = blocketteHead + 4;  // after the version, F4
                if (at + exponentAt + 2 > buffer_.size()) throw ReadError("blockette 010 is cut short");
                const std::string_view exponent = std::string_view(buffer_).substr(at + exponentAt, 2);
                const int value = isDigits(trimmed(exponent)) ? std::stoi(std::string(trimmed(exponent))) : 0;
                if (value < shortestExponent || value > longestExponent)
                    throw ReadError("blockette 010 states a record length of 2^" + std::string(exponent) +
                                    ": not 256 to 32768 bytes");
                length_ = std::size_t{1} << value;
                return;
            }
            const std::size_t step = std::stoul(std::string(length));
            if (step < blocketteHead) break;  // a length shorter than its own head: no blockette
            at += step;
        }
        throw ReadError("the first record holds no blockette 010: not a SEED volume");
    }

    // The next record (the last may be short); false at the end.
    bool next(std::string& record)
    {
        fill(length_);
        if (buffer_.empty()) return false;
        const std::size_t size = std::min(length_, buffer_.size());
        record.assign(buffer_, 0, size);
        buffer_.erase(0, size);
        return true;
    }

private:
    void fill(std::size_t wanted)
    {
        while (buffer_.size() < wanted && !ended_) {
            const std::string_view piece = source_();
            if (piece.empty())
                ended_ = true;
            else
                buffer_.append(piece);
        }
    }

    const ChunkSource& source_;
    std::string buffer_;
    std::size_t length_ = 0;
    bool ended_ = false;
};

}  // namespace

bool looksLikeDataless(std::string_view start)
{
    if (start.size() < recordHead + blocketteHead || !isDigits(start.substr(0, 6)) || start[6] != 'V' ||
        (start[7] != ' ' && start[7] != '*'))
        return false;
    // 010, or 005, 008 and 011 before it in a full volume.
    for (std::size_t at = recordHead; at + blocketteHead <= start.size() && at < shortestRecord;) {
        const std::string_view type = start.substr(at, 3);
        const std::string_view length = trimmed(start.substr(at + 3, 4));
        if (!isDigits(type) || !isDigits(length)) return false;
        if (type == "010") return true;
        const std::size_t step = std::stoul(std::string(length));
        if (step < blocketteHead) return false;
        at += step;
    }
    return false;
}

void readDataless(const ChunkSource& source, const ResponseSink& each)
{
    Records records(source);
    records.learnLength();
    VolumeReading reading(each);
    std::string record;
    std::string pending;          // a blockette begun in an earlier record
    std::size_t pendingSize = 0;  // its whole length
    std::size_t number = 0;
    while (records.next(record)) {
        ++number;
        const std::string where = "record " + std::to_string(number);
        if (trimmed(record).empty()) continue;  // blank fill, or the newline after a short last record
        if (record.size() < recordHead || !isDigits(record.substr(0, 6)))
            throw ReadError(where + " does not begin with a sequence number");
        const char type = record[6];
        if (type != 'V' && type != 'A' && type != 'S' && type != 'T') {
            if (!pending.empty()) throw ReadError(where + " is a data record inside a blockette");
            continue;  // data records of a full volume
        }
        std::string_view body = std::string_view(record).substr(recordHead);
        if (record[7] == '*' && !pending.empty()) {
            const std::size_t taken = std::min(body.size(), pendingSize - pending.size());
            pending.append(body.substr(0, taken));
            body.remove_prefix(taken);
            if (pending.size() < pendingSize) continue;
            if (!reading.blockette(pending)) return;
            pending.clear();
        } else if (!pending.empty()) {
            throw ReadError(where + " does not continue the blockette the record before it began");
        }
        while (body.size() >= blocketteHead && !isBlank(body.substr(0, blocketteHead))) {
            const std::string_view kind = body.substr(0, 3);
            const std::string_view length = trimmed(body.substr(3, 4));
            if (!isDigits(kind) || !isDigits(length) || std::stoul(std::string(length)) < blocketteHead)
                throw ReadError(where + ": \"" + std::string(body.substr(0, blocketteHead)) +
                                "\" is no blockette type and length");
            const std::size_t size = std::stoul(std::string(length));
            if (size > body.size()) {
                pending.assign(body);
                pendingSize = size;
                break;
            }
            if (!reading.blockette(body.substr(0, size))) return;
            body.remove_prefix(size);
        }
    }
    if (!pending.empty()) throw ReadError("the volume ends inside a blockette " + pending.substr(0, 3));
    if (!reading.finish()) return;
    if (reading.epochs() == 0) throw ReadError("no blockette 052: the volume holds no channel epoch");
}

std::vector<ChannelResponse> readDatalessBytes(std::string_view bytes)
{
    return readAll(readDataless, bytes);
}

}  // namespace kalvert
