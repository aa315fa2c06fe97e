#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>

namespace dravia {

// The web documentation item opens the overview page of the manual shipped with the program
// until the project has a public address for it.
inline constexpr const char* WEB_DOCUMENTATION_PAGE = "Manual\\dravia3_overview.htm";
inline constexpr const char* WEB_DOCUMENTATION_TIP =
    "The project has no public web address yet: this opens the overview page of the manual "
    "shipped with the program.";

// Hands a manual page (stored name, relative to the working directory, "\" separated) or a web
// address to the desktop's default viewer. A manual page the desktop cannot open (no program
// for HTML) is shown in the program's own help window instead; a missing page, or a web
// address nothing opens, is reported with its name as stored. True when the page is shown.
bool openHelpPage(const QString& page, QWidget* owner);

// What asks the desktop to open an address (QDesktopServices::openUrl); tests put their own
// here. Returns the one it replaces.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener setUrlOpener(UrlOpener opener);

}  // namespace dravia
