#include "output/rundb/DatabaseConnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <utility>

namespace dravia {

DatabaseStatement::DatabaseStatement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        throw DatabaseError{sqlite3_errmsg(db)};
    }
}

DatabaseStatement::DatabaseStatement(DatabaseStatement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), statement_(std::exchange(other.statement_, nullptr)) {}

DatabaseStatement& DatabaseStatement::operator=(DatabaseStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        db_ = std::exchange(other.db_, nullptr);
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

DatabaseStatement::~DatabaseStatement() {
    sqlite3_finalize(statement_);
}

DatabaseStatement& DatabaseStatement::bind(int column, double value) {
    sqlite3_bind_double(statement_, column, value);
    return *this;
}

DatabaseStatement& DatabaseStatement::bind(int column, int value) {
    sqlite3_bind_int(statement_, column, value);
    return *this;
}

DatabaseStatement& DatabaseStatement::bind(int column, long long value) {
    sqlite3_bind_int64(statement_, column, value);
    return *this;
}

DatabaseStatement& DatabaseStatement::bind(int column, const std::string& value) {
    sqlite3_bind_text(statement_, column, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

DatabaseStatement& DatabaseStatement::bindNull(int column) {
    sqlite3_bind_null(statement_, column);
    return *this;
}

void DatabaseStatement::execute() {
    const int status = sqlite3_step(statement_);
    sqlite3_reset(statement_);
    if (status != SQLITE_DONE && status != SQLITE_ROW) throw DatabaseError{sqlite3_errmsg(db_)};
}

bool DatabaseStatement::nextRow() {
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW) return true;
    sqlite3_reset(statement_);
    if (status != SQLITE_DONE) throw DatabaseError{sqlite3_errmsg(db_)};
    return false;
}

double DatabaseStatement::realColumn(int column) const {
    return sqlite3_column_double(statement_, column);
}

long long DatabaseStatement::integerColumn(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string DatabaseStatement::textColumn(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
}

bool DatabaseStatement::nullColumn(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

bool DatabaseStatement::realValued(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_FLOAT;
}

int DatabaseStatement::columnCount() const {
    return sqlite3_column_count(statement_);
}

std::string DatabaseStatement::columnName(int column) const {
    const char* name = sqlite3_column_name(statement_, column);
    return name ? name : "";
}

DatabaseConnection::DatabaseConnection(const std::string& path, bool readOnly) {
    // One thread uses a connection: SQLite's own locking of it would only cost time.
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) |
                      SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw DatabaseError{reason};
    }
    sqlite3_extended_result_codes(db_, 1);
}

DatabaseConnection::~DatabaseConnection() {
    sqlite3_close_v2(db_);
}

void DatabaseConnection::execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string reason = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw DatabaseError{reason};
    }
}

DatabaseStatement DatabaseConnection::prepare(const char* sql) {
    return DatabaseStatement(db_, sql);
}

void DatabaseConnection::close() {
    if (sqlite3_close(db_) != SQLITE_OK) throw DatabaseError{sqlite3_errmsg(db_)};
    db_ = nullptr;
}

std::string databasePathProblem(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return {};
    if (S_ISDIR(status.st_mode)) return "a directory has that name";
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    return {};
}

}  // namespace dravia
