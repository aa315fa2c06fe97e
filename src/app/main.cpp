#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QStringList>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <optional>

#include "app/AppIcon.h"
#include "app/ComparisonCharts.h"
#include "app/MainWnd.h"
#include "app/RunCharts.h"
#include "app/VersionInfoDialog.h"
#include "app/WorkingDirectory.h"
#include "display/ForestPictures.h"
#include "platform/ProgramExit.h"
#include "platform/TemporaryFiles.h"

namespace {

constexpr const char* USAGE =
    "Usage: dravia4 [--workdir DIR]\n"
    "       dravia4 --charts RUN.sqlite --out DIR [--year Y]\n"
    "       dravia4 --compare A.sqlite B.sqlite [C.sqlite D.sqlite] --out DIR [--species NAME]\n"
    "  --workdir DIR  read Data/ and write the results files in DIR\n"
    "  --charts FILE  write the charts of the run database FILE, without a window: NAME.png\n"
    "                 (1200 x 800) and NAME.svg for basal-area, biomass, stems, totals,\n"
    "                 composition and diameters\n"
    "  --out DIR      the directory the charts go to (made when missing)\n"
    "  --year Y       the recorded year of the diameter classes (default: the last one)\n"
    "  --compare A B  compare the runs of two to four run databases, without a window: each\n"
    "                 scenario's stand total and one species (compare-*.png, .svg, .csv) and\n"
    "                 each one's difference from A with its 95 % interval (difference-*)\n"
    "  --species NAME the species compared (default: the one with most basal area in A)\n";

struct Arguments {
    QString workdir;
    QString iconFile;  // writes the program's icon as a PNG file and ends (for installing it)
    QString chartsDatabase;
    QString chartsDirectory;
    std::optional<int> chartsYear;
    QStringList compareDatabases;
    std::optional<QString> compareSpecies;
    bool help = false;
    bool valid = true;
};

// Our own usage text and exit statuses stand for help and for a command line that is wrong; the
// parser only takes the line apart, so options are added here in one place.
Arguments parseArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption workdir(QStringLiteral("workdir"), QString(), QStringLiteral("DIR"));
    QCommandLineOption writeIcon(QStringLiteral("write-icon"), QString(), QStringLiteral("FILE"));
    writeIcon.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption charts(QStringLiteral("charts"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption year(QStringLiteral("year"), QString(), QStringLiteral("Y"));
    const QCommandLineOption compare(QStringLiteral("compare"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption species(QStringLiteral("species"), QString(), QStringLiteral("NAME"));
    parser.addOptions({workdir, writeIcon, help, charts, out, year, compare, species});

    Arguments parsed;
    parsed.valid = parser.parse(arguments) && !arguments.mid(1).contains(QStringLiteral("--"));
    if (!parsed.valid) return parsed;
    if (parser.isSet(compare)) {
        // The comparison stands alone: two to four databases (the first after --compare), where
        // its charts go and perhaps the species.
        parsed.compareDatabases = QStringList{parser.value(compare)} + parser.positionalArguments();
        parsed.chartsDirectory = parser.value(out);
        if (parser.isSet(species)) parsed.compareSpecies = parser.value(species);
        parsed.valid = parsed.compareDatabases.size() >= 2 &&
                       parsed.compareDatabases.size() <= static_cast<qsizetype>(dravia::MOST_COMPARED_RUNS) &&
                       !parsed.compareDatabases.contains(QString()) && !parsed.chartsDirectory.isEmpty() &&
                       parser.values(compare).size() == 1 && !parser.isSet(charts) && !parser.isSet(year) &&
                       !parser.isSet(workdir) && !parser.isSet(writeIcon) && !parser.isSet(help);
        return parsed;
    }
    // Otherwise nothing but options: no file names.
    parsed.valid = parser.positionalArguments().isEmpty() && !parser.isSet(species);
    if (!parsed.valid) return parsed;
    parsed.workdir = parser.value(workdir);
    parsed.iconFile = parser.value(writeIcon);
    parsed.help = parser.isSet(help);
    if (!parser.isSet(charts)) {
        parsed.valid = !parser.isSet(out) && !parser.isSet(year);
        return parsed;
    }
    // The charts command stands alone: a database, where the charts go and perhaps the year.
    parsed.chartsDatabase = parser.value(charts);
    parsed.chartsDirectory = parser.value(out);
    parsed.valid = !parsed.chartsDatabase.isEmpty() && !parsed.chartsDirectory.isEmpty() &&
                   !parser.isSet(workdir) && !parser.isSet(writeIcon);
    if (parser.isSet(year)) {
        bool number = false;
        parsed.chartsYear = parser.value(year).toInt(&number);
        parsed.valid = parsed.valid && number;
    }
    return parsed;
}

// The charts and comparison commands draw without a display, wherever it runs.
bool chartsCommandAsked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--charts" || argument.startsWith("--charts=") || argument == "--compare" ||
            argument.startsWith("--compare="))
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // A write past a file-size limit fails with EFBIG and is reported, instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    dravia::removeTemporaryFilesOnInterrupt();
    if (chartsCommandAsked(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Qt takes the numeric locale from the environment; the files need "C".
    std::setlocale(LC_NUMERIC, "C");
    // The settings store of the window placement.
    QApplication::setOrganizationName(QStringLiteral("Dravia4"));
    QApplication::setApplicationName(QStringLiteral("Dravia4"));

    const Arguments arguments = parseArguments(QApplication::arguments());
    if (arguments.help || !arguments.valid) {
        std::fputs(USAGE, arguments.valid ? stdout : stderr);
        return arguments.valid ? dravia::EXIT_NORMAL : dravia::EXIT_USAGE;
    }
    if (!arguments.compareDatabases.isEmpty()) {
        return dravia::writeComparisonCharts(arguments.compareDatabases, arguments.chartsDirectory,
                                             arguments.compareSpecies);
    }
    if (!arguments.chartsDatabase.isEmpty()) {
        return dravia::writeRunCharts(arguments.chartsDatabase, arguments.chartsDirectory,
                                      arguments.chartsYear);
    }
    if (!arguments.iconFile.isEmpty()) {
        return dravia::applicationIconImage(256).save(arguments.iconFile, "PNG") ? dravia::EXIT_NORMAL
                                                                                 : dravia::EXIT_FATAL_ERROR;
    }

    QString error;
    const QString workdir =
        dravia::chooseWorkingDirectory(arguments.workdir, QDir::currentPath(), dravia::defaultUserDirectory(),
                                       dravia::installedShareDirectories(), &error);
    if (workdir.isEmpty() || !QDir::setCurrent(workdir)) {
        std::fprintf(stderr, "dravia4: %s\n", qPrintable(error.isEmpty() ? workdir : error));
        return dravia::EXIT_USAGE;
    }
    QApplication::setWindowIcon(dravia::applicationIcon());

    try {
        {
            // The opening box; start-up goes on however it is closed.
            dravia::VersionInfoDialog opening;
            opening.exec();
        }
        dravia::MainWnd window;
        window.restorePlacement();
        return QApplication::exec();
    } catch (const dravia::ProgramExit& exit) {
        return exit.status;
    }
}
