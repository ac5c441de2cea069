#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Makes a file immutable while it lives (chattr +i): nobody, root included, can replace,
// rename over or change it. Needs root and a file system that supports the flag; `held()` says
// whether it took.
class ImmutableFile
{
public:
    explicit ImmutableFile(const QString &path) : m_path(path) { m_held = setFlag(true); }
    ~ImmutableFile()
    {
        if (m_held)
            setFlag(false);
    }
    ImmutableFile(const ImmutableFile &) = delete;
    ImmutableFile &operator=(const ImmutableFile &) = delete;

    bool held() const { return m_held; }

private:
    bool setFlag(bool on) const
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString m_path;
    bool m_held = false;
};
