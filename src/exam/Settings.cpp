#include "Settings.h"

#include "exam/Questions.h"

const QString DefaultTextFont = QStringLiteral("MS Sans Serif,0,0,-2147483640,0,10");
const QString DefaultAnswerFont = QStringLiteral("MS Sans Serif,0,0,-2147483640,0,8");

namespace {

class Reader
{
public:
    Reader(const TLineList &section, SetupReading &reading) : section_(section), reading_(reading)
    {
    }

    QString Str(const char *key, const QString &def = QString()) const
    {
        return ReadStr(section_, QString::fromLatin1(key), def);
    }
    int32_t Int(const char *key, int32_t def) const
    {
        return ReadInt(section_, QString::fromLatin1(key), def);
    }
    bool Bool(const char *key, bool def) const
    {
        return ReadBool(section_, QString::fromLatin1(key), def);
    }
    uint8_t Byte(const char *key, int32_t def) const { return uint8_t(Int(key, def) & 0xFF); }
    void Font(const char *key, const QString &def, FontValue &font) const
    {
        StrToFont(Str(key, def), font);
    }
    void Tell(SetupStep step) { reading_.Reached = step; }

private:
    const TLineList &section_;
    SetupReading &reading_;
};

} // namespace

namespace {

void ReadSection(const TLineList &exam, const TLineList &section, SetupReading &reading)
{
    ExamSettings &s = reading.Settings;
    Reader r(section, reading);

    s.Version = r.Str("Version", QStringLiteral("1.1"));
    // Questions are numbered 0..AllZ and every table holds MaxQuestions of them.
    s.AllZ = qBound(0, r.Int("AllZ", 1), MaxQuestions - 1);
    s.UniLang = r.Bool("UniLang", false);
    s.Language = qMax(0, r.Int("Language", 0));
    r.Tell(SetupStep::Language);
    s.YTime = r.Bool("YTime", false);
    s.TopEdit = r.Str("TopEdit");
    r.Tell(SetupStep::TopEdit);
    s.CEdit = r.Str("CEdit");
    r.Tell(SetupStep::CEdit);
    s.ButEdit = r.Str("ButEdit");
    r.Tell(SetupStep::ButEdit);
    s.PathGraph = r.Str("PathGraph");
    s.GrStretch = r.Bool("GrStretch", false);
    r.Tell(SetupStep::GrStretch);
    s.SaveJuornal = r.Bool("SaveJuornal", true);
    s.Jobtitle = r.Str("Jobtitle");
    r.Tell(SetupStep::Jobtitle);
    s.Surname = r.Str("Surname");
    r.Tell(SetupStep::Surname);
    s.Spisok = r.Bool("Spisok", true);
    s.AnRand = r.Bool("AnRand", false);
    s.YesReport = r.Bool("YesReport", true);
    // Empty when the exam gives no instructions of its own: the window shows its default ones.
    s.HelpExam = ExpandLineBreaks(r.Str("HelpExam"));
    r.Tell(SetupStep::HelpExam);
    r.Font("FontHelpExam", DefaultTextFont, s.FontHelpExam);
    r.Tell(SetupStep::FontHelpExam);
    r.Font("FontQuestion", DefaultTextFont, s.FontQuestion);
    r.Tell(SetupStep::FontQuestion);
    r.Font("FontAnswer", DefaultAnswerFont, s.FontAnswer);
    r.Tell(SetupStep::FontAnswer);
    r.Font("FontRes", DefaultTextFont, s.FontRes);
    r.Tell(SetupStep::FontRes);
    s.YesResult = r.Bool("YesResult", false);
    s.TipResult = r.Int("TipResult", 0);
    s.YesPassword = r.Bool("YesPassword", false);
    s.DublPwrd = r.Bool("DublPwrd", true);
    r.Tell(SetupStep::Registration);
    s.DbNet = r.Bool("DbNet", false);
    if (s.DbNet) {
        s.PathDbNet = r.Str("PathDbNet", QStringLiteral("\\\\"));
        s.LoginDbNet = r.Str("LoginDbNet");
        s.PaswDbNet = r.Str("PaswDbNet");
        s.DbNetLocal = r.Bool("DbNetLocal", true);
        s.DbNet_1 = r.Bool("DbNet_1", true);
    }
    r.Tell(SetupStep::JournalFolder);
    s.InfIP1 = r.Bool("InfIP1", false);
    s.IP1 = r.Str("IP1");
    s.InfIP2 = r.Bool("InfIP2", false);
    s.IP2 = r.Str("IP2");
    s.InfIP3 = r.Bool("InfIP3", false);
    s.IP3 = r.Str("IP3");
    s.VisiTackBar = r.Bool("VisiTackBar", false);
    s.TaskBar = r.Bool("TaskBar", false);
    r.Tell(SetupStep::Shell);
    s.BolNotKnow = r.Bool("BolNotKnow", false);
    if (s.BolNotKnow) {
        s.RNotKnow1 = r.Bool("RNotKnow1", true);
        s.RNotKnow2 = r.Bool("RNotKnow2", false);
        s.NotKnowPlus = r.Int("NotKnowPlus", 5);
        s.NotKnowLimit = r.Int("NotKnowLimit", 60);
        s.RNotKnow3 = r.Bool("RNotKnow3", false);
        s.NotKnowPlus3 = r.Int("NotKnowPlus3", 10);
        s.NotKnowLimit3 = r.Int("NotKnowLimit3", 60);
    }
    s.AnsvTm = r.Byte("AnsvTm", 0);
    s.AnsvTmBol = r.Bool("AnsvTmBol", true);
    r.Tell(SetupStep::Clock);
    s.TipOc = r.Byte("TipOc", 0);
    s.Oc = r.Str("Oc");
    s.O5 = r.Str("O5");
    s.O4 = r.Str("O4");
    s.O3 = r.Str("O3");
    s.O2 = r.Str("O2");
    s.PO5 = r.Byte("PO5", 80);
    s.PO4 = r.Byte("PO4", 60);
    s.PO3 = r.Byte("PO3", 40);
    s.PO2 = r.Byte("PO2", 20);

    const struct
    {
        const char *Suffix;
        SetupStep Step;
    } titleFonts[] = {{"TopStr", SetupStep::FontTopStr},
                      {"CEdit", SetupStep::FontCEdit},
                      {"ButEdit", SetupStep::FontButEdit},
                      {"JobEdit", SetupStep::FontJobEdit}};
    s.TitleFont.reset();
    for (size_t i = 0; i < 4; ++i) {
        const auto &f = titleFonts[i];
        TLineList fontSection;
        if (GetSection(exam, fontSection, QStringLiteral("Font") + QString::fromLatin1(f.Suffix))) {
            FontValue font = s.TitleFont.value_or(FontValue());
            ReadFontSection(exam, QString::fromLatin1(f.Suffix), font);
            s.TitleFont = font;
        }
        reading.TitleFonts[i] = s.TitleFont;
        r.Tell(f.Step);
    }
}

} // namespace

SetupReading ReadSetup(const TLineList &exam, const ExamSettings &previous)
{
    SetupReading reading;
    reading.Settings = previous;
    reading.LanguageTipResult = previous.TipResult;
    TLineList section;
    if (!GetSection(exam, section, QStringLiteral("Setup")))
        return reading;
    reading.Found = true;
    reading.Reached = SetupStep::Language;
    try {
        ReadSection(exam, section, reading);
    } catch (...) {
        reading.Error = std::current_exception();
    }
    return reading;
}
