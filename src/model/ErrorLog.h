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

}  // namespace dravia
