#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The text of numbered message code (1..16), or an empty string for any other code.
// argument is the file name of the messages that name one.
std::string errorLogText(const ModelState& model, int code, const char* argument = nullptr);

// Shows the numbered message through the host and returns once it is dismissed.
// Codes outside 1..16 show nothing. What follows is the caller's decision.
void reportError(ModelState& model, int code, const char* argument = nullptr);

// Shows why the run cannot go on (values that drive the model outside what it can follow) and
// ends the program with status 1.
[[noreturn]] void endRunBeyondModel(ModelState& model, const std::string& message);

}  // namespace dravia
