#include "app/RunsDialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/EarlierRun.h"
#include "app/HelpPages.h"
#include "app/WindowPlacement.h"
#include "output/rundb/Combine.h"
#include "output/rundb/RunDatabaseSchema.h"

namespace dravia {

namespace {

enum Column { NameColumn, StartedColumn, SizeColumn, StateColumn, COLUMN_COUNT };

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString bytesText(unsigned long long bytes) {
    return QLocale::c().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeSIFormat);
}

QString startedText(const LibraryEntry& entry) {
    const QDateTime started = QDateTime::fromString(text(entry.startedUtc), Qt::ISODate);
    return started.isValid() ? started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString nameText(const LibraryEntry& entry) {
    return entry.problem.empty() ? text(entry.scenario) : text(entry.fileName);
}

QString stateText(const LibraryEntry& entry) {
    if (!entry.problem.empty()) return QStringLiteral("cannot be read");
    if (entry.completed) return QStringLiteral("completed");
    return QStringLiteral("quit in iteration %1 of %2").arg(entry.iterations).arg(entry.plannedIterations);
}

// A run's name and start, as the questions and notes name it.
QString runText(const LibraryEntry& entry) {
    const QString started = startedText(entry);
    return started.isEmpty() ? QStringLiteral("\u201c%1\u201d").arg(nameText(entry))
                             : QStringLiteral("\u201c%1\u201d of %2").arg(nameText(entry), started);
}

// Why the run cannot be charted or combined; empty when it can.
QString notChartable(const LibraryEntry& entry) {
    if (!entry.problem.empty())
        return QStringLiteral("%1 cannot be read: %2").arg(text(entry.fileName), text(entry.problem));
    if (!entry.completed) {
        return QStringLiteral(
                   "%1 was quit in iteration %2 of %3; charts and studies need a run that completed.")
            .arg(runText(entry))
            .arg(entry.iterations)
            .arg(entry.plannedIterations);
    }
    return {};
}

// Message boxes show names as the user typed them, never as markup.
QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& question) {
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& message) {
    QMessageBox box(icon, title, message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString listOf(const std::vector<LibraryEntry>& entries) {
    QString list;
    for (const LibraryEntry& entry : entries) list += QStringLiteral("\n\u2022 ") + runText(entry);
    return list;
}

}  // namespace

RunsDialog::RunsDialog(QWidget* parent, unsigned long long warningBytes)
    : QDialog(parent), warningBytes_(warningBytes) {
    setWindowTitle(QStringLiteral("Runs"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Every run keeps its database in the folder %1/ of the working directory; %2 is "
                       "also the last run's.")
            .arg(QString::fromLatin1(RUN_LIBRARY_FOLDER), QString::fromLatin1(STANDARD_RUN_DATABASE_NAME)),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    table_ = new QTableWidget(0, COLUMN_COUNT, this);
    table_->setObjectName(QStringLiteral("runs"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Scenario"), QStringLiteral("Started"),
                                       QStringLiteral("Iterations \u00d7 plots \u00d7 years"),
                                       QStringLiteral("How it ended")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (const int column : {StartedColumn, SizeColumn, StateColumn})
        table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    layout->addWidget(table_, 1);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("selectionNote"));
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    layout->addWidget(note_);

    auto* actions = new QHBoxLayout;
    charts_ = new QPushButton(QStringLiteral("&Charts"), this);
    rename_ = new QPushButton(QStringLiteral("&Rename..."), this);
    delete_ = new QPushButton(QStringLiteral("&Delete..."), this);
    combine_ = new QPushButton(QStringLiteral("C&ombine..."), this);
    for (QPushButton* button : {charts_, rename_, delete_, combine_}) {
        button->setAutoDefault(false);
        actions->addWidget(button);
    }
    actions->addStretch(1);
    layout->addLayout(actions);

    usage_ = new QLabel(this);
    usage_->setObjectName(QStringLiteral("libraryUsage"));
    layout->addWidget(usage_);
    auto* warningRow = new QHBoxLayout;
    warning_ = new QLabel(this);
    warning_->setObjectName(QStringLiteral("libraryWarning"));
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #8a3b00; font-weight: bold;"));
    warningRow->addWidget(warning_, 1);
    deleteOldest_ = new QPushButton(QStringLiteral("Delete &Oldest Runs..."), this);
    deleteOldest_->setAutoDefault(false);
    warningRow->addWidget(deleteOldest_);
    layout->addLayout(warningRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);

    connect(table_, &QTableWidget::itemSelectionChanged, this, &RunsDialog::selectionChanged);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (charts_->isEnabled()) openCharts();
    });
    connect(charts_, &QPushButton::clicked, this, &RunsDialog::openCharts);
    connect(rename_, &QPushButton::clicked, this, &RunsDialog::renameRun);
    connect(delete_, &QPushButton::clicked, this, &RunsDialog::deleteRuns);
    connect(combine_, &QPushButton::clicked, this, &RunsDialog::combineRuns);
    connect(deleteOldest_, &QPushButton::clicked, this, &RunsDialog::deleteOldestRuns);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { openHelpPage(QStringLiteral("Manual\\Forest_chap7.html"), this); });

    reload();
    resizeWithinScreen(*this, QSize(960, 460));
}

void RunsDialog::setLastRunFailed(bool failed) {
    lastRunFailed_ = failed;
    reload();
}

void RunsDialog::reload() {
    std::vector<LibraryEntry> entries = readRunLibrary(RUN_LIBRARY_FOLDER);
    // Newest first: the run just made is the one most often wanted.
    rows_.assign(entries.rbegin(), entries.rend());
    table_->setRowCount(static_cast<int>(rows_.size()));
    // The run the working directory's database holds is the one Charts shows; after a run that
    // left no complete database it is an earlier run, and named so.
    const std::optional<std::size_t> shown = libraryPositionOf(entries, STANDARD_RUN_DATABASE_NAME);
    const bool earlier = shown && (lastRunFailed_ || *shown + 1 < entries.size());
    const int shownRow = shown ? static_cast<int>(entries.size() - 1 - *shown) : -1;
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        const LibraryEntry& entry = rows_[static_cast<size_t>(row)];
        const QString size = entry.problem.empty() ? QStringLiteral("%1 \u00d7 %2 \u00d7 %3")
                                                         .arg(entry.plannedIterations)
                                                         .arg(entry.plots)
                                                         .arg(entry.years)
                                                   : QString();
        QString state = stateText(entry);
        // Only a completed run is charted: a quit one is the last run, but has no charts.
        if (row == shownRow && entry.completed) {
            state += earlier ? QStringLiteral(" · earlier run, shown by Charts (the last run failed)")
                             : QStringLiteral(" · last run, shown by Charts");
        }
        const QString cells[COLUMN_COUNT] = {nameText(entry), startedText(entry), size, state};
        for (int column = 0; column < COLUMN_COUNT; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(QStringLiteral("%1 (%2)").arg(
                text(RUN_LIBRARY_FOLDER + std::string("/") + entry.fileName), bytesText(entry.bytes)));
            if (column == NameColumn) item->setToolTip(nameText(entry) + QLatin1Char('\n') + item->toolTip());
            if (column == StateColumn && !entry.problem.empty()) item->setToolTip(text(entry.problem));
            table_->setItem(row, column, item);
        }
    }
    if (!rows_.empty()) selectRows({0});
    selectionChanged();
    showUsage();
}

