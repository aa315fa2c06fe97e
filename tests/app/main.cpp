// The application tests open windows with Qt, which needs an application object; without a
// display they use the off-screen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window placement tests write settings: never into the user's own, and never into
    // those of another test process running at the same time.
    QTemporaryDir configHome(QDir::tempPath() + QStringLiteral("/dravia4-app-tests-config-XXXXXX"));
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("Dravia4"));
    QApplication::setApplicationName(QStringLiteral("Dravia4"));
    // Runs in the window go as fast as they can unless a test chooses a pace (a fresh install
    // watches at 20 years per second; the tests of that remove this setting).
    QSettings().setValue(QStringLiteral("Settings/YearsPerSecond"), 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
