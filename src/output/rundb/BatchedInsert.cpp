#include "output/rundb/BatchedInsert.h"

#include "platform/Format.h"

namespace dravia {

BatchedInsert::BatchedInsert(DatabaseConnection& db, const char* table, int columns,
                             const std::string& scenario)
    : columns_(columns - 1), row_(static_cast<size_t>(columns - 1)) {
    std::string values = "(?";
    for (int c = 1; c < columns; ++c) values += ",?";
    values += ")";
    std::string many = formatText("INSERT INTO %s VALUES %s", table, values.c_str());
    for (int r = 1; r < ROWS_PER_STATEMENT; ++r) many += "," + values;
    many_ = db.prepare(many.c_str());
    one_ = db.prepare(formatText("INSERT INTO %s VALUES %s", table, values.c_str()).c_str());
    for (int r = 0; r < ROWS_PER_STATEMENT; ++r) many_.bind(r * columns + columns, scenario);
    one_.bind(columns, scenario);
    queued_.reserve(static_cast<size_t>(columns_ * ROWS_PER_STATEMENT));
}

BatchedInsert& BatchedInsert::bind(int column, double value) {
    Value& v = row_[static_cast<size_t>(column - 1)];
    v.kind = Value::Kind::Real;
    v.real = value;
    return *this;
}

BatchedInsert& BatchedInsert::bind(int column, int value) {
    Value& v = row_[static_cast<size_t>(column - 1)];
    v.kind = Value::Kind::Integer;
    v.integer = value;
    return *this;
}

BatchedInsert& BatchedInsert::bind(int column, const std::string& value) {
    Value& v = row_[static_cast<size_t>(column - 1)];
    v.kind = Value::Kind::Text;
    v.text = value;
    return *this;
}

BatchedInsert& BatchedInsert::bindNull(int column) {
    row_[static_cast<size_t>(column - 1)].kind = Value::Kind::Null;
    return *this;
}

void BatchedInsert::bindValue(DatabaseStatement& statement, int position, const Value& value) {
    switch (value.kind) {
        case Value::Kind::Null:
            statement.bindNull(position);
            break;
        case Value::Kind::Integer:
            statement.bind(position, value.integer);
            break;
        case Value::Kind::Real:
            statement.bind(position, value.real);
            break;
        case Value::Kind::Text:
            statement.bind(position, value.text);
            break;
    }
}

void BatchedInsert::execute() {
    queued_.insert(queued_.end(), row_.begin(), row_.end());
    if (++queuedRows_ < ROWS_PER_STATEMENT) return;
    const int stride = columns_ + 1;  // the scenario between rows
    for (int r = 0; r < ROWS_PER_STATEMENT; ++r) {
        for (int c = 0; c < columns_; ++c)
            bindValue(many_, r * stride + c + 1, queued_[static_cast<size_t>(r * columns_ + c)]);
    }
    queued_.clear();
    queuedRows_ = 0;
    many_.execute();
}

void BatchedInsert::flush() {
    for (int r = 0; r < queuedRows_; ++r) {
        for (int c = 0; c < columns_; ++c)
            bindValue(one_, c + 1, queued_[static_cast<size_t>(r * columns_ + c)]);
        one_.execute();
    }
    queued_.clear();
    queuedRows_ = 0;
}

}  // namespace dravia
