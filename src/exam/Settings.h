#pragma once

#include "core/Codecs.h"
#include "core/LineList.h"

#include <QString>
#include <cstdint>
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
    QString HelpExam; // line breaks expanded
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

// The moments at which the settings reader hands a value to the window, in reading order.
enum class SetupStep {
    Language, // after Language: load the language texts
    TopEdit,
    CEdit,
    ButEdit,
    GrStretch,
    Jobtitle,
    Surname,
    HelpExam, // only when the value is not empty
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

class SetupSink
{
public:
    virtual ~SetupSink() = default;
    // False stops the reading (the program is ending).
    virtual bool SetupApplied(SetupStep step, const ExamSettings &settings) = 0;
};

// Reads [Setup] of the exam text into Settings, key by key in the file's defined order,
// telling Sink after each value that concerns the window. Keys not read in this read keep their
// previous values (the network keys without DbNet, the don't-know keys without BolNotKnow).
// False when there is no [Setup] section (nothing is changed then). A bad font descriptor
// raises EConvertError with the values before it already read and applied.
bool ReadSetup(const TLineList &exam, ExamSettings &settings, SetupSink &sink);

// Font descriptor defaults of the four font keys.
extern const QString DefaultTextFont;   // "MS Sans Serif,0,0,-2147483640,0,10"
extern const QString DefaultAnswerFont; // "MS Sans Serif,0,0,-2147483640,0,8"
