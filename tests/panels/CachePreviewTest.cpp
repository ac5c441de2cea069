#include "controls/CachePreview.h"
#include "FileBytes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

const char TinyGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04"
                       "\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                       "D\x01\x00;";

} // namespace

// A cached page that names remote and outside resources: not one request leaves the machine,
// no file outside the cache folder is read, and what lies in the cache shows.
TEST(CachePreview, PagesShowWithoutNetworkOrFilesOutsideTheCache)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int requests = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *connection = server.nextPendingConnection()) {
            ++requests;
            connection->deleteLater();
        }
    });
    const QString remote = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());

    QTemporaryDir home;
    const QString cache = home.path() + "/Content.IE5";
    QDir().mkpath(cache + "/AB12CD34");
    files::write(home.path() + "/secret.gif", QByteArray(TinyGif, sizeof TinyGif - 1));
    files::write(cache + "/AB12CD34/pic[0].gif", QByteArray(TinyGif, sizeof TinyGif - 1));
    files::write(cache + "/AB12CD34/page[0].html",
                 ("<html><head><link rel=stylesheet href='" + remote + "/s.css'><script src='" +
                  remote + "/t.js'></script></head><body><h1>Cached</h1><img src='" + remote +
                  "/a.png'><iframe src='" + remote + "/f.html'></iframe><img src='pic[0].gif'>" +
                  "<img src='../../secret.gif'><img src='file://" + home.path() +
                  "/secret.gif'><script>document.write('ran')</script></body></html>")
                     .toUtf8());

    CachePreview preview;
    preview.resize(400, 300);
    preview.show();
    preview.setConfinement(cache);
    preview.Navigate(cache + "/AB12CD34/page[0].html");
    const QDeadlineTimer settle(300);
    while (!settle.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(preview.Busy());
    EXPECT_TRUE(preview.toPlainText().contains("Cached"));
    EXPECT_FALSE(preview.toPlainText().contains("ran"));
    QTextDocument *doc = preview.document();
    // A picture that was read is kept as an image, a refused one as empty bytes.
    const auto shown = [doc](const QUrl &url) {
        const QVariant resource = doc->resource(QTextDocument::ImageResource, url);
        if (resource.typeId() == QMetaType::QPixmap)
            return !qvariant_cast<QPixmap>(resource).isNull();
        if (resource.typeId() == QMetaType::QImage)
            return !qvariant_cast<QImage>(resource).isNull();
        return !QImage::fromData(resource.toByteArray()).isNull();
    };
    EXPECT_TRUE(shown(QUrl("pic[0].gif")));
    EXPECT_FALSE(shown(QUrl("../../secret.gif")));
    EXPECT_FALSE(shown(QUrl::fromLocalFile(home.path() + "/secret.gif")));

    preview.Navigate(cache + "/AB12CD34/pic[0].gif");
    EXPECT_EQ(preview.LocationURL(), cache + "/AB12CD34/pic[0].gif");
    preview.Navigate(home.path() + "/secret.gif");
    EXPECT_EQ(preview.LocationURL(), "about:blank");
    EXPECT_TRUE(preview.toPlainText().isEmpty());
}
