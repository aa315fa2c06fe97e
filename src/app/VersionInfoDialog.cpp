#include "app/VersionInfoDialog.h"

#include <QAction>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "display/ForestPictures.h"

namespace dravia {

namespace {

// The tree picture with its white ground made transparent.
QPixmap transparentTreePixmap() {
    QImage image = versionTreePicture().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == 0x00FFFFFF) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QToolButton* pictureButton(const QPixmap& picture, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.size());
    button->setFixedSize(picture.width() + 12, picture.height() + 12);
    button->setFocusPolicy(Qt::NoFocus);  // a picture only: pressing it does nothing
    return button;
}

}  // namespace

VersionInfoDialog::VersionInfoDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dravia4"));
    setWindowIcon(applicationIcon());

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("DRAVIA-4: A MODEL OF FOREST GROWTH"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignHCenter);
    layout->addWidget(heading);

    auto* version = new QLabel(QStringLiteral("DRAVIA-4  Version 4.00 beta"), this);
    version->setAlignment(Qt::AlignHCenter);
    layout->addWidget(version);

    const QPixmap tree = transparentTreePixmap();
    auto* middle = new QHBoxLayout;
    middle->addWidget(pictureButton(tree, this));
    auto* credits = new QLabel(QStringLiteral("An individual-tree gap model of forest growth:\n"
                                              "birth, growth and death of every tree on small plots,\n"
                                              "year by year, under the plot's weather and soil.\n\n"
                                              "Written by the Dravia4 project,\n"
                                              "with its own plot display and tree pictures."),
                               this);
    credits->setAlignment(Qt::AlignCenter);
    middle->addWidget(credits, 1);
    middle->addWidget(pictureButton(tree, this));
    layout->addLayout(middle);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    about_ = new QAction(QStringLiteral("&About Dravia4..."), this);
    connect(about_, &QAction::triggered, this, &VersionInfoDialog::showAbout);
    addAction(about_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void VersionInfoDialog::showAbout() {
    AboutDialog about(this);
    about.exec();
}

}  // namespace dravia
