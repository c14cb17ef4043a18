#include "app/vemoapp.h"

int main(int argc, char* argv[]) {
    return CVemoApp().Run(argc, argv);
}
