#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QVector>

// Qt reads GIF but cannot write it, so the tests make their own: frames of palette indices over
// one global palette of up to 256 colours, stored without compression (a literal code for every
// pixel, the code table reset before it would grow).
struct GifFrame {
    QVector<quint8> indices; // row by row, width x height
    int delayCentiseconds = 10;
};

QByteArray encodeGif(QSize size, const QVector<QRgb>& palette, const QList<GifFrame>& frames,
                     int transparentIndex = -1);

// One frame filled with one palette index.
GifFrame uniformFrame(QSize size, quint8 index);
