#include "output/RecordLayout.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "output/SiteNames.h"
#include "platform/Format.h"

namespace dravia {

namespace {

// The iteration number leads every record; merge rewrites it in the same width.
constexpr int SPECIES_ITERATION_WIDTH = 7;
constexpr int DISTURBANCE_ITERATION_WIDTH = 5;
constexpr int TREE_ITERATION_DIGITS = 3;  // zero-filled, behind the marker
constexpr size_t TREE_MARKER_WIDTH = 3;   // " ->" for a new sapling, else three blanks
constexpr const char* NEW_SAPLING_MARKER = " ->";

constexpr size_t SUMMARY_FIELDS = 13;  // species record and disturbance record
constexpr size_t TREE_FIELDS = 16;

constexpr std::string_view BLANKS = " \t\r\n\f\v";
constexpr std::string_view LINE_BLANKS = " \t\r\n";  // what merge splits a line's fields at

constexpr std::string_view ITERATIONS_LABEL = "Iterations:";
constexpr std::string_view DISTURBANCE_TITLE = "LOGGING DATA";
constexpr std::string_view DISTURBANCE_COUNTS_HEADING = "NUM_ITERS  NUM_YEARS   RESULTS_INTERV";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view text, std::string_view blanks = BLANKS) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool parseWholeInGeneral(std::string_view token, int& value) {
    const std::string text(token);
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseWhole(std::string_view token, int& value) {
    // The plain digits of a record convert directly; anything else (a sign, an overflow) takes
    // the general conversion, which decides as it always has.
    int direct = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), direct);
    if (error == std::errc() && end == token.data() + token.size()) {
        value = direct;
        return true;
    }
    return parseWholeInGeneral(token, value);
}

bool parseRealInGeneral(std::string_view token, double& value) {
    const std::string text(token);
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool parseReal(std::string_view token, double& value) {
    // A decimal number converts directly, rounded exactly as the general conversion rounds it;
    // anything else (a sign, hexadecimal, infinities, out of range) takes the general way.
    double direct = 0.0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), direct);
    if (error == std::errc() && end == token.data() + token.size() && std::isfinite(direct)) {
        value = direct;
        return true;
    }
    return parseRealInGeneral(token, value);
}

// The leading number of a text (blanks first), as the header prints it behind its label.
bool leadingWhole(std::string_view text, int& value) {
    text = trimmed(text);
    const size_t end = text.find_first_of(BLANKS);
    return parseWhole(text.substr(0, end), value);
}

bool leadingReal(std::string_view text, double& value) {
    text = trimmed(text);
    const size_t end = text.find_first_of(BLANKS);
    return parseReal(text.substr(0, end), value);
}

void readLeadingWhole(std::string_view text, std::string_view label, int& target) {
    if (text.substr(0, label.size()) != label) return;
    leadingWhole(text.substr(label.size()), target);
}

void readLeadingReal(std::string_view text, std::string_view label, double& target) {
    if (text.substr(0, label.size()) != label) return;
    leadingReal(text.substr(label.size()), target);
}

// Names may hold blanks: a text value is everything behind its label up to the end of its line.
void readTrailingText(std::string_view text, std::string_view label, std::string& target) {
    const size_t position = text.find(label);
    if (position == std::string_view::npos) return;
    target = std::string(trimmed(text.substr(position + label.size())));
}

// Splits a line at blanks, up to limit fields; returns false when it holds more.
bool splitFields(std::string_view line, std::string_view* fields, size_t limit, size_t& count) {
    count = 0;
    const size_t length = line.size();
    size_t i = 0;
    while (true) {
        while (i < length && isBlank(line[i])) ++i;
        if (i == length) return true;
        const size_t start = i;
        while (i < length && !isBlank(line[i])) ++i;
        if (count == limit) return false;
        fields[count++] = line.substr(start, i - start);
    }
}

bool parseAmounts(const std::string_view* fields, Amounts& amounts) {
    double* reals[] = {&amounts.BA,      &amounts.STEM_BM, &amounts.BARK_BM,  &amounts.BRANCH_BM,
                       &amounts.ROOT_BM, &amounts.LEAF_BM, &amounts.TOT_BIOM, &amounts.TOT_VOL};
    for (int i = 0; i < 8; ++i) {
        if (!parseReal(fields[i], *reals[i])) return false;
    }
    return true;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        const size_t start = line.find_first_not_of(LINE_BLANKS);
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const size_t end = std::min(line.find_first_of(LINE_BLANKS), line.size());
        fields.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    return fields;
}

