#include "model/SiteQuality.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/Weather.h"

namespace dravia {

namespace {

// 1 in the middle of the species' degree-day range, 0 at and beyond its limits.
double temperatureFactor(double degreeDays, const Species& s) {
    const double range = s.DDMAX - s.DDMIN;
    // A range of no width has no middle: the species finds no suitable temperature.
    if (range == 0.0) return 0.0;
    const double x = (2.0 * degreeDays - s.DDMAX - s.DDMIN) / range;
    return std::max(0.0, 1.0 - (x * x));
}

double droughtFactor(double wilt, const Species& s) {
    // A species with no drought tolerance thrives only in a year without water deficit.
    if (s.WILT_FACTOR == 0.0) return wilt == 0.0 ? 1.0 : 0.0;
    const double x = wilt / s.WILT_FACTOR;
    return std::max(0.0, 1.0 - (x * x));
}

double wetnessFactor(const Site& site, const Species& s) {
    if (site.WATER_DEPTH > site.SOIL_DEPTH) return 1.0;
    // Water standing at the surface: only a species that asks for no dry rooting depth grows.
    if (site.WATER_DEPTH == 0.0) return s.MIN_WATER_TABLE > 0.0 ? 0.0 : 1.0;
    return std::max(0.0, 1.0 - s.MIN_WATER_TABLE / (2.0 * site.WATER_DEPTH));
}

// The nitrogen response of the three tolerance types (index 1..3) to the site's nitrogen.
// They depend on the site alone, so they are worked out once for all species.
std::array<double, 4> nitrogenResponses(double availableNitrogen) {
    const double n = 4.0 * availableNitrogen - 170.0;
    std::array<double, 4> response{};
    response[1] = ((1.0 - std::pow(10.0, -0.00175 * (n + 207.43))) * 2.99 * 2.9 - 5.0) * 0.27240533914464726;
    response[2] = ((1.0 - std::pow(10.0, -0.00234 * (n + 117.52))) * 2.94 * 1.3 - 1.2) * 0.38138825324180015;
    response[3] = ((1.0 - std::pow(10.0, -0.00179 * (n + 219.77))) * 2.79 - 0.6) * 0.4566210045662101;
    return response;
}

// The nitrogen factor of a species; an unknown tolerance type keeps last year's factor.
double nitrogenFactor(const std::array<double, 4>& responses, const Species& s) {
    const double factor =
        s.N_TYPE >= 1 && s.N_TYPE <= 3 ? responses[static_cast<size_t>(s.N_TYPE)] : s.SQ_SOIL_N;
    return factor < 0.0 ? 0.0 : factor;
}

}  // namespace

void computeSiteQuality(ModelState& model) {
    computeClimateOfYear(model);

    const Climate& c = model.climate;
    // The site's nitrogen seldom changes: its responses are worked out again only when it does.
    Climate::Remembered& remembered = model.climate.remembered;
    if (!(model.site.AVAIL_N == remembered.nitrogenAVAIL_N)) {
        remembered.nitrogenResponse = nitrogenResponses(model.site.AVAIL_N);
        remembered.nitrogenAVAIL_N = model.site.AVAIL_N;
    }
    const std::array<double, 4>& nitrogen = remembered.nitrogenResponse;
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        Species& s = model.species[static_cast<size_t>(sn)];
        s.SQ_TEMP = temperatureFactor(c.DEGREE_DAYS, s);
        s.SQ_WILT = droughtFactor(c.WILT, s);
        s.SQ_WETNESS = wetnessFactor(model.site, s);
        s.SQ_SOIL_N = nitrogenFactor(nitrogen, s);
        s.SITE_QUALITY = s.SQ_WILT * s.SQ_SOIL_N * s.SQ_TEMP * s.SQ_WETNESS;
    }
}

void rememberClimateOfYear(ModelState& model, Plot& plot) {
    const std::size_t years = static_cast<std::size_t>(std::max(1, model.options.CLIMATE_MEMORY_YEARS));
    std::vector<YearClimate>& history = plot.climateHistory;
    history.push_back({model.climate.DEGREE_DAYS, model.climate.WILT});
    if (history.size() > years) history.erase(history.begin(), history.end() - static_cast<long>(years));

    double degreeDays = 0.0;
    double wilt = 0.0;
    for (const YearClimate& year : history) {
        degreeDays = degreeDays + year.degreeDays;
        wilt = wilt + year.wilt;
    }
    const double count = static_cast<double>(history.size());
    degreeDays = degreeDays / count;
    wilt = wilt / count;
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        Species& s = model.species[static_cast<size_t>(sn)];
        s.ESTABLISHED_SQ_WILT = droughtFactor(wilt, s);
        s.ESTABLISHED_SQ_TEMP = temperatureFactor(degreeDays, s);
        s.ESTABLISHED_SITE_QUALITY =
            s.ESTABLISHED_SQ_WILT * s.SQ_SOIL_N * s.ESTABLISHED_SQ_TEMP * s.SQ_WETNESS;
    }
}

}  // namespace dravia
