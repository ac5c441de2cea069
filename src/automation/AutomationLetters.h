#pragma once

#include <QStringView>

// The letters of the automatic clean-up, as the start-up shortcut carries them.
namespace AutomationLetters {

inline constexpr char16_t All[] = u"cbhmenr";

// A word of letters only: any other word (a mistyped option, "help") is never read as a choice
// of clean-ups, though its characters may include some of the letters.
inline bool isLetters(QStringView word)
{
    for (const QChar c : word)
        if (!QStringView(All).contains(c))
            return false;
    return true;
}

} // namespace AutomationLetters