bool isNumber(std::string_view field) {
    if (field.empty()) return false;
    const std::string text(field);
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

// The first whole number in line at or after from: where it starts and ends, and its value.
struct Field {
    size_t start = 0;
    size_t end = 0;
    long value = 0;
};
std::optional<Field> firstField(std::string_view line, size_t from) {
    const size_t start = line.find_first_not_of(' ', from);
    if (start == std::string_view::npos) return std::nullopt;
    const size_t end = std::min(line.find_first_of(LINE_BLANKS, start), line.size());
    const std::string text(line.substr(start, end - start));
    char* stop = nullptr;
    const long value = std::strtol(text.c_str(), &stop, 10);
    if (stop != text.c_str() + text.size()) return std::nullopt;
    return Field{start, end, value};
}

}  // namespace

RunHeader runHeaderOf(const ModelState& model) {
    const RunParameters& params = model.params;
    const Site& site = model.site;
    RunHeader header;
    header.iterations = params.NUM_ITERS;
    header.years = params.NUM_YEARS;
    header.resultsInterval = params.RESULTS_INTERV;
    header.disturbanceFrequency = params.BLOW_FREQ;
    header.siteElevation = site.ELEVATION;
    header.baseElevation = model.weather.stationElevation;
    header.soilTexture = site.TEXTURE;
    header.soilDepth = site.SOIL_DEPTH;
    header.waterDepth = site.WATER_DEPTH;
    header.availableNitrogen = site.AVAIL_N;
    header.habitat = selectedHabitat(params);
    header.weatherFile = params.WTHR_FILE;
    header.weatherType = selectedWeatherType(params);
    header.weatherCalendarYears = params.WTHR_CAL_YEARS;
    header.co2Fertilization = params.CO2_FERT_OK;
    header.co2Switch = params.CO2_FERT_OK != 0 ? "ON" : "OFF";
    return header;
}

std::string resultsIterationsLine(int iterations) {
    return formatText(" Iterations:     %5d \n", iterations);
}

bool isResultsIterationsLine(std::string_view line) {
    return line.substr(0, 1 + ITERATIONS_LABEL.size()) == " Iterations:";
}

std::string resultsHeaderText(const RunHeader& h, bool afterDisturbance) {
    std::string text = "\n DRAVIA 4 TREE BIODATA\n";
    text += afterDisturbance ? " RESULTS AFTER LOGGING IS COMPLETED\n\n"
                             : " RESULTS WITHOUT OR BEFORE LOGGING\n\n";
    text += resultsIterationsLine(h.iterations);
    appendFormat(text, " Years:          %5d \n", h.years);
    appendFormat(text, " Print Interval: %5d \n\n", h.resultsInterval);
    appendFormat(text, " Site Elevation:   %5.1f meters  ", h.siteElevation);
    appendFormat(text, " Habitat:             %s \n", h.habitat.c_str());
    appendFormat(text, " Base Elevation:   %5.1f meters  ", h.baseElevation);
    appendFormat(text, " Weather File:        %s \n", h.weatherFile.c_str());
    appendFormat(text, " Soil Texture:     %5.1f         ", h.soilTexture);
    appendFormat(text, " Weather Type:        %s \n", h.weatherType.c_str());
    appendFormat(text, " Soil Depth:       %5.1f meters  ", h.soilDepth);
    appendFormat(text, " Weather Cal. Years:  %s \n", h.weatherCalendarYears.c_str());
    appendFormat(text, " Water Depth:      %5.1f meters  ", h.waterDepth);
    text += " CO2 Fertilization:   ";
    text += h.co2Fertilization != 0 ? "ON \n" : "OFF \n";
    appendFormat(text, " Avail. Nitrogen:  %5.1f \n\n", h.availableNitrogen);
    text += "  ITER-  SIM/ PLOT TR. POP                       BASAL     STEM ";
    text += "      BARK     BRANCH     ROOT      LEAF     TOTAL     TOTAL\n";
    text += "  ATION BIRTH NUM- SP. /ID  AGE   DBH  HEIGHT     AREA   BIOMASS";
    text += "    BIOMASS   BIOMASS   BIOMASS   BIOMASS   BIOMASS   VOLUME\n";
    text += " NUMBER  YEAR BER  NO. NO. (yrs)  (cm)  (cm)                    ";
    text += "                                                           \n\n";
    return text;
}

