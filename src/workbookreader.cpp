#include "data/workbook.h"

// The helper program that reads one workbook for the program, under limits of its own.
int main(int argc, char* argv[]) {
    return ServeWorkbookRead(argc, argv);
}
