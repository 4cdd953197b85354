#pragma once

#include "exam/ExamFile.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class TListStreams;

// No picture of more pixels than this is shown.
constexpr qint64 MaxPicturePixels = 25'000'000;

// The largest size a picture is shown at: the screen's, in device pixels (4096 x 4096 where
// there is no screen).
QSize PictureBound();

// Decoders by the picture name's extension: .JPG/.JPEG with libjpeg, .GIF with giflib (first
// frame, at the frame's own size), .BMP and .ICO with Qt; .WMF and .EMF are not decoded. A
// picture larger than Bound (PictureBound() when not given) is shrunk to fit it, keeping its
// proportions; a JPEG is decoded at a reduced scale where that still fills Bound. A null image
// for data the decoder cannot read, and for a picture of more than 25 million pixels as
// decoded (or one whose decoding would need more than 96 MB of libjpeg's memory).
QImage DecodePicture(const QByteArray &data, const QString &name, QSize bound = QSize());
QImage DecodeJpeg(const QByteArray &data, QSize bound);
QImage DecodeGif(const QByteArray &data);

// For a question file: the first of the name as written, its bare file name in the current
// folder, and the bare file name beside the exam file, that exists; empty when none does.
QString FindPictureFile(const QString &name, const QString &examFileName,
                        const std::function<bool(const QString &)> &exists);

// Loads the picture called Name into Image: true when a picture was taken. A name of four
// characters or fewer (blanks aside) is no picture. A picture that is missing or that cannot be
// decoded gives false, so its image stays hidden.
bool LoadPicture(QImage &image, const QString &name, int32_t fileKind, const TListStreams *streams,
                 const QString &examFileName);
