#include "Station.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/FolderThread.h"
#include "core/Shares.h"
#include "records/Journals.h"

#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

void Say(const QString &text)
{
    std::fprintf(stderr, "tarvik-station: %s\n", text.toUtf8().constData());
}

// A registration refused this often (a wrong password, a list that cannot be had) ends the
// station: it would type the same again for ever.
constexpr int MaxRegistrations = 3;

} // namespace

Station::Station(RunGlobals &globals, StationOptions options, QObject *parent)
    : QObject(parent), globals_(globals), options_(std::move(options)), run_(globals_, *this),
      random_(options_.Seed)
{
}

void Station::Start()
{
    if (!options_.Ledger.isEmpty()) {
        ledger_.setFileName(options_.Ledger);
        if (!ledger_.open(QIODevice::WriteOnly | QIODevice::Append))
            return End(Failed, QStringLiteral("cannot write the ledger %1: %2")
                                   .arg(options_.Ledger, ledger_.errorString()));
    }
    run_.SetExamFileName(options_.ExamFile);
    if (!IsUncName(options_.ExamFile) && !QFileInfo(options_.ExamFile).isFile())
        return End(Failed, QStringLiteral("no exam file %1").arg(options_.ExamFile));
    if (run_.MustFetch())
        run_.Fetch([this] { Opened(); });
    else
        Opened();
}

void Station::Opened()
{
    ExamRun::Opening opening = ExamRun::Opening::NoSetup;
    try {
        opening = run_.Open();
    } catch (const TarvikError &e) {
        return End(Failed, e.Message());
    } catch (const std::exception &e) {
        return End(Failed, QString::fromLocal8Bit(e.what()));
    }
    if (opening == ExamRun::Opening::NoSetup)
        return End(Failed, QStringLiteral("%1 has no [Setup] section").arg(options_.ExamFile));
    if (opening == ExamRun::Opening::Damaged)
        return End(Failed, QStringLiteral("the settings of %1 are damaged").arg(options_.ExamFile));
    run_.Reset(); // the title page; the folder is settled behind it
}

void Station::FolderSettled(bool reachable)
{
    if (!reachable)
        return End(Failed, run_.Messages()[Msg::U_ERRORNONETDB]);
    Schedule();
}

void Station::Busy(const std::optional<QString> &text)
{
    if (!text)
        Schedule(); // the step that waited goes on; the next act follows it
}

void Station::Schedule()
{
    if (scheduled_ || ended_)
        return;
    scheduled_ = true;
    const Page page = run_.CurrentPage();
    const bool thinks = page == PageRegistration || page == PageTextAnswers ||
                        page == PagePictureAnswers || page == PageListAnswers;
    QTimer::singleShot(thinks ? Think() : 0, this, [this] { Act(); });
}

int Station::Think()
{
    if (options_.ThinkMaxMs <= options_.ThinkMinMs)
        return options_.ThinkMinMs;
    return std::uniform_int_distribution<int>(options_.ThinkMinMs, options_.ThinkMaxMs)(random_);
}

void Station::Act()
{
    scheduled_ = false;
    if (ended_ || stopping_ || run_.StepWaits())
        return; // a step that waits goes on by itself, and Busy schedules what follows
    switch (run_.CurrentPage()) {
    case PageEmpty:
        return;
    case PageTitle:
        if (examinee_ >= options_.Examinees)
            return Drain();
        ++examinee_;
        registrations_ = 0;
        run_.Next();
        break;
    case PageInstructions:
        run_.Next();
        break;
    case PageRegistration:
        if (++registrations_ > MaxRegistrations)
            return End(Failed, QStringLiteral("examinee %1 could not register").arg(examinee_));
        run_.SetExaminee(options_.Group,
                         QStringLiteral("%1 %2").arg(options_.NamePrefix).arg(examinee_),
                         options_.Password);
        run_.Next();
        break;
    case PageResult:
        run_.Reset(); // "Новый": the next examinee at the title page
        break;
    default:
        Answer();
        break;
    }
    Schedule();
}

void Station::Answer()
{
    // A random answer among those shown, "Не знаю" among them where the exam offers it.
    const TQuestion &q = run_.CurrentQuestion();
    const int places = run_.CurrentPage() == PageTextAnswers ? 5 : 4;
    std::vector<int> shown;
    for (int p = 1; p <= places; ++p)
        if (q.B[size_t(p - 1)])
            shown.push_back(p);
    if (run_.Settings().BolNotKnow)
        shown.push_back(0);
    if (shown.empty())
        return End(Failed, QStringLiteral("question %1 shows no answer").arg(run_.CurrentIndex()));
    const int chosen =
        shown[size_t(std::uniform_int_distribution<int>(0, int(shown.size()) - 1)(random_))];
    if (chosen == 0)
        run_.DontKnow();
    else
        run_.Choose(chosen);
    run_.Next();
}

