// Feeds arbitrary bytes to the container reader (header, hash chain, every record), then
// deletes records in the crafted container as a clean-up would, stops after any write as a kill
// would, checks that a second pass finishes, and adds records as a commit would.

#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/IndexView.h"
#include "platform/urlcache/UrlCacheHash.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

using namespace urlcache;

// Makes the header agree with the size and bitmap, so that mutations reach the records
// instead of stopping at the consistency checks.
void makeConsistent(std::vector<uchar> &file)
{
    using namespace layout;
    const size_t blocks = std::min<size_t>((file.size() - FirstBlock) / BlockSize, MaxBlocks);
    file.resize(FirstBlock + blocks * BlockSize);
    writeU32(file.data() + FileSizeField, quint32(file.size()));
    writeU32(file.data() + CapacityField, quint32(blocks));
    quint32 used = 0;
    for (size_t i = 0; i < BitmapSize; ++i) {
        if (i >= blocks / 8)
            file[Bitmap + i] = 0;
        used += quint32(__builtin_popcount(file[Bitmap + i]));
    }
    writeU32(file.data() + BlocksInUseField, used);
}

// Whether a lookup must find the URL of item `index`: its key agrees with the hash of one of
// the two rules, or the URL has bytes that make the reader scan.
bool reachable(const IndexView &view, quint32 index, QByteArrayView url)
{
    if (std::any_of(url.begin(), url.end(), [](char c) { return quint8(c) >= 0x80; }))
        return true;
    const quint32 key = view.itemKey(index);
    const quint32 bucket = (index % layout::HashItems) / layout::BucketItems;
    for (HashRule rule : {HashRule::Native, HashRule::Wine}) {
        const quint32 hash = urlHash(url, rule);
        if ((key >> 6) == (hash >> 6) && hashBucket(hash) == bucket)
            return true;
    }
    return false;
}

void read(const IndexView &view)
{
    size_t bytes = 0;
    for (const CacheDirectory &dir : view.directories())
        bytes += size_t(dir.name.size());
    for (quint32 i = 0; i < view.itemCount(); ++i) {
        const auto record = view.urlRecordAt(i);
        if (!record)
            continue;
        bytes += size_t(record->url.size() + record->localName.size() + record->headerInfo.size() +
                        record->extension.size());
        const auto again = view.find(record->url);
        if (reachable(view, i, record->url) && (!again || again->url != record->url))
            __builtin_trap();
    }
    static volatile size_t sink;
    sink = bytes;
}

void trapUnlessSound(IndexFile &file)
{
    file.reparse();
    const IndexView *view = file.view();
    if (!view || !headerConsistent(view->data(), view->size()))
        __builtin_trap();
}

struct Killed
{
};

// Deletes what may be deleted, `limit` records at most.
int deleteRecords(IndexFile &file, int limit)
{
    IndexEditor editor(file);
    int deleted = 0;
    for (quint32 i = 0; i < file.view()->itemCount() && deleted < limit; ++i) {
        const auto record = file.view()->urlRecordAt(i);
        if (!record || !(editor.ownsBlocks(*record) || editor.blocksFree(*record)))
            continue;
        editor.removeRecord(*record);
        ++deleted;
        trapUnlessSound(file);
    }
    return deleted;
}

// Deletes what may be deleted, stopping after the write `stopAfter` as a kill would; a second
// pass must then mend the count, finish the stopped record and free what it left. Then adds two
// records. Header, bitmap and hash chain must agree after every step.
void edit(const std::vector<uchar> &bytes, int stopAfter)
{
    static const QByteArray path =
        QFile::encodeName(QStringLiteral("/tmp/navolis-fuzz-%1.dat").arg(::getpid()));
    {
        QFile out(QString::fromLocal8Bit(path));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        out.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    }
    auto file = IndexFile::open(QString::fromLocal8Bit(path));
    if (!file)
        return;
    {
        IndexLock lock(*file, true);
        if (!lock.view())
            return;
        int writes = 0;
        IndexEditor::setDeletionStepHook([&] {
            if (++writes == stopAfter)
                throw Killed();
        });
        try {
            deleteRecords(*file, 64);
        } catch (const Killed &) {
            file->reparse();
            if (!file->view() && !file->finishInterruptedCount())
                __builtin_trap();
        }
        IndexEditor::setDeletionStepHook({});
        IndexEditor editor(*file);
        deleteRecords(*file, 64);
        editor.freeLeftovers(editor.leftoversOfInterruptedDeletions());
        trapUnlessSound(*file);
        if (!editor.leftoversOfInterruptedDeletions().empty())
            __builtin_trap();
        for (const char *url : {"http://fuzz.example/a", "Visited: user@http://fuzz.example/"}) {
            NewUrlRecord record;
            record.url = url;
            record.localName = "a[0].htm";
            editor.addRecord(record);
            trapUnlessSound(*file);
        }
    }
    ::unlink(path.constData());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A private, aligned copy, as a mapping would be.
    std::vector<uchar> file(data, data + size);
    if (size >= layout::MinFileSize && (data[size - 1] & 1))
        makeConsistent(file);
    const auto view = IndexView::parse(file.data(), file.size());
    if (!view)
        return 0;
    read(*view);
    edit(file, size > 1 ? data[size - 2] : 0);
    return 0;
}
