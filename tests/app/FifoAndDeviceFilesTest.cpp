#include "PrefixBuilder.h"
#include "ProgramRun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A run that blocks is killed after this.
constexpr int Patience = 10000;

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// A FIFO among the start-up shortcuts blocked the run and the preview for ever: it is no
// shortcut, and it is passed over.
TEST_F(ProgramRun, FifoAmongTheStartUpShortcutsIsPassedOver)
{
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QString fifo =
        sample.profile() + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp/x.lnk";
    ASSERT_TRUE(makeFifo(fifo));

    const Outcome preview = start({QStringLiteral("--preview"), QStringLiteral("r")}, {}, Patience);
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    const Outcome run = start({QStringLiteral("r")}, {}, Patience);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo(fifo).exists());
}

// A registry file that is a FIFO blocked every run; one linked to /dev/zero filled the memory.
// Neither is a registry: the prefix is damaged, and nothing is changed in it.
TEST_F(ProgramRun, RegistryFileThatIsNoRegularFileIsDamaged)
{
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    ASSERT_TRUE(QFile::remove(sample.userRegPath()));
    ASSERT_TRUE(makeFifo(sample.userRegPath()));

    const Outcome fifo = start({QStringLiteral("e")}, {}, Patience);
    EXPECT_EQ(fifo.status, 1);
    EXPECT_TRUE(fifo.err.contains("damaged")) << fifo.err.toStdString();

    ASSERT_TRUE(QFile::remove(sample.userRegPath()));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), sample.userRegPath()));
    QElapsedTimer clock;
    clock.start();
    const Outcome zeros = start({QStringLiteral("e")}, {}, Patience);
    EXPECT_EQ(zeros.status, 1);
    EXPECT_TRUE(zeros.err.contains("damaged")) << zeros.err.toStdString();
    EXPECT_LT(clock.elapsed(), 4000);
}

} // namespace
