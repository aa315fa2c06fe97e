#include "app/HelpPages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

bool openHelpPage(const QString& page, QWidget* owner) {
    bool opened = false;
    if (page.startsWith(QStringLiteral("http://")) || page.startsWith(QStringLiteral("https://"))) {
        opened = QDesktopServices::openUrl(QUrl(page));
    } else {
        const QFileInfo file(QDir::current(), QString::fromStdString(toLocalPath(page.toStdString())));
        // A viewer would start and then complain on its own; a missing page is reported here.
        opened = file.isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    }
    if (!opened) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                        QString::fromStdString(
                            formatText("Could not open the help file \"%s\".", page.toStdString().c_str())),
                        QMessageBox::Ok, owner);
        box.exec();
    }
    return opened;
}

}  // namespace dravia
