// Draws the program's two animations and writes them as .ani files into a folder.

#include "AniWriter.h"
#include "Artwork.h"

#include <QDir>
#include <QSaveFile>
#include <cstdio>

namespace {

constexpr int kFrameCount = 15;

bool save(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "navolis-aniart: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: navolis-aniart OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "navolis-aniart: cannot create %s\n", argv[1]);
        return 1;
    }
    const AniInfo hourglassInfo{"Hourglass", "Navolis artwork"};
    const bool ok = save(out.filePath("logo.ani"), writeAni(drawLogo(kFrameCount), 10)) &&
                    save(out.filePath("hourglass.ani"),
                         writeAni(drawHourglass(kFrameCount), 14, hourglassInfo));
    return ok ? 0 : 1;
}
