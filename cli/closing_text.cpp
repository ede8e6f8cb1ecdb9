#include "cli/closing_text.h"

#include "adapter/line_rate.h"
#include "app/english_texts.h"

std::string ClosingText(unsigned stringId, std::uint32_t lineRate)
{
    const bool firstGeneration = lineRate == kFirstGenerationLineRate;
    switch (stringId) {
    case IDS_SUCCEEDED:
        return SUCCEEDED_ENGLISH;
    case IDS_NO_ADAPTER:
        return firstGeneration ? NO_ADAPTER_ENGLISH_FIRST_GENERATION : NO_ADAPTER_ENGLISH_CURRENT;
    case IDS_NO_PRODUCT:
        return NO_PRODUCT_ENGLISH;
    case IDS_NO_DRIVER:
        return firstGeneration ? NO_DRIVER_ENGLISH_FIRST_GENERATION : NO_DRIVER_ENGLISH_CURRENT;
    case IDS_WRITE_ERROR:
        return WRITE_ERROR_ENGLISH;
    case IDS_NO_UPDATE_FILE:
        return NO_UPDATE_FILE_ENGLISH;
    case IDS_PRODUCT_MISMATCH:
        return PRODUCT_MISMATCH_ENGLISH;
    case IDS_FILE_TOO_SHORT:
        return FILE_TOO_SHORT_ENGLISH;
    case IDS_FILE_TOO_LARGE:
        return FILE_TOO_LARGE_ENGLISH;
    case IDS_FILE_READ_ERROR:
        return FILE_READ_ERROR_ENGLISH;
    }
    return {};
}
