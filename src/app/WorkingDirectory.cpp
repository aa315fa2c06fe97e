#include "app/WorkingDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace dravia {

namespace {

bool holdsData(const QString& directory) {
    return QFileInfo(QDir(directory).filePath(QStringLiteral("Data"))).isDir();
}

}  // namespace

bool copyDirectoryTree(const QString& from, const QString& to) {
    const QDir source(from);
    if (!source.exists() || !QDir().mkpath(to)) return false;
    bool ok = true;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(source.relativeFilePath(path));
        if (it.fileInfo().isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else if (!QFileInfo::exists(target)) {
            ok = QFile::copy(path, target) && ok;
            // Installed files may be read-only; the user's copies are theirs to edit.
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
        }
    }
    return ok;
}

QString chooseWorkingDirectory(const QString& requested, const QString& current, const QString& userDirectory,
                               const QStringList& installedShareDirectories, QString* error) {
    if (!requested.isEmpty()) {
        if (!QFileInfo(requested).isDir()) {
            if (error) *error = QStringLiteral("The working directory \"%1\" does not exist.").arg(requested);
            return {};
        }
        return QDir(requested).absolutePath();
    }
    if (holdsData(current)) return QDir(current).absolutePath();
    if (holdsData(userDirectory)) return QDir(userDirectory).absolutePath();
    for (const QString& share : installedShareDirectories) {
        if (!holdsData(share)) continue;
        const QDir shareDir(share);
        const bool copied = copyDirectoryTree(shareDir.filePath(QStringLiteral("Data")),
                                              QDir(userDirectory).filePath(QStringLiteral("Data")));
        if (QFileInfo(shareDir.filePath(QStringLiteral("Manual"))).isDir()) {
            copyDirectoryTree(shareDir.filePath(QStringLiteral("Manual")),
                              QDir(userDirectory).filePath(QStringLiteral("Manual")));
        }
        if (!copied) {
            if (error) *error = QStringLiteral("Cannot copy the data files into \"%1\".").arg(userDirectory);
            return {};
        }
        return QDir(userDirectory).absolutePath();
    }
    // No data anywhere: stay where we are, and the start-up load says which file is missing.
    return QDir(current).absolutePath();
}

QString defaultUserDirectory() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Dravia4"));
}

QStringList installedShareDirectories() {
    QStringList directories;
    directories << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/dravia4"));
#ifdef DRAVIA_INSTALLED_SHARE_DIR
    directories << QStringLiteral(DRAVIA_INSTALLED_SHARE_DIR);
#endif
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        directories << QDir(data).filePath(QStringLiteral("dravia4"));
    }
    return directories;
}

}  // namespace dravia
