#pragma once

#include "analysis/ItemAnalysis.h"
#include "lang/Messages.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPageLayout;
class QPainter;
class QPdfWriter;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// One exam's figures as the examiner sees them: the figures, the mark thresholds and the
// questions' texts when the exam file was found (beside the journals, or as named).
struct ExamView
{
    ExamFigures Figures;
    std::optional<std::array<int, 4>> Thresholds; // PO5, PO4, PO3, PO2
    QStringList Questions;                        // by place in the file; empty when not found
};

// The exams of a journal folder with the filters; false when the result journal cannot be read.
// The exam files are looked for beside the journals, or at ExamFile itself.
bool LoadExamViews(const QString &dir, const AnalysisFilter &filter, QList<ExamView> &views,
                   QStringList &problems);

// The histogram of the percentages, ten bins, with the mark thresholds as lines.
void PaintHistogram(QPainter &p, const QRect &area, const ExamView &view, const TMessages &m);
// Facility (across, 0..100) against discrimination (up, -100..100), flagged questions in red
// with their numbers.
void PaintItemMap(QPainter &p, const QRect &area, const ExamView &view, const TMessages &m);
// The summary line and the mark counts.
QString SummaryText(const ExamView &view, const TMessages &m);
// The question table's rows (with the column titles first), numbers as the tool prints them.
QList<QStringList> QuestionRows(const ExamView &view, const TMessages &m);
// The filters in words: "Группа: 9А, с 01/09/26, Все попытки", or that every examinee is taken.
QString FilterText(const AnalysisFilter &filter, const TMessages &m);
// A printable report of every exam: what it is of (the folder, when it was made, the filters),
// the summary, both plots, the question table; false when the file cannot be written.
bool WriteResultsPdf(const QString &fileName, const QList<ExamView> &views, const TMessages &m,
                     const QString &folder, const AnalysisFilter &filter);

// The examiner's window: a journal folder (a folder or a UNC name with its account), the
// filters, an exam; its summary, plots and question table (sortable); "Сохранить PDF…".
class TFmResults : public QWidget
{
    Q_OBJECT

public:
    explicit TFmResults(const TMessages &messages, QWidget *parent = nullptr);
    // Shows the folder with the filters.
    void Open(const QString &dir, const AnalysisFilter &filter);
    const QList<ExamView> &Views() const { return views_; }

private:
    void Load();
    // The exams of a reading of the folder; Read false: there was no journal to read.
    void Show(bool read, QList<ExamView> views);
    void ShowExam(int index);
    void SavePdf();
    // The filters as typed; none, said in the window, when a date cannot be read.
    std::optional<AnalysisFilter> Filter();

    TMessages messages_;
    QList<ExamView> views_;
    QLineEdit *folder_, *user_, *password_, *group_, *from_, *to_;
    QCheckBox *allAttempts_;
    QComboBox *exam_;
    QLabel *summary_;
    QWidget *histogram_, *itemMap_;
    QStandardItemModel *model_;
    QSortFilterProxyModel *sorted_;
    QTableView *table_;
    QString shownFolder_; // what the figures on screen were read with
    AnalysisFilter shownFilter_;
    int requests_ = 0;     // readings of the folder asked for
    bool loading_ = false; // one of them is under way
};
