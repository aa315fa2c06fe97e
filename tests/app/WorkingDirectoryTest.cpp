#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/WorkingDirectory.h"

namespace dravia {
namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class WorkingDirectoryChoice : public ::testing::Test {
  protected:
    QTemporaryDir root;
    QString path(const QString& relative) const { return root.filePath(relative); }
};

TEST_F(WorkingDirectoryChoice, GivenDirectoryWins) {
    QDir().mkpath(path("chosen"));
    QDir().mkpath(path("here/Data"));
    EXPECT_EQ(chooseWorkingDirectory(path("chosen"), path("here"), path("user"), {}, nullptr),
              path("chosen"));
    QString error;
    EXPECT_TRUE(chooseWorkingDirectory(path("missing"), path("here"), path("user"), {}, &error).isEmpty());
    EXPECT_TRUE(error.contains("missing"));
}

TEST_F(WorkingDirectoryChoice, CurrentDirectoryWithDataIsUsed) {
    QDir().mkpath(path("here/Data"));
    EXPECT_EQ(chooseWorkingDirectory(QString(), path("here"), path("user"), {path("share")}, nullptr),
              path("here"));
}

TEST_F(WorkingDirectoryChoice, FirstStartFromTheDesktopCopiesTheInstalledFilesOnce) {
    QDir().mkpath(path("home"));
    writeFile(path("share/Data/initParams.txt"), "SEED_INIT 1\n");
    writeFile(path("share/Data/sub/tree.bmp"), "BM");
    writeFile(path("share/Manual/Forest.html"), "<html></html>");
    const QString chosen = chooseWorkingDirectory(QString(), path("home"), path("user"),
                                                  {path("nowhere"), path("share")}, nullptr);
    EXPECT_EQ(chosen, path("user"));
    EXPECT_TRUE(QFileInfo::exists(path("user/Data/initParams.txt")));
    EXPECT_TRUE(QFileInfo::exists(path("user/Data/sub/tree.bmp")));
    EXPECT_TRUE(QFileInfo::exists(path("user/Manual/Forest.html")));

    // The user's edits survive the next start: nothing is copied over them.
    writeFile(path("user/Data/initParams.txt"), "SEED_INIT 2\n");
    EXPECT_EQ(chooseWorkingDirectory(QString(), path("home"), path("user"), {path("share")}, nullptr),
              path("user"));
    QFile kept(path("user/Data/initParams.txt"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("SEED_INIT 2\n"));
}

TEST_F(WorkingDirectoryChoice, NoDataAnywhereStaysInTheCurrentDirectory) {
    QDir().mkpath(path("home"));
    EXPECT_EQ(chooseWorkingDirectory(QString(), path("home"), path("user"), {path("share")}, nullptr),
              path("home"));
    EXPECT_FALSE(QFileInfo::exists(path("user")));
}

}  // namespace
}  // namespace dravia