void Station::ResultShown(const ExamResult &result)
{
    // What the station hands to the records, on its disk before the result is kept.
    if (!ledger_.isOpen() || !run_.Settings().SaveJuornal)
        return;
    const QString line = QStringList{run_.Group(),
                                     run_.Name(),
                                     AnswerString(run_.Log(), run_.Settings().AllZ),
                                     QString::number(result.Percent),
                                     QString::number(result.Mark),
                                     BareFileName(run_.ExamFileName())}
                             .join(u'@') +
                         u'\n';
    const QByteArray bytes = line.toUtf8();
    if (ledger_.write(bytes) != bytes.size() || !ledger_.flush())
        End(Failed, QStringLiteral("cannot write the ledger: %1").arg(ledger_.errorString()));
}

void Station::Stop()
{
    if (ended_ || stopping_)
        return;
    stopping_ = true;
    if (run_.UnderWay())
        run_.Interrupt(); // recorded as not finished, as a closed window records it
    Drain();
}

void Station::Drain()
{
    // The kept results are taken to their journals (again every few seconds, as the player's
    // retry does) until none is kept or the drain time is over.
    auto *poll = new QTimer(this);
    constexpr int StepMs = 250, RetryEveryMs = 5000;
    connect(poll, &QTimer::timeout, this, [this, poll, waited = 0]() mutable {
        waited += StepMs;
        const bool idle = Folders().Queued() == 0 && !run_.StepWaits();
        if (idle && run_.ResultsKept() == 0) {
            poll->stop();
            return End(Done);
        }
        if (waited >= options_.DrainSeconds * 1000) {
            poll->stop();
            return End(
                StillKept,
                QStringLiteral("%1 results still kept on this station").arg(run_.ResultsKept()));
        }
        if (idle && waited % RetryEveryMs == 0)
            run_.RetryKept();
    });
    poll->start(StepMs);
}

void Station::End(Exit exit, const QString &error)
{
    if (ended_)
        return;
    ended_ = true;
    if (!error.isEmpty())
        Say(error);
    Q_EMIT finished(exit);
}

bool Station::Message(MessageKind, const QString &, const QString &text)
{
    Say(text);
    return true;
}

std::optional<QString> Station::ConfirmPassword(const QString &, const QString &)
{
    return run_.Password();
}

bool ParseStationArguments(const QStringList &args, StationOptions &o, QString &error)
{
    const auto number = [&error](const QString &option, const QString &text, int &out) {
        bool ok = false;
        out = text.toInt(&ok);
        if (!ok || out < 0)
            error = QStringLiteral("%1 wants a number of 0 or more: %2").arg(option, text);
        return ok && out >= 0;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QStringLiteral("--"))) {
            if (!o.ExamFile.isEmpty()) {
                error = QStringLiteral("one exam file only: %1").arg(a);
                return false;
            }
            o.ExamFile = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(a);
            return false;
        }
        const QString v = args[++i];
        if (a == QStringLiteral("--examinees")) {
            if (!number(a, v, o.Examinees))
                return false;
        } else if (a == QStringLiteral("--drain")) {
            if (!number(a, v, o.DrainSeconds))
                return false;
        } else if (a == QStringLiteral("--seed")) {
            bool ok = false;
            o.Seed = v.toUInt(&ok);
            if (!ok) {
                error = QStringLiteral("--seed wants a whole number: %1").arg(v);
                return false;
            }
        } else if (a == QStringLiteral("--think")) {
            const QStringList ends = v.split(u'-');
            if (ends.size() != 2 || !number(a, ends[0], o.ThinkMinMs) ||
                !number(a, ends[1], o.ThinkMaxMs) || o.ThinkMinMs > o.ThinkMaxMs) {
                error = QStringLiteral("--think wants MIN-MAX milliseconds: %1").arg(v);
                return false;
            }
        } else if (a == QStringLiteral("--group")) {
            o.Group = v;
        } else if (a == QStringLiteral("--names")) {
            o.NamePrefix = v;
        } else if (a == QStringLiteral("--password")) {
            o.Password = v;
        } else if (a == QStringLiteral("--ledger")) {
            o.Ledger = v;
        } else {
            error = QStringLiteral("unknown option %1").arg(a);
            return false;
        }
    }
    if (o.ExamFile.isEmpty()) {
        error = QStringLiteral("no exam file");
        return false;
    }
    return true;
}
