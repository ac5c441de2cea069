// Feeds arbitrary bytes to the container reader: header, hash chain and every record.

#include "platform/IndexView.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A private, aligned copy, as a mapping would be.
    std::vector<uchar> file(data, data + size);
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
