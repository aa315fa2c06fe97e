#pragma once

#include <QImage>
#include <QPainter>

#include "model/ModelState.h"

namespace dravia {

// How big a tree is drawn, in pixels: height h from the ground to the top, and the crown's
// half-width w of the shape drawing.
struct DrawnTreeSize {
    int height = 0;
    int halfWidth = 0;
};

// A tree of HT_MAX is drawn one fifth of the view high; its width follows its DBH to height
// ratio, stretched with the view's aspect ratio. Never smaller than 5 high and 6 half-wide.
DrawnTreeSize drawnTreeSize(const Tree& tree, double HT_MAX, int cw, int ch);

// The picture a tree of drawn height h gets: the large one from LARGE_BITMAP_MIN_HT pixels on
// (or always, without a small one), else the small one; null draws the shape.
const TreeBitmap* chooseTreeBitmap(const Species& species, int drawnHeight);

// The picture with its pure white pixels made transparent.
QImage transparentTreeImage(const TreeBitmap& bitmap);

// The rectangle a tree standing at (x, y) is drawn in: its picture's, or its trunk and crown's.
QRect drawnTreeBounds(const Tree& tree, const Species& species, const RunParameters& params, int x, int y,
                      int cw, int ch);

// Whether the point falls on the drawn tree: on a coloured pixel of its picture (not on the
// transparent white around it), or inside its trunk or crown.
bool drawnTreeContains(const Tree& tree, const Species& species, const RunParameters& params, int x, int y,
                       int cw, int ch, const QPoint& point);

// Draws one tree standing at (x, y): its picture scaled without blending (white stays white
// and so stays transparent), or a trunk and crown in the species' colour.
void drawTree(QPainter& painter, const Tree& tree, const Species& species, const RunParameters& params, int x,
              int y, int cw, int ch);

// The picture a species is known by in the legend: its small one, else its large one; null for
// a species drawn as a shape.
const TreeBitmap* legendTreeBitmap(const Species& species);

// The species' mark in the legend, standing on the bottom of `box`: its picture as large as the
// box allows, or its trunk and crown in the colour the plot draws it in.
void drawSpeciesMark(QPainter& painter, const Species& species, const QRect& box);

}  // namespace dravia
