#pragma once

#include <QString>
#include <QStringList>

namespace dravia {

// Where the program reads Data/ and writes its results. Given --workdir, that directory; else
// the current directory when it holds Data/ (started from a data directory); else a per-user
// directory, filled on first start with copies of the installed Data/ and Manual/, so that a
// start from the desktop menu finds its files. Empty with a reason in `error` on failure.
QString chooseWorkingDirectory(const QString& requested, const QString& current, const QString& userDirectory,
                               const QStringList& installedShareDirectories, QString* error);

// The per-user directory and the places the installed Data/ may be found.
QString defaultUserDirectory();
QStringList installedShareDirectories();

// Copies a directory tree; false when something could not be copied.
bool copyDirectoryTree(const QString& from, const QString& to);

}  // namespace dravia
