#include "input/ColourFile.h"

#include <cctype>
#include <cstdio>

#include "input/DataFileReader.h"
#include "model/ErrorLog.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// Colour of species 1..40 per community option 1..8; groups of ten species.
constexpr int DEFAULT_COLOURS[8][40] = {
    {10, 5, 14, 7, 9, 9, 13, 9, 2, 4, 7, 9, 12, 9, 9, 9, 9, 9, 9, 9,
     10, 4, 14, 4, 7, 3, 9,  9, 9, 6, 9, 9, 9,  9, 9, 9, 2, 9, 9, 9},
    {10, 5, 14, 7, 9,  9, 13, 9, 1, 9, 9, 9, 12, 9, 9, 9, 9, 9, 9, 9,
     11, 9, 9,  4, 15, 3, 9,  9, 9, 9, 9, 9, 9,  9, 9, 9, 2, 9, 9, 9},
    {10, 9, 14, 7, 9, 9, 13, 5, 11, 4, 15, 0, 12, 9, 9, 9, 9, 9, 9, 9,
     9,  9, 9,  9, 9, 9, 9,  9, 9,  9, 9,  9, 9,  9, 9, 9, 9, 9, 9, 9},
    {10, 2, 14, 7, 9, 9, 13, 5, 11, 4, 15, 0, 12, 9, 9, 9, 9, 9, 9, 9,
     9,  9, 9,  9, 9, 9, 9,  9, 9,  9, 9,  9, 9,  9, 9, 9, 9, 9, 9, 9},
    {11, 9, 14, 9, 9, 9,  1, 1, 2, 9, 15, 0, 9, 9, 9, 9, 9, 9, 9, 9,
     9,  1, 9,  9, 9, 10, 9, 9, 9, 9, 9,  3, 9, 9, 9, 9, 9, 4, 9, 9},
    {11, 9, 14, 9, 9, 9,  13, 5, 2, 9, 15, 0, 9, 9, 9, 9, 9, 9, 9, 9,
     9,  1, 9,  9, 9, 10, 9,  9, 9, 9, 9,  3, 9, 9, 9, 9, 9, 4, 9, 9},
    {11, 9, 9, 9, 0,  9,  9, 5,  3, 9,  7, 0, 12, 9, 9, 9, 9, 9, 9, 9,
     9,  9, 2, 4, 15, 10, 9, 13, 9, 14, 9, 9, 9,  9, 9, 9, 9, 9, 9, 9},
    {11, 9, 9, 9, 0,  9,  9, 5,  3, 9,  7, 0, 12, 9, 9, 9, 9, 9, 9, 9,
     9,  9, 2, 4, 15, 10, 9, 13, 9, 14, 9, 9, 9,  9, 9, 9, 9, 9, 9, 9},
};

constexpr int HEADER_LINES = 22;
constexpr int OPTION_HEADING_LINES = 6;
constexpr int DATA_LINES = 10;
constexpr int SKIP_PIECE = 89;  // a skipped line is read in pieces of at most this many characters

// The colour file read as a character stream, the way the line skipping and the formatted
// number reading of C see it.
class ColourStream {
  public:
    explicit ColourStream(std::FILE* file) : file_(file) {}

    // Reads up to and including a line break, at most SKIP_PIECE characters.
    void skipPiece() {
        for (int count = 0; count < SKIP_PIECE; ++count) {
            const int c = std::fgetc(file_);
            if (c == EOF || c == '\n') return;
        }
    }

    // One data line, "%*d %d %*d %d %*d %d %*d %d": the colours of species i, i+10, i+20, i+30.
    // Values that cannot be read or lie outside 0..15 keep what the table holds. After a value
    // that cannot be read the rest of that line is passed over, so the next line starts afresh.
    void readDataLine(std::array<int, MAX_SPECIES + 1>& row, int i) {
        for (int pair = 0; pair < 4; ++pair) {
            int ignored = 0;
            int colour = 0;
            if (!readInteger(ignored) || !readInteger(colour)) {
                passRestOfLine();
                return;
            }
            if (colour >= 0 && colour <= 15) row[static_cast<size_t>(i + 10 * pair)] = colour;
        }
    }

  private:
    bool readInteger(int& value) {
        int c = std::fgetc(file_);
        while (c != EOF && std::isspace(c)) c = std::fgetc(file_);
        char text[16];
        std::size_t length = 0;
        if (c == '+' || c == '-') {
            text[length++] = static_cast<char>(c);
            c = std::fgetc(file_);
        }
        while (c != EOF && c >= '0' && c <= '9' && length < sizeof text - 1) {
            text[length++] = static_cast<char>(c);
            c = std::fgetc(file_);
        }
        if (c != EOF) std::ungetc(c, file_);
        return parseIntPrefix(text, length, value) == length && length > 0;
    }

    void passRestOfLine() {
        int c = std::fgetc(file_);
        while (c != EOF && c != '\n') c = std::fgetc(file_);
    }

    std::FILE* file_;
};

}  // namespace

void useDefaultColours(ModelState& model) {
    for (int option = 1; option <= 8; ++option) {
        auto& row = model.colourTable[static_cast<size_t>(option)];
        row[0] = 0;
        for (int sn = 1; sn <= MAX_SPECIES; ++sn)
            row[static_cast<size_t>(sn)] = DEFAULT_COLOURS[option - 1][sn - 1];
    }
}

void readColourFile(ModelState& model) {
    model.colourTable[0].fill(0);
    useDefaultColours(model);
    FileHandle file = openFile(COLOUR_FILE, "r");
    if (!file) {
        reportError(model, ErrorMessage::NoColourFile);
        return;
    }
    ColourStream in(file.get());
    for (int line = 0; line < HEADER_LINES; ++line) in.skipPiece();
    for (int option = 1; option <= 8; ++option) {
        auto& row = model.colourTable[static_cast<size_t>(option)];
        row[0] = 0;
        for (int line = 0; line < OPTION_HEADING_LINES; ++line) in.skipPiece();
        for (int i = 1; i <= DATA_LINES; ++i) in.readDataLine(row, i);
    }
}

}  // namespace dravia
