#include "Pictures.h"

#include "core/Files.h"
#include "exam/ListStreams.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>
#include <vector>

namespace {

// No picture is held larger than MaxPicturePixels while it is decoded (100 MB as 32-bit
// pixels); a larger one is hidden, as an undecodable one is.
constexpr qint64 MaxPixels = MaxPicturePixels;
// libjpeg's own working memory (a progressive picture keeps all its coefficients).
constexpr long JpegWorkingMemory = 96L * 1024 * 1024;

struct JpegError
{
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError *>(info->err)->Jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

struct GifMemory
{
    const QByteArray *Data;
    qsizetype At;
};

int GifRead(GifFileType *gif, GifByteType *out, int length)
{
    auto *m = static_cast<GifMemory *>(gif->UserData);
    const qsizetype n = qMin<qsizetype>(length, m->Data->size() - m->At);
    if (n <= 0)
        return 0;
    std::memcpy(out, m->Data->constData() + m->At, size_t(n));
    m->At += n;
    return int(n);
}

QString Extension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

} // namespace

namespace {

struct JpegPixels
{
    std::vector<unsigned char> Pixels; // RGB or inverted CMYK, rows one after the other
    int Width = 0;
    int Height = 0;
    int Components = 0;
};

// Only C state lives in this frame: libjpeg's errors jump back to its start, and everything the
// decoder fills belongs to the caller.
bool ReadJpeg(const QByteArray &data, QSize bound, JpegPixels &out)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegFail;
    error.Manager.emit_message = JpegSilence;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = JpegWorkingMemory;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // Decoded at 1/2, 1/4 or 1/8 when that is still at least the size it can be shown at.
    info.scale_num = 1;
    info.scale_denom = 1;
    while (info.scale_denom < 8 &&
           info.image_width / (info.scale_denom * 2) >= unsigned(bound.width()) &&
           info.image_height / (info.scale_denom * 2) >= unsigned(bound.height()))
        info.scale_denom *= 2;
    jpeg_calc_output_dimensions(&info);
    if (qint64(info.output_width) * info.output_height > MaxPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    out.Width = int(info.output_width);
    out.Height = int(info.output_height);
    out.Components = info.output_components;
    const size_t stride = size_t(out.Width) * size_t(out.Components);
    out.Pixels.resize(stride * size_t(out.Height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {out.Pixels.data() + stride * info.output_scanline};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &data, QSize bound)
{
    JpegPixels jpeg;
    if (data.isEmpty() || !ReadJpeg(data, bound, jpeg) || jpeg.Width <= 0 || jpeg.Height <= 0)
        return QImage();
    QImage image(jpeg.Width, jpeg.Height, QImage::Format_RGB888);
    if (image.isNull())
        return QImage();
    const size_t stride = size_t(jpeg.Width) * size_t(jpeg.Components);
    for (int y = 0; y < jpeg.Height; ++y) {
        const unsigned char *in = jpeg.Pixels.data() + stride * size_t(y);
        uchar *line = image.scanLine(y);
        if (jpeg.Components == 4) {
            // Adobe writes CMYK inverted: each channel is already 255 - ink.
            for (int x = 0; x < jpeg.Width; ++x) {
                const int k = in[4 * x + 3];
                line[3 * x] = uchar(in[4 * x] * k / 255);
                line[3 * x + 1] = uchar(in[4 * x + 1] * k / 255);
                line[3 * x + 2] = uchar(in[4 * x + 2] * k / 255);
            }
        } else if (jpeg.Components == 3) {
            std::memcpy(line, in, stride);
        } else {
            return QImage();
        }
    }
    return image;
}

QImage DecodeGif(const QByteArray &data)
{
    GifMemory memory{&data, 0};
    int error = 0;
    GifFileType *gif = DGifOpen(&memory, GifRead, &error);
    if (!gif)
        return QImage();
    // The first frame alone, at its own size: the logical screen it claims may be far larger.
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    QImage image;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (image.isNull() && DGifGetRecordType(gif, &type) == GIF_OK &&
           type != TERMINATE_RECORD_TYPE) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK)
                break;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                DGifExtensionToGCB(block[0], block + 1, &gcb);
            while (block && DGifGetExtensionNext(gif, &block) == GIF_OK) {
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK)
            break;
        const GifImageDesc &d = gif->Image;
        const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || d.Width <= 0 || d.Height <= 0 || qint64(d.Width) * d.Height > MaxPixels)
            break;
        QImage frame(d.Width, d.Height, QImage::Format_ARGB32);
        if (frame.isNull())
            break;
        frame.fill(gcb.TransparentColor != NO_TRANSPARENT_COLOR ? Qt::transparent : Qt::white);
        std::vector<GifPixelType> line(size_t(d.Width));
        // Rows in the order they are stored: interlaced pictures in four passes.
        static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        const int passes = d.Interlace ? 4 : 1;
        bool whole = true;
        for (int pass = 0; pass < passes && whole; ++pass) {
            for (int y = d.Interlace ? start[pass] : 0; y < d.Height;
                 y += d.Interlace ? step[pass] : 1) {
                if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) {
                    whole = false; // a cut picture shows what was read
                    break;
                }
                QRgb *row = reinterpret_cast<QRgb *>(frame.scanLine(y));
                for (int x = 0; x < d.Width; ++x) {
                    const int index = line[size_t(x)];
                    if (index != gcb.TransparentColor && index < map->ColorCount) {
                        const GifColorType &c = map->Colors[index];
                        row[x] = qRgb(c.Red, c.Green, c.Blue);
                    }
                }
            }
        }
        image = frame;
    }
    DGifCloseFile(gif, &error);
    return image;
}

