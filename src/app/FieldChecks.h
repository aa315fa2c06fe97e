#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;

namespace dravia {

// The four field messages every parameter dialog uses.
inline constexpr const char* ENTER_INTEGER = "Please enter an integer.";
inline constexpr const char* ENTER_NUMBER = "Please enter a number.";
inline constexpr const char* ENTER_INTEGER_BETWEEN = "Please enter an integer between %1 and %2.";
inline constexpr const char* ENTER_NUMBER_BETWEEN = "Please enter a number between %1 and %2.";

struct IntegerRange {
    int low;
    int high;
};

struct NumberRange {
    double low;
    double high;
};

// A bound as a person writes it: "10", "0.0001", "10000000", never "1e+07".
QString boundText(double bound);

// A number as a field shows it (up to 15 significant digits, as the model holds it).
QString numberText(double value);

// A held value as a field of `decimals` places shows it: rounded, trailing zeros dropped
// ("457.2", "70.867"). A value too small for those places keeps four significant digits.
QString roundedText(double value, int decimals);

// Shows a held value in a number field rounded to the field's precision. As long as the text
// stays as shown, reading the field gives back the exact value held, so a field the user did
// not touch changes nothing on OK.
void showHeldNumber(QLineEdit* field, double value, int decimals);
// True while the field still shows the text showHeldNumber put there and the user has not
// typed into it.
bool showsHeldNumber(const QLineEdit* field);
// The same with the text given (a value shown as a whole number by its own rule).
void showHeldNumber(QLineEdit* field, double value, const QString& text);

// The verdict on one field's text: the value when it passes, the message when it does not.
struct IntegerVerdict {
    std::optional<int> value;
    QString message;
};
struct NumberVerdict {
    std::optional<double> value;
    QString message;
};

// A 32-bit integer, optionally within a closed range. Blanks around the digits are allowed.
IntegerVerdict checkInteger(const QString& text, std::optional<IntegerRange> range = std::nullopt);
// A finite number, optionally within a closed range.
NumberVerdict checkNumber(const QString& text, std::optional<NumberRange> range = std::nullopt);

// Reads fields one after another for a dialog. The first failure shows its message through
// the reporter, gives the field the focus and makes every later read a no-op, so that
// `reader.integer(...); reader.number(...); ...; if (reader.passed())` tests in order.
class FieldReader {
  public:
    using Reporter = std::function<void(const QString& message)>;
    explicit FieldReader(Reporter reporter) : reporter_(std::move(reporter)) {}

    void integer(QLineEdit* field, int& value, std::optional<IntegerRange> range = std::nullopt);
    void number(QLineEdit* field, double& value, std::optional<NumberRange> range = std::nullopt);
    bool passed() const { return passed_; }

  private:
    void fail(QLineEdit* field, const QString& message);

    Reporter reporter_;
    bool passed_ = true;
};

}  // namespace dravia
