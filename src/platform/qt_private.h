// Shared between the Qt files of the platform layer only.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "platform/platform.h"

class QWidget;

QImage& SurfaceImage(Surface* s);
const QImage& SurfaceImage(const Surface* s);
// Asks the window to show a changed area of the window surface.
void MarkWindowDirty(const Surface* s, const QRect& r);
// Hands the areas marked since the last call to the toolkit (before it runs an event loop).
void FlushWindowDirty();
QWidget* MainWidgetForDialogs();
// Windows-1252 bytes to and from Qt text.
QString FromCp1252(const char* text, int length = -1);
std::string ToCp1252(const QString& text);
