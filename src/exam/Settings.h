#pragma once

#include "core/Codecs.h"
#include "core/LineList.h"

#include <QString>
#include <array>
#include <cstdint>
#include <exception>
#include <optional>

// The [Setup] section of an exam, one field per key, named after the key.
struct ExamSettings
{
    QString Version = QStringLiteral("1.1");
    int32_t AllZ = 1; // number of the last question (0..1023 once read)
    bool UniLang = false;
    int32_t Language = 0;
    bool YTime = false;
    // Texts as written; "&<hr>" is expanded where they are shown (CEdit also goes to journals).
    QString TopEdit, CEdit, ButEdit, PathGraph;
    bool GrStretch = false;
    bool SaveJuornal = true;
    QString Jobtitle, Surname;
    bool Spisok = true;
    bool AnRand = false;
    bool YesReport = true;
    QString HelpExam; // line breaks expanded; empty: the default instructions
    FontValue FontHelpExam, FontQuestion, FontAnswer, FontRes;
    bool YesResult = false;
    int32_t TipResult = 0;
    bool YesPassword = false;
    bool DublPwrd = true;
    bool DbNet = false;
    QString PathDbNet = QStringLiteral("\\\\");
    QString LoginDbNet, PaswDbNet;
    bool DbNetLocal = true;
    bool DbNet_1 = true;
    bool InfIP1 = false, InfIP2 = false, InfIP3 = false;
    QString IP1, IP2, IP3;
    bool VisiTackBar = false;
    bool TaskBar = false;
    bool BolNotKnow = false;
    bool RNotKnow1 = true;
    bool RNotKnow2 = false;
    int32_t NotKnowPlus = 5;
    int32_t NotKnowLimit = 60;
    bool RNotKnow3 = false;
    int32_t NotKnowPlus3 = 10;
    int32_t NotKnowLimit3 = 60;
    uint8_t AnsvTm = 0;
    bool AnsvTmBol = true;
    uint8_t TipOc = 0;
    QString Oc, O5, O4, O3, O2;
    uint8_t PO5 = 80, PO4 = 60, PO3 = 40, PO2 = 20;
    // The one font object of the title labels: the platform's default until a font section
    // sets it, then reused by every later label whose section is missing.
    std::optional<FontValue> TitleFont;
};

// The steps of reading [Setup], in reading order: each is the value (or the group of values) that
// the window shows or acts on.
enum class SetupStep {
    Language, // after Language: the language texts
    TopEdit,
    CEdit,
    ButEdit,
    GrStretch,
    Jobtitle,
    Surname,
    HelpExam,
    FontHelpExam,
    FontQuestion,
    FontAnswer,
    FontRes,
    Registration,  // after DublPwrd: registration box height, then the detailed-result button
    JournalFolder, // after DbNet and, when it is set, the network keys
    Shell,         // after VisiTackBar and TaskBar
    Clock,         // after AnsvTmBol
    FontTopStr,
    FontCEdit,
    FontButEdit,
    FontJobEdit,
};

// What one reading of [Setup] gave.
struct SetupReading
{
    ExamSettings Settings;
    bool Found = false; // there is a [Setup] section (without one the settings are unchanged)
    // The last step whose values were read: the last of all unless Error stopped the reading.
    SetupStep Reached = SetupStep::FontJobEdit;
    // A bad font descriptor (EConvertError) stopped the reading after Reached.
    std::exception_ptr Error;
    // The report kind in force when the language texts are chosen: the one before this reading,
    // since TipResult is read after Language.
    int32_t LanguageTipResult = 0;
    // The font each title label takes (TopStr, CEdit, ButEdit, JobEdit); none: the window's own.
    std::array<std::optional<FontValue>, 4> TitleFonts;
};

// Reads [Setup] of the exam text key by key in the file's defined order. Keys not read in this
// reading keep their values of Previous (the network keys without DbNet, the don't-know keys
// without BolNotKnow).
SetupReading ReadSetup(const TLineList &exam, const ExamSettings &previous);

// Font descriptor defaults of the four font keys.
extern const QString DefaultTextFont;   // "MS Sans Serif,0,0,-2147483640,0,10"
extern const QString DefaultAnswerFont; // "MS Sans Serif,0,0,-2147483640,0,8"
