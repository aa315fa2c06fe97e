#include "app/FieldChecks.h"

#include <QLineEdit>
#include <QVariant>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace dravia {

namespace {

// The text without the blanks around it, as bytes for the C conversions (numeric locale "C").
QByteArray trimmedBytes(const QString& text) {
    return text.trimmed().toLatin1();
}

}  // namespace

QString boundText(double bound) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10f", bound);
    QString text = QString::fromLatin1(buffer);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}

QString roundedText(double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    QString text = QString::fromLatin1(buffer);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    if (text == QLatin1String("0") && value != 0.0) text = QString::number(value, 'g', 4);
    return text;
}

namespace {

constexpr const char* HELD_VALUE = "dravia.heldValue";
constexpr const char* HELD_TEXT = "dravia.heldText";

}  // namespace

void showHeldNumber(QLineEdit* field, double value, int decimals) {
    showHeldNumber(field, value, roundedText(value, decimals));
}

void showHeldNumber(QLineEdit* field, double value, const QString& text) {
    field->setProperty(HELD_VALUE, value);
    field->setProperty(HELD_TEXT, text);
    field->setText(text);
}

bool showsHeldNumber(const QLineEdit* field) {
    const QVariant held = field->property(HELD_TEXT);
    // Typing counts as editing even when it ends with the text shown.
    return held.isValid() && !field->isModified() && held.toString() == field->text();
}

IntegerVerdict checkInteger(const QString& text, std::optional<IntegerRange> range) {
    const QByteArray bytes = trimmedBytes(text);
    IntegerVerdict verdict;
    if (bytes.isEmpty()) {
        verdict.message = QString::fromLatin1(ENTER_INTEGER);
        return verdict;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(bytes.constData(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        verdict.message = QString::fromLatin1(ENTER_INTEGER);
        return verdict;
    }
    const int value = static_cast<int>(parsed);
    if (range && (value < range->low || value > range->high)) {
        verdict.message = QString::fromLatin1(ENTER_INTEGER_BETWEEN).arg(range->low).arg(range->high);
        return verdict;
    }
    verdict.value = value;
    return verdict;
}

NumberVerdict checkNumber(const QString& text, std::optional<NumberRange> range) {
    const QByteArray bytes = trimmedBytes(text);
    NumberVerdict verdict;
    char* end = nullptr;
    const double value = bytes.isEmpty() ? 0.0 : std::strtod(bytes.constData(), &end);
    if (bytes.isEmpty() || *end != '\0' || !std::isfinite(value)) {
        verdict.message = QString::fromLatin1(ENTER_NUMBER);
        return verdict;
    }
    if (range && (value < range->low || value > range->high)) {
        verdict.message =
            QString::fromLatin1(ENTER_NUMBER_BETWEEN).arg(boundText(range->low), boundText(range->high));
        return verdict;
    }
    verdict.value = value;
    return verdict;
}

void FieldReader::integer(QLineEdit* field, int& value, std::optional<IntegerRange> range) {
    if (!passed_) return;
    const IntegerVerdict verdict = checkInteger(field->text(), range);
    if (verdict.value) {
        value = *verdict.value;
    } else {
        fail(field, verdict.message);
    }
}

void FieldReader::number(QLineEdit* field, double& value, std::optional<NumberRange> range) {
    if (!passed_) return;
    // An untouched field stands for the exact value held, not for its rounded text.
    const NumberVerdict verdict =
        showsHeldNumber(field)
            ? checkNumber(QString::number(field->property(HELD_VALUE).toDouble(), 'g', 17), range)
            : checkNumber(field->text(), range);
    if (verdict.value) {
        value = *verdict.value;
    } else {
        fail(field, verdict.message);
    }
}

void FieldReader::fail(QLineEdit* field, const QString& message) {
    passed_ = false;
    if (reporter_) reporter_(message);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

}  // namespace dravia
