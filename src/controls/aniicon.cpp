#include "controls/aniicon.h"

#include "controls/ClickableAccessible.h"
#include "controls/KeyboardAccess.h"

#include <QFile>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cstring>

// Registers the artwork compiled into this library; referencing it here also keeps the
// linker from dropping it out of the static library.
static void registerAniResources()
{
    Q_INIT_RESOURCE(ani);
}

namespace {

constexpr quint32 kMinFrameChunk = 766; // a 32 x 32 icon at 4 bits, the smallest we play
constexpr qsizetype kIconHeaderBytes = 6 + 16;
// Room for the largest classic 32 x 32 icon image: header, 32-bit colours and mask.
constexpr qsizetype kMaxImageBytes = 40 + 32 * 32 * 4 + 32 * 4;
constexpr int kDefaultRateEntries = 81;
constexpr int kJiffiesPerTick = 2;

struct ChunkHeader
{
    char id[4] = {};
    quint32 size = 0;

    // Identifiers match after dropping spaces and control bytes, so "seq " is "seq".
    bool is(const char *name) const
    {
        QByteArray kept;
        for (char c : id) {
            if (uchar(c) > 32)
                kept += c;
        }
        return kept.contains(name);
    }
};

qsizetype roundUpEven(quint32 size)
{
    return qsizetype(size) + (size & 1);
}

// Overwrites the start of a table of little-endian numbers with raw bytes.
void overlay(std::array<quint32, TAniIconFile::TableSize> &table, QByteArrayView bytes)
{
    std::array<uchar, TAniIconFile::TableSize * 4> raw;
    for (size_t i = 0; i < table.size(); ++i)
        qToLittleEndian(table[i], raw.data() + 4 * i);
    std::memcpy(raw.data(), bytes.data(), std::min<size_t>(bytes.size(), raw.size()));
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = qFromLittleEndian<quint32>(raw.data() + 4 * i);
}

} // namespace

// Sequential reads over the stored bytes that never go past their end.
class TAniIconFile::Reader
{
public:
    explicit Reader(const QByteArray &data) : m_data(data) {}

    bool take(qsizetype count, QByteArrayView &out)
    {
        if (count < 0 || count > m_data.size() - m_pos)
            return false;
        out = QByteArrayView(m_data).sliced(m_pos, count);
        m_pos += count;
        return true;
    }
    bool skip(qsizetype count)
    {
        QByteArrayView ignored;
        return take(count, ignored);
    }
    bool u32(quint32 &value)
    {
        QByteArrayView bytes;
        if (!take(4, bytes))
            return false;
        value = qFromLittleEndian<quint32>(bytes.data());
        return true;
    }
    bool chunk(ChunkHeader &header)
    {
        QByteArrayView id;
        if (!take(4, id))
            return false;
        std::memcpy(header.id, id.data(), 4);
        return u32(header.size);
    }
    // Copies a chunk into a table, keeping what fits and skipping the rest.
    bool table(quint32 size, std::array<quint32, TableSize> &table)
    {
        QByteArrayView bytes;
        if (!take(size, bytes))
            return false;
        overlay(table, bytes);
        return true;
    }

private:
    const QByteArray &m_data;
    qsizetype m_pos = 0;
};

void TAniIconFile::loadFromData(const QByteArray &bytes)
{
    m_data = bytes;
    parse();
    m_loaded = true;
    notifyChange();
}

// Reads the chunks in the fixed order our animations are written in. A read that would
// go past the data ends the parse; what was read until then stays.
void TAniIconFile::parse()
{
    if (m_data.isEmpty())
        return;
    Reader in(m_data);
    ChunkHeader chunk;
    if (!in.skip(8 + 4) || !in.chunk(chunk))
        return;
    if (!chunk.is("anih")) {
        // An INFO list with a name and an author comes first; its texts are not used.
        if (!in.skip(4) || !in.chunk(chunk))
            return;
        if (!chunk.is("anih")) {
            ChunkHeader second;
            if (!in.skip(roundUpEven(chunk.size)) || !in.chunk(second) ||
                !in.skip(roundUpEven(second.size)) || !in.chunk(chunk))
                return;
        }
    }
    if (!readHeader(in))
        return;
    if (!in.chunk(chunk))
        return;
    if (chunk.is("rate")) {
        if (!in.table(chunk.size, m_rates) || !in.chunk(chunk))
            return;
    }
    if (chunk.is("seq")) {
        if (!in.table(chunk.size, m_sequence) || !in.chunk(chunk))
            return;
    }
    if (chunk.is("LIST"))
        readFrames(in);
}

bool TAniIconFile::readHeader(Reader &in)
{
    quint32 *fields[] = {&m_header.headerSize, &m_header.frameCount,  &m_header.stepCount,
                         &m_header.width,      &m_header.height,      &m_header.bitCount,
                         &m_header.planes,     &m_header.defaultRate, &m_header.flags};
    for (quint32 *field : fields) {
        if (!in.u32(*field))
            return false;
    }
    std::fill_n(m_rates.begin(), kDefaultRateEntries, m_header.defaultRate);
    return true;
}

void TAniIconFile::readFrames(Reader &in)
{
    in.skip(4); // list type; a short file just ends at the first frame
    m_frames.fill({});
    m_header.frameCount = std::min<quint32>(m_header.frameCount, MaxFrames);
    for (int i = 0; i < int(m_header.frameCount); ++i) {
        if (!readFrame(in, i))
            break;
    }
    m_currentFrame = 0;
    m_tickCount = 0;
}