void readResultsHeaderLine(std::string_view line, RunHeader& h) {
    const std::string_view text = trimmed(line);
    readLeadingWhole(text, ITERATIONS_LABEL, h.iterations);
    readLeadingWhole(text, "Years:", h.years);
    readLeadingWhole(text, "Print Interval:", h.resultsInterval);
    readLeadingReal(text, "Site Elevation:", h.siteElevation);
    readLeadingReal(text, "Base Elevation:", h.baseElevation);
    readLeadingReal(text, "Soil Texture:", h.soilTexture);
    readLeadingReal(text, "Soil Depth:", h.soilDepth);
    readLeadingReal(text, "Water Depth:", h.waterDepth);
    readLeadingReal(text, "Avail. Nitrogen:", h.availableNitrogen);
    readTrailingText(text, "Habitat:", h.habitat);
    readTrailingText(text, "Weather File:", h.weatherFile);
    readTrailingText(text, "Weather Type:", h.weatherType);
    readTrailingText(text, "Weather Cal. Years:", h.weatherCalendarYears);
    readTrailingText(text, "CO2 Fertilization:", h.co2Switch);
}

bool endsResultsHeader(std::string_view line) {
    return trimmed(line).substr(0, 5) == "ITER-" || parseSummaryRecord(line).has_value();
}

bool beginsDisturbanceHeader(std::string_view line) {
    return line.substr(0, DISTURBANCE_TITLE.size()) == DISTURBANCE_TITLE;
}

std::string disturbanceCountsLine(int iterations, int years, int resultsInterval) {
    return formatText("%7d %10d %11d\n", iterations, years, resultsInterval);
}

bool isDisturbanceCountsHeading(std::string_view line) {
    return trimmed(line, "\r\n") == DISTURBANCE_COUNTS_HEADING;
}

std::optional<DisturbanceCounts> parseDisturbanceCounts(std::string_view line) {
    const std::vector<std::string_view> fields = fieldsOf(line);
    DisturbanceCounts counts;
    if (fields.size() != 3 || !parseWholeInGeneral(fields[0], counts.iterations) ||
        !parseWholeInGeneral(fields[1], counts.years) ||
        !parseWholeInGeneral(fields[2], counts.resultsInterval)) {
        return std::nullopt;
    }
    return counts;
}

std::string disturbanceHeaderText(const RunHeader& h) {
    std::string text;
    text += DISTURBANCE_TITLE;
    appendFormat(text, " WITH A FREQUENCY OF %d YEARS\n", h.disturbanceFrequency);
    text += DISTURBANCE_COUNTS_HEADING;
    text += "\n";
    text += disturbanceCountsLine(h.iterations, h.years, h.resultsInterval);
    appendFormat(text, "ELEV= %-4.1f", h.siteElevation);
    appendFormat(text, " ELEV_BASE= %-4.1f", h.baseElevation);
    appendFormat(text, " TEXTURE= %-5.1f", h.soilTexture);
    appendFormat(text, " SOIL_DEPTH= %-2.1f\n", h.soilDepth);
    appendFormat(text, " WATER_DEPTH= %-2.1f", h.waterDepth);
    appendFormat(text, " AVAIL_N= %-5.1f", h.availableNitrogen);
    appendFormat(text, " HABITAT= %s\n", h.habitat.c_str());
    appendFormat(text, " WTHR_FILE= %s", h.weatherFile.c_str());
    appendFormat(text, " WTHR_TYPE= %s", h.weatherType.c_str());
    appendFormat(text, " WTHR_CAL_YEARS= %s\n", h.weatherCalendarYears.c_str());
    if (h.co2Fertilization == 0) text += " CO2_FERTILIZATION_SWITCH= OFF\n";
    if (h.co2Fertilization == 1) text += " CO2_FERTILIZATION_SWITCH= ON\n";
    text +=
        "  ITER  YEAR    PLOT    SN      POP     BA       STEM_BM   BARK_BM  BRANCH_BM  ROOT_BM  LEAF_BM  "
        "TOT_BIOM   TOT_VOL  \n";
    return text;
}

namespace {

// "%W.Pf" of each amount, each behind a blank.
void appendAmounts(std::string& text, const Amounts& a, int firstWidth, int width, int precision) {
    appendFixed(text, a.BA, firstWidth, precision);
    for (const double value :
         {a.STEM_BM, a.BARK_BM, a.BRANCH_BM, a.ROOT_BM, a.LEAF_BM, a.TOT_BIOM, a.TOT_VOL}) {
        text += ' ';
        appendFixed(text, value, width, precision);
    }
}

}  // namespace

// "%7d %5d %4d %3d %3d %27.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f \n"
void appendSpeciesRecord(std::string& text, const SpeciesRecord& r) {
    appendInteger(text, r.iteration, SPECIES_ITERATION_WIDTH);
    text += ' ';
    appendInteger(text, r.year, 5);
    text += ' ';
    appendInteger(text, r.plot, 4);
    text += ' ';
    appendInteger(text, r.species, 3);
    text += ' ';
    appendInteger(text, r.population, 3);
    text += ' ';
    appendAmounts(text, r.amounts, 27, 9, 3);
    text += " \n";
}

