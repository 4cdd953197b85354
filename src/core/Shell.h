#pragma once

#include <functional>

// The desktop effects the exam settings ask for. The window layer installs how they are carried
// out (full screen on top for the hidden taskbar, the skip-taskbar hint for the hidden button);
// without a window they do nothing.
void ShowTaskBar(bool visible);
void ShowAppButton(bool visible);
void SetShellHooks(std::function<void(bool)> taskBar, std::function<void(bool)> appButton);
