// JPEG pictures: the about box's picture and the board pictures the user chooses.
#include "app/ui/jpeg_image.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString error;
    const QImage image = DecodeJpeg(data, size, &error);
    if (image.isNull()) {
        if (error.isEmpty()) std::abort(); // a refusal always says why
        return 0;
    }
    if (image.width() < 1 || image.height() < 1 || image.width() > 8192 || image.height() > 8192)
        std::abort();
    if (image.format() != QImage::Format_RGB888) std::abort();
    return 0;
}
