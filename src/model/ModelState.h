#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "model/Amounts.h"
#include "model/ModelOptions.h"
#include "model/TreeBitmap.h"
#include "platform/HeldOutputFile.h"

namespace dravia {

class Host;

inline constexpr int MAX_SPECIES = 40;           // species numbers 1..40; index 0 holds none
inline constexpr int MAX_INITIAL_TREES = 10000;  // capacity of the initial-tree table (rows 0..9999)
inline constexpr int DISPLAY_SLOT_COUNT = 50;
inline constexpr int MONTHS = 12;  // months 1..12; index 0 holds nothing

// Monthly arrays are indexed 1..12.
using MonthlyValues = std::array<double, MONTHS + 1>;

// The run parameters, named by their parameter-file keys.
struct RunParameters {
    // Run-time control file.
    int SCREEN_OUTPUT_MODE = 1;  // 1 graphics image, 2 tabular text, 3 display off
    int FILE_OUTPUT_FLAG = 0;
    int NUM_YEARS = 0;
    int NUM_ITERS = 0;
    int PRINT_INTERV = 0;
    int RESULTS_INTERV = 0;
    std::string RESULTS_FILE;
    std::string AFTER_DISTURBANCE_RESULTS_FILE;
    std::string DISTURBANCE_RESULTS_FILE;
    std::string STATS_RESULTS_FILE;
    std::string DISTURBANCE_STATS_RESULTS_FILE;
    std::string AFTER_DISTURB_STATS_RESULTS_FILE;
    int PAUSE_EVERY_ITERATION = 0;
    int PAUSE_AT_INTERVALS = 0;

    // Initial-values file.
    std::string SPP_PARAM_FILE;
    std::string PLOT_FILE;
    std::string WTHR_FILE;
    std::string MONITOR_FILE;
    int CO2_FERT_OK = 0;
    double CO2_FACTOR_DEF = 0.0;  // 1.0 exactly: the factor is computed from the year
    int CALC_ITER_AVG = 0;
    double BA_MAX = 0.0;  // cm² per plot, before the rock correction
    double SEED_INIT = 0.0;
    int CLEAR_PLOT = 0;
    int CLIMATE_CHANGE = 0;              // 1 year-to-year weather, 0 constant climate
    int COMMUNITY = 0;                   // 0 none, 1..8
    std::array<std::string, 9> HABITAT;  // 1..8
    int WTHR_TYPE = 0;
    std::array<std::string, 2> WTHR_TYPES;
    std::string WTHR_CAL_YEARS;
    int TEST_DISTURB = 0;
    int FIRST_DISTURB_YEAR = 0;
    int BLOW_DOWN = 0;
    int BLOW_FREQ = 0;
    double BLOW_PROB = 0.0;
    double MIN_DIAM_TO_KILL_FOR_LOGGING = 0.0;    // cm
    double MIN_DIAM_TO_KILL_FOR_WINDTHROW = 0.0;  // cm
    int NUM_PLOTS = 0;
    int PLOT_1_OK = 0;
    int PLOT_2_OK = 0;
    int SPECIES_1_SN = 0;
    int SPECIES_2_SN = 0;
    int GRAPH_INTVL = 0;
    int WIDTH = 0;        // % of the screen
    int DEPTH = 0;        // % of the screen
    double SLANT = 0.0;   // degrees
    double HT_MAX = 0.0;  // cm
    int BASE_YEAR = 0;
    int MONITOR_FLAG = 0;
    double EVAP_FACTOR = 1.0;

    // Settings held by no parameter file.
    int WATER_STRESS_MODE = 0;       // 0 evaporation deficit, 1 soil water (site dialog)
    bool OUTPUT_EVERY_TREE = false;  // "Output Every Tree" check box of the run-time control dialog

