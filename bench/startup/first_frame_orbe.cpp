// Start-up harness, the program: the real main window built from its stored
// layout, exactly as main.cpp starts it, until the map view's first complete
// paint with the marker on it.

#include "FrameProbe.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    platform::TApplication application(argc, argv);
    platform::Application->Initialize();
    platform::Application->CreateForm(Form1);
    // The frame counts once the whole view is painted with the marker shown
    // inside it.
    QWidget* view = Form1->ScrollBox1->ClientHandle();
    frameprobe::FirstFrame probe(*view, [view] {
        const platform::TShape& marca = *Form1->Marca;
        return marca.Visible() && view->rect().contains(QRect(marca.Left(), marca.Top(), marca.Width(),
                                                             marca.Height()));
    });
    return platform::Application->Run();
}
