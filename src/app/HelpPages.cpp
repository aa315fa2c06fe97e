#include "app/HelpPages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "app/HelpBrowser.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

UrlOpener& urlOpener() {
    static UrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

}  // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(urlOpener());
    urlOpener() = std::move(opener);
    return previous;
}

bool openHelpPage(const QString& page, QWidget* owner) {
    bool opened = false;
    if (page.startsWith(QStringLiteral("http://")) || page.startsWith(QStringLiteral("https://"))) {
        opened = urlOpener()(QUrl(page));
    } else {
        const QFileInfo file(QDir::current(), QString::fromStdString(toLocalPath(page.toStdString())));
        // A viewer would start and then complain on its own; a missing page is reported here.
        if (file.isFile()) {
            // A fresh desktop may have no program for HTML: the manual is then read here.
            opened = urlOpener()(QUrl::fromLocalFile(file.absoluteFilePath()));
            if (!opened) {
                HelpBrowser::showPage(file.absoluteFilePath(), owner);
                opened = true;
            }
        }
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
