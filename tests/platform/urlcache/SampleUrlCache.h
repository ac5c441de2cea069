#pragma once

#include "TestEnvironment.h"
#include "platform/urlcache/UrlCacheEnvironment.h"
#include "platform/urlcache/WinInetCache.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A private copy of a sample prefix whose containers the WinINet calls work on.
class SampleUrlCache
{
public:
    explicit SampleUrlCache(const QString &source = testenv::samplePrefix(),
                            const QString &user = QStringLiteral("user"))
        : m_user(user)
    {
        QDirIterator it(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = root() + from.mid(source.size());
            QDir().mkpath(QFileInfo(to).absolutePath());
            QFile::copy(from, to);
        }
        environment = std::make_shared<urlcache::FixedUrlCacheEnvironment>(
            urlcache::ShellCacheFolders{windows() + "/INetCache", windows() + "/INetCookies",
                                        windows() + "/History"},
            user.toUtf8(), root());
        wininet::setUrlCacheEnvironment(environment);
    }
    ~SampleUrlCache() { wininet::setUrlCacheEnvironment(nullptr); }

    QString root() const { return m_dir.path(); }
    QString windows() const
    {
        return root() + "/drive_c/users/" + m_user + "/AppData/Local/Microsoft/Windows";
    }
    QString content() const { return windows() + "/INetCache/Content.IE5"; }
    QString cookies() const { return windows() + "/INetCookies"; }
    QString history() const { return windows() + "/History/History.IE5"; }
    QByteArray read(const QString &path) const
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    std::shared_ptr<urlcache::FixedUrlCacheEnvironment> environment;

private:
    QTemporaryDir m_dir;
    QString m_user;
};
