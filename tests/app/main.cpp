// The application tests open windows with Qt, which needs an application object; without a
// display they use the off-screen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window placement tests write settings: never into the user's own.
    const QByteArray configHome = QDir::tempPath().toLocal8Bit() + "/dravia4-app-tests-config";
    setenv("XDG_CONFIG_HOME", configHome.constData(), 1);
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("Dravia4"));
    QApplication::setApplicationName(QStringLiteral("Dravia4"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
