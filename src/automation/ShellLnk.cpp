#include "automation/ShellLnk.h"

#include "platform/shell/ShellLinkObject.h"

namespace {

// What a 260-character getter buffer returns.
QString fitted(const QString &text)
{
    return text.left(TShellLink::maxChars);
}

// The file name's buffer holds 260 characters with the terminator.
bool fits(const QString &fileName)
{
    return fileName.size() <= TShellLink::maxChars;
}

} // namespace

TShellLink::TShellLink(QObject *owner) : QObject(owner)
{
    Reset(QString(), QString());
}

void TShellLink::Reset(const QString &target, const QString &arguments)
{
    const qsizetype split =
        qMax(target.lastIndexOf(QChar('\\')), target.lastIndexOf(QChar(':'))) + 1;
    m_path = target;
    m_workingDirectory = target.left(split);
    m_description = target.mid(split);
    m_arguments = arguments;
    m_iconLocation.clear();
    m_iconIndex = 0;
    m_showCmd = 1;
    m_hotKey = 0;
}

bool TShellLink::LoadFromFile(const QString &fileName)
{
    Reset(QString(), QString());
    ShellLinkObject link;
    if (!fits(fileName) || !link.load(fileName))
        return false;
    m_workingDirectory = fitted(link.workingDirectory());
    if (const auto target = link.path())
        m_path = fitted(*target);
    m_iconLocation = fitted(link.iconLocation());
    m_iconIndex = link.iconIndex();
    m_description = fitted(link.description());
    m_showCmd = link.showCmd();
    m_hotKey = link.hotkey();
    m_arguments = fitted(link.arguments());
    return true;
}

bool TShellLink::SaveToFile(const QString &fileName) const
{
    ShellLinkObject link;
    // Each setter holds to the shell's own buffer: paths below 260 characters, description and
    // arguments below 1024.
    bool accepted = true;
    accepted = link.setPath(m_path) && accepted;
    accepted = link.setDescription(m_description) && accepted;
    accepted = link.setWorkingDirectory(m_workingDirectory) && accepted;
    accepted = link.setArguments(m_arguments) && accepted;
    link.setHotkey(quint16(m_hotKey));
    link.setShowCmd(m_showCmd);
    accepted = link.setIconLocation(m_iconLocation, m_iconIndex) && accepted;
    if (!fits(fileName))
        return false;
    return link.save(fileName) && accepted;
}
