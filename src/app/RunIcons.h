#pragma once

#include <QIcon>

namespace dravia {

// The pictures of the run commands on the toolbar, painted in code so that they read the same
// on every desktop: the play triangle of Run, the two bars of Pause, bar and triangle of
// Continue, the square of Quit Run, and three bars of Charts.
enum class RunIcon { Run, Pause, Continue, QuitRun, Charts };

QIcon runIcon(RunIcon which);

}  // namespace dravia
