#include "controls/ClickSound.h"

#include "app/WindowSet.h"
#include "app/u_Navolis.h"

#include <QFrame>

void HideAllPanels()
{
    for (QFrame *panel : Form1->panels())
        panel->setVisible(false);
}
