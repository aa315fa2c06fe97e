#pragma once

#include <QIcon>

namespace dravia {

// The program's icon at the sizes window systems ask for.
QIcon applicationIcon();

}  // namespace dravia
