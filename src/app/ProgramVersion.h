#pragma once

#include <QString>

inline const QString ProgramVersion = QStringLiteral("1.5a");