    // The initial-values file in use (start-up choice, or the community preset's file).
    std::string initialValuesPath;
};

// The site, from the plot file's header.
struct Site {
    double ELEV_FT = 0.0;       // feet
    double ELEVATION = 0.0;     // m, derived: ELEV_FT × 0.30480370641307
    double LATITUDE = 0.0;      // degrees north
    double SOIL_DEPTH = 0.0;    // m
    double ROOT_DEPTH = 0.0;    // m
    double WATER_DEPTH = 0.0;   // depth of the water table, m
    double TEXTURE = 0.0;       // soil texture value
    double PERCENT_ROCK = 0.0;  // % of the plot covered by rock, 0 to below 100
    double AVAIL_N = 0.0;       // available nitrogen
};

struct Species {
    double DMAX = 0.0;             // maximum diameter, cm
    double HMAX = 0.0;             // maximum height, cm
    double AGEMAX = 0.0;           // maximum age, years
    double B2 = 0.0;               // height curve: 2 × (HMAX − 137) / DMAX
    double B3 = 0.0;               // height curve: (HMAX − 137) / DMAX²
    double G = 0.0;                // growth constant
    double C = 0.0;                // leaf area = C × DBH²
    double DDMIN = 0.0;            // °C-days
    double DDMAX = 0.0;            // °C-days
    double MIN_DIAM_INC = 0.0;     // cm
    double MIN_WATER_TABLE = 0.0;  // m
    double SITE_QUALITY = 0.0;     // this year's combined factor, 0..1
    double WILT_FACTOR = 0.0;
    double MAX_LEAF_WT = 0.0;  // kg; dialog only
    double MIN_LIGHT = 0.0;
    double STEM_A = 0.0, STEM_B = 0.0;
    double BARK_A = 0.0, BARK_B = 0.0;
    double BRANCH_A = 0.0, BRANCH_B = 0.0;
    double ROOT_A = 0.0, ROOT_B = 0.0;
    int SHADE_TYPE = 0;  // 1 intolerant, 2 intermediate, 3 tolerant
    int N_TYPE = 0;      // 1 intolerant, 2 intermediate, 3 tolerant
    int ABLE_TO_ENTER = 0;
    int MAX_SAPLINGS = 0;
    std::string NAME;
    std::string ALT_NAME;
    std::string SMALL_BITMAP;
    std::string LARGE_BITMAP;
    int LARGE_BITMAP_MIN_HT = 0;
    std::shared_ptr<const TreeBitmap> smallBitmap;  // none when "NONE" or unreadable
    std::shared_ptr<const TreeBitmap> largeBitmap;
    int crownShape = 1;   // 0 triangle (conifer), 1 oval
    int colourIndex = 0;  // 0..15, index into the display palette

    // Derived at species load: DMAX × G / HMAX.
    double GROWTH_RATIO = 0.0;

    // Site-quality factors of the year.
    double SQ_TEMP = 0.0, SQ_WILT = 0.0, SQ_WETNESS = 0.0, SQ_SOIL_N = 0.0;
    // With climate memory: the site quality trees of 10 cm and more grow by, from the mean
    // degree-days and drought of the plot's remembered years.
    double ESTABLISHED_SITE_QUALITY = 0.0;
    double ESTABLISHED_SQ_TEMP = 0.0, ESTABLISHED_SQ_WILT = 0.0;  // its factors of those means

    // Tallies of the current plot (per 100 m²: trees; cm²/m²; kg/m²; cu ft/acre).
    int POP = 0;
    Amounts tally;

    // Iteration averages of a single-plot run.
    double POP_SUM = 0.0, BA_SUM = 0.0, BIOM_SUM = 0.0, VOL_SUM = 0.0;
    double POP_AVG = 0.0, BA_AVG = 0.0, BIOM_AVG = 0.0, VOL_AVG = 0.0;

