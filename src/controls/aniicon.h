#pragma once

#include "controls/IconImage.h"

#include <QBasicTimer>
#include <QByteArray>
#include <QWidget>
#include <array>
#include <functional>

class QPainter;

// The "anih" chunk of an animation, field for field as stored.
struct AniHeader
{
    quint32 headerSize = 0;
    quint32 frameCount = 0;
    quint32 stepCount = 0;
    quint32 width = 0;
    quint32 height = 0;
    quint32 bitCount = 0;
    quint32 planes = 0;
    quint32 defaultRate = 0; // jiffies (1/60 s)
    quint32 flags = 0;
};

// An animated cursor file (RIFF form "ACON") played frame by frame, always as 32 x 32.
class TAniIconFile
{
public:
    static constexpr int MaxFrames = 64;
    static constexpr int TableSize = 128;
    static constexpr int Size = 32;

    int width() const { return Size; }
    int height() const { return Size; }

    // Keeps the bytes, reads the animation from them and reports the change.
    void loadFromData(const QByteArray &bytes);
    // The bytes exactly as loaded.
    const QByteArray &data() const { return m_data; }
    bool isLoaded() const { return m_loaded; }

    const AniHeader &header() const { return m_header; }
    quint32 rate(int index) const { return m_rates.at(index); }
    bool hasFrame(int index) const;
    const IconImage &frameImage(int index) const { return m_frames.at(index); }

    // Draws the current frame with its top left corner at `at`; nothing when its slot is empty.
    void draw(QPainter &painter, const QPoint &at) const;

    int frame() const { return m_currentFrame; }
    // Out-of-range numbers and empty slots select frame 0.
    void setFrame(int index);
    int tickCount() const { return m_tickCount; }
    // One 20 ms timer tick: counts 2 jiffies and moves on when the frame's rate is used up.
    void advanceTick();

    // Called after every frame change and after loading.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    class Reader;

    void parse();
    bool readHeader(Reader &in);
    void readFrames(Reader &in);
    bool readFrame(Reader &in, int index);
    void notifyChange();

    std::array<IconImage, MaxFrames> m_frames;
    std::array<quint32, TableSize> m_rates{};
    std::array<quint32, TableSize> m_sequence{};
    AniHeader m_header;
    QByteArray m_data;
    bool m_loaded = false;
    int m_currentFrame = 0;
    int m_tickCount = 0;
    std::function<void()> m_onChange;
};

// Small self-painting control that plays an animation; usable as a custom widget in
// Designer layouts, where `aniFile` names the animation's resource. Once something listens to
// its clicks it is a control: it takes the focus by Tab, shows it, and Enter or Space click it.
class TAniIcon : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString aniFile READ aniFile WRITE setAniFile)
    Q_PROPERTY(bool Animated READ isAnimated WRITE setAnimated)
    Q_PROPERTY(bool AnimateOnEnter READ animateOnEnter WRITE setAnimateOnEnter)
    Q_PROPERTY(int Frame READ frame WRITE setFrame)
    Q_PROPERTY(bool Transparent READ isTransparent WRITE setTransparent)
    Q_PROPERTY(bool Center READ isCenter WRITE setCenter)
    Q_PROPERTY(bool ButtonStyle READ buttonStyle WRITE setButtonStyle)

public:
    static constexpr int TickInterval = 20; // ms

    explicit TAniIcon(QWidget *parent = nullptr);

    QString aniFile() const { return m_aniFile; }
    // Loads the animation from a file or Qt resource path (":/ani/logo.ani").
    void setAniFile(const QString &path);
    // Loads the animation from bytes.
    void setAniData(const QByteArray &bytes);

    bool isAnimated() const { return m_animated; }
    void setAnimated(bool animated);
    bool animateOnEnter() const { return m_animateOnEnter; }
    void setAnimateOnEnter(bool on) { m_animateOnEnter = on; }
    int frame() const { return m_file.frame(); }
    void setFrame(int index);
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    bool isCenter() const { return m_center; }
    void setCenter(bool center);
    bool buttonStyle() const { return m_buttonStyle; }
    void setButtonStyle(bool on);

    // Whether the frame timer runs.
    bool isRunning() const { return m_timer.isActive(); }
    TAniIconFile &animation() { return m_file; }
    const TAniIconFile &animation() const { return m_file; }

    QSize sizeHint() const override { return {TAniIconFile::Size, TAniIconFile::Size}; }

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;

private:
    void setHover(bool hover);
    void drawButtonFrame(QPainter &painter) const;

    TAniIconFile m_file;
    QBasicTimer m_timer;
    QString m_aniFile;
    bool m_animated = false;
    bool m_animateOnEnter = false;
    bool m_transparent = false;
    bool m_center = false;
    bool m_buttonStyle = false;
    bool m_hover = false;
    bool m_pressed = false;
    bool m_clickPending = false;
};
