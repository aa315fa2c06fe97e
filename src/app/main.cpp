#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QStringList>
#include <clocale>
#include <cstdio>

#include "app/AppIcon.h"
#include "app/MainWnd.h"
#include "app/VersionInfoDialog.h"
#include "app/WorkingDirectory.h"
#include "display/ForestPictures.h"
#include "platform/ProgramExit.h"

namespace {

constexpr const char* USAGE =
    "Usage: dravia4 [--workdir DIR]\n"
    "  --workdir DIR  read Data/ and write the results files in DIR\n";

struct Arguments {
    QString workdir;
    QString iconFile;  // writes the program's icon as a PNG file and ends (for installing it)
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
    parser.addOptions({workdir, writeIcon, help});

    Arguments parsed;
    // Nothing but options: no file names, and no "--" before them either.
    parsed.valid = parser.parse(arguments) && parser.positionalArguments().isEmpty() &&
                   !arguments.mid(1).contains(QStringLiteral("--"));
    if (!parsed.valid) return parsed;
    parsed.workdir = parser.value(workdir);
    parsed.iconFile = parser.value(writeIcon);
    parsed.help = parser.isSet(help);
    return parsed;
}

}  // namespace

int main(int argc, char** argv) {
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
