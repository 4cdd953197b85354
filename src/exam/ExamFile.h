#pragma once

#include "core/LineList.h"
#include "exam/ListStreams.h"

#include <QString>
#include <cstdint>
#include <memory>

// Exam file kinds: pictures of a uniform file are streams of its container, those of a question
// file are files beside it.
enum ExamFileKind : int32_t { KindNone = 0, KindUniform = 1, KindQuestion = 2 };

// An exam file as it is read: its kind, its sectioned text and, for a uniform file, its streams.
struct LoadedExam
{
    QString FileName;
    int32_t FileKind = 0;
    TLineList Lines;
    std::unique_ptr<TListStreams> Streams;
};

// Reads an exam file by the kind its extension names (".UZK" uniform, ".FZK" question file, in
// any letter case; another extension keeps PreviousKind and reads nothing). A question file that
// begins with "[Setup]" is plain, any other is unscrambled. An unreadable file gives no text.
// A damaged uniform file raises ECorruptFile. Safe to run on another thread: the streams belong
// to the thread given (the main thread when none is).
LoadedExam LoadExamFile(const QString &fileName, int32_t previousKind, QThread *owner = nullptr);
