#include "platform/desktop/MessageBeep.h"

#include <QApplication>

namespace win {

namespace {
std::function<void()> beepHandler;
}

void MessageBeep()
{
    if (beepHandler)
        beepHandler();
    else
        QApplication::beep();
}

void setMessageBeepHandler(std::function<void()> handler)
{
    beepHandler = std::move(handler);
}

} // namespace win
