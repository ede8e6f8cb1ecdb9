// Wrappers of the dialog's controls: each holds the control's HWND, attached
// by the data exchange, and owns nothing.
#pragma once

#include "framework/wnd.h"

class CProgressCtrl : public CWnd {
public:
    // The range is sent as two 16-bit words, so an upper bound up to 65535 fits.
    void SetRange(WORD lower, WORD upper);
    int SetPos(int position);
    int SetStep(int step);
    // Advances the position by the step.
    int StepIt();
};

class CButton : public CWnd {};
