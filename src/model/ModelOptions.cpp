#include "model/ModelOptions.h"

#include <charconv>

namespace dravia {

const std::array<ModelOptionKind, MODEL_OPTION_COUNT> MODEL_OPTION_KINDS = {{
    {"SLOW_GROWTH_YEARS",
     "Slow-growth years: a tree that grows too slowly can die of it only from this many consecutive "
     "slow years on (1: the classic model, from the first slow year)",
     &ModelOptions::SLOW_GROWTH_YEARS, 1, 1, 1000},
    {"CLIMATE_MEMORY_YEARS",
     "Climate memory: trees of 10 cm and more respond to the mean temperature and drought of this many "
     "past years, saplings to the year's own (1: the classic model, every tree to the year's own)",
     &ModelOptions::CLIMATE_MEMORY_YEARS, 1, 1, 1000},
}};

ModelOptions optionsInForce(const ModelOptionSources& sources) {
    ModelOptions options = sources.classic ? ModelOptions{} : sources.preset;
    for (std::size_t i = 0; i < MODEL_OPTION_COUNT; ++i)
        if (sources.chosen[i]) options.*MODEL_OPTION_KINDS[i].field = *sources.chosen[i];
    return options;
}

bool anyModelOptionOn(const ModelOptions& options) {
    return !(options == ModelOptions{});
}

const ModelOptionKind* findModelOption(std::string_view key) {
    for (const ModelOptionKind& kind : MODEL_OPTION_KINDS)
        if (key == kind.key) return &kind;
    return nullptr;
}

std::string setModelOption(ModelOptions& options, std::string_view key, std::string_view value) {
    const ModelOptionKind* kind = findModelOption(key);
    if (kind == nullptr) {
        std::string known;
        for (const ModelOptionKind& k : MODEL_OPTION_KINDS)
            known += std::string(known.empty() ? "" : ", ") + k.key;
        return "there is no model option \"" + std::string(key) + "\" (the options are " + known + ")";
    }
    int number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    if (value.empty() || error != std::errc{} || stop != end || number < kind->smallest ||
        number > kind->largest)
        return std::string(kind->key) + " is a whole number from " + std::to_string(kind->smallest) + " to " +
               std::to_string(kind->largest) + ", not \"" + std::string(value) + "\"";
    options.*kind->field = number;
    return {};
}

std::string modelOptionLines(const ModelOptions& options) {
    std::string text;
    for (const ModelOptionKind& kind : MODEL_OPTION_KINDS) {
        const int value = options.*kind.field;
        if (value != kind.off) text += std::string(kind.key) + " " + std::to_string(value) + "\n";
    }
    return text;
}

std::string modelOptionSummary(const ModelOptions& options) {
    std::string text;
    for (const ModelOptionKind& kind : MODEL_OPTION_KINDS) {
        const int value = options.*kind.field;
        if (value == kind.off) continue;
        text += std::string(text.empty() ? "" : ", ") + kind.key + "=" + std::to_string(value);
    }
    return text.empty() ? "classic model" : text;
}

}  // namespace dravia
