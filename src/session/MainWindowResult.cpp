// The result page's detailed report in its box, its RTF and PDF copies, and "Новый". The work is
// done in the records library; the window hands over the run's record and shows the outcome.

#include "session/MainWindow.h"

#include "core/Files.h"
#include "core/Shares.h"
#include "records/JournalFolder.h"
#include "ui/Dialogs.h"
#include "ui/NewExam.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTextCursor>
#include <QTextEdit>

namespace {

// The save dialog of the detailed report: RTF first, as it always was, and a printable PDF.
const QString ReportFileFilter = QStringLiteral("File RTF|*.rtf|PDF|*.pdf");

} // namespace

// ---- Journals and the report -----------------------------------------------------------------

void TFmZK::ButYesResultClick()
{
    if (!reportBuilt_) {
        reportVisible_ = true;
        ButYesResult->setEnabled(false);
        ProgressBar1->setRange(0, run_.Settings().AllZ + 1);
        ProgressBar1->setValue(0);
        ProgressBar1->setVisible(true);
        BuildReportInto(REResult, ReportOf(run_.Record(), Clock().Now(), run_.Settings().TipResult),
                        ReportStylesOf(run_.Setup(), font(), palette()),
                        [this] { ProgressBar1->setValue(ProgressBar1->value() + 1); });
        ButYesResult->setText(run_.Messages()[Msg::U_REPORTSAVE]);
        ProgressBar1->setVisible(false);
        reportBuilt_ = true;
        ButYesResult->setEnabled(true);
        REResult->setVisible(reportVisible_);
        // The report is read from its top, and takes most of the page from the summary.
        REResult->moveCursor(QTextCursor::Start);
        const int h = RxSplitter1->height();
        if (RxSplitter1->sizes().value(1) < h / 2)
            RxSplitter1->setSizes({h / 4, h - h / 4});
        return;
    }
    const QString file = Dialogs().SaveFileName(this, ReportFileFilter, QStringLiteral("rtf"));
    if (file.isEmpty())
        return;
    bool saved = false;
    if (file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        saved = SavePdf(*REResult->document(), file);
    } else {
        QSaveFile out(file);
        const QByteArray rtf = ToRtf(*REResult->document());
        saved = out.open(QIODevice::WriteOnly) && out.write(rtf) == rtf.size() && out.commit();
    }
    if (!saved)
        Message(MessageKind::Error, run_.Messages()[Msg::U_ERROR],
                run_.Messages()[Msg::U_REPORTNOTSAVED]);
}

// ---- The next examination --------------------------------------------------------------------

void TFmZK::ButNewClick()
{
    TFmNewExam dialog(globals_.SameUser, globals_.ManagerUsed, this);
    Dialogs().Exec(&dialog);
    if (!dialog.OkPressed)
        return;
    if (!globals_.ManagerUsed) {
        ResetSession();
        return;
    }
    hide();
    QString chosen;
    if (RunSubjectManager(nullptr, globals_, chosen)) {
        // A subject whose file cannot be reached (a blank line of the manager file names none)
        // is said as at start-up; the window comes back with the exam it had.
        const QString reachable = ReachableExamFile(chosen, ExamFileExists);
        if (reachable.isEmpty()) {
            Dialogs().Message(nullptr, MessageKind::Error, QStringLiteral("Ошибка"),
                              UnreachableExamMessage);
        } else {
            globals_.ExamFileName = reachable;
            run_.SetExamFileName(reachable);
        }
    }
    // Shown again by the program: the exam (new or the same) is opened and reset to its title.
    show();
    activateWindow();
}
