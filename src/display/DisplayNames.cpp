#include "display/DisplayNames.h"

#include <QRegularExpression>
#include <QStringList>

namespace dravia {

QString speciesDisplayName(const std::string& name) {
    return QString::fromStdString(name).replace(QLatin1Char('_'), QLatin1Char(' '));
}

QString climatePresetName(const std::string& description, const QString& fallback) {
    QStringList words = QString::fromStdString(description).simplified().split(QLatin1Char(' '));
    if (words.join(QString()).isEmpty()) return fallback;
    static const QRegularExpression signedAmount(QStringLiteral("^[+-][0-9]"));
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9.]+$"));
    for (qsizetype i = 1; i < words.size(); ++i) {
        QString& word = words[i];
        // A temperature unit after a number is a temperature, not a letter.
        if ((word == QLatin1String("C") || word == QLatin1String("F")) &&
            number.match(words[i - 1]).hasMatch())
            word = QStringLiteral("°") + word;
        else if (word == QLatin1String("yr") || word == QLatin1String("yrs"))
            word = QStringLiteral("years");
    }
    // "Warming +3.6 °C ...": the name, then its size.
    if (words.size() > 1 && signedAmount.match(words[1]).hasMatch()) words[0] += QLatin1Char(':');
    return words.join(QLatin1Char(' '));
}

QString climatePresetOf(const RunParameters& params, int weatherType) {
    const bool warming = weatherType == 1;
    const std::string description =
        weatherType >= 0 && static_cast<size_t>(weatherType) < params.WTHR_TYPES.size()
            ? params.WTHR_TYPES[static_cast<size_t>(weatherType)]
            : std::string();
    return climatePresetName(description,
                             warming ? QStringLiteral("Warming climate") : QStringLiteral("Normal climate"));
}

QString scenarioName(const ModelState& model) {
    // Until runs carry names of their own, the community and its climate name the scenario.
    const RunParameters& p = model.params;
    const bool knownCommunity = p.COMMUNITY >= 1 && static_cast<size_t>(p.COMMUNITY) < p.HABITAT.size();
    const QString habitat =
        knownCommunity ? QString::fromStdString(p.HABITAT[static_cast<size_t>(p.COMMUNITY)]).trimmed()
                       : QString();
    const QString climate = climatePresetOf(p, p.WTHR_TYPE);
    return habitat.isEmpty() ? climate : habitat + QStringLiteral(", ") + climate;
}

}  // namespace dravia
