#include "WindowSetFixture.h"

#include "platform/multimedia/Multimedia.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

class ClickSoundTest : public WindowSetTest
{
};

TEST_F(ClickSoundTest, PlaysOnlyWhenTheFileExistsAndKeepsTheCurrentFolder)
{
    QStringList commands;
    QStringList played;
    platform::setMciObserver([&](const QString &command) { commands << command; });
    platform::setSoundPlayer([&](const QString &path) { played << path; });
    const auto resetHooks = qScopeGuard([] {
        platform::setMciObserver({});
        platform::setSoundPlayer({});
    });

    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    const QString sound = CompanionFiles::forRunningProgram().clickSound();
    QFile::remove(sound);

    PlayClickSound();
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_EQ(QDir::currentPath(), elsewhere.path());

    QFile file(sound);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF");
    file.close();
    PlayClickSound();
    QFile::remove(sound);

    EXPECT_EQ(commands, QStringList{QStringLiteral("play clck.wav")});
    EXPECT_EQ(played, QStringList{sound});
    EXPECT_EQ(QDir::currentPath(), elsewhere.path());
}

} // namespace
