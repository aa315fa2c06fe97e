#pragma once

#include <QDialog>
#include <vector>

#include "output/rundb/RunLibrary.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace dravia {

// Statistics > Runs...: the runs kept in the library folder of the working directory, newest
// first, with their scenario names, start, size and whether they completed. The user renames,
// deletes (after a question), charts one completed run or combines several into a study
// database; a library grown beyond its warning size offers to delete its oldest runs.
class RunsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit RunsDialog(QWidget* parent = nullptr,
                        unsigned long long warningBytes = RUN_LIBRARY_WARNING_BYTES);

    // The entries in the order of the table's rows.
    const std::vector<LibraryEntry>& rows() const { return rows_; }
    QTableWidget* table() const { return table_; }
    QPushButton* chartsButton() const { return charts_; }
    QPushButton* renameButton() const { return rename_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* combineButton() const { return combine_; }
    QPushButton* deleteOldestButton() const { return deleteOldest_; }
    QLabel* usageLabel() const { return usage_; }
    // Why the buttons the selection leaves unavailable are so; empty when all are available.
    QLabel* selectionNote() const { return note_; }

    // The run whose charts the user asked for when the dialog closed; empty otherwise.
    QString chartsFile() const { return chartsFile_; }

    // Says the last run failed: the run the working directory's database holds is the earlier one.
    void setLastRunFailed(bool failed);

    // Selects the rows (others deselected).
    void selectRows(const std::vector<int>& rows);

  public slots:
    void reload();
    void openCharts();
    void renameRun();
    void deleteRuns();
    void combineRuns();
    void deleteOldestRuns();

  private:
    std::vector<int> selectedRows() const;
    void selectionChanged();
    void showUsage();
    // Deletes the runs' databases (asked before), saying which could not be deleted.
    void deleteEntries(const std::vector<LibraryEntry>& entries, const QString& title);

    unsigned long long warningBytes_;
    bool lastRunFailed_ = false;
    std::vector<LibraryEntry> rows_;
    QTableWidget* table_;
    QPushButton* charts_;
    QPushButton* rename_;
    QPushButton* delete_;
    QPushButton* combine_;
    QPushButton* deleteOldest_;
    QLabel* usage_;
    QLabel* warning_;
    QLabel* note_;
    QString chartsFile_;
};

}  // namespace dravia
