#pragma once

#include "app/WindowSetFixture.h"

#include "PrefixBuilder.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/ReadOnlyNotice.h"
#include "platform/RegHive.h"
#include "platform/ShellOpen.h"
#include "settings/BrowserSettings.h"

#include <optional>

namespace settingstest {

inline const QString mainKey = QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main");
inline const QString browserKey = QStringLiteral("Software\\Microsoft\\Internet Explorer");
inline const QString editorKey = QStringLiteral(
    "Software\\Microsoft\\Internet Explorer\\Default HTML Editor\\shell\\edit\\command");
inline const QString autoCompleteKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete");

// A string value as user.reg holds it, read apart from the program's registry layer.
inline std::optional<QString> stored(const PrefixBuilder &prefix, const QString &keyPath,
                                     const QString &name)
{
    const auto hive = RegHive::parse(prefix.userReg());
    const RegHive::Key *key = hive->findKey(keyPath.split('\\'));
    const RegHive::Value *value = key ? key->value(name) : nullptr;
    if (!value)
        return std::nullopt;
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(value->data.constData()),
                              value->data.size() / 2)
        .section(QChar(0), 0, 0);
}

inline bool keyExists(const PrefixBuilder &prefix, const QString &keyPath)
{
    return RegHive::parse(prefix.userReg())->findKey(keyPath.split('\\')) != nullptr;
}

inline QString message(int number)
{
    return TShowMessage2Form::displayText(Qutrans::get(number));
}

// The program's windows with the read-only notice shown as the program shows it, and the
// shell's "Open" recorded instead of run.
class SettingsTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        ReadOnlyNotice::setHandler([](const QString &) { ShowMessage2(Qutrans::get(196)); });
        platform::setShellOpenHandler([this](const QString &target) {
            opened << target;
            return true;
        });
    }

    void TearDown() override
    {
        ReadOnlyNotice::setHandler({});
        platform::setShellOpenHandler({});
    }

    QStringList opened;
};

} // namespace settingstest
