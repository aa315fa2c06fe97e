#include "input/DataFileReader.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "input/ReaderError.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool sameNameIgnoringCase(const std::string& a, const char* b) {
    const std::string other(b);
    if (a.size() != other.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(other[i])))
            return false;
    }
    return true;
}

// Text mode: a carriage return right before a line feed is dropped.
std::string withoutCarriageReturns(const std::string& raw) {
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i]);
    }
    return text;
}

std::string lineTooLongMessage(const char* expectedName, const std::string& fileName) {
    return formatText(
        "Error.  A line longer than %d characters was found when reading item \"%s\" from\n"
        "data file \"%s\".",
        static_cast<int>(DataFileReader::MAX_LINE_LENGTH), expectedName, fileName.c_str());
}

std::string valueTooLongMessage(const char* expectedName, const std::string& fileName, std::size_t limit) {
    return formatText("Error.  The value of item \"%s\" in\ndata file \"%s\" is longer than %d characters.",
                      expectedName, fileName.c_str(), static_cast<int>(limit));
}

}  // namespace

std::string couldNotOpenMessage(const std::string& fileName) {
    return formatText("Error.  Could not open data file \"%s\".", fileName.c_str());
}

std::string itemMismatchMessage(const std::string& expectedName, const std::string& fileName,
                                const std::string& foundName) {
    return formatText(
        "Error.  Tried to read item \"%s\" from\ndata file \"%s\" but instead got item\n\"%s\".  The item is "
        "missing or\nthe items are out of order.",
        expectedName.c_str(), fileName.c_str(), foundName.c_str());
}

std::string wrongItemTypeMessage(const std::string& expectedName, const std::string& fileName) {
    return formatText("Error.  Wrong data type when reading item \"%s\" from\ndata file \"%s\".",
                      expectedName.c_str(), fileName.c_str());
}

std::string outOfRangeMessage(const std::string& expectedName, const std::string& fileName, long long minimum,
                              long long maximum) {
    return formatText(
        "Error.  The value of item \"%s\" in\ndata file \"%s\" must be a whole number from %lld "
        "to %lld.",
        expectedName.c_str(), fileName.c_str(), minimum, maximum);
}

std::size_t parseIntPrefix(const char* text, std::size_t length, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    long long magnitude = 0;
    bool overflow = false;
    while (i < length && isDigit(text[i])) {
        if (!overflow) {
            magnitude = magnitude * 10 + (text[i] - '0');
            if (magnitude > static_cast<long long>(INT_MAX) + 1) overflow = true;
        }
        ++i;
    }
    if (i == digitsStart) return 0;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (overflow || signedValue > INT_MAX || signedValue < INT_MIN) return 0;
    value = static_cast<int>(signedValue);
    return i;
}

std::size_t parseDoublePrefix(const char* text, std::size_t length, double& value) {
    std::size_t i = 0;
    if (i < length && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < length && isDigit(text[i])) ++i, ++digits;
    if (i < length && text[i] == '.') {
        ++i;
        while (i < length && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < length && isDigit(text[j])) {
            while (j < length && isDigit(text[j])) ++j;
            i = j;
        }
    }
    // The text holds the number's characters alone and a stream's conversion is correctly
    // rounded, like from_chars: only a leading "+" (which from_chars refuses) and a number out of
    // range go the general way, with a copy that ends where the number ends.
    if (text[0] != '+') {
        double converted = 0.0;
        const std::from_chars_result result = std::from_chars(text, text + i, converted);
        if (result.ec == std::errc{} && result.ptr == text + i && std::isfinite(converted)) {
            value = converted;
            return i;
        }
    }
    const std::string number(text, i);
    errno = 0;
    const double parsed = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(parsed)) return 0;
    value = parsed;
    return i;
}

std::string tooLargeMessage(const std::string& fileName, unsigned long long sizeLimit) {
    return formatText(
        "Error.  Data file \"%s\" is larger than %llu MB, more than any\ndata file of its kind holds.",
        fileName.c_str(), sizeLimit >> 20);
}

DataFileReader::DataFileReader(const std::string& fileName, unsigned long long sizeLimit)
    : fileName_(fileName) {
    FileHandle file = openFile(fileName, "rb");
    if (!file) throw ReaderError(couldNotOpenMessage(fileName));
    if (largerThan(file.get(), sizeLimit)) throw ReaderError(tooLargeMessage(fileName, sizeLimit));
    std::string raw;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) raw.append(buffer, count);
    if (std::ferror(file.get())) throw ReaderError(couldNotOpenMessage(fileName));
    text_ = withoutCarriageReturns(raw);
}

