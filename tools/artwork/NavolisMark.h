#pragma once

#include <QPainter>
#include <QRectF>

// The program's one mark, shared by the pictures, the panels' animation and the desktop icons:
// a rounded badge shaded from sky blue to navy, a white geometric "N", an amber sweeping stroke
// beneath it and a small white sparkle at its right. data/icons/navolis.svg draws the same
// shapes in the same 256-unit square.
namespace NavolisMark {

// What the animation varies; the defaults are the mark at rest.
struct Highlights
{
    double glint = -1;    // a shine running along the sweep, 0 (left end) to 1 (tip); < 0 none
    double sparkle = 1.0; // the sparkle's size relative to its size at rest
};

// Draws the mark into the largest square centred in `r`.
void draw(QPainter &p, const QRectF &r, const Highlights &highlights = {});

// The sweep alone in the mark's 256-unit square, for backdrops that echo it.
QPainterPath sweep();

} // namespace NavolisMark
