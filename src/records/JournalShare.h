#pragma once

#include "exam/Settings.h"
#include "records/JournalFolder.h"

#include <QString>

// The journal folder of an opened exam and the rule by which its share is connected and let go.
// Without DbNet the folder is the program's. With DbNet it is the share, settled when the exam is
// opened; with DbNet_1 the share stays connected from then on, without it every access connects
// again. After an access the share is let go as this table says:
//
//   access            let go when
//   Prepare           DbNet and not DbNet_1 (nothing when the share cannot be reached)
//   ExamineeLists     DbNet and not DbNet_1
//   PasswordCheck     DbNet (kept when the examinee cancels the confirmation)
//   PasswordRegister  DbNet and not DbNet_1
//   Results           DbNet
//
// DbNet starts as the settings say: a share that cannot be reached when DbNetLocal allows it
// clears it, and the program's folder serves from then on. The object is used on the folder
// thread only; each opening of an exam makes its own.
class JournalShare
{
public:
    enum class Access { Prepare, ExamineeLists, PasswordCheck, PasswordRegister, Results };

    // One access to the folder: the folder to use while it lasts; the share is let go at its end.
    class Scope
    {
    public:
        Scope(JournalShare &share, Access access);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        const QString &Dir() const { return dir_; }
        // The share could not be reached and the exam allows no fallback.
        bool Unreachable() const { return unreachable_; }
        // The share stays connected after this access (it is let go later, by LetGo).
        void Keep() { keep_ = true; }

    private:
        JournalShare &share_;
        Access access_;
        QString dir_;
        bool unreachable_ = false;
        bool keep_ = false;
    };

    explicit JournalShare(const ExamSettings &settings)
        : dbNet_(settings.DbNet), net_(NetFolderOf(settings))
    {
    }

    // Settles the folder once the settings are read: false when the share cannot be reached and
    // the exam allows no fallback (the program ends).
    bool Settle(const QString &programDir);
    // The folder as settled.
    const QString &Dir() const { return dir_; }
    const QString &ProgramDir() const { return programDir_; }
    // The journal folder is the share (false once the program's folder serves instead).
    bool DbNet() const { return dbNet_; }
    // Lets the share go after an access that was kept, as the table says for it.
    void LetGo(Access access);

private:
    QString Current(bool *unreachable);
    bool dbNet_;
    NetFolder net_;
    QString programDir_;
    QString dir_;
};
