#include "framework/controls.h"

#include <commctrl.h>

void CProgressCtrl::SetRange(WORD lower, WORD upper)
{
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int CProgressCtrl::SetPos(int position)
{
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)));
}

int CProgressCtrl::SetStep(int step)
{
    return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)));
}

int CProgressCtrl::StepIt()
{
    return static_cast<int>(SendMessage(PBM_STEPIT));
}
