#pragma once
// JPEG pictures decoded with libjpeg. A damaged or truncated picture gives a null image and a
// message, never a crash.

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>

QImage DecodeJpeg(const std::uint8_t* data, std::size_t size, QString* error = nullptr);
QImage LoadJpegFile(const QString& path, QString* error = nullptr);
