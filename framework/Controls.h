// Wrappers of the dialog's controls: each holds the control's HWND, attached
// by the data exchange, and owns nothing.
#pragma once

#include "framework/Wnd.h"

class CProgressCtrl : public CWnd {};

class CButton : public CWnd {};
