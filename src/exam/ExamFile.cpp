#include "ExamFile.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/Scramble.h"
#include "core/Shares.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

namespace {

// A file on a share is read through the share's client, on the caller's thread (the player
// calls this on its folder thread for such a file).
bool ReadExam(const QString &fileName, QByteArray &bytes)
{
    if (!IsUncName(fileName))
        return ReadWholeFile(fileName, bytes);
    const auto whole = ReadWhole(fileName);
    if (whole)
        bytes = *whole;
    return bool(whole);
}

} // namespace

LoadedExam LoadExamFile(const QString &fileName, int32_t previousKind, QThread *owner)
{
    LoadedExam exam;
    exam.FileName = fileName;
    exam.FileKind = previousKind;
    const QString ext = QFileInfo(fileName).suffix().toUpper();
    if (ext == QStringLiteral("UZK"))
        exam.FileKind = KindUniform;
    else if (ext == QStringLiteral("FZK"))
        exam.FileKind = KindQuestion;

    if (exam.FileKind == KindUniform) {
        exam.Streams = std::make_unique<TListStreams>();
        if (!owner && QCoreApplication::instance())
            owner = QCoreApplication::instance()->thread();
        if (owner && owner != QThread::currentThread())
            exam.Streams->moveToThread(owner);
        QByteArray file;
        if (ReadExam(fileName, file)) {
            exam.Streams->LoadFromScrambled(file, Keys::Settings);
            exam.Lines.SetText(exam.Streams->Data(QStringLiteral("unifileexam")));
        }
    } else if (exam.FileKind == KindQuestion) {
        // An unreadable file reads as a file without settings.
        QByteArray file;
        if (ReadExam(fileName.left(255), file))
            exam.Lines.SetText(UnscrambleBytes(file, Keys::Settings, Keys::QuestionSignature));
    }
    return exam;
}
