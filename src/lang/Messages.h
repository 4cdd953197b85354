#pragma once

#include "core/LineList.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

// Every message and caption the window shows apart from the exam's own content, by key. The
// order is the order in which a language section is read.
enum class Msg {
    U_LMASKRESULT,
    U_LABELQUESTION,
    U_LABDATEZK,
    U_LABGRUPPMEZK,
    U_LABFIOMEZK, // caption of the name label
    U_LABPASSWORDZK,
    U_ERROR,
    U_WARNING,
    U_LABNOTGRUPPZK,
    U_LABFIOMEZK_NONE, // the same key read a second time: the no-name message
    U_LABOPISANIEZK,
    U_GRPGRUPPFIO,
    U_BUTNEXT,
    U_BUTEXIT,
    U_DLGEXITPROGRAMM,
    U_RESST,
    U_REPORTBUTTON1,
    M_SETEX1RES, // key "M_SETEX1RES" followed by the report kind + 1
    M_SETEXRAPORT,
    M_SETEXDATETIME,
    M_RAPORTEXAM,
    M_RAPORTAUTHOR,
    M_RAPORTALLQU,
    M_RAPORTYES,
    M_RAPORTNO,
    M_RAPORTLIMITTIME,
    M_RAPORTOPISQUE,
    M_RAPORTOCN,
    U_REPORTSAVE,
    U_REPORTQVEST,
    U_REPORTALL,
    U_REPORTQ5,
    U_REPORTQ2,
    U_REPORTNOT,
    U_REPORTYES,
    U_NOTPASSWORD,
    U_NOPASSW,
    U_DLDPASSW,
    U_DLDPASSWEDIT,
    U_YESPASSW,
    U_ERRORNONETDB,
    U_ALLTIMEEXAM,
    U_ALLTIMEQ,
    U_TIMEQ1,
    U_REPQ,
    U_REP0,
    U_REP1,
    M_NOTKNOWW,
    U_TANSV0,
    U_TANSV1,
    // Messages of this program beyond the exam's classic table.
    U_NOATSIGN,
    U_PWLUNAVAILABLE,
    U_PWLNOTWRITTEN,
    U_JOURNALPENDING,
    U_REPORTNOTSAVED,
    U_BUSYFOLDER,
    U_BUSYPASSWORD,
    U_BUSYRECORDS,
    U_STOPWAITING,
    U_RESULTSWAITING,
    // The flags of a question in the examiner's figures.
    S_NEGATIVEDISCRIMINATION,
    S_TOOEASY,
    S_TOOHARD,
    S_OFTENUNKNOWN,
    S_WEAKENS,
    // The examiner's results window.
    R_TITLE,
    R_FOLDER,
    R_CHOOSE,
    R_ACCOUNT,
    R_SHOW,
    R_GROUP,
    R_FROM,
    R_TO,
    R_ALLATTEMPTS,
    R_EXAM,
    R_SAVEPDF,
    R_SUMMARY,
    R_MARKS,
    R_HISTOGRAM,
    R_ITEMMAP,
    R_COLUMNS,
    R_NOJOURNAL,
    R_NOEXAM,
    R_PDFNOTSAVED,
    // The examiner's editor.
    E_TITLE,
    E_FILE,
    E_NEW,
    E_OPEN,
    E_SAVE,
    E_SAVEAS,
    E_IMPORT,
    E_CHECK,
    E_QUIT,
    E_EDITMENU,
    E_UNDO,
    E_REDO,
    E_QUESTIONS,
    E_ADD,
    E_DUPLICATE,
    E_DELETE,
    E_UP,
    E_DOWN,
    E_EXAMPAGE,
    E_QUESTIONPAGE,
    E_KIND,
    E_KINDS,
    E_TEXT,
    E_ANSWER,
    E_RIGHT,
    E_PICTURE,
    E_QPICTURE,
    E_SHUFFLE,
    E_TIME,
    E_PROBLEMS,
    E_MARKSORDER,
    E_NORIGHT,
    E_NOPICTURE,
    E_TOOMANY,
    E_EMPTY,
    E_BIGPICTURE,
    E_SAVECHANGES,
    E_FILTER,
    E_SCRAMBLED,
    E_OPENFILTER,
    E_NOTSAVED,
    E_NOTOPENED,
    E_NOPLAYER,
    E_RECENT,
    E_MANAGERFILE,
    E_ROSTERFILE,
    E_MANAGERCOLUMNS,
    E_ROSTERCOLUMNS,
    E_MANAGERFILTER,
    E_ROSTERFILTER,
    // The fields of the editor's settings page, by the settings key they write.
    F_TOPEDIT,
    F_CEDIT,
    F_BUTEDIT,
    F_JOBTITLE,
    F_SURNAME,
    F_PATHGRAPH,
    F_HELPEXAM,
    F_ANRAND,
    F_YTIME,
    F_ANSVTMBOL,
    F_BOLNOTKNOW,
    F_TIPOC,
    F_SAVEJUORNAL,
    F_SPISOK,
    F_YESPASSWORD,
    F_DUBLPWRD,
    F_DBNET,
    F_PATHDBNET,
    F_LOGINDBNET,
    F_PASWDBNET,
    F_DBNETLOCAL,
    F_DBNET_1,
    F_INFIP1,
    F_IP1,
    F_VISITACKBAR,
    F_TASKBAR,
    F_YESREPORT,
    F_YESRESULT,
    F_GRSTRETCH,
    F_FONTTOPSTR,
    F_FONTCEDIT,
    F_FONTBUTEDIT,
    F_FONTJOBEDIT,
    F_FONTHELPEXAM,
    F_FONTQUESTION,
    F_FONTANSWER,
    F_FONTRES,
    F_ANSVTM,
    F_RNOTKNOW,
    F_NOTKNOWPLUS,
    F_NOTKNOWLIMIT,
    F_NOTKNOWPLUS3,
    F_NOTKNOWLIMIT3,
    F_OC,
    F_O5,
    F_O4,
    F_O3,
    F_O2,
    F_PO5,
    F_PO4,
    F_PO3,
    F_PO2,
    F_INFIP2,
    F_IP2,
    F_INFIP3,
    F_IP3,
    F_LANGUAGE,
    F_UNILANG,
    F_TIPRESULT,
    E_GTITLE,
    E_GQUESTIONS,
    E_GTIMING,
    E_GDONTKNOW,
    E_GMARKS,
    E_GREGISTRATION,
    E_GMONITOR,
    E_GWINDOW,
    E_FONT,
    E_COLOR,
    E_TIPOCCHOICES,
    E_ANSVTMCHOICES,
    E_RNOTKNOWCHOICES,
    E_TIPRESULTCHOICES,
    E_BADPICTURE,
    E_TITLEPICTURE,
    E_SHARENAME,
    E_CHANGEDONDISK,
    E_NOSETUP,
    E_NOQUESTIONS,
    E_CHECKSHARE,
    E_SHAREOK,
    E_SHAREFAILED,
    // What a screen reader says of the examination window's controls.
    A_EXAM,
    A_PAGES,
    A_EMPTYPAGE,
    A_PAGETEXT,
    A_PAGEPICTURE,
    A_PAGELIST,
    A_QUESTION,
    A_QUESTIONNUMBER,
    A_ANSWERTIME,
    A_DIVIDER,
    A_QUESTIONTEXT,
    A_ANSWERS,
    A_ANSWER,
    A_ANSWERTEXT,
    A_ANSWERPICTURE,
    A_ZOOMANSWER,
    A_ZOOM,
    A_QUESTIONPICTURE,
    A_ZOOMQUESTION,
    A_ANSWERLIST,
    A_TITLEPAGE,
    A_TITLEPICTURE,
    A_HEADING,
    A_SUBJECT,
    A_FOOTER,
    A_AUTHOR,
    A_DESCRIPTION,
    A_INSTRUCTIONSPAGE,
    A_INSTRUCTIONS,
    A_REGISTRATION,
    A_DATE,
    A_GUIDANCE,
    A_EXAMINEE,
    A_GROUP,
    A_NAME,
    A_PASSWORD,
    A_PICTURE,
    A_RESULTPAGE,
    A_RESULTDIVIDER,
    A_SUMMARYPANEL,
    A_SUMMARY,
    A_REPORT,
    A_BUTTONBAR,
    A_ANSWERROLE,
    A_STATUS,
    A_PROGRESS,
    A_SERVERLINK,
    A_NEWEXAM,
    A_NEXTSTEP,
    Count
};