    // Removed by the last disturbance event of the run.
    int REM_POP = 0;
    Amounts REM;  // REM.BA, REM.STEM_BM, ... REM.TOT_VOL
};

struct Tree {
    int BIRTH_YEAR = 0;   // CURRENT_YEAR at birth; 0 for trees of the initial plot
    int PLOT_NO = 0;      // plot born on; 0 for trees of the initial plot
    int TREE_ID = 0;      // number among this year's saplings of its species on the plot
    double DBH = 0.0;     // cm
    double HEIGHT = 0.0;  // cm
    int AGE = 0;
    int DISPLAY_SLOT = 0;  // 1..50, 0 none
    int SN = 0;
    int SLOW_GROWTH = 0;
    int SLOW_YEARS = 0;  // consecutive years of slow growth up to this one
    Amounts amounts;     // the tree's share of the plot; amounts.BA is its basal area, TREE_BA
    // What last year's growth gave the tree (0 before its first growth), kept for a person
    // inspecting it: the diameter increment, cm, and the light reaching its crown, as a
    // fraction of full light.
    double LAST_DIAM_INC = 0.0;
    double AVAILABLE_LIGHT = 0.0;
    // The tree's number on its plot within the iteration, 1, 2, ... in the order the trees
    // entered it (the plot file's first); the run database tells trees apart by it.
    int UID = 0;
};

// Tallest first; std::list nodes never move, so display slots may hold Tree pointers.
using TreeList = std::list<Tree>;

// The climate of one simulated year of a plot, as climate memory keeps it.
struct YearClimate {
    double degreeDays = 0.0;  // DEGREE_DAYS, °C-days
    double wilt = 0.0;        // WILT, the drought index
};

struct Plot {
    int PLOT_NO = 0;
    int NTREES = 0;
    double PLOT_BA = 0.0;
    double PLOT_BIOM = 0.0;
    double PLOT_VOL = 0.0;
    double AVG_POP_TOTAL = 0.0, AVG_BA_TOTAL = 0.0, AVG_BIOM_TOTAL = 0.0, AVG_VOL_TOTAL = 0.0;
    TreeList trees;
    int TREES_ENTERED = 0;  // trees that entered the plot this iteration, the last UID given
    // With climate memory: this iteration's latest years, oldest first, at most
    // CLIMATE_MEMORY_YEARS of them.
    std::vector<YearClimate> climateHistory;
};

using PlotList = std::list<Plot>;

// One row of the plot file's tree table.
struct InitialTree {
    int SN = 0;
    double DBH = 0.0;
};

// One year of the weather record, in model units (°C, mm).
struct WeatherYear {
    MonthlyValues temperature{};
    MonthlyValues precipitation{};
};

// The weather as read from the weather file.
struct WeatherData {
    double stationElevation = 0.0;      // m
    MonthlyValues meanTemperature{};    // constant climate, °C
    MonthlyValues meanPrecipitation{};  // constant climate, mm
    std::vector<WeatherYear> years;     // year-to-year: records 0..max(NUM_YEARS, NY); 0 unused
    int recordYears = 0;                // NY of the file
};

// What a year's climate and soil-water balance computations write, and what carries over from
// one computation to the next: all a year taken from the climate memo replaces.
struct ClimateResults {
    double DEGREE_DAYS = 0.0;  // °C-days above 4.44 °C
    double ADJ_ROOT_DEPTH = 0.0;
    double WATER_TABLE = 0.0;
    double CAP = 0.0;
    double W_FC = 0.0;
    double W_K = 0.0;
    double WILT = 0.0;

    MonthlyValues TEMP{}, PREC{}, SNOW_D_D{}, I{}, A{}, DL{}, E0{}, RAIN{}, SNOW_M{}, SNOW_S{};
    MonthlyValues UP_CAP_TR{}, EVAP{}, RUNOFF{}, RUNOFF_PLUS{}, WATER_S{}, DELTA_W{}, DW_PLUS{};

    // Yearly sums of the monthly balance.
    double sumPREC = 0.0, sumSNOW_M = 0.0, sumE0 = 0.0, sumEVAP = 0.0, sumRAIN = 0.0, sumUP_CAP_TR = 0.0;
    double sumRUNOFF = 0.0, sumRUNOFF_PLUS = 0.0, sumDELTA_W = 0.0, sumDW_PLUS = 0.0, sumWATER_S = 0.0;

    // Carried from one computation to the next.
    double soilWater = 0.0;  // W, mm
    double snowStore = 0.0;  // mm
    MonthlyValues previousTEMP{};
};

// The yearly climate and soil-water balance, with the station weather it is worked out from.
struct Climate : ClimateResults {
    // Monthly station weather in use this computation (°C, mm).
    MonthlyValues stationTemperature{};
    MonthlyValues stationPrecipitation{};
    int weatherYear = 0;  // weather year index; CURRENT_YEAR when a year's weather is taken

