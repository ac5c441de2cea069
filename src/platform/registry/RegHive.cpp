#include "platform/registry/RegHive.h"

#include "platform/kernel/FileTime.h"
#include "platform/kernel/WinTypes.h"
#include "platform/registry/RegText.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <unordered_map>

using namespace win;
using regtext::appendHex;
using regtext::hexValue;

namespace {

constexpr quint64 unixEpochFileTime = platform::UnixEpochAsFileTime;
constexpr quint64 ticksPerSecond = 10000000ULL;
constexpr qsizetype maxKeyNameLength = 256;
constexpr qsizetype maxValueNameLength = 16383;
// A few values are found faster by a scan than through an index that each key would keep.
constexpr size_t indexedValueCount = 8;
constexpr char headerLine[] = "WINE REGISTRY Version 2";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && isBlank(*p))
        ++p;
    return p;
}

bool startsWith(const char *p, const char *end, const char *prefix)
{
    const size_t n = std::strlen(prefix);
    return size_t(end - p) >= n && std::memcmp(p, prefix, n) == 0;
}

void appendDecimal(QByteArray &out, quint32 v)
{
    char buf[12];
    int n = 0;
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    while (n)
        out.append(buf[--n]);
}

std::vector<const RegHive::Key *> chainOf(const RegHive::Key *key)
{
    std::vector<const RegHive::Key *> chain;
    for (; key && key->parent(); key = key->parent())
        chain.push_back(key);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

} // namespace

// Reads the file line by line; any line that Wine would reject as malformed fails the whole parse.
class RegHive::Parser
{
public:
    explicit Parser(RegHive &hive)
        : m_hive(hive), m_begin(hive.m_source.constData()), m_end(m_begin + hive.m_source.size()),
          m_now(RegHive::currentFileTime())
    {
    }

    bool run();
    // The data of a value that run() checked, from its line and the start of its data text.
    QByteArray decode(qsizetype lineOffset, qsizetype dataAt);

private:
    struct LineSpan
    {
        const char *start;   // first byte of the line
        const char *content; // after leading blanks
        const char *end;     // before "\r\n" or "\n"
        const char *next;    // first byte of the following line
    };

    LineSpan lineAt(const char *p) const;
    void finishBlock();
    bool parseKeyLine(const LineSpan &line);
    void parseOption(const LineSpan &line);
    bool parseValue(LineSpan &line);
    bool parseData(const char *p, LineSpan &line, quint32 &type, QByteArray &data);
    bool parseHex(const char *p, LineSpan &line, QByteArray &data);
    RegHive::Key *child(RegHive::Key *parent, QStringView name, QStringView folded);
    Line span(const char *from, const char *to, LineKind kind = LineKind::Other,
              Value *value = nullptr) const;

    RegHive &m_hive;
    const char *m_begin;
    const char *m_end;
    quint64 m_now;
    Block *m_block = nullptr;
    QByteArray m_scratch; // data is checked into it and left undecoded in the values
    QString m_name;
};

RegHive::Line RegHive::Parser::span(const char *from, const char *to, LineKind kind,
                                    Value *value) const
{
    Line line;
    line.begin = quint32(from - m_begin);
    line.length = quint32(to - from);
    line.setKind(kind);
    line.value = value;
    return line;
}

RegHive::Parser::LineSpan RegHive::Parser::lineAt(const char *p) const
{
    const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(m_end - p)));
    LineSpan line{p, skipBlanks(p, nl ? nl : m_end), nl ? nl : m_end, nl ? nl + 1 : m_end};
    if (line.end > line.content && line.end[-1] == '\r')
        --line.end;
    return line;
}

// A finished block's lists take only the room they need: in a hive of many small keys, the
// room that growing lists keep in reserve would otherwise be a large part of its memory.
void RegHive::Parser::finishBlock()
{
    if (!m_block)
        return;
    m_block->lines.shrink_to_fit();
    m_block->key->m_values.shrink_to_fit();
}

