#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Picture files made by the tests: encoded by Qt or libjpeg, or altered byte by byte into what a
// careless or hostile file may hold.

QByteArray encoded(const QImage& image, const char* format, bool progressive = false);

// Red and near-white stripes 8 pixels wide.
QImage stripes(QSize size);

// Small pictures whose headers claim `size`.
QByteArray jpegClaiming(QSize size, bool progressive = false);
QByteArray bmpClaiming(QSize size);
QByteArray gifClaiming(QSize size);

// An 8-bit grey PNG made chunk by chunk: its header says `size`, and its one compressed stream
// holds `data` (the rows, each a filter byte and the samples, and whatever goes past them).
QByteArray greyPng(QSize size, const QByteArray& data);

// The uncompressed BMP stored top down, as its negative height says.
QByteArray topDown(const QByteArray& bmp);

// The JPEG with its frame header changed: `marker` (0xC3: lossless) and `precision` bits a sample.
QByteArray withFrame(const QByteArray& jpeg, int marker, int precision);

// The progressive JPEG with its last scan repeated `times` more times.
QByteArray withRepeatedScan(const QByteArray& jpeg, int times);

// The JPEG with an Exif block giving `orientation` (6: turn a quarter clockwise to view).
QByteArray withOrientation(const QByteArray& jpeg, int orientation);

// The JPEG with a colour profile of `bytes` bytes (APP2 blocks) at the start of its header.
QByteArray withColourProfile(const QByteArray& jpeg, int bytes);

// A JPEG in Adobe's CMYK, of one colour, as print software writes it.
QByteArray cmykJpeg(QSize size, QRgb colour);