void RunsDialog::showUsage() {
    const std::vector<LibraryEntry> oldestFirst(rows_.rbegin(), rows_.rend());
    const unsigned long long bytes = libraryBytes(oldestFirst);
    usage_->setText(rows_.size() == 1
                        ? QStringLiteral("1 run takes %1 of disk.").arg(bytesText(bytes))
                        : QStringLiteral("%1 runs take %2 of disk.").arg(rows_.size()).arg(bytesText(bytes)));
    const bool over = bytes > warningBytes_ && !oldestRunsBeyond(oldestFirst, warningBytes_).empty();
    warning_->setText(over ? QStringLiteral("The runs take more than %1: delete those you no longer need, "
                                            "or the oldest.")
                                 .arg(bytesText(warningBytes_))
                           : QString());
    warning_->setVisible(over);
    deleteOldest_->setVisible(over);
}

void RunsDialog::selectRows(const std::vector<int>& rows) {
    table_->clearSelection();
    for (const int row : rows) {
        table_->selectionModel()->select(table_->model()->index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (!rows.empty()) table_->setCurrentCell(rows.front(), 0, QItemSelectionModel::NoUpdate);
}

std::vector<int> RunsDialog::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RunsDialog::selectionChanged() {
    const std::vector<int> rows = selectedRows();
    QString chartsWhy, renameWhy, combineWhy;
    if (rows.size() != 1) {
        chartsWhy = QStringLiteral("Select one run to chart it.");
        renameWhy = QStringLiteral("Select one run to rename it.");
    } else {
        const LibraryEntry& entry = rows_[static_cast<size_t>(rows.front())];
        chartsWhy = notChartable(entry);
        if (!entry.problem.empty()) {
            renameWhy = chartsWhy;
        } else if (entry.format == FIRST_RUN_DATABASE_FORMAT) {
            renameWhy = QStringLiteral(
                            "%1 was written by an earlier version of Dravia4: it is named by its "
                            "settings and cannot be renamed.")
                            .arg(runText(entry));
        }
    }
    if (rows.size() < 2) combineWhy = QStringLiteral("Select two or more completed runs to combine them.");
    for (const int row : rows) {
        if (combineWhy.isEmpty()) combineWhy = notChartable(rows_[static_cast<size_t>(row)]);
    }
    const QString deleteWhy = rows.empty() ? QStringLiteral("Select the runs to delete.") : QString();

    const std::pair<QPushButton*, QString> buttons[] = {
        {charts_, chartsWhy}, {rename_, renameWhy}, {combine_, combineWhy}, {delete_, deleteWhy}};
    const QString tips[] = {QStringLiteral("Chart the run"), QStringLiteral("Give the run another name"),
                            QStringLiteral("Write one study database of the runs, to compare them"),
                            QStringLiteral("Delete the runs' databases")};
    QStringList notes;
    for (size_t i = 0; i < std::size(buttons); ++i) {
        const auto& [button, why] = buttons[i];
        button->setEnabled(why.isEmpty());
        button->setToolTip(why.isEmpty() ? tips[i] : why);
    }
    // What a selection of runs cannot do and why; "select..." hints go to the tooltips alone.
    for (const QString& why : {chartsWhy, renameWhy}) {
        if (!why.isEmpty() && !why.startsWith(QStringLiteral("Select")) && !notes.contains(why)) notes << why;
    }
    note_->setText(notes.join(QLatin1Char('\n')));
}

void RunsDialog::openCharts() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1 || !charts_->isEnabled()) return;
    chartsFile_ = QDir::current().absoluteFilePath(text(rows_[static_cast<size_t>(rows.front())].path));
    accept();
}

