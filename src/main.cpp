#include "Unit1.h"

#include <cstdio>

int main(int argc, char** argv) {
    platform::TApplication application(argc, argv);
    try {
        platform::Application->Initialize();
        platform::Application->CreateForm(Form1);
        return platform::Application->Run();
    } catch (const platform::Exception& error) {
        // Only a damaged build can get here: the window's layout is compiled in.
        platform::Application->ShowException(error.Message());
        return 1;
    }
}
