#include <QApplication>
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

Arguments parseArguments(const QStringList& arguments) {
    Arguments parsed;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--workdir") && i + 1 < arguments.size()) {
            parsed.workdir = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--workdir="))) {
            parsed.workdir = argument.mid(10);
        } else if (argument == QLatin1String("--write-icon") && i + 1 < arguments.size()) {
            parsed.iconFile = arguments[++i];
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.help = true;
        } else {
            parsed.valid = false;
        }
    }
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