    // Values that are pure functions of their inputs, kept with those inputs so that a later
    // computation with the same inputs takes them instead of working them out again. The
    // inputs start as NaN, which equals nothing, so the first computation works everything out.
    struct Remembered {
        MonthlyValues heatTermTEMP;  // the month's temperature a heat-index term was worked out for
        MonthlyValues heatTerm{};
        MonthlyValues e0TEMP, e0I, e0A, e0DL;  // the inputs of a month's potential evapotranspiration
        MonthlyValues e0{};
        double nitrogenAVAIL_N;  // the site nitrogen the nitrogen responses were worked out for
        std::array<double, 4> nitrogenResponse{};
        Remembered() {
            constexpr double nothing = std::numeric_limits<double>::quiet_NaN();
            heatTermTEMP.fill(nothing);
            e0TEMP.fill(nothing);
            e0I.fill(nothing);
            e0A.fill(nothing);
            e0DL.fill(nothing);
            nitrogenAVAIL_N = nothing;
        }
    } remembered;

    double co2Factor = 0.0;  // the last CO2 factor computed by growth
};

// Whole years of climate and water balance already worked out, each with every input it was
// worked out from. A year whose inputs are bit for bit those of a kept one takes its results
// instead of working them out again: every iteration after the first repeats the first one's
// weather years from the same start. The entries are kept in the order they were worked out,
// which is the order a later iteration asks for them, and are found through the weather record
// they were worked out for.
struct ClimateMemo {
    static constexpr std::size_t CAPACITY = 2048;  // years kept; about 5 MB
    static constexpr std::size_t INPUTS = 50;
    static constexpr std::uint32_t NONE = 0xffffffffu;
    struct Entry {
        std::array<double, INPUTS> inputs{};
        ClimateResults result;
    };
    // Beside each entry, apart from them so that a search stays in few cache lines: a few of its
    // inputs' bits folded together, and the entry worked out before it for the same weather record.
    struct Link {
        std::uint64_t tag = 0;
        std::uint32_t earlier = NONE;
    };
    std::vector<Entry> entries;
    std::vector<Link> links;
    std::vector<std::uint32_t> latestOfRecord;  // by weather record (0: constant climate): an entry or NONE
    std::uint64_t taken = 0;                    // years taken from the memo
};

// A graphics display slot: a place on the plot image and the tree shown there.
struct DisplaySlot {
    double fx = 0.0, fy = 0.0;  // place on the plot, fractions of width and depth
    int x = 0, y = 0;           // screen position
    Tree* tree = nullptr;
};

// The four run flags shared by the engine and the plot view.
struct RunFlags {
    bool running = false;
    bool run_started = false;
    bool paused = false;
    bool disturbed_this_year = false;
};

struct RunState {
    int CURRENT_YEAR = 0;
    int CURRENT_ITERATION = 0;
    Plot* CURRENT_PLOT = nullptr;  // none between yearly steps
    std::array<int, MAX_SPECIES + 1> BIRTHS_THIS_YEAR{};
    double RANDOM_STATE = 0.0;
    double START_RANDOM_STATE = 0.0;  // RANDOM_STATE when the current or last run began; 0 before any
    int DISTURBANCE_REPORTED = 0;
    RunFlags flags;
};

class RunDatabase;

// The run database a run is asked to write besides its files: none when path is empty.
struct RunDatabaseRequest {
    std::string path;         // a local path
    bool yearly = false;      // demography (and trees) every year, not only in results years
    bool trees = false;       // one row per tree in each recorded year
    std::string commandLine;  // as the user gave it, for the record
    std::string scenario;     // the name the run is kept under; empty: a name made of its settings
    // A run asked for a database it cannot create does not start; the desktop's own database of
    // each run is not required: without it the run goes on.
    bool required = true;
};

// Output state that lives for one run.
struct OutputState {
    bool resultsFileCreated = false;
    bool afterDisturbanceFileCreated = false;
    bool DISTURBANCE_HEADER_WRITTEN = false;
    // The results, after-disturbance results and disturbance data files, held open and locked
    // from the run's first write to them to its end; each year's records reach each file in one
    // write at the end of the year.
    HeldOutputFile resultsFile;
    HeldOutputFile afterDisturbanceFile;
    HeldOutputFile disturbanceFile;
    // A file that lost data while the run went on (the disturbance data file): reported once,
    // and the batch tool's run then ends with status 1.
    std::string fileThatLostData;
    // The run database being written, and what it failed on when it had to be given up; a
    // run that lost its database ends the batch tool with status 1 as well.
    std::shared_ptr<RunDatabase> database;
    std::string databaseFailure;
};

// The statistics table: rows 0..40 by species number, slots 0..500; a cell holds, for nine
// quantities, the sum over the iterations of the mean plot's value and of its square.
// More result intervals than this a run cannot be analysed by: the statistics table has a slot
// for each, and the run widens its results interval to stay within them.
inline constexpr int RESULT_INTERVAL_LIMIT = 500;
inline constexpr int STATS_SLOTS = RESULT_INTERVAL_LIMIT + 1;
inline constexpr int STATS_QUANTITIES = 9;
using StatsQuantities = std::array<double, STATS_QUANTITIES>;
// Positions of the quantities in a statistics cell.
enum StatsQuantity : std::size_t {
    POPULATION,
    BASAL_AREA,
    TOTAL_BIOMASS,
    STEM,
    BARK,
    ROOT,
    LEAF,
    BRANCH,
    VOLUME
};

// A quantity's value in each iteration, summed over the iterations. The value of an iteration is
// the sum of its records, divided by the number of plots: the mean plot, a plot without a record
// counting 0. An iteration's records stand together in a file, so the one being read is added up
// in `current` and taken into the sums when the next iteration begins.
struct IterationSums {
    StatsQuantities sum{};
    StatsQuantities sumOfSquares{};
    StatsQuantities current{};
    int currentIteration = 0;  // 0 while no record has been added
};
struct StatsCell : IterationSums {
    // The records' own sums of population and basal area: whether a species has data in a slot.
    double recordPopulation = 0.0;
    double recordBasalArea = 0.0;
};
// A slot's stand totals: the nine quantities of every species and plot of an iteration, and the
// above-ground and grand totals of the biomass (their spread across iterations is the uncertainty
// of a stand total).
struct StatsSlotTotals : IterationSums {
    double aboveGround = 0.0, aboveGroundSquares = 0.0;
    double grandTotal = 0.0, grandTotalSquares = 0.0;
};
struct StatisticsState {
    std::vector<StatsCell> table = std::vector<StatsCell>((MAX_SPECIES + 1) * STATS_SLOTS);
    std::vector<StatsSlotTotals> slotTotals = std::vector<StatsSlotTotals>(STATS_SLOTS);
    int STATS_SLOT_COUNT = 0;
    int MAX_DISTURBANCE_SLOT = 0;
    std::string CO2_SWITCH_TEXT;  // "ON" or "OFF", as the results file's header says
    StatsCell& cell(int species, int slot) {
        return table[static_cast<size_t>(species * STATS_SLOTS + slot)];
    }
    const StatsCell& cell(int species, int slot) const {
        return table[static_cast<size_t>(species * STATS_SLOTS + slot)];
    }
};

// The one body of data every subsystem reads or writes. The application owns exactly one;
// tests make as many as they like.
struct ModelState {
    Host* host = nullptr;  // whoever runs the engine (not owned)

    RunParameters params;
    ModelOptionSources optionSources;
    ModelOptions options;  // in force: optionsInForce(optionSources)
    Site site;
    std::array<Species, MAX_SPECIES + 1> species{};  // 1..NSPP
    int NSPP = 0;
    PlotList plots;
    std::vector<InitialTree> initialTrees;  // the plot file's tree rows, reused by every iteration
    RunState run;
    WeatherData weather;
    Climate climate;
    ClimateMemo climateMemo;
    std::array<DisplaySlot, DISPLAY_SLOT_COUNT + 1> displaySlots{};    // 1..50
    std::array<std::array<int, MAX_SPECIES + 1>, 9> colourTable{};     // [community 0..8][species 0..40]
    std::array<std::array<double, 3>, MAX_SPECIES + 1> VOLUME_COEF{};  // filled before every run
    RunDatabaseRequest databaseRequest;
    OutputState output;
    StatisticsState statistics;

    ModelState() = default;
    ModelState(const ModelState&) = delete;
    ModelState& operator=(const ModelState&) = delete;
};

// The host a model reports through; the state must have one.
Host& hostOf(ModelState& model);

}  // namespace dravia
