#include <windows.h>

#include <memory>

#include "app/MainForm.h"
#include "app/Registration.h"
#include "framework/Application.h"
#include "framework/WinControl.h"
#include "graphics/BitmapCanvas.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Application.Initialize();
    SetAfterMessageHook(ReleaseMemoryContexts);
    RegisterFormClasses();
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(nullptr);
        form->CreateFromResource("TFORM1");
    } catch (...) {
        // Without its window the program has nothing to run.
        Application.HandleException(std::current_exception());
        return 1;
    }
    Application.SetMainForm(form.get());
    Application.Run();
    form.reset();
    ReleaseMemoryContexts();
    return 0;
}