std::string DataFileReader::readLine(const char* expectedName) {
    std::size_t end = text_.find('\n', position_);
    const bool lastLine = end == std::string::npos;
    if (lastLine) end = text_.size();
    if (end - position_ > MAX_LINE_LENGTH) throw ReaderError(lineTooLongMessage(expectedName, fileName_));
    std::string line = text_.substr(position_, end - position_);
    position_ = lastLine ? end : end + 1;
    return line;
}

DataFileReader::ItemLine DataFileReader::nextItemLine(const char* expectedName) {
    ItemLine item;
    while (!atEnd()) {
        std::string line = readLine(expectedName);
        const std::size_t comment = line.find("//");
        if (comment != std::string::npos) line.resize(comment);
        std::size_t start = 0;
        while (start < line.size() && isSpace(line[start])) ++start;
        std::size_t end = start;
        while (end < line.size() && !isSpace(line[end])) ++end;
        if (end > start) {
            item.name = line.substr(start, end - start);
            item.value = line.substr(end);
            break;
        }
    }
    if (!sameNameIgnoringCase(item.name, expectedName))
        throw ReaderError(itemMismatchMessage(expectedName, fileName_, item.name));
    return item;
}

void DataFileReader::expectItem(const char* expectedName) {
    nextItemLine(expectedName);
}

void DataFileReader::readInt(const char* expectedName, int& destination) {
    const ItemLine item = nextItemLine(expectedName);
    std::size_t start = 0;
    while (start < item.value.size() && isSpace(item.value[start])) ++start;
    int value = 0;
    if (parseIntPrefix(item.value.data() + start, item.value.size() - start, value) == 0)
        throw ReaderError(wrongItemTypeMessage(expectedName, fileName_));
    destination = value;
}

void DataFileReader::readInt(const char* expectedName, int& destination, int minimum, int maximum) {
    int value = destination;
    readInt(expectedName, value);
    if (value < minimum || value > maximum)
        throw ReaderError(outOfRangeMessage(expectedName, fileName_, minimum, maximum));
    destination = value;
}

void DataFileReader::readDouble(const char* expectedName, double& destination) {
    const ItemLine item = nextItemLine(expectedName);
    std::size_t start = 0;
    while (start < item.value.size() && isSpace(item.value[start])) ++start;
    double value = 0.0;
    if (parseDoublePrefix(item.value.data() + start, item.value.size() - start, value) == 0)
        throw ReaderError(wrongItemTypeMessage(expectedName, fileName_));
    destination = value;
}

void DataFileReader::readString(const char* expectedName, std::string& destination,
                                std::size_t maximumLength) {
    const ItemLine item = nextItemLine(expectedName);
    std::size_t start = 0;
    while (start < item.value.size() && isBlankOrTab(item.value[start])) ++start;
    std::string value = item.value.substr(start);
    if (value.size() > maximumLength)
        throw ReaderError(valueTooLongMessage(expectedName, fileName_, maximumLength));
    destination = std::move(value);
}

void DataFileReader::skipWhitespace() {
    while (position_ < text_.size() && isSpace(text_[position_])) ++position_;
}

DataFileReader::Extraction DataFileReader::extractWord(std::string& word) {
    skipWhitespace();
    if (atEnd()) return Extraction::EndOfFile;
    const std::size_t start = position_;
    while (position_ < text_.size() && !isSpace(text_[position_])) ++position_;
    word = text_.substr(start, position_ - start);
    return Extraction::Ok;
}

DataFileReader::Extraction DataFileReader::extractInt(int& value) {
    skipWhitespace();
    if (atEnd()) return Extraction::EndOfFile;
    const std::size_t used = parseIntPrefix(text_.data() + position_, text_.size() - position_, value);
    if (used == 0) return Extraction::WrongType;
    position_ += used;
    return Extraction::Ok;
}

DataFileReader::Extraction DataFileReader::extractDouble(double& value) {
    skipWhitespace();
    if (atEnd()) return Extraction::EndOfFile;
    const std::size_t used = parseDoublePrefix(text_.data() + position_, text_.size() - position_, value);
    if (used == 0) return Extraction::WrongType;
    position_ += used;
    return Extraction::Ok;
}

bool DataFileReader::skipLine() {
    std::size_t end = text_.find('\n', position_);
    const bool lastLine = end == std::string::npos;
    if (lastLine) end = text_.size();
    const bool fits = end - position_ <= MAX_LINE_LENGTH;
    position_ = lastLine ? end : end + 1;
    return fits;
}

}  // namespace dravia
