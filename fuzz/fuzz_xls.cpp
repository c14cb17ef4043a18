// Every input through the in-process reader the helper program runs: the content check that
// tells .xls, encrypted packages and .xlsx apart, then FreeXL or the .xlsx reader.
#include "data/workbook.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString error;
    ReadWorkbookHere(InputFile(data, size, "input.xls"), &error);
    return 0;
}
