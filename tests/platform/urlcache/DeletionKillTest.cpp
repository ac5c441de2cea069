// A deletion killed at any moment leaves a container that Wine keeps, that an independent
// reader reads, and that a second run empties completely.

#include "FileBytes.h"
#include "MsiecfExport.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/IndexView.h"
#include "platform/urlcache/UrlCache.h"
#include "platform/urlcache/UrlCacheEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace urlcache;

constexpr int Visits = 3000;
constexpr int Kills = 50;

class DeletionKillTest : public ::testing::Test
{
protected:
    QTemporaryDir root;
    QString history = root.filePath(QStringLiteral("History/History.IE5"));
    QString index = history + QStringLiteral("/index.dat");
    QByteArray filled;

    void SetUp() override
    {
        ASSERT_TRUE(IndexFile::create(index, {}));
        {
            auto file = IndexFile::open(index);
            ASSERT_TRUE(file);
            IndexLock lock(*file, true);
            IndexEditor editor(*file);
            for (int n = 0; n < Visits; ++n) {
                NewUrlRecord visit;
                visit.url = "Visited: user@http://site.example/page/" + QByteArray::number(n);
                ASSERT_TRUE(editor.addRecord(visit));
            }
        }
        filled = files::read(index);
    }

    // What the history clearing does: one walk over the container.
    UrlCache::Emptying clearHistory()
    {
        UrlCache cache(std::make_shared<FixedUrlCacheEnvironment>(
            ShellCacheFolders{{}, {}, root.filePath(QStringLiteral("History"))}, "user",
            root.path()));
        return cache.emptyContainer(cache.container(ContainerKind::History));
    }

    // What the cookie and cache clean-ups do: one deletion after another, in one batch.
    int deleteOneByOne()
    {
        UrlCache cache(std::make_shared<FixedUrlCacheEnvironment>(
            ShellCacheFolders{{}, {}, root.filePath(QStringLiteral("History"))}, "user",
            root.path()));
        const UrlCache::Batch batch(cache);
        int deleted = 0;
        for (int n = 0; n < Visits; ++n)
            deleted += cache.deleteEntry("Visited: user@http://site.example/page/" +
                                         QByteArray::number(n)) == UrlCache::DeleteResult::Deleted;
        return deleted;
    }

    // The writes of a whole clearing, counted.
    int stepsOfAClearing()
    {
        files::write(index, filled);
        int steps = 0;
        IndexEditor::setDeletionStepHook([&] { ++steps; });
        clearHistory();
        IndexEditor::setDeletionStepHook({});
        return steps;
    }

    // A child process that does `work` and is killed after `step` writes; the signal that
    // ended it.
    int killedAt(int step, const std::function<void()> &work)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            int steps = 0;
            IndexEditor::setDeletionStepHook([&] {
                if (++steps == step)
                    ::raise(SIGKILL);
            });
            work();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
    }

    // Header, bitmap and hash chain agree, no item is used and only the hash table's blocks
    // are allocated.
    void expectEmptyAndSound()
    {
        auto file = IndexFile::open(index);
        ASSERT_TRUE(file);
        IndexLock lock(*file, false);
        const IndexView *view = lock.view();
        ASSERT_TRUE(view) << "the container parses";
        EXPECT_TRUE(headerConsistent(view->data(), view->size()));
        for (quint32 i = 0; i < view->itemCount(); ++i)
            ASSERT_FALSE(view->urlRecordAt(i)) << "item " << i;
        EXPECT_EQ(layout::readU32(view->data() + layout::BlocksInUseField),
                  quint32(view->hashTables().size()) * layout::HashBlocks);
    }
};

int msiecfinfo(const QString &index)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("msiecfinfo"));
    if (tool.isEmpty())
        return 0;
    QProcess run;
    run.start(tool, {index});
    run.waitForFinished(60000);
    return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
}