// A frame chunk holds an icon file: directory, first entry, then the image at the entry's
// offset. A frame that is too small, too large or cut short ends the frame list.
bool TAniIconFile::readFrame(Reader &in, int index)
{
    ChunkHeader chunk;
    if (!in.chunk(chunk) || chunk.size < kMinFrameChunk)
        return false;
    QByteArrayView icon;
    if (!in.take(kIconHeaderBytes, icon))
        return false;
    const quint32 imageOffset = qFromLittleEndian<quint32>(icon.data() + 6 + 12);
    qint64 size = chunk.size;
    if (imageOffset > kIconHeaderBytes) {
        if (!in.skip(imageOffset - kIconHeaderBytes))
            return false;
        size -= imageOffset - kIconHeaderBytes;
    }
    const qint64 imageBytes = size - kIconHeaderBytes;
    QByteArrayView image;
    if (imageBytes <= 0 || imageBytes > kMaxImageBytes || !in.take(imageBytes, image))
        return false;
    m_frames[index] = decodeIconImage(image);
    return true;
}

bool TAniIconFile::hasFrame(int index) const
{
    return index >= 0 && index < MaxFrames && !m_frames[index].isNull();
}

void TAniIconFile::draw(QPainter &painter, const QPoint &at) const
{
    drawIconImage(painter, QRect(at, QSize(Size, Size)), m_frames[m_currentFrame]);
}

void TAniIconFile::setFrame(int index)
{
    if (index < 0 || index >= MaxFrames || !hasFrame(index))
        index = 0;
    m_currentFrame = index;
    m_tickCount = 0;
    notifyChange();
}

void TAniIconFile::advanceTick()
{
    m_tickCount += kJiffiesPerTick;
    if (qint64(m_rates[m_currentFrame]) >= m_tickCount)
        return;
    m_tickCount = 0;
    m_currentFrame = m_currentFrame >= MaxFrames - 1 ? 0 : m_currentFrame + 1;
    if (!hasFrame(m_currentFrame))
        m_currentFrame = 0;
    notifyChange();
}

void TAniIconFile::notifyChange()
{
    if (m_onChange)
        m_onChange();
}

TAniIcon::TAniIcon(QWidget *parent) : QWidget(parent)
{
    static const bool registered = (registerAniResources(), true);
    Q_UNUSED(registered);
    resize(TAniIconFile::Size, TAniIconFile::Size);
    setAutoFillBackground(true);
    m_file.setOnChange([this] { update(); });
    installClickableAccessibility();
}

void TAniIcon::setAniFile(const QString &path)
{
    m_aniFile = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) && !path.isEmpty())
        qWarning("TAniIcon: cannot open animation %s", qPrintable(path));
    setAniData(file.readAll());
}

void TAniIcon::setAniData(const QByteArray &bytes)
{
    m_file.loadFromData(bytes);
}

void TAniIcon::setAnimated(bool animated)
{
    m_animated = animated;
    if (animated == m_timer.isActive())
        return;
    if (m_timer.isActive())
        m_timer.stop();
    else
        m_timer.start(TickInterval, Qt::PreciseTimer, this);
}

void TAniIcon::setFrame(int index)
{
    m_file.setFrame(index);
}

// The parent shows through wherever no background is filled.
void TAniIcon::setTransparent(bool transparent)
{
    m_transparent = transparent;
    setAutoFillBackground(!transparent);
    update();
}

void TAniIcon::setCenter(bool center)
{
    m_center = center;
    update();
}

void TAniIcon::setButtonStyle(bool on)
{
    m_buttonStyle = on;
    update();
}

void TAniIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QPoint at(0, 0);
    if (m_center)
        at = QPoint((width() - TAniIconFile::Size) / 2, (height() - TAniIconFile::Size) / 2);
    m_file.draw(painter, at);
    if (m_buttonStyle && (m_pressed || m_hover))
        drawButtonFrame(painter);
    KeyboardAccess::paintFocusFrame(this, painter);
}

// Sunken while pressed, raised while hovered.
void TAniIcon::drawButtonFrame(QPainter &painter) const
{
    const QColor grey(128, 128, 128);
    const QColor topLeft = m_pressed ? grey : Qt::white;
    const QColor bottomRight = m_pressed ? Qt::white : grey;
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w, 1, topLeft);
    painter.fillRect(0, 0, 1, h, topLeft);
    painter.fillRect(0, h - 1, w, 1, bottomRight);
    painter.fillRect(w - 1, 0, 1, h, bottomRight);
}

void TAniIcon::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer.timerId())
        m_file.advanceTick();
    else
        QWidget::timerEvent(event);
}

void TAniIcon::setHover(bool hover)
{
    if (m_file.isLoaded() && m_animateOnEnter && isEnabled())
        setAnimated(hover);
    m_hover = hover;
    update();
}

void TAniIcon::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    setHover(true);
}

void TAniIcon::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    setHover(false);
}

void TAniIcon::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_clickPending = true;
        if (m_buttonStyle)
            update();
    }
    event->accept(); // keep the release of every button coming here
}

// A click is a left press and release inside the control; the release after a
// double-click is none.
void TAniIcon::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    if (m_buttonStyle)
        update();
    const bool click = event->button() == Qt::LeftButton && m_clickPending &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_clickPending = false;
    if (click)
        emit clicked();
}

void TAniIcon::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    m_pressed = true;
    m_clickPending = false;
    if (m_buttonStyle)
        update();
    emit doubleClicked();
}

void TAniIcon::keyPressEvent(QKeyEvent *event)
{
    if (!KeyboardAccess::isPressKey(event))
        return QWidget::keyPressEvent(event);
    if (!event->isAutoRepeat())
        emit clicked();
}

void TAniIcon::connectNotify(const QMetaMethod &signal)
{
    QWidget::connectNotify(signal);
    if (signal == QMetaMethod::fromSignal(&TAniIcon::clicked))
        setFocusPolicy(Qt::TabFocus);
}