bool RegHive::Parser::run()
{
    if (m_begin == m_end)
        return false;
    const LineSpan first = lineAt(m_begin);
    if (QByteArrayView(first.start, first.end - first.start) != QByteArrayView(headerLine))
        return false;
    m_hive.m_header.begin = 0;
    for (const char *p = first.next; p < m_end;) {
        LineSpan line = lineAt(p);
        // A line longer than a record can hold is no registry line (and no header either).
        if (line.next - line.start > Line::maxLength ||
            (!m_block && line.next - m_begin > Line::maxLength))
            return false;
        const char c = line.content < line.end ? *line.content : 0;
        if (c == '[') {
            if (!m_block)
                m_hive.m_header.length = quint32(line.start - m_begin);
            if (!parseKeyLine(line))
                return false;
        } else if (c == '@' || c == '"') {
            if (!m_block || !parseValue(line))
                return false;
        } else if (m_block) {
            if (c == '#')
                parseOption(line);
            else
                m_block->lines.push_back(span(line.start, line.next));
        }
        p = line.next;
    }
    finishBlock();
    if (!m_block)
        m_hive.m_header.length = quint32(m_end - m_begin);
    // Keys that outgrew the scan were filled without looking for repeats: merge them now.
    for (Key &key : m_hive.m_keys) {
        if (key.m_unindexed)
            key.buildIndex();
    }
    return true;
}

RegHive::Key *RegHive::Parser::child(Key *parent, QStringView name, QStringView folded)
{
    if (Key *found = parent->child(folded))
        return found;
    return m_hive.newKey(parent, name, folded);
}

bool RegHive::Parser::parseKeyLine(const LineSpan &line)
{
    QString path;
    const char *after = regtext::parseEscaped(line.content + 1, line.end, ']', path);
    if (!after)
        return false;
    // Folding keeps every unit in its place, so one folded copy serves each element.
    const QString folded = regtext::fold(path);
    Key *key = &m_hive.m_keys.front();
    for (const QStringView element : QStringView(path).tokenize(u'\\', Qt::SkipEmptyParts)) {
        if (element.size() > maxKeyNameLength)
            return false;
        const qsizetype at = element.data() - path.constData();
        key = child(key, element, QStringView(folded).mid(at, element.size()));
    }
    quint64 time = m_now;
    const char *p = skipBlanks(after, line.end);
    if (p < line.end && *p >= '0' && *p <= '9') {
        quint64 seconds = 0;
        for (; p < line.end && *p >= '0' && *p <= '9'; ++p)
            seconds = seconds * 10 + quint64(*p - '0');
        time = seconds * ticksPerSecond + unixEpochFileTime;
    }
    key->m_time = time;
    finishBlock();
    m_block = &m_hive.m_blockStore.emplace_back();
    m_block->key = key;
    m_block->keyLine = span(line.start, line.next);
    m_block->bracketEnd = after - line.start;
    key->m_blocks.push_back(m_block);
    m_hive.m_order.push_back(m_block);
    return true;
}

void RegHive::Parser::parseOption(const LineSpan &line)
{
    Line stored = span(line.start, line.next, LineKind::Option);
    Key *key = m_block->key;
    if (startsWith(line.content, line.end, "#time=")) {
        stored.setKind(LineKind::Time);
        quint64 time = 0;
        int digits = 0;
        for (const char *p = line.content + 6; p < line.end && hexValue(*p) >= 0; ++p, ++digits)
            time = time * 16 + quint64(hexValue(*p));
        if (digits)
            key->m_time = time;
    } else if (startsWith(line.content, line.end, "#class=\"")) {
        QString cls;
        if (regtext::parseEscaped(line.content + 8, line.end, '"', cls))
            key->rare().className = cls;
    }
    m_block->lines.push_back(std::move(stored));
}

