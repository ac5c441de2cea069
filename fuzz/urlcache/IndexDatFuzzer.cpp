// Feeds arbitrary bytes to the container reader: header, hash chain and every record.

#include "platform/IndexDatLayout.h"
#include "platform/IndexView.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Makes the header agree with the size and bitmap, so that mutations reach the records
// instead of stopping at the consistency checks.
void makeConsistent(std::vector<uchar> &file)
{
    using namespace urlcache::layout;
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A private, aligned copy, as a mapping would be.
    std::vector<uchar> file(data, data + size);
    if (size >= urlcache::layout::MinFileSize && (data[size - 1] & 1))
        makeConsistent(file);
    const auto view = urlcache::IndexView::parse(file.data(), file.size());
    if (!view)
        return 0;
    size_t bytes = 0;
    for (const urlcache::CacheDirectory &dir : view->directories())
        bytes += size_t(dir.name.size());
    for (quint32 i = 0; i < view->itemCount(); ++i) {
        const auto record = view->urlRecordAt(i);
        if (!record)
            continue;
        bytes += size_t(record->url.size() + record->localName.size() + record->headerInfo.size() +
                        record->extension.size());
        // Every URL found by walking must be found again by lookup.
        const auto again = view->find(record->url);
        if (!again || again->url != record->url)
            __builtin_trap();
    }
    static volatile size_t sink;
    sink = bytes;
    return 0;
}
