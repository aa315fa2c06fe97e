#pragma once

#include <QString>
#include <QWidget>

namespace dravia {

// The manual pages as stored (relative to the working directory, "\" separated) and the web copy.
inline constexpr const char* WEB_DOCUMENTATION_URL =
    "https://dravia4.example.org/services/dravia3HelpFiles/dravia3_overview.htm";

// Hands a manual page or web address to the desktop's default viewer; a failure is reported
// with the page's name as stored. True when the desktop took it.
bool openHelpPage(const QString& page, QWidget* owner);

}  // namespace dravia
