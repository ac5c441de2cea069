#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <optional>

// Texts of the optional INFO list that precedes the header.
struct AniInfo
{
    QByteArray name;
    QByteArray author;
};

// Writes 32 x 32 frames as an animated cursor file with 32-bit icon frames, every step
// shown for `rate` jiffies (1/60 s), in the chunk order the program's reader expects.
QByteArray writeAni(const QList<QImage> &frames, quint32 rate,
                    const std::optional<AniInfo> &info = std::nullopt);
