#include "display/GraphicsImage.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <array>

#include "display/DisplayNames.h"
#include "display/DisplayPalette.h"
#include "display/RunStatus.h"
#include "display/TextBlock.h"
#include "display/TreeDrawing.h"
#include "platform/Format.h"

namespace dravia {

namespace {

template <size_t N>
std::string entryOrEmpty(const std::array<std::string, N>& entries, int index) {
    if (index < 0 || static_cast<size_t>(index) >= N) return {};
    return entries[static_cast<size_t>(index)];
}

// The legend's names stand out on the background in one colour; their marks carry the species'.
const QColor LEGEND_TEXT(255, 255, 255);

// A view this many pixels high shows the text at one pixel a line more.
constexpr int VIEW_HEIGHT_PER_TEXT_PIXEL = 36;

}  // namespace

QString disturbanceNote(const RunParameters& params, bool disturbedThisYear) {
    if (!disturbedThisYear) return {};
    if (params.BLOW_PROB == 0.0) {
        return QString::fromStdString(formatText("Plot was logged to a minimum diameter of %4.1f cm\n",
                                                 params.MIN_DIAM_TO_KILL_FOR_LOGGING));
    }
    return QString::fromStdString(formatText("Windthrow killed trees to a minimum diamter of %4.1f cm\n",
                                             params.MIN_DIAM_TO_KILL_FOR_WINDTHROW));
}

QString legendHeader(const ModelState& model, bool disturbedThisYear) {
    const RunParameters& p = model.params;
    const QString habitat = QString::fromStdString(entryOrEmpty(p.HABITAT, p.COMMUNITY));
    QString progress = runProgressText(model);
    if (progress.isEmpty()) progress = QStringLiteral("year %1").arg(p.BASE_YEAR + model.run.CURRENT_YEAR);
    progress[0] = progress[0].toUpper();
    return QStringLiteral("Habitat: %1\nWeather: %2\n%3\n%4Tree Legend:")
        .arg(habitat, climatePresetOf(p, p.WTHR_TYPE), progress, disturbanceNote(p, disturbedThisYear));
}

std::vector<int> legendSpecies(const ModelState& model) {
    std::array<bool, MAX_SPECIES + 1> present{};
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
        const Tree* tree = model.displaySlots[static_cast<size_t>(k)].tree;
        if (tree && tree->SN >= 1 && tree->SN <= MAX_SPECIES) present[static_cast<size_t>(tree->SN)] = true;
    }
    std::vector<int> species;
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        if (present[static_cast<size_t>(sn)]) species.push_back(sn);
    }
    return species;
}

QString legendLine(const Species& species) {
    return speciesDisplayName(species.NAME);
}

QFont viewTextFont(const QFont& base, int ch) {
    QFont font = base;
    const int basePixels = QFontInfo(base).pixelSize();
    font.setPixelSize(std::max(basePixels, ch / VIEW_HEIGHT_PER_TEXT_PIXEL));
    return font;
}

void drawGraphicsImage(QPainter& painter, ModelState& model, Plot& plot, const PlotGeometry& g,
                       const DrawOrder& drawOrder, bool disturbedThisYear) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    const QPolygon outline({QPoint(g.left, g.frontY), QPoint(g.frontRightX, g.frontY),
                            QPoint(g.backRightX, g.backY), QPoint(g.backLeftX, g.backY)});
    painter.drawPolygon(outline);

    assignSlots(model, plot);
    const std::vector<int> legend = legendSpecies(model);

    for (const int k : drawOrder) {
        const DisplaySlot& slot = model.displaySlots[static_cast<size_t>(k)];
        if (!slot.tree) continue;
        const int sn = slot.tree->SN;
        if (sn < 1 || sn > MAX_SPECIES) continue;
        drawTree(painter, *slot.tree, model.species[static_cast<size_t>(sn)], model.params, slot.x, slot.y,
                 g.viewWidth, g.viewHeight);
    }

    const QString header = legendHeader(model, disturbedThisYear);
    const QFontMetrics metrics = painter.fontMetrics();
    const QSize headerSize = measureText(metrics, header);
    drawTextLines(painter, header, QPoint(0, 0), Qt::black);
    // Each line: the species' mark, as tall as one and a half lines of text, then its name.
    const int lineHeight = metrics.height() * 3 / 2;
    const int markWidth = lineHeight;
    int top = headerSize.height() + metrics.height() / 4;
    for (const int sn : legend) {
        const Species& species = model.species[static_cast<size_t>(sn)];
        drawSpeciesMark(painter, species, QRect(10, top, markWidth, lineHeight));
        drawTextLines(
            painter, legendLine(species),
            QPoint(10 + markWidth + metrics.averageCharWidth(), top + (lineHeight - metrics.height()) / 2),
            LEGEND_TEXT);
        top += lineHeight;
    }
    painter.restore();
}

}  // namespace dravia
