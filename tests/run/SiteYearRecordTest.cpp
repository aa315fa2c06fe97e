#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "input/StartupLoad.h"
#include "model/VolumeTable.h"
#include "output/rundb/DatabaseConnection.h"
#include "run/RunDriver.h"
#include "support/ScriptedHost.h"
#include "support/SmallDataSet.h"

namespace dravia {
namespace {

// What the model grew by on the last plot of one year of one iteration, taken as the year ends.
struct UsedFactors {
    double degreeDays = 0.0, precipitation = 0.0, drought = 0.0;
    std::vector<std::vector<double>> species;  // temperature, drought, wetness, nitrogen, site quality,
                                               // established temperature, drought, site quality
};

class WatchingHost : public test::ScriptedHost {
  public:
    int iteration = 0, year = 0;
    UsedFactors used;
    void yearCompleted(const ModelState& model) override {
        if (model.run.CURRENT_ITERATION != iteration || model.run.CURRENT_YEAR != year) return;
        used.degreeDays = model.climate.DEGREE_DAYS;
        used.precipitation = model.climate.sumPREC;
        used.drought = model.climate.WILT;
        for (int sn = 1; sn <= model.NSPP; ++sn) {
            const Species& s = model.species[static_cast<size_t>(sn)];
            used.species.push_back({s.SQ_TEMP, s.SQ_WILT, s.SQ_WETNESS, s.SQ_SOIL_N, s.SITE_QUALITY,
                                    s.ESTABLISHED_SQ_TEMP, s.ESTABLISHED_SQ_WILT,
                                    s.ESTABLISHED_SITE_QUALITY});
        }
    }
};

// The site year a plot of an iteration takes: its own row, else every plot's, else every
// iteration's, as docs/outputs.md says to read site_year.
constexpr const char* SITE_YEAR_OF =
    "SELECT degree_days, precipitation_mm, drought_index, temperature, drought, wetness, nitrogen, "
    "site_quality, "
    "established_temperature, established_drought, established_site_quality FROM site_year WHERE year = ?1 "
    "AND "
    "species = ?2 AND iteration IN (0, ?3) AND plot IN (0, ?4) ORDER BY iteration DESC, plot DESC LIMIT 1";

// A year of a later iteration than the first, on the second of two plots, with a year-to-year
// climate: the recorded site year is bit for bit what growth used; with climate memory the
// established factors too (without it they are empty).
TEST(SiteYearRecord, TheRecordedFactorsAreThoseTheModelGrewByOnOnePlotYear) {
    for (const int memory : {0, 5}) {
        test::TempDirectory directory;
        WatchingHost host;
        host.iteration = 2;
        host.year = 7;
        test::SmallDataSetOptions options;
        options.numYears = 12;
        options.numIters = 3;
        options.numPlots = 2;
        options.climateChange = 1;
        test::writeSmallDataSet(directory.path(), options);
        auto model = std::make_unique<ModelState>();
        model->host = &host;
        host.model = model.get();
        loadAtStartup(*model);
        fillVolumeCoefficients(*model);
        model->options.CLIMATE_MEMORY_YEARS = memory;
        model->databaseRequest.path = (directory.path() / "run.sqlite").string();
        runSimulation(*model);
        ASSERT_EQ(host.used.species.size(), 3u) << memory;

        DatabaseConnection db(model->databaseRequest.path, true);
        DatabaseStatement row = db.prepare(SITE_YEAR_OF);
        for (int sn = 1; sn <= 3; ++sn) {
            row.bind(1, 7).bind(2, sn).bind(3, 2).bind(4, 2);
            ASSERT_TRUE(row.nextRow()) << memory << " " << sn;
            EXPECT_EQ(row.realColumn(0), host.used.degreeDays);
            EXPECT_EQ(row.realColumn(1), host.used.precipitation);
            EXPECT_EQ(row.realColumn(2), host.used.drought);
            const std::vector<double>& used = host.used.species[static_cast<size_t>(sn - 1)];
            for (int k = 0; k < 5; ++k)
                EXPECT_EQ(row.realColumn(3 + k), used[static_cast<size_t>(k)]) << sn << k;
            for (int k = 5; k < 8; ++k) {
                if (memory == 0) {
                    EXPECT_TRUE(row.nullColumn(3 + k)) << sn << k;
                } else {
                    EXPECT_EQ(row.realColumn(3 + k), used[static_cast<size_t>(k)]) << sn << k;
                }
            }
            row.nextRow();  // to its end, ready for the next species
        }
        // Every iteration repeats the first one's weather: only the first iteration's rows are kept
        // unless a later one differs, never one row per iteration and plot.
        DatabaseStatement count = db.prepare("SELECT count(*) FROM site_year WHERE iteration > 1");
        ASSERT_TRUE(count.nextRow());
        EXPECT_LT(count.integerColumn(0), 2 * 12 * 2 * 3) << memory;
    }
}

}  // namespace
}  // namespace dravia
