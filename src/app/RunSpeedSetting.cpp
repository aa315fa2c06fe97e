#include "app/RunSpeedSetting.h"

#include <QSettings>

#include "app/WindowPlacement.h"
#include "app/YearPacer.h"

namespace dravia {

namespace {

QVariant storedValue(const char* key) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(SETTINGS_GROUP));
    return settings.value(QString::fromLatin1(key));
}

void storeValue(const char* key, const QVariant& value) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(SETTINGS_GROUP));
    settings.setValue(QString::fromLatin1(key), value);
    settings.endGroup();
    settings.sync();
}

}  // namespace

int loadStoredYearsPerSecond() {
    bool number = false;
    const int yearsPerSecond = storedValue(YEARS_PER_SECOND_KEY).toInt(&number);
    return number && validYearsPerSecond(yearsPerSecond) == yearsPerSecond ? yearsPerSecond
                                                                           : DEFAULT_YEARS_PER_SECOND;
}

void storeYearsPerSecond(int yearsPerSecond) {
    storeValue(YEARS_PER_SECOND_KEY, validYearsPerSecond(yearsPerSecond));
}

bool loadStoredWatchFirstIterationOnly() {
    const QVariant stored = storedValue(WATCH_FIRST_ITERATION_ONLY_KEY);
    return stored.isValid() ? stored.toBool() : true;
}

void storeWatchFirstIterationOnly(bool firstOnly) {
    storeValue(WATCH_FIRST_ITERATION_ONLY_KEY, firstOnly);
}

}  // namespace dravia
