#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <set>

#include "display/DisplayPalette.h"
#include "display/ForestPictures.h"
#include "display/GraphicsImage.h"
#include "display/PlotView.h"
#include "display/TestForest.h"
#include "display/TextBlock.h"
#include "display/TreeDrawing.h"

namespace dravia {
namespace {

const QRgb BACKGROUND = qRgb(112, 136, 160);

// A plot view of cw by ch showing the graphics image of a plot with exactly the given trees,
// the first of them standing at (x, y).
class GraphicsView {
  public:
    GraphicsView(int cw, int ch) : model(test::makeDisplayModel()), view(*model) {
        // A narrow plot at the right keeps its outline out of the columns the tests look at.
        model->params.WIDTH = 10;
        view.resize(cw, ch);
        view.applyLayout(QRect(0, 0, cw, ch));
        model->run.flags.run_started = true;
        model->plots.emplace_back().PLOT_NO = 1;
    }
    Tree& addTree(int sn, double dbh, double height) {
        return test::plantTree(model->plots.front(), test::makeTree(sn, dbh, height));
    }
    // Puts every slot far off to the right so only the chosen ones matter, then slot 1 at (x, y).
    void placeFirstSlot(int x, int y) {
        for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
            model->displaySlots[static_cast<size_t>(k)].x = 10000;
            model->displaySlots[static_cast<size_t>(k)].y = 10000;
        }
        model->displaySlots[1].x = x;
        model->displaySlots[1].y = y;
    }
    QImage render() { return view.renderImage(); }

