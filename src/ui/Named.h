#pragma once

#include <QLatin1String>

// A control under the name tests and assistive technology know it by.
template <typename T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}