// "MMM %03d %05d %04d %03d %03d%5d %6.3lf %6.1lf %8.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f\n"
void appendTreeRecord(std::string& text, const TreeRecord& r) {
    text += r.newSapling ? NEW_SAPLING_MARKER : "   ";
    text += ' ';
    appendInteger(text, r.iteration, TREE_ITERATION_DIGITS, true);
    text += ' ';
    appendInteger(text, r.birthYear, 5, true);
    text += ' ';
    appendInteger(text, r.plot, 4, true);
    text += ' ';
    appendInteger(text, r.species, 3, true);
    text += ' ';
    appendInteger(text, r.treeId, 3, true);
    appendInteger(text, r.age, 5);
    text += ' ';
    appendFixed(text, r.dbh, 6, 3);
    text += ' ';
    appendFixed(text, r.height, 6, 1);
    text += ' ';
    appendAmounts(text, r.amounts, 8, 9, 3);
    text += '\n';
}

// "%5d %5d %7d %6d %7d %8.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f \n"
void appendDisturbanceRecord(std::string& text, const DisturbanceRecord& r) {
    appendInteger(text, r.iteration, DISTURBANCE_ITERATION_WIDTH);
    text += ' ';
    appendInteger(text, r.year, 5);
    text += ' ';
    appendInteger(text, r.plot, 7);
    text += ' ';
    appendInteger(text, r.species, 6);
    text += ' ';
    appendInteger(text, r.removed, 7);
    text += ' ';
    appendAmounts(text, r.amounts, 8, 9, 1);
    text += " \n";
}

std::optional<SummaryRecord> parseSummaryRecord(std::string_view line) {
    std::string_view fields[SUMMARY_FIELDS];
    size_t count = 0;
    if (!splitFields(line, fields, SUMMARY_FIELDS, count) || count != SUMMARY_FIELDS) return std::nullopt;
    SummaryRecord record;
    if (!parseWhole(fields[0], record.iteration) || !parseWhole(fields[1], record.year) ||
        !parseWhole(fields[2], record.plot) || !parseWhole(fields[3], record.species)) {
        return std::nullopt;
    }
    if (!parseReal(fields[4], record.POP) || !parseAmounts(fields + 5, record.amounts)) return std::nullopt;
    return record;
}

std::optional<TreeRecord> parseTreeRecord(std::string_view line) {
    if (line.size() < TREE_MARKER_WIDTH) return std::nullopt;
    TreeRecord record;
    const std::string_view marker = line.substr(0, TREE_MARKER_WIDTH);
    if (marker != NEW_SAPLING_MARKER && marker != "   ") return std::nullopt;
    record.newSapling = marker == NEW_SAPLING_MARKER;
    std::string_view fields[TREE_FIELDS];
    size_t count = 0;
    if (!splitFields(line.substr(TREE_MARKER_WIDTH), fields, TREE_FIELDS, count) || count != TREE_FIELDS)
        return std::nullopt;
    int* wholes[] = {&record.iteration, &record.birthYear, &record.plot,
                     &record.species,   &record.treeId,    &record.age};
    for (int i = 0; i < 6; ++i) {
        if (!parseWhole(fields[i], *wholes[i])) return std::nullopt;
    }
    if (!parseReal(fields[6], record.dbh) || !parseReal(fields[7], record.height) ||
        !parseAmounts(fields + 8, record.amounts)) {
        return std::nullopt;
    }
    return record;
}

RecordLine recordLineKind(std::string_view line) {
    if (line.substr(0, TREE_MARKER_WIDTH) == NEW_SAPLING_MARKER) return RecordLine::Tree;
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (!std::all_of(fields.begin(), fields.end(), isNumber)) return RecordLine::None;
    if (fields.size() == SUMMARY_FIELDS) return RecordLine::Summary;
    if (fields.size() == TREE_FIELDS) return RecordLine::Tree;
    return RecordLine::None;
}

std::string withIterationRaised(std::string_view line, int offset, bool disturbanceFile) {
    const RecordLine kind = recordLineKind(line);
    if (kind == RecordLine::None) return std::string(line);
    if (kind == RecordLine::Tree) {
        const std::optional<Field> field = firstField(line, TREE_MARKER_WIDTH);
        if (!field) return std::string(line);
        return std::string(line.substr(0, TREE_MARKER_WIDTH)) +
               formatText(" %0*ld", TREE_ITERATION_DIGITS, field->value + offset) +
               std::string(line.substr(field->end));
    }
    const std::optional<Field> field = firstField(line, 0);
    if (!field) return std::string(line);
    const int width = disturbanceFile ? DISTURBANCE_ITERATION_WIDTH : SPECIES_ITERATION_WIDTH;
    return formatText("%*ld", width, field->value + offset) + std::string(line.substr(field->end));
}

}  // namespace dravia
