#pragma once

#include <QList>

class QAbstractButton;

// Hides all seven panels of the main window.
void HideAllPanels();

// Up and Down move the focus along the navigation column, without switching panels; Enter and
// Space then press the focused button.
void MoveAlongColumnByArrows(const QList<QAbstractButton *> &column);
