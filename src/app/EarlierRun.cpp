#include "app/EarlierRun.h"

#include <QDateTime>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/Scenario.h"

namespace dravia {

std::optional<RunIdentity> runIdentityOf(const std::string& file) {
    try {
        DatabaseConnection database(file, true);
        runDatabaseFormat(database);
        const std::vector<std::string> scenarios = scenariosOf(database);
        if (scenarios.size() != 1) return std::nullopt;
        DatabaseStatement run = database.prepare("SELECT min(started_utc) FROM run");
        if (!run.nextRow()) return std::nullopt;
        return RunIdentity{scenarios.front(), run.textColumn(0)};
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
}

std::optional<std::size_t> libraryPositionOf(const std::vector<LibraryEntry>& entries,
                                             const std::string& file) {
    const std::optional<RunIdentity> run = runIdentityOf(file);
    if (!run || run->startedUtc.empty()) return std::nullopt;
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (entries[i].problem.empty() && entries[i].startedUtc == run->startedUtc) return i;
    }
    return std::nullopt;
}

bool isEarlierRun(const std::vector<LibraryEntry>& entries, const std::string& file) {
    const std::optional<std::size_t> position = libraryPositionOf(entries, file);
    return position && *position + 1 < entries.size();
}

QString runNameAndStart(const RunIdentity& run) {
    const QDateTime started = QDateTime::fromString(QString::fromStdString(run.startedUtc), Qt::ISODate);
    const QString name = QStringLiteral("\u201c%1\u201d").arg(QString::fromStdString(run.scenario));
    return started.isValid()
               ? QStringLiteral("%1 of %2")
                     .arg(name, started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
               : name;
}

}  // namespace dravia