    std::unique_ptr<ModelState> model;
    PlotView view;
};

// Rows of column x whose colour differs from the background, in [from, to).
int paintedRowsInColumn(const QImage& image, int x, int from, int to) {
    int rows = 0;
    for (int y = from; y < to; ++y) rows += image.pixel(x, y) != BACKGROUND ? 1 : 0;
    return rows;
}

TEST(TreeSize, TallestTreeIsAFifthOfTheViewAndWidthFollowsTheStem) {
    const DrawnTreeSize size = drawnTreeSize(test::makeTree(1, 50.0, 2500.0), 2500.0, 700, 500);
    EXPECT_EQ(size.height, 100);
    EXPECT_EQ(size.halfWidth, 39);  // trunc(1.4 x 0.02 x 100 x 14) = trunc(39.2)
    // ch / 5 is an integer division: a 504-pixel view still scales to 100.
    EXPECT_EQ(drawnTreeSize(test::makeTree(1, 50.0, 1250.0), 2500.0, 700, 504).height, 50);
}

TEST(TreeSize, SmallTreesKeepAMinimumSize) {
    const DrawnTreeSize seedling = drawnTreeSize(test::makeTree(1, 0.5, 140.0), 2500.0, 700, 500);
    EXPECT_EQ(seedling.height, 5);
    EXPECT_EQ(seedling.halfWidth, 6);
    const DrawnTreeSize stump = drawnTreeSize(test::makeTree(1, 3.0, 0.5), 2500.0, 700, 500);
    EXPECT_EQ(stump.height, 5);
    EXPECT_EQ(stump.halfWidth, 6);
}

TEST(TreeBitmapChoice, LargePictureFromItsMinimumHeightOn) {
    Species species;
    species.smallBitmap = test::solidBitmap(4, 8, {200, 0, 0});
    species.largeBitmap = test::solidBitmap(4, 8, {0, 0, 200});
    species.LARGE_BITMAP_MIN_HT = 40;
    EXPECT_EQ(chooseTreeBitmap(species, 39), species.smallBitmap.get());
    EXPECT_EQ(chooseTreeBitmap(species, 40), species.largeBitmap.get());
    species.smallBitmap.reset();
    EXPECT_EQ(chooseTreeBitmap(species, 5), species.largeBitmap.get());
    species.largeBitmap.reset();
    EXPECT_EQ(chooseTreeBitmap(species, 500), nullptr);
}

TEST(TreePainting, TreeOfMaximumHeightIsAHundredPixelsTallInAFiveHundredPixelView) {
    GraphicsView g(700, 500);
    g.model->species[1].largeBitmap = test::solidBitmap(10, 20, {0, 128, 0});
    g.addTree(1, 40.0, 2500.0);
    g.placeFirstSlot(400, 420);
    const QImage image = g.render();
    // The picture's bottom centre stands on the slot: rows 320..419, drawn width 10 x 100 / 20.
    EXPECT_EQ(paintedRowsInColumn(image, 400, 150, 500), 100);
    EXPECT_EQ(image.pixel(400, 320), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(400, 419), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(400, 420), BACKGROUND);
    EXPECT_EQ(image.pixel(375, 370), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(424, 370), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(374, 370), BACKGROUND);
    EXPECT_EQ(image.pixel(425, 370), BACKGROUND);
}

TEST(TreePainting, WhiteCornersOfAPictureLeaveTheBackgroundVisible) {
    GraphicsView g(700, 500);
    g.model->species[1].largeBitmap = test::solidBitmap(10, 20, {0, 128, 0});
    g.addTree(1, 40.0, 2500.0);
    g.placeFirstSlot(400, 420);
    const QImage image = g.render();
    // Each source pixel becomes a 5 by 5 block; the four corner blocks must not be white.
    for (const QPoint corner : {QPoint(375, 320), QPoint(379, 324), QPoint(424, 320), QPoint(375, 419),
                                QPoint(424, 419), QPoint(420, 415)}) {
        EXPECT_EQ(image.pixel(corner), BACKGROUND) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(image.pixel(380, 325), qRgb(0, 128, 0));  // nearest-neighbour: no blended edge
}

TEST(TreePainting, LargePictureIsUsedFromTheMinimumHeightOn) {
    for (const auto& [height, expected] :
         {std::pair{975.0, qRgb(200, 0, 0)}, std::pair{1000.0, qRgb(0, 0, 200)}}) {
        GraphicsView g(700, 500);
        Species& s = g.model->species[1];
        s.smallBitmap = test::solidBitmap(10, 20, {200, 0, 0}, false);
        s.largeBitmap = test::solidBitmap(10, 20, {0, 0, 200}, false);
        s.LARGE_BITMAP_MIN_HT = 40;  // 975 cm is drawn 39 pixels high, 1000 cm 40
        g.addTree(1, 20.0, height);
        g.placeFirstSlot(400, 420);
        const QImage image = g.render();
        EXPECT_EQ(image.pixel(400, 400), expected) << height;
        EXPECT_EQ(paintedRowsInColumn(image, 400, 150, 500), height == 975.0 ? 39 : 40);
    }
}

TEST(TreePainting, SpeciesWithoutPicturesAreDrawnAsTrunkAndCrown) {
    GraphicsView g(700, 500);
    // Species 2 has a triangle crown in palette colour 3, species 1 an oval one in colour 2.
    g.addTree(2, 40.0, 2500.0);
    g.placeFirstSlot(300, 420);
    g.model->displaySlots[2].x = 500;
    g.model->displaySlots[2].y = 420;
    g.addTree(1, 40.0, 2500.0);
    const QImage image = g.render();
    const QRgb trunk = TRUNK_COLOUR.rgb();
    EXPECT_EQ(image.pixel(300, 419), trunk);
    EXPECT_EQ(image.pixel(300, 420), trunk);  // the trunk includes the slot's own row
    EXPECT_EQ(image.pixel(300, 421), BACKGROUND);
    EXPECT_EQ(image.pixel(300, 350), paletteColour(3).rgb());
    EXPECT_EQ(image.pixel(300, 330), paletteColour(3).rgb());  // near the apex at y - h = 320
    EXPECT_EQ(image.pixel(300, 318), BACKGROUND);
    EXPECT_EQ(image.pixel(500, 419), trunk);
    EXPECT_EQ(image.pixel(500, 360), paletteColour(2).rgb());
    EXPECT_EQ(image.pixel(500, 317), BACKGROUND);
}

TEST(TreePainting, OnlyFiftyTreesAreDrawnAndTheLegendListsTheirSpeciesOnce) {
    GraphicsView g(700, 500);
    g.view.layOutDisplay();
    for (int i = 0; i < 55; ++i) g.addTree(i < 50 ? (i % 2 ? 3 : 1) : 4, 30.0, 2000.0 - i);
    g.render();
    int withSlot = 0;
    for (const Tree& tree : g.model->plots.front().trees) withSlot += tree.DISPLAY_SLOT != 0 ? 1 : 0;
    EXPECT_EQ(withSlot, 50);
    EXPECT_EQ(legendSpecies(*g.model), (std::vector<int>{1, 3}));  // species 4 has no slot
}

struct HeaderCase {
    const char* name;
    bool started, running, paused;
    int weatherType;
    const char* progressLine;  // the header's third line
};

TEST(Legend, HeaderSaysWhereTheRunStandsAndTheDisturbanceNotes) {
    const HeaderCase cases[] = {
        // Before any run only the calendar year is known.
        {"NotStarted", false, false, false, 0, "Year 1997"},
        {"Running", true, true, false, 0, "Iteration 1 of 2 · year 7 of 100 (1997)"},
        {"Paused", true, true, true, 0, "Iteration 1 of 2 · year 7 of 100 (1997) · paused"},
        // Quit while paused: the run still owes a year after Continue.
        {"QuitWhilePaused", true, false, true, 0, "Iteration 1 of 2 · year 7 of 100 (1997) · paused"},
        {"Ended", true, false, false, 0, "Iteration 1 of 2 · year 7 of 100 (1997) · run ended"},
    };
    for (const HeaderCase& c : cases) {
        auto model = test::makeDisplayModel();
        model->run.flags = {c.running, c.started, c.paused, false};
        EXPECT_EQ(legendHeader(*model, false).toStdString(),
                  std::string("Habitat: Eastern Deciduous Forest\nWeather: NORMAL\n") + c.progressLine +
                      "\nTree Legend:")
            << c.name;
    }
    auto model = test::makeDisplayModel();
    model->params.MIN_DIAM_TO_KILL_FOR_LOGGING = 30.0;
    model->params.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 12.5;
    model->params.BLOW_PROB = 0.0;
    EXPECT_EQ(disturbanceNote(model->params, true).toStdString(),
              "Plot was logged to a minimum diameter of 30.0 cm\n");
    model->params.BLOW_PROB = 0.01;
    model->params.WTHR_TYPE = 1;
    model->params.WTHR_TYPES[1] = "Warming +3.6 C over 100 yr";
    EXPECT_EQ(legendHeader(*model, true).toStdString(),
              "Habitat: Eastern Deciduous Forest\nWeather: Warming: +3.6 °C over 100 years\nYear 1997\n"
              "Windthrow killed trees to a minimum diamter of 12.5 cm\nTree Legend:");
    EXPECT_TRUE(disturbanceNote(model->params, false).isEmpty());

    Species pictured;
    pictured.NAME = "White_Pine";
    pictured.smallBitmap = test::solidBitmap(2, 2, {1, 2, 3});
    EXPECT_EQ(legendLine(pictured).toStdString(), "White Pine");
}

// The colours of the legend's column of marks, between its header and the bottom of the view.
std::set<QRgb> markColours(const QImage& image, int headerBottom) {
    std::set<QRgb> colours;
    for (int y = headerBottom; y < image.height(); ++y) {
        for (int x = 10; x < 30; ++x) colours.insert(image.pixel(x, y));
    }
    return colours;
}

TEST(Legend, EachNameFollowsItsSpeciesPictureOrShapeColour) {
    GraphicsView g(700, 500);
    g.view.layOutDisplay();
    g.model->species[1].smallBitmap = test::solidBitmap(8, 12, {1, 2, 3});
    g.addTree(1, 30.0, 2000.0);
    g.addTree(2, 30.0, 1900.0);
    // Far right: no tree reaches the legend's column.
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) g.model->displaySlots[static_cast<size_t>(k)].x = 650;
    const QImage image = g.render();
    EXPECT_TRUE(image.save(test::artefactPath(QStringLiteral("legend-marks.png"))));
    const int headerBottom =
        measureText(QFontMetrics(viewTextFont(g.view.font(), 500)), legendHeader(*g.model, false)).height();
    const std::set<QRgb> colours = markColours(image, headerBottom);
    EXPECT_TRUE(colours.count(qRgb(1, 2, 3)));            // species 1's picture
    EXPECT_TRUE(colours.count(paletteColour(3).rgb()));   // species 2's crown colour
    EXPECT_FALSE(colours.count(paletteColour(2).rgb()));  // species 1 draws no shape
    EXPECT_FALSE(colours.count(qRgb(255, 255, 255)));     // nor the white around its picture
}

TEST(Legend, TheTextGrowsWithTheViewAndNeverBelowTheWidgetFont) {
    const QFont base = PlotView(*test::makeDisplayModel()).font();
    const int basePixels = QFontInfo(base).pixelSize();
    EXPECT_EQ(QFontInfo(viewTextFont(base, 100)).pixelSize(), basePixels);
    // A full-screen view on a 1080-line projector: about twice the text of a small window.
    EXPECT_EQ(viewTextFont(base, 1008).pixelSize(), std::max(basePixels, 28));
    EXPECT_GT(viewTextFont(base, 1008).pixelSize(), viewTextFont(base, 500).pixelSize());
}

TEST(TextBlock, FixedPitchCourierAtTwelvePointsWhenTheTextFits) {
    QImage image(700, 500, QImage::Format_RGB32);
    const QFontInfo info(textBlockFont(12));
    EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
    const TextBlockFit fit = fitTextBlock(QStringLiteral("Iteration =   1  Year =   1"), 700, 500, &image);
    EXPECT_EQ(fit.pointSize, 12);
}

TEST(TextBlock, LongTextShrinksUntilItFits) {
    QImage image(700, 500, QImage::Format_RGB32);
    QString text;
    for (int i = 0; i < 60; ++i) text += QString(110, QLatin1Char('0' + i % 10)) + QLatin1Char('\n');
    const TextBlockFit fit = fitTextBlock(text, 700, 500, &image);
    EXPECT_LT(fit.pointSize, 12);
    EXPECT_GE(fit.pointSize, TEXT_BLOCK_MINIMUM_POINTS);
    EXPECT_LE(fit.size.width(), 696);
    EXPECT_LE(fit.size.height(), 496);
    const QSize measured = measureText(QFontMetrics(textBlockFont(fit.pointSize), &image), text);
    EXPECT_EQ(measured, fit.size);
    // A view too small for any size stops at the minimum instead of looping.
    EXPECT_EQ(fitTextBlock(text, 20, 20, &image).pointSize, TEXT_BLOCK_MINIMUM_POINTS);
}

TEST(TextBlock, MeasuresLinesSeparately) {
    QImage image(10, 10, QImage::Format_RGB32);
    const QFontMetrics metrics(textBlockFont(12), &image);
    const QSize two = measureText(metrics, QStringLiteral("ab\nabcd\n"));
    EXPECT_EQ(two.width(), metrics.horizontalAdvance(QStringLiteral("abcd")));
    EXPECT_EQ(two.height(), 2 * metrics.height());
}

TEST(StatusDisplay, IterationLineIsDrawnAtTheTopLeftAndPaintingRestoresTheCurrentPlot) {
    GraphicsView g(400, 300);
    g.model->params.SCREEN_OUTPUT_MODE = 3;
    g.model->run.CURRENT_ITERATION = 2;
    g.model->run.CURRENT_YEAR = 45;
    Plot& second = g.model->plots.emplace_back();
    second.PLOT_NO = 2;
    g.model->run.CURRENT_PLOT = &second;
    const QImage image = g.render();
    EXPECT_EQ(g.model->run.CURRENT_PLOT, &second);
    int blackTop = 0, paintedBelow = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (image.pixel(x, y) == BACKGROUND) continue;
            (y < 30 ? blackTop : paintedBelow) += 1;
        }
    }
    EXPECT_GT(blackTop, 50);
    EXPECT_EQ(paintedBelow, 0);
    EXPECT_EQ(image.pixel(0, 0), BACKGROUND);  // two pixels of margin
    EXPECT_EQ(image.pixel(1, 10), BACKGROUND);
}

