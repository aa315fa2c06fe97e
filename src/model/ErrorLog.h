#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The numbered messages the program shows; the number is part of each message's text.
enum class ErrorMessage : int {
    NoColourFile = 1,
    CannotOpenWeatherFile = 2,
    OneWeatherYear = 3,
    TooManyWeatherYears = 4,
    TooManyInitialValues = 5,
    NoOutputAtAll = 6,
    TooManyTrees = 7,
    NoMemoryForTrees = 8,
    NoMemoryForPlots = 9,
    TooManyResultIntervals = 10,
    TooManySpecies = 11,
    CannotOpenFile = 12,
    OneIteration = 13,
    TooManyIntervalsInFile = 14,
    CannotCreateFile = 15,
    NoResultsInterval = 16,
    // A site whose rock share is outside 0..100 %: a number with no message, so nothing is shown.
    SiteData = 19,
};

// The text of a numbered message (1..16), or an empty string for any other number.
// argument is the file name of the messages that name one.
std::string errorLogText(const ModelState& model, ErrorMessage message, const char* argument = nullptr);

// Shows the numbered message through the host and returns once it is dismissed.
// Numbers outside 1..16 show nothing. What follows is the caller's decision.
void reportError(ModelState& model, ErrorMessage message, const char* argument = nullptr);

// Shows why the run cannot go on (values that drive the model outside what it can follow) and
// ends the program with status 1.
[[noreturn]] void endRunBeyondModel(ModelState& model, const std::string& message);

}  // namespace dravia
