// Resource identifiers, shared by the resource script and the C++ sources.
// Kinds share numbers (dialog 102 and string 102) but never within a kind.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_UPDATE_DIALOG 102

// Icons
#define IDR_MAINFRAME 128

// Controls of the main dialog
#define IDC_PROGRESS 1000
#define IDC_STATUS 1001
#define IDC_WRITE 1002

// System menu command; the platform keeps the low four bits for itself
#define IDM_ABOUTBOX 0x0010

// Strings
#define IDS_ABOUTBOX 101
#define IDS_CONFIRM 102
#define IDS_WRITING 103
#define IDS_SUCCEEDED 104
#define IDS_NO_ADAPTER 105
#define IDS_NO_PRODUCT 106
#define IDS_NO_DRIVER 107
#define IDS_WRITE_ERROR 108
#define IDS_NO_UPDATE_FILE 109
#define IDS_PRODUCT_MISMATCH 110
#define IDS_ERROR 111
#define IDS_FAILED 112
#define IDS_FILE_TOO_SHORT 113
#define IDS_FILE_TOO_LARGE 114
#define IDS_FILE_READ_ERROR 115
#define IDS_UPDATE_IN_PROGRESS 116
#define IDS_UNEXPECTED_FAILURE 117
