// The settings and question readers on any exam text: [Setup] read key by key (a bad font value
// raises EConvertError, nothing else), then every question read and shuffled.
#include "core/Cp1251.h"
#include "core/Errors.h"
#include "core/LineList.h"
#include "exam/Questions.h"
#include "exam/Settings.h"

namespace {
class Sink : public SetupSink
{
public:
    bool SetupApplied(SetupStep, const ExamSettings &) override { return true; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TLineList exam;
    exam.SetText(Cp1251::Decode(reinterpret_cast<const char *>(data), qsizetype(size)));
    ExamSettings settings;
    Sink sink;
    try {
        if (!ReadSetup(exam, settings, sink))
            return 0;
    } catch (const EConvertError &) {
        return 0;
    }
    const std::vector<int32_t> order = BuildQuestionOrder(settings.AllZ, settings.AnRand);
    if (order.size() != size_t(settings.AllZ) + 1)
        __builtin_trap();
    TLineList buffer;
    auto answerOrder = std::make_unique<AnswerOrderTable>();
    for (int32_t n : order) {
        const TQuestion q = LoadQuestionRecord(exam, n, buffer, *answerOrder);
        if (q.Form < 0 || q.Form > 3 || q.AllW < 1 || q.AllW > 5)
            __builtin_trap();
    }
    return 0;
}