bool RegHive::Parser::parseValue(LineSpan &line)
{
    QString &name = m_name; // its room is reused from value to value
    name.resize(0);
    const char *p = line.content + 1;
    if (*line.content == '"') {
        p = regtext::parseEscaped(p, line.end, '"', name);
        if (!p || name.size() > maxValueNameLength)
            return false;
    }
    p = skipBlanks(p, line.end);
    if (p == line.end || *p != '=')
        return false;
    quint32 type = 0;
    const char *start = line.start;
    const char *dataAt = skipBlanks(p + 1, line.end);
    m_scratch.resize(0);
    if (!parseData(dataAt, line, type, m_scratch) || line.next - start > Line::maxLength)
        return false;

    Key *key = m_block->key;
    Value *value = key->m_unindexed ? nullptr : key->find(name);
    if (!value) {
        value = &m_hive.m_valueStore.emplace_back();
        value->setName(m_hive.keepName(name));
        value->m_hive = &m_hive;
        key->m_values.push_back(value);
        key->m_unindexed = key->m_values.size() > indexedValueCount;
    }
    // A repeated value keeps its first spelling and takes the last data.
    value->type = type;
    value->m_data.reset();
    value->m_lineAt = quint32(start - m_begin);
    value->m_dataDelta = quint32(dataAt - start);
    m_block->lines.push_back(span(start, line.next, LineKind::Value, value));
    return true;
}

QByteArray RegHive::Parser::decode(qsizetype lineOffset, qsizetype dataAt)
{
    LineSpan line = lineAt(m_begin + lineOffset);
    quint32 type = 0;
    QByteArray data;
    parseData(m_begin + dataAt, line, type, data);
    return data;
}

bool RegHive::Parser::parseData(const char *p, LineSpan &line, quint32 &type, QByteArray &data)
{
    const char *end = line.end;
    const char *text = nullptr;
    if (p < end && *p == '"') {
        type = REG_SZ, text = p + 1;
    } else if (startsWith(p, end, "str:\"")) {
        type = REG_SZ, text = p + 5;
    } else if (startsWith(p, end, "str(") || startsWith(p, end, "hex(")) {
        const bool isString = *p == 's';
        int digits = 0;
        type = 0;
        for (p += 4; p < end && hexValue(*p) >= 0; ++p, ++digits)
            type = type * 16 + quint32(hexValue(*p));
        if (!digits || digits > 8 || !startsWith(p, end, isString ? "):\"" : "):"))
            return false;
        if (!isString)
            return parseHex(p + 2, line, data);
        text = p + 3;
    } else if (startsWith(p, end, "dword:")) {
        type = REG_DWORD;
        quint32 dw = 0;
        int digits = 0;
        for (p += 6; p < end && hexValue(*p) >= 0; ++p, ++digits)
            dw = dw * 16 + quint32(hexValue(*p));
        if (!digits)
            return false;
        data = QByteArray(reinterpret_cast<const char *>(&dw), 4);
        return true;
    } else if (startsWith(p, end, "hex:")) {
        type = REG_BINARY;
        return parseHex(p + 4, line, data);
    } else {
        return false;
    }
    return regtext::parseEscapedData(text, end, '"', data);
}

bool RegHive::Parser::parseHex(const char *p, LineSpan &line, QByteArray &data)
{
    for (;;) {
        p = skipBlanks(p, line.end);
        if (p == line.end)
            return true;
        if (*p == '\\' && skipBlanks(p + 1, line.end) == line.end) {
            if (line.next >= m_end)
                return false; // a continuation with nothing to continue
            const char *start = line.start;
            line = lineAt(line.next);
            line.start = start;
            p = line.content;
            continue;
        }
        const int high = hexValue(*p++);
        if (high < 0)
            return false;
        int byte = high;
        if (p < line.end && hexValue(*p) >= 0)
            byte = high * 16 + hexValue(*p++);
        data.append(char(byte));
        p = skipBlanks(p, line.end);
        if (p == line.end)
            return true;
        if (*p == ',')
            ++p;
        else if (*p != '\\')
            return false;
    }
}

RegHive::~RegHive() = default;

QByteArray RegHive::decodeData(qsizetype lineAt, qsizetype dataAt) const
{
    return Parser(const_cast<RegHive &>(*this)).decode(lineAt, dataAt);
}

const QByteArray &RegHive::Value::data() const
{
    if (m_lineAt != decoded) {
        m_data = std::make_unique<QByteArray>(
            m_hive->decodeData(qsizetype(m_lineAt), qsizetype(m_lineAt) + m_dataDelta));
        m_lineAt = decoded;
    } else if (!m_data) {
        m_data = std::make_unique<QByteArray>();
    }
    return *m_data;
}

