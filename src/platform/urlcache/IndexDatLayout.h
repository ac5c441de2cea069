#pragma once

#include <QtEndian>
#include <QtGlobal>
#include <cstring>

// Offsets and constants of an index.dat URL cache container.
namespace urlcache::layout {

constexpr quint32 BlockSize = 0x80;
constexpr quint32 FirstBlock = 0x4000;
constexpr quint32 MinFileSize = 0x8000;
constexpr quint32 InitialBlocks = (MinFileSize - FirstBlock) / BlockSize;
constexpr quint32 NativeGrowthBlocks = 0x4000 / BlockSize;

constexpr quint32 SignatureSize = 28;
constexpr char NativeSignature[] = "Client UrlCache MMF Ver 5.2";
constexpr char WineSignature[] = "WINE URLCache Ver 0.2012001";

constexpr quint32 FileSizeField = 0x1C;
constexpr quint32 HashTableField = 0x20;
constexpr quint32 CapacityField = 0x24;
constexpr quint32 BlocksInUseField = 0x28;
constexpr quint32 CacheLimitField = 0x30;
constexpr quint32 CacheUsageField = 0x38;
constexpr quint32 ExemptUsageField = 0x40;
constexpr quint32 DirCountField = 0x48;
constexpr quint32 DirTable = 0x4C;
constexpr quint32 DirEntrySize = 12;
constexpr quint32 DirNameSize = 8;
constexpr quint32 MaxDirs = 32;
constexpr quint64 DefaultCacheLimit = 0x07FF5400;

constexpr quint32 Bitmap = 0x250;
constexpr quint32 BitmapSize = 0x3DB0;
constexpr quint32 MaxBlocks = BitmapSize * 8;

constexpr quint32 HashBlocks = 0x20;
constexpr quint32 HashTableSize = HashBlocks * BlockSize;
constexpr quint32 HashNextField = 0x08;
constexpr quint32 HashSequenceField = 0x0C;
constexpr quint32 HashItemsStart = 0x10;
constexpr quint32 HashItemSize = 8;
constexpr quint32 HashItems = 448;
constexpr quint32 BucketItems = 7;

constexpr quint32 KeyFree = 1;
constexpr quint32 KeyNeverUsed = 3;
constexpr quint32 KeyFlagMask = 0x3F;
constexpr quint32 KeyUninitialised1 = 0x0BADF00D;
constexpr quint32 KeyUninitialised2 = 0xDEADBEEF;
constexpr quint32 AllocationFill = 0xDEADBEEF;

// URL record, offsets from the record start.
constexpr quint32 RecordBlocksField = 0x04;
constexpr quint32 RecordHeaderSize = 0x08; // signature and count of blocks
constexpr quint32 UrlLastModified = 0x08;
constexpr quint32 UrlLastAccess = 0x10;
constexpr quint32 UrlExpireDate = 0x18;
constexpr quint32 UrlFileSize = 0x20;
constexpr quint32 UrlExemptDelta = 0x2C;
constexpr quint32 UrlHeaderSizeField = 0x30;
constexpr quint32 UrlUrlOffset = 0x34;
constexpr quint32 UrlDirIndex = 0x38;
constexpr quint32 UrlLayoutMarker = 0x3A;
constexpr quint32 UrlLocalNameOffset = 0x3C;
constexpr quint32 UrlEntryType = 0x40;
constexpr quint32 UrlHeaderInfoOffset = 0x44;
constexpr quint32 UrlHeaderInfoSize = 0x48;
constexpr quint32 UrlExtensionOffset = 0x4C;
constexpr quint32 UrlLastSyncDate = 0x50;
constexpr quint32 UrlHitRate = 0x54;
constexpr quint32 UrlUseCount = 0x58;
constexpr quint32 UrlFileWriteDate = 0x5C;
constexpr quint32 UrlMinHeader = 0x60;
constexpr quint32 UrlHeaderSize = 0x68;
constexpr quint8 NoDirectory = 0xFE;

constexpr quint32 StickyEntry = 0x4;

// Header data dwords: the head of the LEAK list and the native group pages; a LEAK record's
// link to the next.
constexpr quint32 LeakListField = 0x1CC + 4 * 0x16;
constexpr quint32 FirstGroupField = 0x1CC + 4 * 0x05;
constexpr quint32 GroupListField = 0x1CC + 4 * 0x1B;
constexpr quint32 LeakNextField = 0x2C;

// A hash item key that names no record.
constexpr bool isUnusedKey(quint32 key)
{
    return key == KeyFree || key == KeyNeverUsed || key == KeyUninitialised1 ||
           key == KeyUninitialised2;
}

inline quint32 readU32(const uchar *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

inline quint16 readU16(const uchar *p)
{
    quint16 v;
    std::memcpy(&v, p, 2);
    return qFromLittleEndian(v);
}

inline quint64 readU64(const uchar *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return qFromLittleEndian(v);
}

inline void writeU32(uchar *p, quint32 v)
{
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 4);
}

inline void writeU16(uchar *p, quint16 v)
{
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 2);
}

inline void writeU64(uchar *p, quint64 v)
{
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 8);
}

} // namespace urlcache::layout
