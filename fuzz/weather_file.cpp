// The weather file in both climates. The first byte picks the climate (even: constant,
// odd: year to year over a 60-year run); the rest is the file.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "input/ReaderError.h"
#include "input/WeatherFile.h"
#include "platform/ProgramExit.h"

using namespace dravia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz::enterScratchDirectory();
    static fuzz::SilentHost host;
    ModelState& model = fuzz::freshModel(host);
    // The site of a small data set, for the site quality the constant climate computes.
    model.site.ELEV_FT = 1100.0;
    model.site.ELEVATION = 1100.0 * 0.30480370641307;
    model.site.LATITUDE = 44.2;
    model.site.SOIL_DEPTH = 1.1;
    model.site.ROOT_DEPTH = 0.9;
    model.site.WATER_DEPTH = 2.5;
    model.site.TEXTURE = 150.0;
    model.site.PERCENT_ROCK = 5.0;
    model.site.AVAIL_N = 90.0;
    model.params.NUM_YEARS = 60;
    model.params.EVAP_FACTOR = 1.0;
    model.params.WTHR_FILE = "Data\\weather.txt";
    fuzz::writeInputFile(model.params.WTHR_FILE, data + 1, size - 1);
    const int climate = data[0] % 2;
    model.params.CLIMATE_CHANGE = climate;
    try {
        readWeatherFile(model, climate);
        if (model.params.CLIMATE_CHANGE == 1 &&
            model.weather.years.size() < static_cast<size_t>(model.params.NUM_YEARS) + 1)
            fuzz::finding("fewer weather years than run years");
    } catch (const ReaderError& error) {
        fuzz::checkRefusal(error.what(), model.params.WTHR_FILE, host);
    } catch (const ProgramExit&) {
        fuzz::finding("the weather file ended the program");
    }
    return 0;
}