void RegHive::Value::setData(QByteArray data)
{
    m_data = std::make_unique<QByteArray>(std::move(data));
    m_lineAt = decoded;
}

QStringView RegHive::keepName(QStringView name)
{
    constexpr qsizetype pieceSize = 1 << 15;
    if (name.isEmpty())
        return {};
    const auto newPiece = [this](qsizetype size) {
        m_namePieces.push_back(std::make_unique_for_overwrite<char16_t[]>(size_t(size)));
        return m_namePieces.back().get();
    };
    char16_t *at = nullptr;
    if (name.size() > pieceSize / 4) {
        at = newPiece(name.size()); // a long name gets a piece of its own
    } else {
        if (name.size() > m_nameRoom) {
            m_nameNext = newPiece(pieceSize);
            m_nameRoom = pieceSize;
        }
        at = m_nameNext;
        m_nameNext += name.size();
        m_nameRoom -= name.size();
    }
    std::memcpy(at, name.utf16(), size_t(name.size()) * sizeof(char16_t));
    return QStringView(at, name.size());
}

QByteArrayView RegHive::textOf(const Line &line) const
{
    if (!line.ownsText())
        return QByteArrayView(m_source.constData() + line.begin, line.length);
    return m_ownTexts[line.length];
}

// A line given a new text a second time reuses its place.
void RegHive::setOwnText(Line &line, QByteArray text)
{
    if (line.ownsText()) {
        m_ownTexts[line.length] = std::move(text);
        return;
    }
    line.begin = Line::ownText;
    line.length = quint32(m_ownTexts.size());
    m_ownTexts.push_back(std::move(text));
}

std::unique_ptr<RegHive> RegHive::parse(const QByteArray &text)
{
    // Line records keep 32-bit offsets; no registry file comes near 4 GiB.
    if (quint64(text.size()) >= Line::ownText)
        return damaged();
    std::unique_ptr<RegHive> hive(new RegHive);
    hive->m_source = text;
    hive->m_keys.emplace_back();
    if (!Parser(*hive).run())
        return damaged();
    return hive;
}

std::unique_ptr<RegHive> RegHive::damaged()
{
    std::unique_ptr<RegHive> hive(new RegHive);
    hive->m_keys.emplace_back();
    hive->m_damaged = true;
    return hive;
}

std::unique_ptr<RegHive> RegHive::create(const QByteArray &header)
{
    std::unique_ptr<RegHive> hive(new RegHive);
    hive->m_keys.emplace_back();
    hive->setOwnText(hive->m_header, header);
    return hive;
}

quint64 RegHive::currentFileTime()
{
    using namespace std::chrono;
    const auto ticks = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return quint64(ticks / 100) + unixEpochFileTime;
}

const RegHive::Value *RegHive::Key::value(QStringView name) const
{
    return find(name);
}

RegHive::Key *RegHive::Key::child(QStringView folded) const
{
    if (m_childIndex)
        return m_childIndex->value(folded, nullptr);
    for (Key *key : m_children)
        if (key->m_folded == folded)
            return key;
    return nullptr;
}

void RegHive::Key::addChild(Key *key)
{
    m_children.push_back(key);
    if (m_childIndex) {
        m_childIndex->insert(key->m_folded, key);
    } else if (m_children.size() >= indexedFrom) {
        m_childIndex = std::make_unique<QHash<QStringView, Key *>>();
        m_childIndex->reserve(qsizetype(m_children.size()));
        for (Key *child : m_children)
            m_childIndex->insert(child->m_folded, child);
    }
}

namespace {

bool foldedLess(const RegHive::Value *a, const RegHive::Value *b)
{
    return regtext::compareFolded(a->nameView(), b->nameView()) < 0;
}

} // namespace

RegHive::Key::Blocks::Iterator &RegHive::Key::Blocks::Iterator::operator++()
{
    at = at->nextOfKey;
    return *this;
}

void RegHive::Key::Blocks::push_back(Block *block)
{
    (m_last ? m_last->nextOfKey : m_first) = block;
    m_last = block;
}

