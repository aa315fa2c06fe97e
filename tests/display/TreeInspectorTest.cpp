// Inspecting a tree of the graphics image: which drawn tree is under the mouse, what the box
// says, the outline, and a followed tree's removal noticed before its slot is filled again.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "display/DisplayPalette.h"
#include "display/PlotView.h"
#include "display/TestForest.h"
#include "display/TreeDrawing.h"
#include "display/TreeInspector.h"
#include "model/TreeList.h"

namespace dravia {
namespace {

// A 700 by 500 view of a plot whose trees stand in slots placed by hand (the rest far off).
class InspectedView {
  public:
    InspectedView() : model(test::makeDisplayModel()), view(*model) {
        view.resize(700, 500);
        view.applyLayout(QRect(0, 0, 700, 500));
        model->run.flags.run_started = true;
        model->plots.emplace_back().PLOT_NO = 1;
        for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
            model->displaySlots[static_cast<size_t>(k)].x = 10000;
            model->displaySlots[static_cast<size_t>(k)].y = 10000;
        }
    }
    // A tree in slot k standing at (x, y).
    Tree& standTree(int k, int x, int y, int sn, double dbh, double height) {
        Plot& plot = model->plots.front();
        Tree& tree = *insertTree(plot, plot.trees.end(), test::makeTree(sn, dbh, height));
        DisplaySlot& slot = model->displaySlots[static_cast<size_t>(k)];
        slot.x = x;
        slot.y = y;
        slot.tree = &tree;
        tree.DISPLAY_SLOT = k;
        return tree;
    }
    TreeList::iterator positionOf(const Tree& tree) {
        Plot& plot = model->plots.front();
        for (auto it = plot.trees.begin(); it != plot.trees.end(); ++it)
            if (&*it == &tree) return it;
        return plot.trees.end();
    }
    int slotAt(int x, int y) {
        return treeSlotAt(*model, view.drawOrder(), view.plotGeometry(), QPoint(x, y));
    }

