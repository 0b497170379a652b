#include "app/ui/jpeg_image.h"

#include "platform/file_io.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace {
struct TJpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr, int) {} // warnings of a readable picture are not shown
} // namespace

QImage DecodeJpeg(const std::uint8_t* data, std::size_t size, QString* error) {
    if (!data || size < 4) {
        if (error) *error = "Not a JPEG picture";
        return {};
    }
    jpeg_decompress_struct info{};
    TJpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.emit_message = OnJpegMessage;
    // On the heap behind a volatile pointer: locals changed after setjmp are not reliable after
    // the jump back.
    QImage* volatile image = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        delete image;
        if (error) *error = QString::fromLatin1(err.message);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width > 8192 || info.output_height > 8192)
        (*info.err->error_exit)(reinterpret_cast<j_common_ptr>(&info));
    image = new QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage result = *image;
    delete image;
    return result;
}

QImage LoadJpegFile(const QString& path, QString* error) {
    std::vector<std::uint8_t> bytes;
    // A regular file only: a FIFO would block the open, /dev/zero never end.
    if (const TIoStatus s = ReadWholeFile(QFile::encodeName(path).toStdString(), bytes, 64 << 20); !s) {
        if (error) *error = QString::fromStdString(s.Message());
        return {};
    }
    return DecodeJpeg(bytes.data(), bytes.size(), error);
}
