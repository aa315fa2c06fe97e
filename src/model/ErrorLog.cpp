#include "model/ErrorLog.h"

#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

// The numbered messages, index = code.
constexpr const char* ERROR_MESSAGES[] = {
    nullptr,
    /* 1 */
    "errorLog 1: Could not open file Data\\colors.txt. \n\nA default set of colors will be used "
    "instead.  ",
    /* 2 */ "errorLog 2: Could not open file %s.",
    /* 3 */
    "errorLog 3: Only 1 year of weather data.\n\nCLIMATE_CHANGE will be set to 0\nand the program "
    "will be run with constant climate\nTo avoid this error again, change the CLIMATE_CHANGE \n"
    "variable to 0, OR add records for more years to the\nweather file you are using.",
    /* 4 */
    "errorLog 4: There are too many weather years for available memory.\n\nAn adequate sample of "
    "normal weather variation\nis provided by 30 years of weather records.  Try\nreducing your "
    "weather file to 30 years and run\nthe program again.  If you want to use the maximum\nnumber "
    "of weather years for your system, add several\nyears to the 30 in the file and try the "
    "program \nagain.  When the program fails, back off the number\nof years to a value that will "
    "run on your system.",
    /* 5 */
    "errorLog 5: Too many variables in the %s file.\n\nThe file you are trying to use as an "
    "initial\nvalues file does not match the load program.\n\nTo correct this error, look at the "
    "INIT_VIR.NOR\nfile and copy that format to correct your file.",
    /* 6 */
    "errorLog 6: Contradiction in initial values file %s: \nYou set SCREEN_OUTPUT_MODE = 3 (no "
    "screen display)\nand FILE_OUTPUT_FLAG = 0 (no file output);\nThis combination will give no "
    "output at all!\n\nThe program will correct this situation by setting\nthe FILE_OUTPUT_FLAG to "
    "1 for this run only.\n\nCheck for this error in your initial values file.",
    /* 7 */
    "errorLog 7: There are more than 200 trees on the plot.\n\nTo the correct the error, "
    "either:\n(1) reduce the number of trees on the plot, OR\n(2) modify the LOADPLOT program if it "
    "is available.",
    /* 8 */
    "errorLog 8: There is not enough memory available on your system.\n\nTo the correct the "
    "error, reduce the number of trees on the plot.",
    /* 9 */
    "errorLog 9: There is not enough memory available on your system.\n\nTo the correct the "
    "error, reduce the number of plots \nin the initial values file you are using.",
    /* 10 */
    "errorLog 10: More than %d result intervals.\n\nFor this run, this variable \nwill be "
    "evaluated as %d/%d, and \ntruncated to the next lowest integer. \n\n",
    /* 11 */
    "errorLog 11: You have selected %d species.\n\nThis is more than the 40 species \nthat the "
    "model was designed for.  You might \nrun out of system memory and halt the system.\nIf this "
    "happens, either: \nreduce the number of species in the species file,\nOR... add RAM memory "
    "to your system.",
    /* 12 */ "errorLog 12: The file %s cannot be opened.",
    /* 13 */
    "errorLog 13: There is only 1 iteration in your file.\n\nYou must have at least 2 "
    "iterations\nin order to run the STATS program!",
    /* 14 */
    "errorLog 14: There are more than %d intervals in the output file.\n\nThe present version of "
    "DRAVIA-II only permits\nup to %d intervals.  Rerun DRAVIA-II to \nregenerate the output "
    "file, then run STATS.",
    /* 15 */ "errorLog 15: The system is unable to create the file \"%s\".",
    /* 16 */
    "errorLog 16: The RESULTS_INTERV variable is set to 0.\n\nThis means that there is not data "
    "to analyze.\n\nTo correct the condition, rerun DRAVIA-II with\nwith a RESULTS_INTERV set to "
    "a non-zero value.",
};

}  // namespace

std::string errorLogText(const ModelState& model, ErrorMessage message, const char* argument) {
    const int code = static_cast<int>(message);
    if (code < 1 || code > 16) return {};
    const char* text = ERROR_MESSAGES[code];
    const char* name = argument ? argument : "";
    switch (code) {
        case 2:
        case 5:
        case 6:
        case 12:
        case 15:
            return formatText(text, name);
        case 10:
            return formatText(text, RESULT_INTERVAL_LIMIT, model.params.NUM_YEARS, RESULT_INTERVAL_LIMIT);
        case 11:
            return formatText(text, model.NSPP);
        case 14:
            return formatText(text, RESULT_INTERVAL_LIMIT, RESULT_INTERVAL_LIMIT);
        default:
            return text;
    }
}

void reportError(ModelState& model, ErrorMessage message, const char* argument) {
    const int code = static_cast<int>(message);
    if (code < 1 || code > 16) return;
    hostOf(model).showMessage(errorLogText(model, message, argument), MessageIcon::None);
}

void endRunBeyondModel(ModelState& model, const std::string& message) {
    hostOf(model).showMessage(message, MessageIcon::Error);
    throw ProgramExit{EXIT_FATAL_ERROR};
}

}  // namespace dravia
