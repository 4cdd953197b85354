#include "ExamFile.h"

#include "Errors.h"
#include "Files.h"
#include "Pictures.h"
#include "Scramble.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

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
        if (ReadWholeFile(fileName, file)) {
            exam.Streams->LoadFromScrambled(file, Keys::Settings);
            exam.Lines.SetText(exam.Streams->Data(QStringLiteral("unifileexam")));
        }
    } else if (exam.FileKind == KindQuestion) {
        try {
            exam.Lines.SetText(LoadTextFile(fileName.left(255), Keys::Settings, Keys::QuestionSignature));
        } catch (const EFOpenError &) {
            // An unreadable file reads as a file without settings.
        }
    }
    return exam;
}
