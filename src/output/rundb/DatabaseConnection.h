#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace dravia {

// A prepared statement of the run database, bound by column position and reused row after row.
class DatabaseStatement {
  public:
    DatabaseStatement() = default;
    DatabaseStatement(sqlite3* db, const char* sql);
    DatabaseStatement(DatabaseStatement&& other) noexcept;
    DatabaseStatement& operator=(DatabaseStatement&& other) noexcept;
    DatabaseStatement(const DatabaseStatement&) = delete;
    DatabaseStatement& operator=(const DatabaseStatement&) = delete;
    ~DatabaseStatement();

    DatabaseStatement& bind(int column, double value);
    DatabaseStatement& bind(int column, int value);
    DatabaseStatement& bind(int column, long long value);
    DatabaseStatement& bind(int column, const std::string& value);
    DatabaseStatement& bindNull(int column);
    // Runs an insert or update; a failure throws DatabaseError with SQLite's reason.
    void execute();
    // Steps a query: true while it yields a row.
    bool nextRow();
    double realColumn(int column) const;
    long long integerColumn(int column) const;
    std::string textColumn(int column) const;
    bool nullColumn(int column) const;
    bool realValued(int column) const;  // the value in the column of the current row is a REAL
    int columnCount() const;
    std::string columnName(int column) const;

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

// What went wrong in SQLite, in its own words.
struct DatabaseError {
    std::string reason;
};

// An open SQLite file. Every failure throws DatabaseError.
class DatabaseConnection {
  public:
    // readOnly opens an existing file and never creates one.
    DatabaseConnection(const std::string& path, bool readOnly);
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;
    ~DatabaseConnection();
    void execute(const char* sql);
    DatabaseStatement prepare(const char* sql);
    sqlite3* handle() const { return db_; }
    // Closes the file, reporting what closing it found.
    void close();

  private:
    sqlite3* db_ = nullptr;
};

// Why no database can stand at path, or empty: a regular file, or nothing yet, may take a
// database's name; a directory or a device never.
std::string databasePathProblem(const std::string& path);

}  // namespace dravia
