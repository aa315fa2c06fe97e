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

// Shows a manual page (stored name, relative to the working directory, "\" separated) in the
// program's own help window, which always opens: a desktop's viewer may report success without
// showing anything. A missing page is reported with its name as stored. True when it is shown.
bool openHelpPage(const QString& page, QWidget* owner);

// Hands the web documentation to the desktop's browser, the one page that leaves the program.
// Until the project has a public address it is the shipped overview, shown in the help window
// when the desktop cannot open it; an address nothing opens is reported as a help page is.
bool openWebPage(const QString& page, QWidget* owner);

// What asks the desktop to open an address (QDesktopServices::openUrl); tests put their own
// here. Returns the one it replaces.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener setUrlOpener(UrlOpener opener);

}  // namespace dravia
