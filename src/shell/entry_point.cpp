#include "shell/entry_point.h"

#include "platform/heap_reuse.h"

using namespace platform;

void runMessagePump(DemoWindow& window, const DemoHooks& demo) {
    Message message;
    for (;;) {
        if (peekMessage(message, window.windowHandle)) {
            if (message.message == WM_QUIT) {
                return;
            }
            dispatchMessage(message);
        } else if (window.visible) {
            demo.updateFrame();
            releaseTappedKeys(window);
            demo.drawFrame();
            swapBuffers(window.deviceContext);
        } else {
            waitMessage();
        }
    }
}

int runEntryPoint(InstanceHandle instance, const DemoHooks& demo, WindowMode mode) {
    keepFreedMemoryForReuse();
    WindowClassInfo classInfo;
    classInfo.instance = instance;
    KeyState keys{};
    DemoWindow window{keys, nullptr, nullptr, nullptr, classInfo};
    window.mode = mode;

    if (!registerWindowClass(classInfo)) {
        showMessageBox("Error Registering Window Class!", "Error", MessageBoxIcon::exclamation);
        return exitClassRegistrationFailed;
    }
    keepRunning = true;
    fullScreenSetting = window.fullScreen;
    int status = 0;
    do {
        window.fullScreen = fullScreenSetting;
        if (!createDemoWindow(window)) {
            showMessageBox("Error Creating OpenGL Window", "Error", MessageBoxIcon::exclamation);
            keepRunning = false;
            // A window that cannot be had is a failure, not a normal end.
            status = exitWindowCreationFailed;
            break;
        }
        demo.startDemo(window, keys);
        runMessagePump(window, demo);
        destroyDemoWindow(window);
    } while (keepRunning);
    unregisterClass(classInfo.className, classInfo.instance);
    return status;
}
