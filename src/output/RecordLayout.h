#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/ModelState.h"

namespace dravia {

// The layout of every line the results files and the disturbance data file hold, declared once:
// the writers print through it, the statistics reader and merge read and rewrite through it, so
// a change of a column reaches all three together.

// What the header of a results file and of the disturbance data file say about the run.
struct RunHeader {
    int iterations = 0;
    int years = 0;
    int resultsInterval = 0;
    int disturbanceFrequency = 0;  // years between loggings
    double siteElevation = 0.0;    // m
    double baseElevation = 0.0;    // m, of the weather station
    double soilTexture = 0.0;
    double soilDepth = 0.0;   // m
    double waterDepth = 0.0;  // m
    double availableNitrogen = 0.0;
    std::string habitat;
    std::string weatherFile;
    std::string weatherType;
    std::string weatherCalendarYears;
    int co2Fertilization = 0;  // CO2_FERT_OK: the writers print it as a switch
    std::string co2Switch;     // the switch as a results file's header reads: "ON" or "OFF"
};

// The header values of the run in force.
RunHeader runHeaderOf(const ModelState& model);

// The header block of a results file of either kind.
std::string resultsHeaderText(const RunHeader& header, bool afterDisturbance);

// Takes the values a header line of a results file prints behind its labels into header; the
// values the line does not hold are left as they are.
void readResultsHeaderLine(std::string_view line, RunHeader& header);

// The column heading, or a record, ends the header of a results file.
bool endsResultsHeader(std::string_view line);

// The header line that counts the iterations, and whether a line is that line.
std::string resultsIterationsLine(int iterations);
bool isResultsIterationsLine(std::string_view line);

// The header of the disturbance data file.
std::string disturbanceHeaderText(const RunHeader& header);

// Whether a line is the first of the disturbance data file's header.
bool beginsDisturbanceHeader(std::string_view line);

// The disturbance header's line of counts follows the heading line that names them.
bool isDisturbanceCountsHeading(std::string_view line);
std::string disturbanceCountsLine(int iterations, int years, int resultsInterval);
struct DisturbanceCounts {
    int iterations = 0;
    int years = 0;
    int resultsInterval = 0;
};
std::optional<DisturbanceCounts> parseDisturbanceCounts(std::string_view line);

// A species of one plot in one year: its number of trees and their amounts.
struct SpeciesRecord {
    int iteration = 0, year = 0, plot = 0, species = 0, population = 0;
    Amounts amounts;
};

// One tree, written below its species' record when every tree is output.
struct TreeRecord {
    bool newSapling = false;  // added this year: the line is marked
    int iteration = 0, birthYear = 0, plot = 0, species = 0, treeId = 0, age = 0;
    double dbh = 0.0, height = 0.0;  // cm, cm
    Amounts amounts;                 // BA is the tree's basal area
};

// What one logging or windthrow removed of a species on a plot.
struct DisturbanceRecord {
    int iteration = 0, year = 0, plot = 0, species = 0, removed = 0;
    Amounts amounts;
};

void appendSpeciesRecord(std::string& text, const SpeciesRecord& record);
void appendTreeRecord(std::string& text, const TreeRecord& record);
void appendDisturbanceRecord(std::string& text, const DisturbanceRecord& record);

// A species record or a disturbance record as read back: thirteen numbers, the first four whole.
struct SummaryRecord {
    int iteration = 0;
    int year = 0;
    int plot = 0;
    int species = 0;
    double POP = 0.0;
    Amounts amounts;
};
std::optional<SummaryRecord> parseSummaryRecord(std::string_view line);

// A tree record as read back: the marker, then sixteen numbers.
std::optional<TreeRecord> parseTreeRecord(std::string_view line);

// Which record a line of a results file or the disturbance data file is, judged by its fields
// alone: thirteen numbers (species or disturbance record), or a tree record.
enum class RecordLine { None, Summary, Tree };
RecordLine recordLineKind(std::string_view line);

// The record line with its iteration number raised by offset, in the column its kind prints it
// in; a line of no record kind is returned unchanged.
std::string withIterationRaised(std::string_view line, int offset, bool disturbanceFile);

}  // namespace dravia
