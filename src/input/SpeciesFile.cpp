#include "input/SpeciesFile.h"

#include <cmath>
#include <string>

#include "input/DataFileReader.h"
#include "input/ReaderError.h"
#include "input/TreeBitmapFile.h"
#include "model/Allometry.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace dravia {

namespace {

constexpr const char* NO_BITMAP = "NONE";

std::string wrongTypeMessage(int sn, const std::string& fileName) {
    return formatText("Error.  Wrong data type when reading species #%d from\nspecies data file \"%s\".", sn,
                      fileName.c_str());
}

std::string unusableValueMessage(int sn, const std::string& name, const char* field, const char* reason,
                                 const std::string& fileName) {
    return formatText("Error.  Species #%d (%s) in\nspecies data file \"%s\"\nhas %s %s.", sn, name.c_str(),
                      fileName.c_str(), field, reason);
}

// Reads the record's values in file order; stops at the first that cannot be extracted.
class RecordReader {
  public:
    RecordReader(DataFileReader& reader, int sn) : reader_(reader), sn_(sn) {}

    DataFileReader::Extraction status() const { return status_; }

    void word(std::string& destination) {
        if (status_ != DataFileReader::Extraction::Ok) return;
        std::string value;
        status_ = reader_.extractWord(value);
        if (status_ != DataFileReader::Extraction::Ok) return;
        if (value.size() > SPECIES_TEXT_LENGTH) {
            throw ReaderError(
                formatText("Error.  A text value of species #%d in\nspecies data file \"%s\"\nis longer than "
                           "%d characters.",
                           sn_, reader_.fileName().c_str(), static_cast<int>(SPECIES_TEXT_LENGTH)));
        }
        destination = std::move(value);
    }
    void integer(int& destination) {
        if (status_ == DataFileReader::Extraction::Ok) status_ = reader_.extractInt(destination);
    }
    void number(double& destination) {
        if (status_ == DataFileReader::Extraction::Ok) status_ = reader_.extractDouble(destination);
    }

