#include "twips.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

namespace trameda::twips {

namespace {
constexpr const char* kProperty = "trameda_twips";
}

int toPixels(int twips) {
    return int(std::lround(double(twips) / kPerPixel));
}

void setGeometry(QWidget* w, int left, int top, int width, int height) {
    const QRect r(left, top, width, height);
    w->setProperty(kProperty, r);
    w->setGeometry(toPixels(left), toPixels(top), std::max(0, toPixels(width)),
                   std::max(0, toPixels(height)));
}

QRect geometry(const QWidget* w) {
    const QVariant v = w->property(kProperty);
    if (v.isValid())
        return v.toRect();
    const QRect px = w->geometry();
    return {px.x() * kPerPixel, px.y() * kPerPixel, px.width() * kPerPixel,
            px.height() * kPerPixel};
}

int left(const QWidget* w) {
    return geometry(w).x();
}
int top(const QWidget* w) {
    return geometry(w).y();
}
int width(const QWidget* w) {
    return geometry(w).width();
}
int height(const QWidget* w) {
    return geometry(w).height();
}

void setLeft(QWidget* w, int v) {
    const QRect r = geometry(w);
    setGeometry(w, v, r.y(), r.width(), r.height());
}
void setTop(QWidget* w, int v) {
    const QRect r = geometry(w);
    setGeometry(w, r.x(), v, r.width(), r.height());
}
void setWidth(QWidget* w, int v) {
    const QRect r = geometry(w);
    setGeometry(w, r.x(), r.y(), v, r.height());
}
void setHeight(QWidget* w, int v) {
    const QRect r = geometry(w);
    setGeometry(w, r.x(), r.y(), r.width(), v);
}

} // namespace trameda::twips
