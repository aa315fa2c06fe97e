#include "display/RunStatus.h"

#include "display/DisplayNames.h"

namespace dravia {

namespace {

const QString SEPARATOR = QStringLiteral(" · ");

}  // namespace

QString runProgressText(const ModelState& model) {
    const RunFlags& flags = model.run.flags;
    if (!flags.run_started) return {};
    const RunParameters& p = model.params;
    const RunState& run = model.run;
    QString text = QStringLiteral("iteration %1 of %2").arg(run.CURRENT_ITERATION).arg(p.NUM_ITERS) +
                   SEPARATOR +
                   QStringLiteral("year %1 of %2 (%3)")
                       .arg(run.CURRENT_YEAR)
                       .arg(p.NUM_YEARS)
                       .arg(p.BASE_YEAR + run.CURRENT_YEAR);
    // Quit while paused, the run still owes its one more year after Continue: still paused.
    if (flags.paused) {
        text += SEPARATOR + QStringLiteral("paused");
    } else if (!flags.running) {
        text += SEPARATOR + QStringLiteral("run ended");
    }
    return text;
}

QString runStatusText(const ModelState& model) {
    const QString progress = runProgressText(model);
    const QString scenario = scenarioName(model);
    return progress.isEmpty() ? scenario : scenario + SEPARATOR + progress;
}

}  // namespace dravia
