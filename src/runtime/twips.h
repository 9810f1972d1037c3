#pragma once

#include <QRect>

class QWidget;

namespace trameda::twips {

// Control geometry in twips, as the window's layout is given: 15 twips to a pixel. The twips are
// remembered as set, so that reading a size back gives what was set even where it is not a
// whole number of pixels.
constexpr int kPerPixel = 15;

int toPixels(int twips);

void setGeometry(QWidget* w, int left, int top, int width, int height);
QRect geometry(const QWidget* w);
int left(const QWidget* w);
int top(const QWidget* w);
int width(const QWidget* w);
int height(const QWidget* w);
void setLeft(QWidget* w, int left);
void setTop(QWidget* w, int top);
void setWidth(QWidget* w, int width);
void setHeight(QWidget* w, int height);

} // namespace trameda::twips
