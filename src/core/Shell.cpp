#include "Shell.h"

namespace {
std::function<void(bool)> g_taskBar;
std::function<void(bool)> g_appButton;
} // namespace

void ShowTaskBar(bool visible)
{
    if (g_taskBar)
        g_taskBar(visible);
}

void ShowAppButton(bool visible)
{
    if (g_appButton)
        g_appButton(visible);
}

void SetShellHooks(std::function<void(bool)> taskBar, std::function<void(bool)> appButton)
{
    g_taskBar = std::move(taskBar);
    g_appButton = std::move(appButton);
}