void RunsDialog::renameRun() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1 || !rename_->isEnabled()) return;
    const LibraryEntry entry = rows_[static_cast<size_t>(rows.front())];
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("Rename Run"),
                              QStringLiteral("Scenario name of the run of %1:").arg(startedText(entry)),
                              QLineEdit::Normal, text(entry.scenario), &ok);
    if (!ok || name.toStdString() == entry.scenario) return;
    const std::string problem = renameLibraryRun(entry.path, name.toStdString());
    if (!problem.empty()) tell(this, QMessageBox::Warning, QStringLiteral("Rename Run"), text(problem));
    reload();
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].path == entry.path) selectRows({static_cast<int>(row)});
    }
}

void RunsDialog::deleteEntries(const std::vector<LibraryEntry>& entries, const QString& title) {
    QStringList problems;
    for (const LibraryEntry& entry : entries) {
        const std::string problem = deleteLibraryRun(entry.path);
        if (!problem.empty()) problems << text(problem);
    }
    if (!problems.isEmpty()) tell(this, QMessageBox::Warning, title, problems.join(QLatin1Char('\n')));
    reload();
}

void RunsDialog::deleteRuns() {
    std::vector<LibraryEntry> chosen;
    for (const int row : selectedRows()) chosen.push_back(rows_[static_cast<size_t>(row)]);
    if (chosen.empty()) return;
    const QString question =
        chosen.size() == 1 ? QStringLiteral("Delete the run %1? Its database %2 is removed for good.")
                                 .arg(runText(chosen.front()),
                                      text(RUN_LIBRARY_FOLDER + std::string("/") + chosen.front().fileName))
                           : QStringLiteral("Delete these %1 runs? Their databases are removed for good.%2")
                                 .arg(chosen.size())
                                 .arg(listOf(chosen));
    if (ask(this, QStringLiteral("Delete Runs"), question) == QMessageBox::Yes)
        deleteEntries(chosen, QStringLiteral("Delete Runs"));
}

void RunsDialog::deleteOldestRuns() {
    const std::vector<LibraryEntry> oldestFirst(rows_.rbegin(), rows_.rend());
    const std::vector<LibraryEntry> oldest = oldestRunsBeyond(oldestFirst, warningBytes_);
    if (oldest.empty()) return;
    const QString question =
        QStringLiteral(
            "Delete the %1 oldest runs (%2), so that the runs take at most %3? Their databases "
            "are removed for good.%4")
            .arg(oldest.size())
            .arg(bytesText(libraryBytes(oldest)), bytesText(warningBytes_), listOf(oldest));
    if (ask(this, QStringLiteral("Delete Oldest Runs"), question) == QMessageBox::Yes)
        deleteEntries(oldest, QStringLiteral("Delete Oldest Runs"));
}

void RunsDialog::combineRuns() {
    std::vector<std::string> inputs;
    for (const int row : selectedRows()) inputs.push_back(rows_[static_cast<size_t>(row)].path);
    if (inputs.size() < 2 || !combine_->isEnabled()) return;
    QFileDialog chooser(this, QStringLiteral("Combine Runs into a Study Database"), QDir::currentPath(),
                        QStringLiteral("Run database (*.sqlite)"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("sqlite"));
    chooser.selectFile(QStringLiteral("study.sqlite"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const QString target = chooser.selectedFiles().front();
    const std::string problem = combineRunDatabases(inputs, target.toStdString());
    if (!problem.empty()) {
        tell(this, QMessageBox::Warning, QStringLiteral("Combine Runs"), text(problem));
        return;
    }
    tell(this, QMessageBox::Information, QStringLiteral("Combine Runs"),
         QStringLiteral("%1 holds the %2 runs, each under its scenario name: one query compares them "
                        "(GROUP BY scenario).")
             .arg(QDir::toNativeSeparators(target))
             .arg(inputs.size()));
}

}  // namespace dravia
