#include "app/vemoapp.h"
#include "data/filemodes.h"

int main(int argc, char* argv[]) {
    filemodes::KeepFromOthers();
    return CVemoApp().Run(argc, argv);
}
