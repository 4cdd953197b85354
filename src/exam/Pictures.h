#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

class TListStreams;

// Exam file kinds: pictures of a uniform file are streams of its container, those of a question
// file are files beside it.
enum ExamFileKind : int32_t { KindNone = 0, KindUniform = 1, KindQuestion = 2 };

// Decoders by the picture name's extension: .JPG/.JPEG with libjpeg, .GIF with giflib (first
// frame), .BMP and .ICO with Qt; .WMF and .EMF are not decoded. A null image for data the
// decoder cannot read (or a picture of more than 100 million pixels).
QImage DecodePicture(const QByteArray &data, const QString &name);
QImage DecodeJpeg(const QByteArray &data);
QImage DecodeGif(const QByteArray &data);

// For a question file: the first of the name as written, its bare file name in the current
// folder, and the bare file name beside the exam file, that exists; empty when none does.
QString FindPictureFile(const QString &name, const QString &examFileName,
                        const std::function<bool(const QString &)> &exists);

// Loads the picture called Name into Image: true when a picture was taken. A name of four
// characters or fewer (blanks aside) is no picture. A picture that is missing or that cannot be
// decoded gives false, so its image stays hidden.
bool LoadPicture(QImage &image, const QString &name, int32_t fileKind,
                 const TListStreams *streams, const QString &examFileName);
