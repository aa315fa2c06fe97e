#include "app/RunSpeedSetting.h"

#include <QSettings>

#include "app/WindowPlacement.h"
#include "app/YearPacer.h"

namespace dravia {

int loadStoredYearsPerSecond() {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(SETTINGS_GROUP));
    bool number = false;
    const int yearsPerSecond = settings.value(QString::fromLatin1(YEARS_PER_SECOND_KEY)).toInt(&number);
    settings.endGroup();
    return number ? validYearsPerSecond(yearsPerSecond) : 0;
}

void storeYearsPerSecond(int yearsPerSecond) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(SETTINGS_GROUP));
    settings.setValue(QString::fromLatin1(YEARS_PER_SECOND_KEY), validYearsPerSecond(yearsPerSecond));
    settings.endGroup();
    settings.sync();
}

}  // namespace dravia
