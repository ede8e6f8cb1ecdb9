// Resource ids of the window layer's test dialog.
#pragma once

#define IDD_TEST_DIALOG 100
#define IDC_RAISE 1000
