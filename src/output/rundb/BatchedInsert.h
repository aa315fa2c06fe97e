#pragma once

#include <string>
#include <vector>

#include "output/rundb/DatabaseConnection.h"

namespace dravia {

// Rows of one table inserted many to a statement: a row is bound column by column as with a
// DatabaseStatement, and execute() queues it; whole batches go in one multi-row insert, which
// costs SQLite far less than one statement per row. flush() inserts what is queued (before a
// commit). Every row's last column, the scenario, is bound once.
class BatchedInsert {
  public:
    BatchedInsert() = default;
    // columns counts the table's columns, the scenario the last.
    BatchedInsert(DatabaseConnection& db, const char* table, int columns, const std::string& scenario);

    BatchedInsert& bind(int column, double value);
    BatchedInsert& bind(int column, int value);
    BatchedInsert& bind(int column, const std::string& value);
    BatchedInsert& bindNull(int column);
    // The bound row joins the queue; a full queue is inserted.
    void execute();
    void flush();

  private:
    struct Value {
        enum class Kind { Null, Integer, Real, Text } kind = Kind::Null;
        long long integer = 0;
        double real = 0.0;
        std::string text;
    };
    static constexpr int ROWS_PER_STATEMENT = 64;
    void bindValue(DatabaseStatement& statement, int position, const Value& value);

    int columns_ = 0;  // bound per row: the table's columns but the scenario
    std::vector<Value> row_;
    std::vector<Value> queued_;
    int queuedRows_ = 0;
    DatabaseStatement many_, one_;
};

}  // namespace dravia
