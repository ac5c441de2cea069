#include "platform/kernel/PrefixFileRead.h"
#include "FileBytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace PrefixFile;

// Whoever may write in a prefix can put a FIFO or a link to a device where a file is read: it
// is refused at once instead of blocking the run or filling the memory.
TEST(PrefixFileRead, OnlyRegularFilesAreReadAndNoneBeyondTheLimit)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("user.reg");
    files::write(file, "WINE REGISTRY");
    const QString fifo = dir.filePath("x.lnk");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString toFile = dir.filePath("to-file");
    const QString toZero = dir.filePath("to-zero");
    ASSERT_TRUE(QFile::link(file, toFile));
    ASSERT_TRUE(QFile::link("/dev/zero", toZero));

    const Read read = readRegularFile(file, 13, Links::Refuse);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.bytes, "WINE REGISTRY");
    EXPECT_EQ(read.status.st_size, 13);
    EXPECT_EQ(readRegularFile(file, 12, Links::Refuse).error, Error::TooLarge);
    EXPECT_EQ(readHead(file, 4, Links::Refuse).bytes, "WINE");

    EXPECT_EQ(readRegularFile(fifo, SmallFileLimit, Links::Follow).error, Error::NotRegular);
    EXPECT_EQ(readRegularFile(toZero, HiveLimit, Links::Follow).error, Error::NotRegular);
    EXPECT_EQ(readRegularFile("/dev/zero", HiveLimit, Links::Follow).error, Error::NotRegular);
    EXPECT_EQ(readRegularFile(dir.path(), HiveLimit, Links::Follow).error, Error::NotRegular);

    EXPECT_EQ(readRegularFile(toFile, 100, Links::Follow).bytes, "WINE REGISTRY");
    EXPECT_EQ(readRegularFile(toFile, 100, Links::Refuse).error, Error::NotRegular);
    EXPECT_EQ(readRegularFile(dir.filePath("missing"), 100, Links::Follow).error,
              Error::CannotOpen);

    // A cache container is opened for writing the same way.
    Error error = Error::None;
    EXPECT_EQ(openRegular(fifo, O_RDWR, Links::Refuse, &error), -1);
    EXPECT_EQ(error, Error::NotRegular);
    const int fd = openRegular(file, O_RDWR, Links::Refuse, &error);
    EXPECT_GE(fd, 0);
    ::close(fd);
}