    std::unique_ptr<ModelState> model;
    PlotView view;
};

struct HitCase {
    const char* what;
    int x, y;
    int slot;
};

TEST(TreeUnderTheMouse, TheDrawnShapesAndPictureDecide) {
    InspectedView g;
    // Drawn 100 high and 39 half-wide: a triangle crown from (161, 375) up to (200, 300) and
    // down to (239, 375) on a trunk x 199..201 from y 375 to 400.
    g.standTree(1, 200, 400, 2, 50.0, 2500.0);
    // The same size with an oval crown in the box x 181..259, y 300..365, drawn after slot 1.
    g.standTree(2, 220, 400, 1, 50.0, 2500.0);
    // A 12 by 16 picture with white corners, drawn 64 high and 48 wide: x 476..523, y 336..399.
    g.model->species[3].smallBitmap = test::solidBitmap(12, 16, {20, 110, 40});
    g.standTree(3, 500, 400, 3, 30.0, 1600.0);
    const HitCase cases[] = {
        {"triangle crown", 170, 370, 1},
        {"triangle trunk", 200, 395, 1},
        {"beside the triangle's apex", 170, 310, 0},
        {"where both crowns are, the one drawn later", 215, 350, 2},
        {"oval crown", 250, 333, 2},
        {"oval box corner outside the ellipse", 182, 301, 0},
        {"picture", 500, 370, 3},
        {"picture's white corner", 476, 336, 0},
        {"picture's opposite white corner", 523, 399, 0},
        {"just beside the picture", 475, 370, 0},
        {"on the ground between", 350, 395, 0},
    };
    for (const HitCase& c : cases) EXPECT_EQ(g.slotAt(c.x, c.y), c.slot) << c.what;
    // Nothing is inspected where the graphics image is not shown.
    g.model->params.SCREEN_OUTPUT_MODE = 2;
    g.view.inspectAt(QPoint(170, 370), true);
    EXPECT_EQ(g.view.inspector().state(), TreeInspector::State::None);
}

TEST(TreeInspectorBox, SaysSpeciesSizeGrowthLightAndSiteQuality) {
    InspectedView g;
    Tree& tree = g.standTree(1, 200, 400, 2, 23.4, 1850.0);
    tree.AGE = 64;
    tree.LAST_DIAM_INC = 0.213;
    tree.AVAILABLE_LIGHT = 0.72;
    Species& spruce = g.model->species[2];
    spruce.SITE_QUALITY = 0.5;
    spruce.SQ_TEMP = 0.95;
    spruce.SQ_WILT = 0.75;
    spruce.SQ_WETNESS = 1.0;
    spruce.SQ_SOIL_N = 0.7;
    g.view.inspectAt(QPoint(200, 395), true);
    EXPECT_TRUE(g.view.inspectorPinned());
    EXPECT_EQ(g.view.inspectorText().toStdString(),
              "Red Spruce\n"
              "Diameter at breast height (DBH, 1.37 m): 23.4 cm\n"
              "Height: 18.5 m\n"
              "Age: 64 years\n"
              "Diameter growth last year: 0.213 cm\n"
              "Light reaching the crown: 72% of full light\n"
              "Site quality this year: 0.50 (1 = not limiting)\n"
              "  temperature 0.95, drought 0.75,\n"
              "  wetness 1.00, soil nitrogen 0.70");

    // The tree is outlined and the box stands at the top right.
    const QImage image = g.view.renderImage();
    const QRect bounds =
        drawnTreeBounds(tree, spruce, g.model->params, 200, 400, 700, 500).adjusted(-3, -3, 3, 3);
    EXPECT_EQ(image.pixel(bounds.left(), bounds.center().y()), INSPECTOR_OUTLINE.rgb());
    EXPECT_EQ(image.pixel(bounds.center().x(), bounds.top()), INSPECTOR_OUTLINE.rgb());
    EXPECT_NE(image.pixel(690, 12), VIEW_BACKGROUND.rgb());
    EXPECT_TRUE(image.save(test::artefactPath(QStringLiteral("plot-view-inspector.png"))));

    // A click beside the trees lets go; the outline goes with the box.
    g.view.inspectAt(QPoint(600, 200), true);
    EXPECT_FALSE(g.view.inspectorPinned());
    EXPECT_TRUE(g.view.inspectorText().isEmpty());
    EXPECT_EQ(g.view.renderImage().pixel(bounds.left(), bounds.center().y()), VIEW_BACKGROUND.rgb());
}

TEST(TreeInspectorBox, HoverShowsAndLeavingHides) {
    InspectedView g;
    // Shown first: showing lays the slots out on the screen anew.
    g.view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g.view));
    g.standTree(1, 200, 400, 2, 50.0, 2500.0);
    QTest::mouseMove(&g.view, QPoint(170, 370));
    EXPECT_TRUE(g.view.inspectorText().startsWith(QStringLiteral("Red Spruce\n")));
    EXPECT_FALSE(g.view.inspectorPinned());
    QTest::mouseMove(&g.view, QPoint(400, 200));
    EXPECT_TRUE(g.view.inspectorText().isEmpty());
    // Clicked, it stays while the mouse moves on.
    QTest::mouseClick(&g.view, Qt::LeftButton, {}, QPoint(170, 370));
    QTest::mouseMove(&g.view, QPoint(400, 200));
    EXPECT_TRUE(g.view.inspectorText().startsWith(QStringLiteral("Red Spruce\n")));
}

