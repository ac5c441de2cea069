#include "controls/JpegImage.h"

#include "platform/kernel/LogCategories.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

struct Pixels
{
    unsigned char *rgb = nullptr;
    unsigned width = 0;
    unsigned height = 0;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings about a damaged but readable picture go to the log, not to the standard error.
void onMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    qCDebug(lcUi) << "JPEG:" << text;
}

// libjpeg reports errors by longjmp, so this part holds no C++ object with a destructor;
// everything that must survive the jump lives behind the out pointer.
bool decode(const unsigned char *data, unsigned long size, Pixels *out)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(out->rgb);
        out->rgb = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out->width = info.output_width;
    out->height = info.output_height;
    const size_t stride = size_t(out->width) * 3;
    out->rgb = static_cast<unsigned char *>(std::malloc(stride * out->height));
    if (!out->rgb) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->rgb + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage loadJpegImage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return {};
    Pixels pixels;
    if (!decode(reinterpret_cast<const unsigned char *>(bytes.constData()),
                static_cast<unsigned long>(bytes.size()), &pixels))
        return {};
    const QImage view(pixels.rgb, int(pixels.width), int(pixels.height), int(pixels.width) * 3,
                      QImage::Format_RGB888);
    QImage image = view.copy();
    std::free(pixels.rgb);
    return image;
}
