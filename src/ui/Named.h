#pragma once

#include <QLatin1String>
#include <QString>

// A control under the name tests and assistive technology know it by.
template <typename T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The same, with the name a screen reader says.
template <typename T> T *Named(T *widget, const char *name, const QString &accessible)
{
    Named(widget, name)->setAccessibleName(accessible);
    return widget;
}
