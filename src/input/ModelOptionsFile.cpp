#include "input/ModelOptionsFile.h"

#include <sstream>

#include "input/ReaderError.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// Like the parameter files, an options file is small; anything larger is not one.
constexpr unsigned long long MODEL_OPTIONS_FILE_LIMIT = 64 * 1024;

std::string withoutComment(const std::string& line) {
    const std::size_t comment = line.find("//");
    std::string text = comment == std::string::npos ? line : line.substr(0, comment);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

}  // namespace

std::string modelOptionsFileOf(const std::string& initialValuesPath) {
    const std::string ending = "Params.txt";
    const std::string replacement = "ModelOptions.txt";
    const std::string& p = initialValuesPath;
    if (p.size() >= ending.size() && p.compare(p.size() - ending.size(), ending.size(), ending) == 0)
        return p.substr(0, p.size() - ending.size()) + replacement;
    const std::size_t separator = p.find_last_of("\\/");
    const std::size_t dot = p.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return (hasExtension ? p.substr(0, dot) : p) + replacement;
}

std::string parseModelOptions(const std::string& text, ModelOptions& options) {
    ModelOptions read;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(withoutComment(line));
        std::string key, value, extra;
        if (!(words >> key)) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!(words >> value)) return where + "the option " + key + " has no value";
        if (words >> extra) return where + "only one value may follow " + key;
        const std::string problem = setModelOption(read, key, value);
        if (!problem.empty()) return where + problem;
    }
    options = read;
    return {};
}

void readModelOptionsFile(ModelState& model) {
    const std::string name = modelOptionsFileOf(model.params.initialValuesPath);
    ModelOptions preset;
    if (canOpenForReading(name)) {
        const FileHandle file = openFile(name, "r");
        const std::string refusal = "Error.  Could not read the model options file \"" + name + "\"";
        if (!file) throw ReaderError(refusal + ".");
        if (largerThan(file.get(), MODEL_OPTIONS_FILE_LIMIT))
            throw ReaderError(refusal + ": it is larger than a model options file can be.");
        const std::string problem = parseModelOptions(readWholeFile(file.get()), preset);
        if (!problem.empty()) throw ReaderError(refusal + ", " + problem + ".");
    }
    model.optionSources.preset = preset;
    applyModelOptions(model);
}

void applyModelOptions(ModelState& model) {
    model.options = optionsInForce(model.optionSources);
}

}  // namespace dravia