// With year-to-year climate each plot computes its own factors; the box shows those of the
// first plot, the one drawn, also after later plots have computed theirs.
TEST(TreeInspectorBox, SiteQualityOfThePlotShown) {
    InspectedView g;
    g.model->params.CLIMATE_CHANGE = 1;
    g.model->plots.emplace_back().PLOT_NO = 2;
    g.standTree(1, 200, 400, 2, 50.0, 2500.0);
    Species& spruce = g.model->species[2];
    g.view.inspectAt(QPoint(170, 370), true);
    const auto shownQuality = [&] {
        const QString text = g.view.inspectorText();
        return text.mid(text.indexOf(QStringLiteral("Site quality"))).toStdString();
    };
    const auto computeFor = [&](Plot* plot, double quality) {
        spruce.SITE_QUALITY = quality;
        g.model->run.CURRENT_PLOT = plot;
        g.view.renderImage();  // the repaint after that plot's year
    };
    computeFor(&g.model->plots.front(), 0.25);
    EXPECT_EQ(shownQuality().substr(0, 28), "Site quality this year: 0.25");
    computeFor(&g.model->plots.back(), 0.75);
    EXPECT_EQ(shownQuality().substr(0, 28), "Site quality this year: 0.25");
    computeFor(nullptr, 0.75);  // between years, after the last plot
    EXPECT_EQ(shownQuality().substr(0, 28), "Site quality this year: 0.25");
    computeFor(&g.model->plots.front(), 0.5);
    EXPECT_EQ(shownQuality().substr(0, 28), "Site quality this year: 0.50");
    // With the average climate all plots share one computation.
    g.model->params.CLIMATE_CHANGE = 0;
    computeFor(nullptr, 0.3);
    EXPECT_EQ(shownQuality().substr(0, 28), "Site quality this year: 0.30");
}

struct RemovalCase {
    const char* name;
    bool newIteration;
    const char* note;
};

// The followed tree is freed; painting then fills its slot with another tree, which may even
// be given the freed tree's memory. The inspector must have noticed first and never show it.
TEST(TreeInspectorFollowing, ARemovedTreeIsNoticedAndNeverReadAgain) {
    const RemovalCase cases[] = {
        {"Death", false, "Red Spruce\nNo longer on the plot in 1997:\nit died, or was logged or blown down."},
        {"NewIteration", true,
         "Red Spruce\nThe plot started again from its first year:\nthis tree is no longer on it."},
    };
    for (const RemovalCase& c : cases) {
        InspectedView g;
        Tree& followed = g.standTree(1, 200, 400, 2, 50.0, 2500.0);
        g.view.inspectAt(QPoint(170, 370), true);
        ASSERT_EQ(g.view.inspector().state(), TreeInspector::State::Following) << c.name;
        Plot& plot = g.model->plots.front();
        if (c.newIteration) {
            freePlots(*g.model);
            g.model->run.CURRENT_ITERATION = 2;
            g.model->run.CURRENT_YEAR = 1;
            g.model->plots.emplace_back().PLOT_NO = 1;
        } else {
            removeTree(*g.model, plot, g.positionOf(followed));
        }
        // Another tree that no slot holds yet; painting gives it the emptied slot 1.
        Plot& now = g.model->plots.front();
        const Tree& successor = *insertTree(now, now.trees.end(), test::makeTree(1, 50.0, 2500.0));
        g.view.renderImage();
        EXPECT_EQ(g.model->displaySlots[1].tree, &successor) << c.name;
        EXPECT_EQ(g.view.inspector().state(), TreeInspector::State::Removed) << c.name;
        EXPECT_EQ(g.view.inspectorText().toStdString(), c.note) << c.name;
        EXPECT_EQ(g.view.inspector().tree(*g.model), nullptr) << c.name;
        // Its outline is gone, the note stays until the next click.
        g.view.renderImage();
        EXPECT_EQ(g.view.inspector().state(), TreeInspector::State::Removed) << c.name;
    }
}

// A new run or iteration lays the display out again: neither a followed tree nor the note
// about a removed one carries over into it.
TEST(TreeInspectorFollowing, ANewIterationLetsGoOfTheTreeAndItsNote) {
    for (const bool removedFirst : {false, true}) {
        InspectedView g;
        Tree& followed = g.standTree(1, 200, 400, 2, 50.0, 2500.0);
        g.view.inspectAt(QPoint(170, 370), true);
        ASSERT_TRUE(g.view.inspectorPinned());
        if (removedFirst) {
            removeTree(*g.model, g.model->plots.front(), g.positionOf(followed));
            g.view.renderImage();
            ASSERT_EQ(g.view.inspector().state(), TreeInspector::State::Removed);
        }
        g.view.layOutDisplay();
        EXPECT_EQ(g.view.inspector().state(), TreeInspector::State::None) << removedFirst;
        EXPECT_FALSE(g.view.inspectorPinned()) << removedFirst;
        EXPECT_TRUE(g.view.inspectorText().isEmpty()) << removedFirst;
    }
}

}  // namespace
}  // namespace dravia