TEST_F(DeletionKillTest, EveryKillLeavesAContainerThatASecondRunEmpties)
{
    const int steps = stepsOfAClearing();
    ASSERT_GT(steps, Visits * 3);
    expectEmptyAndSound();

    QRandomGenerator random(20261209);
    int countsMended = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        // Spread over the whole clearing, with every kind of step among them.
        const int step = kill < 5 ? 1 + kill : 1 + int(random.bounded(quint32(steps)));
        files::write(index, filled);
        ASSERT_EQ(killedAt(step, [this] { clearHistory(); }), SIGKILL) << "step " << step;
        const QByteArray left = files::read(index);
        EXPECT_EQ(msiecfinfo(index), 0) << "step " << step;
        if (!headerConsistent(reinterpret_cast<const uchar *>(left.constData()),
                              quint64(left.size())))
            ++countsMended;

        const UrlCache::Emptying second = clearHistory();
        EXPECT_EQ(second.kept, 0) << "step " << step;
        expectEmptyAndSound();
        const auto [items, recovered] = exportedItems(index);
        if (items >= 0) {
            EXPECT_EQ(items, 0) << "step " << step;
            EXPECT_EQ(recovered, 0) << "step " << step;
        }
        if (HasFailure())
            break;
    }
    RecordProperty("counts_mended", countsMended);
}

// Entry by entry, as the cookies and the cache are deleted: a kill between freeing blocks and
// counting them once left the container refused by every later run.
TEST_F(DeletionKillTest, KillsAmongSingleDeletionsAreFinishedByTheNextRun)
{
    const int steps = stepsOfAClearing();
    for (int kill = 0; kill < 10; ++kill) {
        // Between the bitmap and the count of a record, elsewhere, and in the last record,
        // after which the next run finds nothing more to delete.
        const int step = kill == 9  ? steps - 1
                         : kill % 2 ? 3 + 5 * (kill * 37)
                                    : 1 + (kill * steps) / 10;
        files::write(index, filled);
        ASSERT_EQ(killedAt(step, [this] { deleteOneByOne(); }), SIGKILL) << "step " << step;
        deleteOneByOne();
        expectEmptyAndSound();
        if (HasFailure())
            break;
    }
}

// The state a deletion killed after freeing the blocks but before clearing the item left,
// as an earlier order of the writes did: the run finishes it instead of refusing the file.
TEST_F(DeletionKillTest, ItemLeftOnFreedBlocksIsFinished)
{
    {
        auto file = IndexFile::open(index);
        IndexLock lock(*file, true);
        const auto record = lock.view()->find("Visited: user@http://site.example/page/7");
        ASSERT_TRUE(record);
        uchar *data = file->writableData();
        const quint32 first = (record->offset - layout::FirstBlock) / layout::BlockSize;
        for (quint32 b = first; b < first + record->blocks; ++b)
            data[layout::Bitmap + b / 8] &= uchar(~(1u << (b % 8)));
        layout::writeU32(data + layout::BlocksInUseField,
                         layout::readU32(data + layout::BlocksInUseField) - record->blocks);
    }
    const UrlCache::Emptying cleared = clearHistory();
    EXPECT_EQ(cleared.kept, 0);
    EXPECT_EQ(cleared.deleted, Visits);
    expectEmptyAndSound();
}

// Another program shortens the container while it is emptied (Wine never does): the walk
// stops at the next record, and no access past the end of the file ends the process. (One
// that shortens it in the midst of a record's few writes still can.)
TEST_F(DeletionKillTest, ContainerShortenedDuringAClearingEndsTheWalkNotTheProcess)
{
    // Between two records: the checks are made before each record, not inside one.
    const int stepsPerRecord = stepsOfAClearing() / Visits;
    files::write(index, filled);
    const pid_t child = ::fork();
    if (child == 0) {
        int steps = 0;
        IndexEditor::setDeletionStepHook([&] {
            if (++steps == 100 * stepsPerRecord &&
                ::truncate(QFile::encodeName(index).constData(), 0x8000) != 0)
                ::_exit(3);
        });
        const UrlCache::Emptying cleared = clearHistory();
        ::_exit(cleared.kept > 0 && cleared.deleted == 100 ? 0 : 4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