TEST(OpeningPicture, ScaledToThreeQuartersOfTheViewAndCentred) {
    const OpeningLayout wide = openingLayout(700, 500);
    EXPECT_EQ(wide.picture, QRect(68, 3, 563, 369));
    EXPECT_EQ(wide.textTop, 372);
    const OpeningLayout tall = openingLayout(300, 600);
    EXPECT_EQ(tall.picture, QRect(3, 129, 294, 192));
    EXPECT_EQ(tall.textTop, 321);
}

TEST(OpeningPicture, ShownBeforeTheFirstRunAndSavedAsArtefacts) {
    const QImage picture = openingPicture();
    EXPECT_EQ(picture.size(), QSize(307, 201));
    EXPECT_TRUE(picture.save(test::artefactPath(QStringLiteral("opening-picture.png"))));

    auto model = test::makeDisplayModel();
    PlotView view(*model);
    view.resize(700, 500);
    const QImage image = view.renderImage();
    EXPECT_EQ(image.pixel(2, 2), BACKGROUND);
    EXPECT_NE(image.pixel(350, 180), BACKGROUND);  // inside the picture
    int textPixels = 0;
    for (int y = 372; y < 500; ++y) {
        for (int x = 0; x < 700; ++x) textPixels += qGray(image.pixel(x, y)) < 40 ? 1 : 0;
    }
    EXPECT_GT(textPixels, 100);  // the instructions in black below the picture
    EXPECT_TRUE(image.save(test::artefactPath(QStringLiteral("plot-view-opening.png"))));
}

