#include "Controls.h"
#include "WindowSetFixture.h"

#include <QBuffer>
#include <QImage>

namespace {

class PresenterPictureTest : public WindowSetTest
{
protected:
    QString path = CompanionFiles::forRunningProgram().presenterPicture();

    void TearDown() override { QFile::remove(path); }

    void write(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
};

TEST_F(PresenterPictureTest, DamagedPictureLeavesTheStoredOneAndTheLabelHidden)
{
    const QSize stored = control<QLabel>(Form1, "Image1")->pixmap().size();
    write("not a picture");
    Form1->Timer1Timer();
    EXPECT_FALSE(control<QLabel>(Form1, "Label39")->isVisibleTo(Form1));
    EXPECT_EQ(control<QLabel>(Form1, "Image1")->pixmap().size(), stored);
}

TEST_F(PresenterPictureTest, PictureReplacesTheStoredOneAndShowsTheLabel)
{
    QImage picture(90, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "JPG"));
    write(bytes);

    Form1->Timer1Timer();
    EXPECT_TRUE(control<QLabel>(Form1, "Label39")->isVisibleTo(Form1));
    EXPECT_EQ(control<QLabel>(Form1, "Image1")->pixmap().size(), QSize(90, 60));
}

} // namespace