QSize PictureBound()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return screen->size() * screen->devicePixelRatio();
    return QSize(4096, 4096);
}

namespace {

QImage Decode(const QByteArray &data, const QString &ext, QSize bound)
{
    if (ext == QStringLiteral(".JPG") || ext == QStringLiteral(".JPEG"))
        return DecodeJpeg(data, bound);
    if (ext == QStringLiteral(".GIF"))
        return DecodeGif(data);
    if (ext == QStringLiteral(".WMF") || ext == QStringLiteral(".EMF"))
        return QImage();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ext == QStringLiteral(".BMP")   ? QByteArray("bmp")
                                 : ext == QStringLiteral(".ICO") ? QByteArray("ico")
                                                                 : QByteArray());
    reader.setAllocationLimit(int(MaxPixels * 4 / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPixels)
        return QImage();
    return reader.read();
}

} // namespace

QImage DecodePicture(const QByteArray &data, const QString &name, QSize bound)
{
    if (!bound.isValid() || bound.isEmpty())
        bound = PictureBound();
    const QImage image = Decode(data, Extension(name), bound);
    // Never held larger than it can be shown.
    if (image.width() > bound.width() || image.height() > bound.height())
        return image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QString FindPictureFile(const QString &name, const QString &examFileName,
                        const std::function<bool(const QString &)> &exists)
{
    const QString bare = BareFileName(name);
    const QString examDir = QFileInfo(examFileName).path();
    for (const QString &candidate : {name, bare, JoinPath(examDir, bare)})
        if (!candidate.isEmpty() && exists(candidate))
            return candidate;
    return QString();
}

bool LoadPicture(QImage &image, const QString &name, int32_t fileKind, const TListStreams *streams,
                 const QString &examFileName)
{
    const QString trimmed = name.trimmed();
    if (trimmed.size() <= 4)
        return false;
    QImage decoded;
    if (fileKind == KindUniform && streams) {
        if (!streams->Contains(trimmed))
            return false;
        decoded = DecodePicture(streams->Data(trimmed), trimmed);
    } else if (fileKind == KindQuestion) {
        const QString path = FindPictureFile(
            trimmed, examFileName, [](const QString &p) { return QFileInfo(p).isFile(); });
        QByteArray bytes;
        if (path.isEmpty() || !ReadWholeFile(path, bytes))
            return false;
        decoded = DecodePicture(bytes, path);
    } else {
        return false;
    }
    if (decoded.isNull())
        return false;
    image = decoded;
    return true;
}