// The key of a message as it stands in a language section.
QString MessageKey(Msg msg, int tipResult = 0);
QString MessageDefault(Msg msg);

// The message table: the built-in Russian texts until a language section replaces them.
struct TMessages
{
    int Charset = 0; // U_CHARSET
    // U_LOCALE: the locale the section is written for ("ru", "en_GB"...), which picks the
    // language of the standard buttons. A section without it is Russian when it is section 0.
    QString Locale = QStringLiteral("ru");
    std::array<QString, size_t(Msg::Count)> Texts;

    TMessages();
    const QString &operator[](Msg msg) const { return Texts[size_t(msg)]; }
};

// Reads section [Number] of a language text: every key in order, with its default when it is
// missing or empty. TipResult picks the report heading key (M_SETEX1RES1 for kind 0).
TMessages ReadLanguageSection(const TLineList &source, int number, int tipResult);

// Where "Language.fll" is looked for, in order: the given name, the program folder joined with
// its name part, the name part in the current folder, then the user's and the system's data
// folders (for a system-wide install).
QStringList LanguageFileCandidates(const QString &fileName, const QString &programDir);
// The first candidate that exists, or empty.
QString FindLanguageFile(const QString &fileName, const QString &programDir,
                         const std::function<bool(const QString &)> &exists);
// The language file of the programs, found from the executable's folder as above; empty
// without one (the built-in Russian texts apply).
TLineList ProgramLanguageText();

// Replaces %d and %s placeholders in order, as the system's formatting does.
QString FormatMessage(const QString &pattern, const QList<QVariant> &values);

// Loads Qt's own translation of the standard buttons and dialogs ("Да", "Нет", "Отмена") for
// Locale, replacing the one loaded before; an unknown locale or a missing translation leaves
// Qt's English texts. True when a translation was loaded.
bool UseStandardTexts(const QString &locale);
// The texts of an examiner's program: section Section of the programs' language file, with
// Qt's standard buttons and dialogs in the section's language.
TMessages ProgramMessages(int section);