RegHive::Key::Rare &RegHive::Key::rare()
{
    if (!m_rare)
        m_rare = std::make_unique<Rare>();
    return *m_rare;
}

const QString &RegHive::Key::className() const
{
    static const QString none;
    return m_rare ? m_rare->className : none;
}

RegHive::Value *RegHive::Key::find(QStringView name) const
{
    if (m_rare && !m_rare->sorted.empty()) {
        const std::vector<Value *> &sorted = m_rare->sorted;
        const auto at = std::lower_bound(
            sorted.begin(), sorted.end(), name, [](const Value *value, QStringView wanted) {
                return regtext::compareFolded(value->nameView(), wanted) < 0;
            });
        return at != sorted.end() && regtext::compareFolded((*at)->nameView(), name) == 0 ? *at
                                                                                          : nullptr;
    }
    for (Value *value : m_values) {
        if (value->m_nameLength == name.size() &&
            regtext::compareFolded(value->nameView(), name) == 0)
            return value;
    }
    return nullptr;
}

// Call after adding the value to m_values.
void RegHive::Key::index(Value *value)
{
    if (m_rare && !m_rare->sorted.empty()) {
        std::vector<Value *> &sorted = m_rare->sorted;
        sorted.insert(std::lower_bound(sorted.begin(), sorted.end(), value, foldedLess), value);
    } else if (m_values.size() > indexedValueCount) {
        buildIndex();
    }
}

void RegHive::Key::unindex(Value *value)
{
    if (!m_rare)
        return;
    std::vector<Value *> &sorted = m_rare->sorted;
    const auto from = std::lower_bound(sorted.begin(), sorted.end(), value, foldedLess);
    const auto at = std::find(from, sorted.end(), value);
    if (at != sorted.end())
        sorted.erase(at);
}

// Sorts the values by folded name. A name that came more than once (a parse that did not look
// for repeats) keeps its first spelling and place and takes the last data, as the scan does.
void RegHive::Key::buildIndex()
{
    m_unindexed = false;
    std::vector<Value *> &sorted = rare().sorted;
    sorted = m_values;
    std::stable_sort(sorted.begin(), sorted.end(), foldedLess);
    std::unordered_map<const Value *, Value *> mergedInto;
    auto kept = sorted.begin();
    for (auto it = sorted.begin(); it != sorted.end(); ++it) {
        if (it == kept || regtext::compareFolded((*kept)->nameView(), (*it)->nameView()) != 0) {
            kept = it;
            continue;
        }
        Value *first = *kept;
        const Value *later = *it;
        first->type = later->type;
        first->m_lineAt = later->m_lineAt;
        first->m_dataDelta = later->m_dataDelta;
        first->m_data.reset();
        mergedInto.emplace(later, first);
    }
    if (mergedInto.empty())
        return;
    const auto merged = [&](const Value *value) { return mergedInto.count(value) != 0; };
    std::erase_if(sorted, merged);
    std::erase_if(m_values, merged);
    for (Block *block : m_blocks) {
        for (Line &line : block->lines) {
            if (const auto found = mergedInto.find(line.value); found != mergedInto.end())
                line.value = found->second;
        }
    }
}

std::vector<const RegHive::Key *> RegHive::Key::subkeys() const
{
    std::vector<const Key *> keys(m_children.begin(), m_children.end());
    std::sort(keys.begin(), keys.end(),
              [](const Key *a, const Key *b) { return a->m_folded < b->m_folded; });
    return keys;
}

const RegHive::Key *RegHive::findKey(const QStringList &path) const
{
    const Key *key = root();
    for (const QString &name : path) {
        key = key->child(regtext::fold(name));
        if (!key)
            return nullptr;
    }
    return key;
}

RegHive::Key *RegHive::newKey(Key *parent, QStringView name, QStringView folded)
{
    Key &key = m_keys.emplace_back();
    key.m_name = keepName(name);
    key.m_folded = folded == name ? key.m_name : keepName(folded);
    key.m_parent = parent;
    parent->addChild(&key);
    return &key;
}

