#include "display/GraphicsImage.h"

#include <QFontMetrics>
#include <QPolygon>
#include <array>

#include "display/DisplayPalette.h"
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

bool hasBitmap(const Species& species) {
    return species.smallBitmap || species.largeBitmap;
}

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
    const std::string habitat = entryOrEmpty(p.HABITAT, p.COMMUNITY);
    const std::string weather = entryOrEmpty(p.WTHR_TYPES, p.WTHR_TYPE);
    const std::string note = disturbanceNote(p, disturbedThisYear).toStdString();
    return QString::fromStdString(
        formatText("Habitat: %s\nWeather: %s\nYear: %d\n%sTree Legend:", habitat.c_str(), weather.c_str(),
                   p.BASE_YEAR + model.run.CURRENT_YEAR, note.c_str()));
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
    QString line = QString::fromStdString(species.NAME);
    if (hasBitmap(species)) line += QStringLiteral(" (bitmap)");
    return line;
}

QColor legendColour(const Species& species) {
    return hasBitmap(species) ? QColor(255, 255, 255) : paletteColour(species.colourIndex);
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
    int top = headerSize.height();
    for (const int sn : legend) {
        const Species& species = model.species[static_cast<size_t>(sn)];
        const QString line = legendLine(species);
        drawTextLines(painter, line, QPoint(10, top), legendColour(species));
        top += measureText(metrics, line).height();
    }
    painter.restore();
}

}  // namespace dravia
