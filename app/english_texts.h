// The English texts of the string table: the resource script's English and
// German blocks and update-cli read them here. Definitions only, so that the
// resource compiler reads this file too. The adapter texts differ between the
// two configurations of Update.exe; update-cli speaks of the current adapters.
#pragma once

#define ABOUTBOX_ENGLISH "Version information Tavrel Update(&A)..."
#define CONFIRM_ENGLISH " will be updated. Are you sure?"
#define WRITING_ENGLISH "Now writing..."
#define SUCCEEDED_ENGLISH "This update succeeded."
#define NO_ADAPTER_ENGLISH_CURRENT "A Kestro-2/3 is not connected."
#define NO_ADAPTER_ENGLISH_FIRST_GENERATION "A Kestro-2 is not connected."
#define NO_PRODUCT_ENGLISH "No product is connected."
#define NO_DRIVER_ENGLISH_CURRENT "The device driver for Kestro-2/3 is not installed."
#define NO_DRIVER_ENGLISH_FIRST_GENERATION "The device driver for Kestro-2 is not installed."
#define WRITE_ERROR_ENGLISH "A writing error occured. Retry the update."
#define NO_UPDATE_FILE_ENGLISH "There is not a update file."
#define PRODUCT_MISMATCH_ENGLISH "This connected product does not match the update file."
#define ERROR_ENGLISH "Error"
#define FAILED_ENGLISH "Failed"
#define FILE_TOO_SHORT_ENGLISH "The update file is too short to hold an update."
#define FILE_TOO_LARGE_ENGLISH "The update file is larger than an update can be."
#define FILE_READ_ERROR_ENGLISH "The update file could not be read. Retry the update."
#define UPDATE_IN_PROGRESS_ENGLISH "The product is being updated. Turned off now, it will need the update again."
#define UNEXPECTED_FAILURE_ENGLISH "An unexpected error occurred. If the product was being updated, retry the update."