// A new block goes where Wine's depth-first, sorted order puts its key.
RegHive::Block *RegHive::newBlock(Key *key)
{
    Block *block = &m_blockStore.emplace_back();
    block->key = key;
    block->isNew = true;
    block->touched = true;
    QByteArray line("[");
    const auto chain = chainOf(key);
    for (size_t i = 0; i < chain.size(); ++i) {
        if (i)
            line.append("\\\\");
        regtext::appendEscaped(line, chain[i]->m_name, '[', ']');
    }
    line.append(']');
    setOwnText(block->keyLine, line);
    block->bracketEnd = line.size();
    key->m_blocks.push_back(block);

    const auto before = [&chain](const Block *other) {
        const auto otherChain = chainOf(other->key);
        const size_t n = std::min(chain.size(), otherChain.size());
        for (size_t i = 0; i < n; ++i) {
            if (otherChain[i]->m_folded != chain[i]->m_folded)
                return otherChain[i]->m_folded < chain[i]->m_folded;
        }
        return otherChain.size() < chain.size();
    };
    m_order.insert(std::partition_point(m_order.begin(), m_order.end(), before), block);
    return block;
}

const RegHive::Key *RegHive::createKey(const QStringList &path, quint64 now, bool *created)
{
    Key *key = &m_keys.front();
    bool made = false;
    for (const QString &name : path) {
        const QString folded = regtext::fold(name);
        Key *next = key->child(folded);
        if (!next) {
            if (!made)
                touch(key, now); // a new subkey changes its parent's last write time
            next = newKey(key, name, folded);
            next->m_time = now;
            made = true;
        }
        key = next;
    }
    if (made)
        newBlock(key);
    if (created)
        *created = made;
    return key;
}

void RegHive::touch(Key *key, quint64 now)
{
    key->m_time = now;
    for (Block *block : key->m_blocks)
        block->touched = true;
}

// The new line goes next to the line of its neighbour in value order, so that the file lists
// the values in the same order as the key does, even for a key stored in several blocks.
void RegHive::insertValueLine(Key *key, Value *value)
{
    Line line;
    setOwnText(line, regtext::formatValue(value->nameView(), value->type, value->data()));
    line.value = value;
    line.setKind(LineKind::Value);
    const auto &values = key->m_values;
    const auto at = std::find(values.begin(), values.end(), value);
    const Value *next = at + 1 != values.end() ? *(at + 1) : nullptr;
    const Value *previous = at != values.begin() ? *(at - 1) : nullptr;
    if (const Value *neighbour = next ? next : previous) {
        for (Block *block : key->m_blocks) {
            auto &lines = block->lines;
            const auto found = std::find_if(lines.begin(), lines.end(),
                                            [&](const Line &l) { return l.value == neighbour; });
            if (found != lines.end()) {
                lines.insert(next ? found : found + 1, std::move(line));
                return;
            }
        }
    }
    Block *block = key->m_blocks.empty() ? newBlock(key) : key->m_blocks.front();
    auto &lines = block->lines;
    auto pos = lines.begin(); // after the key's option lines
    while (pos != lines.end() && (pos->kind() == LineKind::Option || pos->kind() == LineKind::Time))
        ++pos;
    lines.insert(pos, std::move(line));
}

bool RegHive::setValue(const Key *constKey, const QString &name, quint32 type,
                       const QByteArray &data, quint64 now)
{
    Key *key = mutableKey(constKey);
    if (Value *value = key->find(name)) {
        if (value->type == type && value->data() == data)
            return false;
        value->type = type;
        value->setData(data);
        bool first = true;
        for (Block *block : key->m_blocks) {
            std::erase_if(block->lines, [&](Line &line) {
                if (line.value != value)
                    return false;
                if (!first)
                    return true; // later duplicates would override the new data
                first = false;
                setOwnText(line, regtext::formatValue(value->nameView(), type, data));
                return false;
            });
        }
    } else {
        Value *added = &m_valueStore.emplace_back();
        added->setName(keepName(name));
        added->m_hive = this;
        added->type = type;
        added->setData(data);
        auto &values = key->m_values;
        values.insert(std::lower_bound(values.begin(), values.end(), added, foldedLess), added);
        key->index(added);
        insertValueLine(key, added);
    }
    touch(key, now);
    return true;
}

