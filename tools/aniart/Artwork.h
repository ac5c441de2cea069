#pragma once

#include <QImage>
#include <QList>

// Our own artwork, drawn in code so that the build can make it anywhere.

// The panel logo: a badge with an "N" and a spark that circles it once per cycle.
QList<QImage> drawLogo(int frameCount);

// The busy hourglass: sand runs down, then the glass turns over.
QList<QImage> drawHourglass(int frameCount);
