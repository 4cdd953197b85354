#pragma once

#include "core/LineList.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

constexpr int MaxQuestions = 1024;
constexpr int MaxAnswers = 5;
// The given answer of a question answered "don't know".
constexpr int DontKnowAnswer = 99;

// The question on screen, after shuffling.
struct TQuestion
{
    int32_t Form = 0; // 0 text answers, 2 picture answers, 3 list answers (1 reads as 0)
    QString Vopros;   // as written
    int32_t CorNo = 1;
    uint8_t AllW = 2;
    bool AR = false;
    int32_t AT = 0;
    std::array<bool, 5> B{{true, true, false, false, false}};
    std::array<QString, 5> S;
    std::array<QString, 4> P;
    QString QuestionPicture; // P1 as read before shuffling

    // The page the question goes on: 1, 2 or 3.
    int Page() const { return Form == 2 ? 2 : Form == 3 ? 3 : 1; }
};

// AnswerOrder[n][k]: the file's answer (0 = S1) shown at display position k+1 of question n.
using AnswerOrderTable = std::array<std::array<int32_t, MaxAnswers>, MaxQuestions>;

// The presentation order of questions 0..AllZ: the identity, or a uniformly random
// permutation drawn by rejection from the program's generator.
std::vector<int32_t> BuildQuestionOrder(int32_t allZ, bool anRand);

// Reads section V<n> of the exam text through Buffer (the window's question buffer). Values
// outside what the pages can hold are brought inside: a Form other than 0..3 is a text
// question; AllW is kept within 1..5 (1..4 for picture and list questions).
TQuestion ReadQuestion(const TLineList &exam, int32_t n, TLineList &buffer);

// Permutes the first AllW answers (texts and pictures; the B flags stay with the positions),
// follows the correct answer and writes the permutation into Order.
void ShuffleAnswers(TQuestion &q, std::array<int32_t, MaxAnswers> &order);

// ReadQuestion, then ShuffleAnswers when AR is set, else the identity order.
TQuestion LoadQuestionRecord(const TLineList &exam, int32_t n, TLineList &buffer,
                             AnswerOrderTable &answerOrder);
