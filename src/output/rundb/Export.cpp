#include "output/rundb/Export.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// The fewest digits that read back to the same double, in the C locale whatever the user's:
// 230.2 stays 230.2 where seventeen digits would say 230.19999999999999.
void appendShortestReal(std::string& line, double value) {
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    line.append(text, written.ptr);
}

void appendCsvText(std::string& line, const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

std::string exportRunDatabase(const std::string& path, const std::string& directory) {
    try {
        DatabaseConnection db(path, true);
        const int format = runDatabaseFormat(db);
        std::vector<std::string> tables = runTablesOfFormat(format);
        // The view that stands for the earlier formats' table keeps its file: only as this program
        // makes it, never a view of the file's own, which could take without end.
        if (format == RUN_DATABASE_FORMAT) {
            tables.emplace_back("limiting_factors");
            DatabaseStatement view =
                db.prepare("SELECT sql FROM sqlite_master WHERE type = 'view' AND name = 'limiting_factors'");
            std::string expected;
            for (const ViewDeclaration& declared : runDatabaseViews()) {
                if (std::string(declared.name) == "limiting_factors") expected = createViewSql(declared);
            }
            if (!view.nextRow() || view.textColumn(0) != expected)
                throw DatabaseError{"its view limiting_factors is not the one Dravia4 writes"};
        }
        for (const std::string& table : tables) {
            const std::string fileName = directory + "/" + table + ".csv";
            DatabaseStatement rows = db.prepare(formatText("SELECT * FROM %s", table.c_str()).c_str());
            errno = 0;
            FileHandle file = openFile(fileName, "w");
            if (!file) {
                // The opener refuses what is no file of text (a directory, a device) without a system error.
                struct stat info {};
                const std::string reason = errno != 0 ? std::strerror(errno)
                                           : stat(fileName.c_str(), &info) == 0 && S_ISDIR(info.st_mode)
                                               ? "a directory stands in its place"
                                               : "something that is not a file stands in its place";
                return formatText("Error: \"%s\" could not be created: %s.", fileName.c_str(),
                                  reason.c_str());
            }
            const int columns = rows.columnCount();
            std::string line;
            for (int c = 0; c < columns; ++c) {
                if (c > 0) line += ',';
                line += rows.columnName(c);
            }
            line += '\n';
            bool written = appendWhole(file.get(), line);
            while (written && rows.nextRow()) {
                line.clear();
                for (int c = 0; c < columns; ++c) {
                    if (c > 0) line += ',';
                    if (rows.nullColumn(c)) continue;
                    if (rows.realValued(c)) {
                        appendShortestReal(line, rows.realColumn(c));
                    } else {
                        appendCsvText(line, rows.textColumn(c));
                    }
                }
                line += '\n';
                written = appendWhole(file.get(), line);
            }
            if (!written || std::fflush(file.get()) != 0)
                return formatText("Error: \"%s\" could not be written (%s).", fileName.c_str(),
                                  writeFailureReason().c_str());
        }
    } catch (const DatabaseError& error) {
        return formatText("Error: run database \"%s\" could not be read: %s.", path.c_str(),
                          error.reason.c_str());
    }
    return {};
}

}  // namespace dravia