// Neighbouring pixels across an edge of the picture that differ strongly: an enlarged small
// image spreads each edge over several pixels and has few of them.
int sharpSteps(const QImage& image, const QRect& area) {
    int steps = 0;
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x < area.right(); ++x) {
            steps += std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x + 1, y))) > 40 ? 1 : 0;
        }
    }
    return steps;
}

TEST(OpeningPicture, DrawnAtTheResolutionOfALargeView) {
    auto model = test::makeDisplayModel();
    PlotView view(*model);
    view.resize(1600, 1100);
    const QImage image = view.renderImage();
    const QRect picture = openingLayout(1600, 1100).picture;
    ASSERT_GT(picture.width(), 4 * 307);

    // The same picture as an enlarged 307 by 201 image, for comparison.
    QImage enlarged(1600, 1100, QImage::Format_RGB32);
    enlarged.fill(Qt::black);
    QPainter painter(&enlarged);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(picture, openingPicture());
    painter.end();

    const QRect inner = picture.adjusted(4, 4, -4, -4);
    EXPECT_GT(sharpSteps(image, inner), 2 * sharpSteps(enlarged, inner));
    // The whole box is painted, edge to edge.
    for (const QPoint corner : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()})
        EXPECT_NE(image.pixel(corner), BACKGROUND);
    EXPECT_EQ(image.pixel(picture.left() - 2, picture.center().y()), BACKGROUND);
    EXPECT_TRUE(image.save(test::artefactPath(QStringLiteral("plot-view-opening-large.png"))));
}

TEST(GraphicsImage, AForestOfEveryKindSavedAsArtefact) {
    GraphicsView g(760, 520);
    g.model->params.WIDTH = 50;
    g.view.applyLayout(QRect(0, 0, 760, 520));
    g.model->species[3].smallBitmap = test::solidBitmap(12, 16, {20, 110, 40});
    g.model->species[3].largeBitmap = test::bitmapFromImage(versionTreePicture());
    g.model->species[3].LARGE_BITMAP_MIN_HT = 60;
    g.view.layOutDisplay();
    for (int i = 0; i < 40; ++i) g.addTree(i % 4 + 1, 10.0 + i, 2400.0 - 50.0 * i);
    const QImage image = g.render();
    EXPECT_TRUE(image.save(test::artefactPath(QStringLiteral("plot-view-graphics.png"))));
    // The plot outline is white.
    const PlotGeometry& geometry = g.view.plotGeometry();
    EXPECT_EQ(image.pixel((geometry.left + geometry.frontRightX) / 2, geometry.frontY), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace dravia
