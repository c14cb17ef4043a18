// Every input through ReadWorkbook as the imports call it: the content check that
// tells .xls, encrypted packages and .xlsx apart, then FreeXL or the .xlsx reader.
#include "data/workbook.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString error;
    ReadWorkbook(InputFile(data, size, "input.xls"), &error);
    return 0;
}
