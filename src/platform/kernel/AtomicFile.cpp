#include "platform/kernel/AtomicFile.h"

#include "common/AtomicFile.h"

#include <QFile>

namespace AtomicFile {

namespace {

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

bool replace(const QString &path, const QByteArray &bytes)
{
    return common::replaceFile(local(path), bytes.constData(), size_t(bytes.size()),
                               common::Ownership::Inherited);
}

int removeLeftovers(const QString &target)
{
    return common::removeLeftovers(local(target));
}

bool writeAll(int fd, QByteArrayView bytes)
{
    return common::writeAll(fd, bytes.constData(), size_t(bytes.size()));
}

TempFile::TempFile(const QString &target, mode_t mode)
    : m_file(std::make_unique<common::TempFile>(local(target), mode, common::Ownership::Inherited))
{
}

TempFile::~TempFile() = default;

bool TempFile::write(const QByteArray &bytes, std::optional<mode_t> permissions)
{
    return write([&bytes](const Sink &sink) { return sink(bytes); }, permissions);
}

bool TempFile::write(const Producer &produce, std::optional<mode_t> permissions)
{
    return m_file->write(
        [&produce](const common::TempFile::Sink &sink) {
            return produce([&sink](QByteArrayView piece) {
                return sink(piece.constData(), size_t(piece.size()));
            });
        },
        permissions);
}

bool TempFile::replaceTarget()
{
    return m_file->replaceTarget();
}

bool TempFile::linkAsTarget()
{
    return m_file->linkAsTarget();
}

} // namespace AtomicFile
