#include "app/AppIcon.h"

#include <QPixmap>

#include "display/ForestPictures.h"

namespace dravia {

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(applicationIconImage(size)));
    return icon;
}

}  // namespace dravia
