// Every input straight to the .xlsx reader.
#include "data/xlsxworkbook.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString reason;
    xlsx::ReadWorkbook(InputFile(data, size, "input.xlsx"), &reason);
    return 0;
}