  private:
    DataFileReader& reader_;
    int sn_;
    DataFileReader::Extraction status_ = DataFileReader::Extraction::Ok;
};

void readRecord(RecordReader& in, Species& s) {
    in.word(s.NAME);
    in.word(s.ALT_NAME);
    in.integer(s.SHADE_TYPE);
    in.integer(s.N_TYPE);
    in.integer(s.MAX_SAPLINGS);
    in.integer(s.ABLE_TO_ENTER);
    in.number(s.G);
    in.number(s.C);
    in.number(s.DMAX);
    in.number(s.HMAX);
    in.number(s.AGEMAX);
    in.number(s.B2);
    in.number(s.B3);
    in.number(s.MIN_DIAM_INC);
    in.number(s.DDMIN);
    in.number(s.DDMAX);
    in.number(s.MIN_WATER_TABLE);
    in.number(s.WILT_FACTOR);
    in.number(s.MIN_LIGHT);
    in.number(s.STEM_A);
    in.number(s.STEM_B);
    in.number(s.BARK_A);
    in.number(s.BARK_B);
    in.number(s.BRANCH_A);
    in.number(s.BRANCH_B);
    in.number(s.ROOT_A);
    in.number(s.ROOT_B);
    in.word(s.SMALL_BITMAP);
    in.word(s.LARGE_BITMAP);
    in.integer(s.LARGE_BITMAP_MIN_HT);
}

// The ranges the species dialog accepts; the biomass equations, which the dialog does not show,
// take coefficients up to 100000 and exponents up to 10 (published tree allometries stay below 4).
// Beyond them the model leaves numbers a forest can have: a species with 100,000 saplings a year
// fills a plot with millions of trees.
struct ValueRange {
    const char* field;
    double value;
    double minimum;
    double maximum;
};

void checkRanges(const Species& s, int sn, const std::string& fileName) {
    const ValueRange ranges[] = {
        {"SHADE_TYPE", static_cast<double>(s.SHADE_TYPE), 1, 3},
        {"N_TYPE", static_cast<double>(s.N_TYPE), 1, 3},
        {"MAX_SAPLINGS", static_cast<double>(s.MAX_SAPLINGS), 0, 100000},
        {"G", s.G, 0.001, 100000},
        {"C", s.C, 0.001, 100000},
        {"DMAX", s.DMAX, 0.001, 100000},
        {"HMAX", s.HMAX, 0.001, 100000},
        {"AGEMAX", s.AGEMAX, 1, 100000},
        {"MIN_DIAM_INC", s.MIN_DIAM_INC, 0.001, 100000},
        {"DDMIN", s.DDMIN, 0, 100000},
        {"DDMAX", s.DDMAX, 0.001, 100000},
        {"MIN_WATER_TABLE", s.MIN_WATER_TABLE, 0, 100000},
        {"WILT_FACTOR", s.WILT_FACTOR, 0, 100000},
        {"MIN_LIGHT", s.MIN_LIGHT, 0, 100000},
        {"STEM_A", s.STEM_A, 0, 100000},
        {"STEM_B", s.STEM_B, 0, 10},
        {"BARK_A", s.BARK_A, 0, 100000},
        {"BARK_B", s.BARK_B, 0, 10},
        {"BRANCH_A", s.BRANCH_A, 0, 100000},
        {"BRANCH_B", s.BRANCH_B, 0, 10},
        {"ROOT_A", s.ROOT_A, 0, 100000},
        {"ROOT_B", s.ROOT_B, 0, 10},
    };
    for (const ValueRange& range : ranges) {
        if (range.value < range.minimum || range.value > range.maximum) {
            const std::string reason = formatText("outside %g to %g", range.minimum, range.maximum);
            throw ReaderError(unusableValueMessage(sn, s.NAME, range.field, reason.c_str(), fileName));
        }
    }
}

// Values with which the height curve, the growth curve, the degree-day response or the
// age mortality divide by zero or lose all meaning.
void checkUsable(const Species& s, int sn, const std::string& fileName) {
    const std::pair<const char*, double> values[] = {
        {"G", s.G},
        {"C", s.C},
        {"DMAX", s.DMAX},
        {"HMAX", s.HMAX},
        {"AGEMAX", s.AGEMAX},
        {"B2", s.B2},
        {"B3", s.B3},
        {"MIN_DIAM_INC", s.MIN_DIAM_INC},
        {"DDMIN", s.DDMIN},
        {"DDMAX", s.DDMAX},
        {"MIN_WATER_TABLE", s.MIN_WATER_TABLE},
        {"WILT_FACTOR", s.WILT_FACTOR},
        {"MIN_LIGHT", s.MIN_LIGHT},
        {"STEM_A", s.STEM_A},
        {"STEM_B", s.STEM_B},
        {"BARK_A", s.BARK_A},
        {"BARK_B", s.BARK_B},
        {"BRANCH_A", s.BRANCH_A},
        {"BRANCH_B", s.BRANCH_B},
        {"ROOT_A", s.ROOT_A},
        {"ROOT_B", s.ROOT_B},
    };
    for (const auto& [field, value] : values) {
        if (!std::isfinite(value))
            throw ReaderError(unusableValueMessage(sn, s.NAME, field, "not finite", fileName));
    }
    checkRanges(s, sn, fileName);
    if (s.DDMAX == s.DDMIN)
        throw ReaderError(unusableValueMessage(sn, s.NAME, "DDMAX", "equal to DDMIN", fileName));
}

std::shared_ptr<const TreeBitmap> loadOneBitmap(ModelState& model, std::string& fileName, const char* size,
                                                const std::string& speciesName) {
    if (fileName == NO_BITMAP) return nullptr;
    auto bitmap = loadTreeBitmap(fileName);
    if (!bitmap) {
        hostOf(model).showMessage(formatText("Could not read in %s tree bitmap file \"%s\" for species %s.",
                                             size, fileName.c_str(), speciesName.c_str()),
                                  MessageIcon::None);
        fileName = NO_BITMAP;
    }
    return bitmap;
}

}  // namespace

void loadSpeciesBitmaps(ModelState& model, Species& species) {
    species.smallBitmap = loadOneBitmap(model, species.SMALL_BITMAP, "small", species.NAME);
    species.largeBitmap = loadOneBitmap(model, species.LARGE_BITMAP, "large", species.NAME);
}

void readSpeciesFile(ModelState& model) {
    DataFileReader reader(model.params.SPP_PARAM_FILE);
    if (!reader.skipLine()) {
        throw ReaderError(
            formatText("Error.  The first line of species data file \"%s\"\nis longer than %d characters.",
                       reader.fileName().c_str(), static_cast<int>(DataFileReader::MAX_LINE_LENGTH)));
    }
    int complete = 0;
    for (int sn = 1; sn <= MAX_SPECIES && !reader.atEnd(); ++sn) {
        // A record is taken into the table only once it is whole and usable.
        Species record = model.species[static_cast<size_t>(sn)];
        RecordReader in(reader, sn);
        readRecord(in, record);
        if (in.status() == DataFileReader::Extraction::EndOfFile) break;
        if (in.status() == DataFileReader::Extraction::WrongType)
            throw ReaderError(wrongTypeMessage(sn, reader.fileName()));
        checkUsable(record, sn, reader.fileName());

        loadSpeciesBitmaps(model, record);
        record.DDMIN = record.DDMIN * DEGREE_DAY_CONVERSION;
        record.DDMAX = record.DDMAX * DEGREE_DAY_CONVERSION;
        fitHeightCurve(record);
        record.GROWTH_RATIO = record.G * record.DMAX / record.HMAX;
        model.species[static_cast<size_t>(sn)] = std::move(record);
        complete = sn;
    }
    model.NSPP = complete;
}

}  // namespace dravia
