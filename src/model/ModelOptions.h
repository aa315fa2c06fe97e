#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dravia {

// Extensions of the classic model that later gap models use. Each is off at its default value;
// with every option off the model is the classic one, random stream included.
struct ModelOptions {
    // Consecutive years of slow growth a tree lives through before the slow-growth risk can kill
    // it (1: from the first slow year, the classic model).
    int SLOW_GROWTH_YEARS = 1;
    // Years of degree-days and drought whose mean the temperature and drought factors of
    // established trees (DBH ≥ 10 cm) follow (1: the year's own, the classic model).
    int CLIMATE_MEMORY_YEARS = 1;

    bool operator==(const ModelOptions&) const = default;
};

// One option as the user meets it: its key (in option files, on the command line, in the run
// database), what it means in plain words, and the values it takes.
struct ModelOptionKind {
    const char* key;
    const char* words;
    int ModelOptions::*field;
    int off;  // the classic model's value
    int smallest;
    int largest;
};

inline constexpr std::size_t MODEL_OPTION_COUNT = 2;
extern const std::array<ModelOptionKind, MODEL_OPTION_COUNT> MODEL_OPTION_KINDS;

// Where the options in force come from: the preset's option file, overridden by what the person
// chose (the Model Options dialog on the desktop, --model-option on the command line); a classic
// run sets every option the file holds back to off.
struct ModelOptionSources {
    ModelOptions preset;
    bool classic = false;
    std::array<std::optional<int>, MODEL_OPTION_COUNT> chosen;
};

ModelOptions optionsInForce(const ModelOptionSources& sources);

// True when some option differs from the classic model.
bool anyModelOptionOn(const ModelOptions& options);

const ModelOptionKind* findModelOption(std::string_view key);

// Sets the option KEY from the text of a whole number; returns what is wrong (empty when set).
std::string setModelOption(ModelOptions& options, std::string_view key, std::string_view value);

// "KEY value" lines of the options that are on, in table order (nothing when all are off).
std::string modelOptionLines(const ModelOptions& options);

// "KEY=value, KEY=value" of the options that are on; "classic model" when none is.
std::string modelOptionSummary(const ModelOptions& options);

}  // namespace dravia
