#include "FuzzSupport.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "model/TreeList.h"

namespace dravia::fuzz {

namespace {

std::filesystem::path scratchDirectory;

void removeScratchDirectory() {
    if (scratchDirectory.empty()) return;
    std::error_code ignored;
    std::filesystem::current_path("/", ignored);
    std::filesystem::remove_all(scratchDirectory, ignored);
}

}  // namespace

void finding(const std::string& reason) {
    std::fprintf(stderr, "fuzz finding: %s\n", reason.c_str());
    std::abort();
}

void enterScratchDirectory() {
    if (!scratchDirectory.empty()) return;
    char pattern[] = "/tmp/dravia-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) finding("cannot create a scratch directory");
    scratchDirectory = pattern;
    std::filesystem::current_path(scratchDirectory);
    std::filesystem::create_directory("Data");
    std::atexit(removeScratchDirectory);
}

void writeInputFile(const std::string& storedName, const std::uint8_t* data, std::size_t size) {
    std::string path = storedName;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) finding("cannot write the input file " + path);
}

ModelState& freshModel(SilentHost& host) {
    static ModelState* model = new ModelState();  // lives as long as the process
    host.messages.clear();
    freePlots(*model);
    model->host = &host;
    model->params = RunParameters{};
    model->site = Site{};
    for (Species& species : model->species) species = Species{};
    model->NSPP = 0;
    model->initialTrees.clear();
    model->run = RunState{};
    model->weather = WeatherData{};
    model->climate = Climate{};
    model->displaySlots = {};
    model->colourTable = {};
    model->VOLUME_COEF = {};
    model->output = OutputState{};
    // The statistics reader clears the whole statistics table itself.
    model->statistics.STATS_SLOT_COUNT = 0;
    model->statistics.MAX_DISTURBANCE_SLOT = 0;
    model->statistics.CO2_SWITCH_TEXT.clear();
    return *model;
}

void checkRefusal(const std::string& text, const std::string& fileName, const SilentHost& host) {
    if (text.empty()) {
        if (host.messages.empty()) finding("a refusal without any message");
        return;
    }
    if (text.find(fileName) == std::string::npos) finding("a refusal that does not name the file: " + text);
}

}  // namespace dravia::fuzz
