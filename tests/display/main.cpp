// The display tests paint with Qt, which needs an application object; without a display they
// use the off-screen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("Dravia4"));
    QApplication::setApplicationName(QStringLiteral("Dravia4"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
