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

QFileInfo manualFile(const QString& page) {
    return QFileInfo(QDir::current(), QString::fromStdString(toLocalPath(page.toStdString())));
}

// The failure box; always false.
bool reportUnopened(const QString& page, QWidget* owner) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                    QString::fromStdString(
                        formatText("Could not open the help file \"%s\".", page.toStdString().c_str())),
                    QMessageBox::Ok, owner);
    box.exec();
    return false;
}

}  // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(urlOpener());
    urlOpener() = std::move(opener);
    return previous;
}

bool openHelpPage(const QString& page, QWidget* owner) {
    const QFileInfo file = manualFile(page);
    if (!file.isFile()) return reportUnopened(page, owner);
    HelpBrowser::showPage(file.absoluteFilePath(), owner);
    return true;
}

bool openWebPage(const QString& page, QWidget* owner) {
    if (page.startsWith(QStringLiteral("http://")) || page.startsWith(QStringLiteral("https://"))) {
        return urlOpener()(QUrl(page)) || reportUnopened(page, owner);
    }
    const QFileInfo file = manualFile(page);
    if (!file.isFile()) return reportUnopened(page, owner);
    if (!urlOpener()(QUrl::fromLocalFile(file.absoluteFilePath())))
        HelpBrowser::showPage(file.absoluteFilePath(), owner);
    return true;
}

}  // namespace dravia
