#pragma once

#include <QImage>
#include <QList>

// Our own artwork, drawn in code so that the build can make it anywhere.

// The panel logo: the program's mark, a shine running along its sweep and then its sparkle
// twinkling once per cycle.
QList<QImage> drawLogo(int frameCount);

// The busy hourglass: sand runs down, then the glass turns over.
QList<QImage> drawHourglass(int frameCount);
