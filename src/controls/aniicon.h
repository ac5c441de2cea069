#pragma once

#include <QWidget>

// Placeholder of the animated icon until the control itself lands.
class TAniIcon : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString aniFile READ aniFile WRITE setAniFile)
    Q_PROPERTY(bool Animated READ animated WRITE setAnimated)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
public:
    explicit TAniIcon(QWidget *parent = nullptr) : QWidget(parent) {}
    QString aniFile() const { return m_file; }
    void setAniFile(const QString &file) { m_file = file; }
    bool animated() const { return m_animated; }
    void setAnimated(bool on) { m_animated = on; }
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on) { m_transparent = on; }

signals:
    void clicked();

private:
    QString m_file;
    bool m_animated = false;
    bool m_transparent = false;
};
