// A subject manager file: its lists, the choice of each subject, the check-list rule.
#include "core/Cp1251.h"
#include "core/Scramble.h"
#include "exam/Manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    const ManagerFile manager =
        ReadManagerText(Cp1251::Decode(UnscrambleBytes(file, Keys::Manager)));
    for (int c = -1; c < int(manager.Categories.size()); ++c) {
        const QList<ManagerRecord> subjects =
            SubjectsOf(manager, c < 0 ? QString() : manager.Categories[c]);
        QList<bool> checked(subjects.size(), false);
        int selected = -1;
        for (int i = 0; i < subjects.size(); ++i) {
            const ManagerChoice choice = ChooseSubject(subjects[i]);
            if (choice.ExamFile.size() > subjects[i].ExamFile.size())
                __builtin_trap();
            checked[i] = !checked[i];
            selected = ToggleCheck(checked, i, selected);
            if (checked.count(true) > 1)
                __builtin_trap();
        }
    }
    return 0;
}
