#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A registry hive in Wine's text format ("WINE REGISTRY Version 2"). It keeps the file's own
// text, so that writing it back reproduces every byte that was not changed: a change rewrites
// only the value's line and the key's timestamp lines, and keys and values that are added go
// where Wine would sort them.
class RegHive
{
    struct Block;

public:
    // A hive of many small values spends most of its memory on these records: the name lies in
    // the hive's name store, the data is held only once it is read or set.
    struct Value
    {
        QString name() const { return nameView().toString(); }
        QStringView nameView() const { return QStringView(m_nameData, m_nameLength); }
        quint32 type = 0;

        // Decoded from the file's text on first use: most values of a big hive are never read.
        const QByteArray &data() const;
        void setData(QByteArray data);

    private:
        friend class RegHive;
        static constexpr quint32 decoded = 0xFFFFFFFF;

        void setName(QStringView name)
        {
            m_nameData = name.utf16();
            m_nameLength = quint32(name.size());
        }

        const char16_t *m_nameData = nullptr;
        quint32 m_nameLength = 0;
        quint32 m_dataDelta = 0;            // from the line's start to its data, while undecoded
        mutable quint32 m_lineAt = decoded; // the value's line in the source, while undecoded
        mutable std::unique_ptr<QByteArray> m_data;
        const RegHive *m_hive = nullptr;
    };

    class Key
    {
    public:
        QString name() const { return m_name.toString(); }
        const Key *parent() const { return m_parent; }
        // In stored order, which is the order Wine enumerates them in.
        const std::vector<Value *> &values() const { return m_values; }
        const Value *value(QStringView name) const;
        // Sorted as Wine sorts siblings.
        std::vector<const Key *> subkeys() const;
        int subkeyCount() const { return int(m_children.size()); }
        // Last write time as a FILETIME (100 ns ticks since 1601).
        quint64 lastWriteTime() const { return m_time; }
        const QString &className() const;

    private:
        friend class RegHive;
        // Names compare without regard to case, as Wine folds them, without a folded copy.
        Value *find(QStringView name) const;
        void index(Value *value);
        void unindex(Value *value);
        void buildIndex();
        Key *child(QStringView folded) const;

        // A key's blocks in file order, chained through the blocks: no allocation of its own.
        class Blocks
        {
        public:
            struct Iterator
            {
                Block *at;
                Block *operator*() const { return at; }
                Iterator &operator++();
                bool operator!=(const Iterator &other) const { return at != other.at; }
            };
            Iterator begin() const { return {m_first}; }
            Iterator end() const { return {nullptr}; }
            bool empty() const { return !m_first; }
            Block *front() const { return m_first; }
            void push_back(Block *block);

        private:
            Block *m_first = nullptr;
            Block *m_last = nullptr;
        };
        // What few keys have: a class name, and values enough to be worth sorting.
        struct Rare
        {
            QString className;
            std::vector<Value *> sorted;
        };
        Rare &rare();

        // Both in the hive's name store, as the values' names are.
        QStringView m_name;
        QStringView m_folded;
        Key *m_parent = nullptr;
        // A key's subkeys cost what they need: a short list is searched, and only a key with
        // many subkeys gets a table of them besides.
        static constexpr size_t indexedFrom = 16;
        void addChild(Key *key);
        std::vector<Key *> m_children;
        std::unique_ptr<QHash<QStringView, Key *>> m_childIndex;
        std::vector<Value *> m_values;
        // Only for keys with many values: the values sorted by folded name.
        std::unique_ptr<Rare> m_rare;
        // Set while parsing a key that has outgrown the scan: repeats are merged at the end.
        bool m_unindexed = false;
        Blocks m_blocks;
        quint64 m_time = 0;
    };

    // A file that does not parse gives a damaged hive: empty, and never to be written.
    static std::unique_ptr<RegHive> parse(const QByteArray &text);
    // An empty hive that starts with the given header lines.
    static std::unique_ptr<RegHive> create(const QByteArray &header);
    // The hive of a file that cannot be read as one: empty, and never to be written.
    static std::unique_ptr<RegHive> damaged();

    RegHive(const RegHive &) = delete;
    RegHive &operator=(const RegHive &) = delete;
    ~RegHive();

    bool isDamaged() const { return m_damaged; }
    QByteArray serialize() const;
    // The same text in pieces, handed to `sink` in order; false as soon as the sink refuses one.
    // Pieces of unchanged lines are views into the parsed file, so nothing is copied whole.
    using Sink = std::function<bool(QByteArrayView piece)>;
    bool serializeTo(const Sink &sink) const;

    const Key *root() const { return &m_keys.front(); }
    // Path elements below the root; names compare case-insensitively.
    const Key *findKey(const QStringList &path) const;
    // Creates what is missing of the path; returns the key and whether it was created.
    const Key *createKey(const QStringList &path, quint64 now, bool *created = nullptr);
    // Returns false when the value already held exactly this type and data.
    bool setValue(const Key *key, const QString &name, quint32 type, const QByteArray &data,
                  quint64 now);
    // Returns false when there was no such value.
    bool deleteValue(const Key *key, QStringView name, quint64 now);

    static quint64 currentFileTime();

private:
    enum class LineKind : quint8
    {
        Other,
        Option,
        Time,
        Value
    };
    // A slice of the parsed file, or a text of its own in m_ownTexts (then `length` is the
    // text's index there). Sixteen bytes: a hive holds one for nearly every line of its file.
    struct Line
    {
        static constexpr quint32 ownText = 0xFFFFFFFF;
        static constexpr quint32 maxLength = (1U << 30) - 1;

        quint32 begin = 0; // a new line is an empty slice until it is given a text
        quint32 length : 30 = 0;
        quint32 kindBits : 2 = 0;
        Value *value = nullptr;

        LineKind kind() const { return LineKind(kindBits); }
        void setKind(LineKind kind) { kindBits = quint32(kind); }
        bool ownsText() const { return begin == ownText; }
    };
    struct Block
    {
        Key *key = nullptr;
        Block *nextOfKey = nullptr;
        Line keyLine;
        qsizetype bracketEnd = 0; // length of the key line up to and including ']'
        std::vector<Line> lines;
        bool touched = false;
        bool isNew = false;
    };
    class Parser;

    RegHive() = default;
    QByteArray decodeData(qsizetype lineAt, qsizetype dataAt) const;
    QByteArrayView textOf(const Line &line) const;
    void setOwnText(Line &line, QByteArray text);
    Key *newKey(Key *parent, QStringView name, QStringView folded);
    Key *mutableKey(const Key *key) { return const_cast<Key *>(key); }
    Block *newBlock(Key *key);
    void touch(Key *key, quint64 now);
    void insertValueLine(Key *key, Value *value);
    class Output;
    void appendLine(Output &out, const Line &line) const;
    void writeBlock(Output &out, const Block &block) const;

    // Keeps names in large shared pieces, so that a value's name costs no allocation of its own.
    QStringView keepName(QStringView name);

    QByteArray m_source;
    std::deque<QByteArray> m_ownTexts;
    std::vector<std::unique_ptr<char16_t[]>> m_namePieces;
    char16_t *m_nameNext = nullptr; // where the next short name goes
    qsizetype m_nameRoom = 0;
    Line m_header;
    std::deque<Key> m_keys; // the root first
    std::deque<Value> m_valueStore;
    std::deque<Block> m_blockStore;
    std::vector<Block *> m_order; // blocks in file order
    bool m_damaged = false;
};
