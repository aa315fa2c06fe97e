#pragma once

// Small hand-made model states and pictures for the display and application tests.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <memory>

#include "model/ModelState.h"
#include "support/ModelWithPlot.h"

namespace dravia::test {

// Parameters and four species, as the start-up load would leave them.
inline void fillDisplayModel(ModelState& m) {
    ModelState* model = &m;
    RunParameters& p = model->params;
    p.SCREEN_OUTPUT_MODE = 1;
    p.WIDTH = 50;
    p.DEPTH = 30;
    p.SLANT = 20.0;
    p.HT_MAX = 2500.0;
    p.BASE_YEAR = 1990;
    p.COMMUNITY = 1;
    p.HABITAT[1] = "Eastern Deciduous Forest";
    p.WTHR_TYPE = 0;
    p.WTHR_TYPES = {"NORMAL", "GLOBAL WARMING"};
    p.NUM_YEARS = 100;
    p.NUM_ITERS = 2;
    p.PRINT_INTERV = 10;
    p.GRAPH_INTVL = 1;
    model->run.RANDOM_STATE = 12345.0;
    model->run.CURRENT_YEAR = 7;
    model->run.CURRENT_ITERATION = 1;
    const char* names[] = {"", "Sugar Maple", "Red Spruce", "Yellow Birch", "Balsam Fir"};
    for (int sn = 1; sn <= 4; ++sn) {
        Species& s = model->species[static_cast<size_t>(sn)];
        s.NAME = names[sn];
        s.HMAX = 3000.0;
        s.DMAX = 100.0;
        s.crownShape = sn % 2;  // 1 and 3 oval, 2 and 4 triangle
        s.colourIndex = sn + 1;
        s.SMALL_BITMAP = "NONE";
        s.LARGE_BITMAP = "NONE";
    }
    model->NSPP = 4;
}

inline std::unique_ptr<ModelState> makeDisplayModel() {
    auto model = std::make_unique<ModelState>();
    fillDisplayModel(*model);
    return model;
}

// A plot of `count` trees, tallest first, cycling through species 1 to 4.
inline Plot& addPlot(ModelState& model, int count, int plotNumber = 1) {
    Plot& plot = model.plots.emplace_back();
    plot.PLOT_NO = plotNumber;
    for (int i = 0; i < count; ++i) {
        const double height = 2400.0 - i * (2000.0 / std::max(count, 1));
        plantTree(plot, makeTree(i % 4 + 1, 5.0 + height / 60.0, height));
    }
    return plot;
}

// A one-colour picture with pure white corner pixels.
inline std::shared_ptr<const TreeBitmap> solidBitmap(int width, int height, TreeBitmap::Rgb colour,
                                                     bool whiteCorners = true) {
    std::vector<TreeBitmap::Rgb> pixels(static_cast<size_t>(width * height), colour);
    if (whiteCorners) {
        const TreeBitmap::Rgb white{255, 255, 255};
        pixels[0] = white;
        pixels[static_cast<size_t>(width - 1)] = white;
        pixels[static_cast<size_t>((height - 1) * width)] = white;
        pixels[static_cast<size_t>(height * width - 1)] = white;
    }
    return std::make_shared<const TreeBitmap>(width, height, std::move(pixels));
}

// A picture as a tree bitmap (24-bit colours, top row first).
inline std::shared_ptr<const TreeBitmap> bitmapFromImage(const QImage& image) {
    std::vector<TreeBitmap::Rgb> pixels;
    pixels.reserve(static_cast<size_t>(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            pixels.push_back({static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                              static_cast<std::uint8_t>(qBlue(p))});
        }
    }
    return std::make_shared<const TreeBitmap>(image.width(), image.height(), std::move(pixels));
}

// Test artefacts (pictures for a person to look at) go beside the test programs; those of a run
// at another screen scale in a folder of their own, so that neither replaces the other.
inline QString artefactPath(const QString& name) {
    QDir directory(QCoreApplication::applicationDirPath());
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
    const QString folder = scale.isEmpty() || scale == QStringLiteral("1")
                               ? QStringLiteral("artefacts")
                               : QStringLiteral("artefacts/scale-") + scale;
    directory.mkpath(folder);
    return directory.filePath(folder + QStringLiteral("/") + name);
}

}  // namespace dravia::test