bool RegHive::deleteValue(const Key *constKey, QStringView name, quint64 now)
{
    Key *key = mutableKey(constKey);
    Value *value = key->find(name);
    if (!value)
        return false;
    key->unindex(value);
    std::erase(key->m_values, value);
    for (Block *block : key->m_blocks)
        std::erase_if(block->lines, [value](const Line &line) { return line.value == value; });
    touch(key, now);
    return true;
}

// The text being written: small pieces gather in a buffer, long runs of the file go to the sink
// as they are. It remembers the last two bytes, which the layout rules look at.
class RegHive::Output
{
public:
    explicit Output(const Sink &sink) : m_sink(sink) {}

    void append(QByteArrayView piece)
    {
        if (piece.isEmpty() || m_failed)
            return;
        remember(piece);
        if (piece.size() >= bufferSize) {
            flush();
            m_failed = !m_sink(piece);
            return;
        }
        m_buffer.append(piece);
        if (m_buffer.size() >= bufferSize)
            flush();
    }
    void append(char c) { append(QByteArrayView(&c, 1)); }
    bool isEmpty() const { return m_tailSize == 0; }
    bool endsWith(QByteArrayView text) const
    {
        return text.size() <= m_tailSize &&
               QByteArrayView(m_tail + 2 - text.size(), text.size()) == text;
    }
    bool finish()
    {
        flush();
        return !m_failed;
    }

private:
    static constexpr qsizetype bufferSize = 1 << 20;

    void remember(QByteArrayView piece)
    {
        if (piece.size() >= 2) {
            m_tail[0] = piece[piece.size() - 2];
        } else {
            m_tail[0] = m_tail[1];
        }
        m_tail[1] = piece.back();
        m_tailSize = qMin(m_tailSize + int(piece.size()), 2);
    }
    void flush()
    {
        if (!m_buffer.isEmpty() && !m_failed)
            m_failed = !m_sink(m_buffer);
        m_buffer.resize(0);
    }

    const Sink &m_sink;
    QByteArray m_buffer;
    char m_tail[2] = {};
    int m_tailSize = 0;
    bool m_failed = false;
};

void RegHive::appendLine(Output &out, const Line &line) const
{
    if (!line.ownsText()) {
        out.append(textOf(line));
        return;
    }
    if (!out.isEmpty() && !out.endsWith("\n"))
        out.append('\n'); // the file's last line may lack its newline
    out.append(textOf(line));
}

void RegHive::writeBlock(Output &out, const Block &block) const
{
    if (!block.touched) {
        appendLine(out, block.keyLine);
        for (const Line &line : block.lines)
            appendLine(out, line);
        return;
    }
    const char *keyText = textOf(block.keyLine).data();
    const quint64 time = block.key->m_time;
    if (!out.isEmpty() && !out.endsWith("\n"))
        out.append('\n');
    QByteArray head(keyText, block.bracketEnd);
    head.append(' ');
    appendDecimal(head, quint32(qint64(time - unixEpochFileTime) / qint64(ticksPerSecond)));
    head.append("\n#time=");
    appendHex(head, quint32(time >> 32), 1);
    appendHex(head, quint32(time), 8);
    head.append('\n');
    out.append(head);
    for (const Line &line : block.lines) {
        if (line.kind() != LineKind::Time)
            appendLine(out, line);
    }
}

bool RegHive::serializeTo(const Sink &sink) const
{
    Output out(sink);
    appendLine(out, m_header);
    for (size_t i = 0; i < m_order.size(); ++i) {
        const Block *block = m_order[i];
        if (block->isNew) {
            // Wine puts one blank line before each key
            if (!out.isEmpty() && !out.endsWith("\n"))
                out.append('\n');
            if (!out.isEmpty() && !out.endsWith("\n\n"))
                out.append('\n');
        }
        writeBlock(out, *block);
        if (block->isNew && i + 1 < m_order.size())
            out.append('\n');
    }
    return out.finish();
}

QByteArray RegHive::serialize() const
{
    QByteArray text;
    text.reserve(m_source.size() + 1024);
    serializeTo([&text](QByteArrayView piece) {
        text.append(piece);
        return true;
    });
    return text;
}
