#include "app/HelpBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppIcon.h"
#include "app/WindowPlacement.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// The help window of a program without an owner window (tests, or before the main window).
QPointer<HelpBrowser> ownerlessBrowser;

QToolButton* navigationButton(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

HelpBrowser::HelpBrowser(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("helpBrowser"));
    setWindowIcon(applicationIcon());
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    back_ = navigationButton(QStringLiteral("< &Back"), this);
    forward_ = navigationButton(QStringLiteral("&Forward >"), this);
    auto* overview = navigationButton(QStringLiteral("&Overview"), this);
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(overview);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    browser_ = new QTextBrowser(this);
    // Addresses on the web go to whatever the desktop has; pages of the manual stay here.
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_, 1);
    resizeWithinScreen(*this, QSize(760, 600));

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(overview, &QToolButton::clicked, this, [this] {
        const QString page = QString::fromStdString(toLocalPath("Manual\\dravia3_overview.htm"));
        setPage(QFileInfo(QDir::current(), page).absoluteFilePath());
    });
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpBrowser::updateTitle);
}

HelpBrowser* HelpBrowser::showPage(const QString& localFile, QWidget* owner) {
    HelpBrowser* window =
        owner ? owner->findChild<HelpBrowser*>(QStringLiteral("helpBrowser"), Qt::FindDirectChildrenOnly)
              : ownerlessBrowser.data();
    if (!window) {
        window = new HelpBrowser(owner);
        if (!owner) {
            window->setAttribute(Qt::WA_DeleteOnClose);
            ownerlessBrowser = window;
        }
    }
    window->setPage(localFile);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpBrowser::setPage(const QString& localFile) {
    browser_->setSource(QUrl::fromLocalFile(localFile));
}

void HelpBrowser::updateTitle() {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Dravia4 Help")
                                   : QStringLiteral("Dravia4 Help - %1").arg(title));
}

}  // namespace dravia
