#include <windows.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/MainForm.h"
#include "app/Registration.h"
#include "base/ScopeGuard.h"
#include "framework/Application.h"
#include "framework/Barrier.h"
#include "framework/WinControl.h"
#include "graphics/BitmapCanvas.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const TCommand command = ParseCommandLine(GetCommandLineA());
    if (command.kind != TCommandKind::ckOpen) return RunSaveCommand(command);
    Application.Initialize();
    SetAfterMessageHook(ReleaseMemoryContexts);
    RegisterFormClasses();
    // The picture kinds go from the container on every way out, after the window.
    ScopeGuard withdraw([] { UnregisterPictureKinds(); });
    // Without its window the program has nothing to run.
    auto form = CallbackBarrier(std::unique_ptr<TForm1>(), [] {
        auto made = std::make_unique<TForm1>(nullptr);
        made->CreateFromResource("TFORM1");
        return made;
    });
    if (!form) return 1;
    Application.SetMainForm(form.get());
    if (!command.path.empty()) form->OpenPathWhenIdle(command.path);
    Application.Run();
    form.reset();
    ReleaseMemoryContexts();
    return 0;
}
