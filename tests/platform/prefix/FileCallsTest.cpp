#include "platform/prefix/FileCalls.h"
#include "PrefixBuilder.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/WinTypes.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(FileCalls, DeleteRemovesFilesOnlyAndNeverFollowsALink)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Bare);
    prefix.file("drive_c/Folder/a.lnk", "x").folder("drive_c/Folder/sub.lnk");
    QTemporaryDir outside;
    const QString target = outside.filePath("kept.txt");
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.close();
    ASSERT_TRUE(QFile::link(target, prefix.path("drive_c/Folder/out.lnk")));

    EXPECT_TRUE(win::FileExists("c:\\folder\\A.LNK"));
    EXPECT_FALSE(win::FileExists("C:\\Folder\\sub.lnk")) << "a folder is no file";
    EXPECT_TRUE(win::DeleteFile("C:\\Folder\\a.lnk"));
    EXPECT_FALSE(QFileInfo::exists(prefix.path("drive_c/Folder/a.lnk")));

    EXPECT_FALSE(win::DeleteFile("C:\\Folder\\sub.lnk"));
    EXPECT_TRUE(QFileInfo(prefix.path("drive_c/Folder/sub.lnk")).isDir());
    EXPECT_FALSE(win::DeleteFile("C:\\Folder\\missing.lnk"));
    EXPECT_EQ(platform::lastError(), quint32(win::ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(win::DeleteFile("Q:\\a.lnk"));

    EXPECT_TRUE(win::DeleteFile("C:\\Folder\\out.lnk"));
    EXPECT_FALSE(QFileInfo(prefix.path("drive_c/Folder/out.lnk")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target));
}

} // namespace
