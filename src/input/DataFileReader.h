#pragma once

#include <cstddef>
#include <string>

namespace dravia {

// Reads a parameter file forward, item line by item line. Each item line holds the item name
// and its value; the caller names the item it expects next and the type it wants. "//" starts
// a comment anywhere on a line; blank and comment-only lines are skipped; names are compared
// without regard to letter case. The reader also lends its open text to the species and plot
// readers, which read whitespace-separated tokens the way a C++ stream extracts them.
//
// Every failure throws ReaderError with the complete message; the reader shows nothing.
class DataFileReader {
  public:
    // A line holds at most this many characters (without its line break).
    static constexpr std::size_t MAX_LINE_LENGTH = 999;

    // The most a parameter or species file holds; a plot file may hold more.
    static constexpr unsigned long long PARAMETER_FILE_LIMIT = 1ull << 20;
    static constexpr unsigned long long PLOT_FILE_LIMIT = 16ull << 20;

    // Opens the file; the name is kept exactly as given, for messages. A file larger than
    // sizeLimit bytes is refused.
    explicit DataFileReader(const std::string& fileName, unsigned long long sizeLimit = PARAMETER_FILE_LIMIT);

    const std::string& fileName() const { return fileName_; }

    void expectItem(const char* expectedName);
    void readInt(const char* expectedName, int& destination);
    // Refuses a value outside minimum..maximum; the destination is then unchanged.
    void readInt(const char* expectedName, int& destination, int minimum, int maximum);
    void readDouble(const char* expectedName, double& destination);
    // A value longer than maximumLength characters is refused; the destination is then unchanged.
    void readString(const char* expectedName, std::string& destination, std::size_t maximumLength);

    // Token reads over the rest of the file (stream extraction semantics).
    enum class Extraction { Ok, EndOfFile, WrongType };
    // A whitespace-delimited word, returned whole; the caller checks its length.
    Extraction extractWord(std::string& word);
    // Optional sign and decimal digits; stops at the first character that cannot continue.
    Extraction extractInt(int& value);
    // Optional sign, digits, decimal point, digits, optional exponent.
    Extraction extractDouble(double& value);
    // Skips the rest of the current line including its line break; false when that line is
    // longer than MAX_LINE_LENGTH.
    bool skipLine();
    bool atEnd() const { return position_ >= text_.size(); }

  private:
    // The name found on the next item line and the value text behind it.
    struct ItemLine {
        std::string name;
        std::string value;
    };
    ItemLine nextItemLine(const char* expectedName);
    std::string readLine(const char* expectedName);
    void skipWhitespace();

    std::string fileName_;
    std::string text_;  // the whole file, carriage returns before line feeds removed
    std::size_t position_ = 0;
};

// The messages of the parameter-file reader, exactly as the user sees them.
std::string couldNotOpenMessage(const std::string& fileName);
std::string itemMismatchMessage(const std::string& expectedName, const std::string& fileName,
                                const std::string& foundName);
std::string wrongItemTypeMessage(const std::string& expectedName, const std::string& fileName);
std::string tooLargeMessage(const std::string& fileName, unsigned long long sizeLimit);
std::string outOfRangeMessage(const std::string& expectedName, const std::string& fileName, long long minimum,
                              long long maximum);

// Parses the longest prefix of text that a C++ stream would extract as an int or a double.
// Returns the number of characters used, 0 when no number can be extracted (or it is out
// of range).
std::size_t parseIntPrefix(const char* text, std::size_t length, int& value);
std::size_t parseDoublePrefix(const char* text, std::size_t length, double& value);

}  // namespace dravia
