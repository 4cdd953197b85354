#include "ResultsWindow.h"

#include "core/Clock.h"
#include "core/Codecs.h"
#include "core/Files.h"
#include "core/FolderAccess.h"
#include "core/FolderThread.h"
#include "core/LineList.h"
#include "core/Shares.h"
#include "exam/ExamFile.h"
#include "exam/Settings.h"
#include "ui/Dialogs.h"
#include "ui/Named.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <functional>

namespace {

// A plot of the window: painted by a function of the exam on screen.
class Plot : public QWidget
{
public:
    explicit Plot(std::function<void(QPainter &, const QRect &)> paint) : paint_(std::move(paint))
    {
        setMinimumSize(320, 220);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        paint_(p, rect().adjusted(4, 4, -4, -4));
    }

private:
    std::function<void(QPainter &, const QRect &)> paint_;
};

// The plot's frame and title; the area left for the plot.
QRect Frame(QPainter &p, const QRect &area, const QString &title)
{
    p.setPen(Qt::black);
    const QFontMetrics fm(p.font());
    p.drawText(area.left(), area.top() + fm.ascent(), title);
    const QRect plot = area.adjusted(fm.horizontalAdvance(QStringLiteral("-100")) + 6,
                                     fm.height() + 6, -6, -fm.height() - 4);
    p.drawRect(plot);
    return plot;
}

} // namespace

bool LoadExamViews(const QString &dir, const AnalysisFilter &filter, QList<ExamView> &views,
                   QStringList &problems)
{
    Analysis analysis;
    if (!AnalyzeFolder(dir, filter, analysis))
        return false;
    problems = analysis.Problems;
    views.clear();
    for (const ExamFigures &figures : analysis.Exams) {
        ExamView view{figures, std::nullopt, {}};
        QString file = JoinPath(dir, figures.File);
        if (!filter.ExamFile.isEmpty() && QFileInfo(filter.ExamFile).isFile())
            file = filter.ExamFile;
        if (!figures.File.isEmpty() && Folder(file).Exists(file)) {
            try {
                const LoadedExam exam = LoadExamFile(file, 0);
                const SetupReading setup = ReadSetup(exam.Lines, ExamSettings());
                if (setup.Found)
                    view.Thresholds = std::array<int, 4>{setup.Settings.PO5, setup.Settings.PO4,
                                                         setup.Settings.PO3, setup.Settings.PO2};
                TLineList section;
                for (int n = 0; n < figures.Questions; ++n) {
                    GetSection(exam.Lines, section, QStringLiteral("V%1").arg(n));
                    view.Questions.append(
                        ExpandLineBreaks(ReadStr(section, QStringLiteral("Vopros"), QString()))
                            .simplified());
                }
            } catch (const std::exception &) {
                // A damaged exam file: the figures without its texts.
            }
        }
        views.append(view);
    }
    return true;
}

QString SummaryText(const ExamView &view, const TMessages &m)
{
    const ExamFigures &e = view.Figures;
    const QString none = QStringLiteral("—");
    const QLocale locale(m.Locale);
    const auto figure = [&](const std::optional<double> &v) { return FigureText(v, none, locale); };
    QStringList marks;
    for (auto it = e.Marks.cbegin(); it != e.Marks.cend(); ++it)
        marks.prepend(it.key() + QStringLiteral(": ") + QString::number(it.value()));
    QString text =
        FormatMessage(m[Msg::R_SUMMARY], {e.Examinees, e.Questions, figure(e.PercentMean),
                                          figure(e.PercentMedian), figure(e.PercentMin),
                                          figure(e.PercentMax), figure(e.Alpha), figure(e.Sem)}) +
        u'\n' + FormatMessage(m[Msg::R_MARKS], {marks.join(QStringLiteral(", "))});
    if (e.Examinees < MinExaminees)
        text += u'\n' + FormatMessage(m[Msg::R_TOOFEW], {e.Examinees});
    return text;
}

QList<QStringList> QuestionRows(const ExamView &view, const TMessages &m)
{
    const QString none = QStringLiteral("—");
    const QLocale locale(m.Locale);
    QList<QStringList> rows{m[Msg::R_COLUMNS].split(u'|')};
    for (const ItemFigures &i : view.Figures.Items) {
        QStringList flags;
        for (const QString &f : i.Flags)
            flags.append(FlagText(f, m));
        rows.append({QString::number(i.N), FigureText(i.Facility, none, locale),
                     FigureText(i.Discrimination, none, locale),
                     FigureText(i.UpperLower, none, locale), FigureText(i.DontKnow, none, locale),
                     FigureText(i.AlphaIfDeleted, none, locale), flags.join(QStringLiteral("; ")),
                     AnswersText(i), view.Questions.value(i.N - 1)});
    }
    return rows;
}

void PaintHistogram(QPainter &p, const QRect &area, const ExamView &view, const TMessages &m)
{
    p.save(); // the caller's pen, brush and hints stay as they were
    const auto restore = qScopeGuard([&p] { p.restore(); });
    const QRect plot = Frame(p, area, m[Msg::R_HISTOGRAM]);
    std::array<int, 10> bins{};
    for (int32_t percent : view.Figures.Percents)
        ++bins[size_t(qBound(0, percent / 10, 9))];
    const int most = qMax(1, *std::max_element(bins.begin(), bins.end()));
    const double w = plot.width() / 10.0;
    const QFontMetrics fm(p.font());
    // The top line of the plot holds the thresholds' marks; the bars and their counts stay below
    // it, so no count hides a mark.
    const int band = fm.height() + 2;
    const int tallest = qMax(1, plot.height() - 2 * band);
    for (int b = 0; b < 10; ++b) {
        const int h = int(double(tallest) * bins[size_t(b)] / most);
        const QRectF bar(plot.left() + b * w + 2, plot.bottom() - h, w - 4, h);
        p.fillRect(bar, QColor(70, 120, 180));
        if (bins[size_t(b)])
            p.drawText(QRectF(bar.left(), bar.top() - fm.height(), bar.width(), fm.height()),
                       Qt::AlignCenter, QString::number(bins[size_t(b)]));
        p.drawText(QRectF(plot.left() + b * w, plot.bottom() + 2, w, fm.height()), Qt::AlignLeft,
                   QString::number(b * 10));
    }
    if (view.Thresholds) {
        p.setPen(QPen(QColor(200, 40, 40), 1, Qt::DashLine));
        // The lines of marks 5, 4 and 3; every percentage under the last is a 2, so the stored
        // threshold of 2 changes no mark and has no line.
        const char *marks[] = {"5", "4", "3"};
        for (size_t t = 0; t < 3; ++t) {
            const int x = plot.left() + int(plot.width() * (*view.Thresholds)[t] / 100.0);
            p.drawLine(x, plot.top() + band, x, plot.bottom());
            p.drawText(QRect(x - 20, plot.top() + 1, 40, fm.height()), Qt::AlignCenter,
                       QString::fromLatin1(marks[t]));
        }
    }
}

void PaintItemMap(QPainter &p, const QRect &area, const ExamView &view, const TMessages &m)
{
    p.save(); // the caller's pen, brush and hints stay as they were
    const auto restore = qScopeGuard([&p] { p.restore(); });
    const QRect plot = Frame(p, area, m[Msg::R_ITEMMAP]);
    const QFontMetrics fm(p.font());
    const auto at = [&](double facility, double discrimination) {
        return QPointF(plot.left() + plot.width() * facility / 100.0,
                       plot.top() + plot.height() * (100.0 - discrimination) / 200.0);
    };
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    p.drawLine(at(0, 0), at(100, 0)); // discrimination 0: below it, probably keyed wrong
    p.setPen(Qt::black);
    for (int v : {-100, 0, 100})
        p.drawText(QRectF(area.left(), at(0, v).y() - fm.height() / 2.0,
                          plot.left() - area.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    for (int v : {0, 50, 100})
        p.drawText(QRectF(at(v, -100).x() - 20, plot.bottom() + 2, 40, fm.height()),
                   Qt::AlignCenter, QString::number(v));
    p.setRenderHint(QPainter::Antialiasing);
    for (const ItemFigures &i : view.Figures.Items) {
        if (!i.Discrimination)
            continue;
        const QPointF c = at(i.Facility, *i.Discrimination);
        const bool flagged = !i.Flags.isEmpty();
        p.setPen(Qt::NoPen);
        p.setBrush(flagged ? QColor(210, 40, 40) : QColor(70, 120, 180));
        p.drawEllipse(c, flagged ? 5 : 3.5, flagged ? 5 : 3.5);
        if (flagged) {
            p.setPen(QColor(160, 0, 0));
            p.drawText(c + QPointF(7, 4), QString::number(i.N));
        }
    }
    p.setBrush(Qt::NoBrush);
}

QString FilterText(const AnalysisFilter &filter, const TMessages &m)
{
    QStringList parts;
    if (!filter.Group.isEmpty())
        parts.append(m[Msg::R_GROUP] + u' ' + filter.Group);
    if (filter.From)
        parts.append(m[Msg::R_FROM] + u' ' + filter.From->toString(QStringLiteral("dd/MM/yy")));
    if (filter.To)
        parts.append(m[Msg::R_TO] + u' ' + filter.To->toString(QStringLiteral("dd/MM/yy")));
    if (filter.AllAttempts)
        parts.append(m[Msg::R_ALLATTEMPTS]);
    if (!filter.ExamFile.isEmpty())
        parts.append(filter.ExamFile);
    return parts.isEmpty() ? m[Msg::R_NOFILTER] : parts.join(QStringLiteral(", "));
}

bool WriteResultsPdf(const QString &fileName, const QList<ExamView> &views, const TMessages &m,
                     const QString &folder, const AnalysisFilter &filter)
{
    QPdfWriter pdf(fileName);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(96);
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    pdf.setTitle(m[Msg::R_TITLE]);
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    const QRect page = p.viewport();
    QFont font = p.font();
    font.setPointSize(8);
    p.setFont(font);
    const QFontMetrics fm(font, &pdf);
    // What the report is of: on every exam's first page.
    const QString header = FormatMessage(
        m[Msg::R_MADE], {folder, QLocale(m.Locale).toString(Clock().Now(), QLocale::ShortFormat),
                         FilterText(filter, m)});
    // The height Text takes in Width, wrapped as it is drawn.
    const auto height = [&p](int width, const QString &text) {
        return text.isEmpty()
                   ? 0
                   : p.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text).height();
    };
    bool first = true;
    for (const ExamView &view : views) {
        if (!first)
            pdf.newPage();
        first = false;
        int y = 0;
        p.setPen(Qt::darkGray);
        const int headerHeight = height(page.width(), header);
        p.drawText(QRect(0, y, page.width(), headerHeight), Qt::TextWordWrap, header);
        p.setPen(Qt::black);
        y += headerHeight + 6;
        QFont bold = font;
        bold.setBold(true);
        bold.setPointSize(11);
        p.setFont(bold);
        p.drawText(QRect(0, y, page.width(), 24), Qt::AlignLeft,
                   QStringLiteral("%1 %2 (%3)")
                       .arg(view.Figures.Subject)
                       .arg(view.Figures.Title, view.Figures.File));
        p.setFont(font);
        y += 26;
        const QString summaryText = SummaryText(view, m);
        const QRect summary(0, y, page.width(), height(page.width(), summaryText));
        p.drawText(summary, Qt::TextWordWrap, summaryText);
        y += summary.height() + 6;
        const int plotHeight = 220;
        PaintHistogram(p, QRect(0, y, page.width() / 2 - 6, plotHeight), view, m);
        PaintItemMap(p, QRect(page.width() / 2 + 6, y, page.width() / 2 - 6, plotHeight), view, m);
        y += plotHeight + 12;
        // The question table: its numbers in columns; after them the remarks in red, the answers
        // chosen and the question's text, each in lines of its own.
        const QList<QStringList> rows = QuestionRows(view, m);
        const int widths[] = {28, 55, 115, 62, 45, 70};
        const int numbers = 375;
        const int restWidth = page.width() - numbers - 6;
        // The column titles, wrapped over two lines in their narrow columns.
        int x = 0;
        for (int c = 0; c < 6; ++c) {
            p.drawText(QRect(x, y, widths[c] - 4, fm.height() * 2),
                       Qt::AlignRight | Qt::AlignBottom | Qt::TextWordWrap, rows[0].value(c));
            x += widths[c];
        }
        p.drawText(QRect(numbers + 6, y, restWidth, fm.height() * 2),
                   Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                   rows[0].value(6) + QStringLiteral(" / ") + rows[0].value(7) +
                       QStringLiteral(" / ") + rows[0].value(8));
        y += fm.height() * 2 + 4;
        for (const QStringList &row : rows.mid(1)) {
            const QStringList rest{row.value(6), row.value(7), row.value(8).left(300)};
            int h = 0;
            for (const QString &part : rest)
                h += height(restWidth, part);
            h = qMax(fm.height(), h) + 4;
            if (y + h > page.height()) {
                pdf.newPage();
                y = 0;
            }
            int x = 0;
            for (int c = 0; c < 6; ++c) {
                p.drawText(QRect(x, y, widths[c] - 4, h), Qt::AlignRight | Qt::AlignTop,
                           row.value(c));
                x += widths[c];
            }
            int at = y;
            const QColor colours[] = {QColor(160, 0, 0), Qt::darkGray, Qt::black};
            for (int k = 0; k < 3; ++k) {
                const int partHeight = height(restWidth, rest[k]);
                p.setPen(colours[k]);
                p.drawText(QRect(numbers + 6, at, restWidth, partHeight), Qt::TextWordWrap,
                           rest[k]);
                at += partHeight;
            }
            p.setPen(Qt::black);
            y += h;
        }
    }
    return p.end();
}

TFmResults::TFmResults(const TMessages &messages, QWidget *parent)
    : QWidget(parent), messages_(messages)
{
    const TMessages &m = messages_;
    setObjectName(QStringLiteral("FmResults"));
    setWindowTitle(m[Msg::R_TITLE]);
    auto *col = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(m[Msg::R_FOLDER]));
    folder_ = new QLineEdit;
    row->addWidget(Named(folder_, "Folder", m[Msg::R_FOLDER]), 1);
    auto *choose = new QPushButton(m[Msg::R_CHOOSE]);
    row->addWidget(Named(choose, "Choose", m[Msg::R_CHOOSE]));
    col->addLayout(row);
    row = new QHBoxLayout;
    row->addWidget(new QLabel(m[Msg::R_ACCOUNT]));
    user_ = new QLineEdit;
    password_ = new QLineEdit;
    password_->setEchoMode(QLineEdit::Password);
    row->addWidget(Named(user_, "User", m[Msg::R_ACCOUNT]));
    row->addWidget(Named(password_, "Password", m[Msg::R_ACCOUNT]));
    row->addStretch(1);
    col->addLayout(row);
    row = new QHBoxLayout;
    row->addWidget(new QLabel(m[Msg::R_GROUP]));
    group_ = new QLineEdit;
    row->addWidget(Named(group_, "Group", m[Msg::R_GROUP]));
    row->addWidget(new QLabel(m[Msg::R_FROM]));
    from_ = new QLineEdit;
    from_->setPlaceholderText(QStringLiteral("ДД/ММ/ГГ"));
    row->addWidget(Named(from_, "From", m[Msg::R_FROM]));
    row->addWidget(new QLabel(m[Msg::R_TO]));
    to_ = new QLineEdit;
    to_->setPlaceholderText(QStringLiteral("ДД/ММ/ГГ"));
    row->addWidget(Named(to_, "To", m[Msg::R_TO]));
    allAttempts_ = new QCheckBox(m[Msg::R_ALLATTEMPTS]);
    row->addWidget(Named(allAttempts_, "AllAttempts", m[Msg::R_ALLATTEMPTS]));
    auto *show = new QPushButton(m[Msg::R_SHOW]);
    show->setDefault(true);
    row->addWidget(Named(show, "Show", m[Msg::R_SHOW]));
    row->addStretch(1);
    col->addLayout(row);
    row = new QHBoxLayout;
    row->addWidget(new QLabel(m[Msg::R_EXAM]));
    exam_ = new QComboBox;
    row->addWidget(Named(exam_, "Exam", m[Msg::R_EXAM]), 1);
    auto *save = new QPushButton(m[Msg::R_SAVEPDF]);
    row->addWidget(Named(save, "SavePdf", m[Msg::R_SAVEPDF]));
    col->addLayout(row);
    summary_ = new QLabel;
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);
    summary_->setToolTip(m[Msg::R_MEASUREMENT]);
    col->addWidget(Named(summary_, "Summary", m[Msg::R_TITLE]));
    row = new QHBoxLayout;
    const auto exam = [this]() -> const ExamView * {
        const int i = exam_->currentIndex();
        return i >= 0 && i < views_.size() ? &views_[i] : nullptr;
    };
    histogram_ = new Plot([this, exam](QPainter &p, const QRect &r) {
        if (const ExamView *v = exam())
            PaintHistogram(p, r, *v, messages_);
    });
    itemMap_ = new Plot([this, exam](QPainter &p, const QRect &r) {
        if (const ExamView *v = exam())
            PaintItemMap(p, r, *v, messages_);
    });
    row->addWidget(Named(histogram_, "Histogram", m[Msg::R_HISTOGRAM]), 1);
    row->addWidget(Named(itemMap_, "ItemMap", m[Msg::R_ITEMMAP]), 1);
    col->addLayout(row, 2);
    model_ = new QStandardItemModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView;
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    table_->verticalHeader()->setVisible(false);
    col->addWidget(Named(table_, "Questions", m[Msg::R_COLUMNS].section(u'|', 7, 7)), 3);

    connect(choose, &QPushButton::clicked, this, [this] {
        const QString dir =
            QFileDialog::getExistingDirectory(this, messages_[Msg::R_FOLDER], folder_->text());
        if (!dir.isEmpty()) {
            folder_->setText(dir);
            Load();
        }
    });
    connect(show, &QPushButton::clicked, this, [this] { Load(); });
    connect(folder_, &QLineEdit::returnPressed, this, [this] { Load(); });
    connect(exam_, &QComboBox::currentIndexChanged, this, [this](int i) { ShowExam(i); });
    connect(save, &QPushButton::clicked, this, [this] { SavePdf(); });
    resize(1100, 700); // on a 1280 x 800 screen with its panel
}

std::optional<AnalysisFilter> TFmResults::Filter()
{
    AnalysisFilter f;
    f.Group = group_->text().trimmed();
    f.AllAttempts = allAttempts_->isChecked();
    for (const auto &[edit, end] : {std::pair{from_, &f.From}, {to_, &f.To}}) {
        const QString text = edit->text().trimmed();
        if (text.isEmpty())
            continue;
        *end = JournalDate(text);
        if (!*end) {
            // Never read as no filter: the examiner would take the figures for the dates asked.
            Show(true, {});
            summary_->setText(FormatMessage(messages_[Msg::R_BADDATE], {text}));
            edit->setFocus();
            return std::nullopt;
        }
    }
    return f;
}

void TFmResults::Open(const QString &dir, const AnalysisFilter &filter)
{
    folder_->setText(dir);
    group_->setText(filter.Group);
    from_->setText(filter.From ? filter.From->toString(QStringLiteral("dd/MM/yy")) : QString());
    to_->setText(filter.To ? filter.To->toString(QStringLiteral("dd/MM/yy")) : QString());
    allAttempts_->setChecked(filter.AllAttempts);
    Load();
}

void TFmResults::Load()
{
    const QString dir = folder_->text().trimmed();
    if (dir.isEmpty())
        return;
    if (IsUncName(dir) && !user_->text().isEmpty())
        KnowAccount(dir, user_->text(), password_->text());
    const std::optional<AnalysisFilter> filter = Filter();
    if (!filter)
        return;
    // The folder may be a share: read on the folder thread while the window goes on. The last
    // request wins: an older reading that ends later is dropped.
    struct Loaded
    {
        bool Read = false;
        QList<ExamView> Views;
        QStringList Problems;
    };
    const int request = ++requests_;
    if (!loading_)
        setCursor(Qt::BusyCursor);
    loading_ = true;
    Folders().Post<Loaded>(
        [dir, filter = *filter] {
            Loaded l;
            l.Read = LoadExamViews(dir, filter, l.Views, l.Problems);
            return l;
        },
        this,
        [this, request, dir, filter = *filter](Loaded l) {
            if (request != requests_)
                return;
            loading_ = false;
            unsetCursor();
            shownFolder_ = dir;
            shownFilter_ = filter;
            Show(l.Read, std::move(l.Views));
        });
}

void TFmResults::Show(bool read, QList<ExamView> views)
{
    views_ = std::move(views);
    exam_->clear();
    if (!read || views_.isEmpty()) {
        summary_->setText(messages_[read ? Msg::R_NOEXAM : Msg::R_NOJOURNAL]);
        model_->clear();
        histogram_->update();
        itemMap_->update();
        return;
    }
    for (const ExamView &v : views_)
        exam_->addItem(QStringLiteral("%1  %2 (%3)")
                           .arg(v.Figures.Subject)
                           .arg(v.Figures.Title, v.Figures.File));
}

void TFmResults::ShowExam(int index)
{
    if (index < 0 || index >= views_.size())
        return;
    const ExamView &view = views_[index];
    summary_->setText(SummaryText(view, messages_));
    const QList<QStringList> rows = QuestionRows(view, messages_);
    model_->clear();
    model_->setHorizontalHeaderLabels(rows.first());
    // Each column says in words what its figure means and which values are good.
    const QStringList tips = messages_[Msg::R_COLUMNTIPS].split(u'|');
    for (int c = 0; c < model_->columnCount(); ++c)
        model_->setHeaderData(c, Qt::Horizontal, tips.value(c), Qt::ToolTipRole);
    const QLocale locale(messages_.Locale);
    for (qsizetype r = 1; r < rows.size(); ++r) {
        QList<QStandardItem *> items;
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            auto *item = new QStandardItem(rows[r][c]);
            bool number = false;
            const double v = locale.toDouble(rows[r][c], &number);
            // Numbers sort as numbers, a missing figure below every number.
            item->setData(number  ? QVariant(v)
                          : c < 6 ? QVariant(-1e9)
                                  : QVariant(rows[r][c]),
                          Qt::UserRole);
            if (!rows[r][6].isEmpty())
                item->setForeground(QColor(160, 0, 0));
            items.append(item);
        }
        model_->appendRow(items);
    }
    // The figures narrow (their titles may be cut: the tooltips say them whole), so that the
    // question's text is on the screen.
    for (int c = 0; c + 1 < model_->columnCount(); ++c) {
        table_->resizeColumnToContents(c);
        table_->setColumnWidth(c, qMin(table_->columnWidth(c), c < 6 ? 100 : 240));
    }
    histogram_->update();
    itemMap_->update();
}

void TFmResults::SavePdf()
{
    if (views_.isEmpty())
        return;
    const QString file =
        Dialogs().SaveFileName(this, QStringLiteral("PDF|*.pdf"), QStringLiteral("pdf"));
    if (file.isEmpty())
        return;
    if (!WriteResultsPdf(file, views_, messages_, shownFolder_, shownFilter_))
        Dialogs().Message(this, MessageKind::Error, messages_[Msg::U_ERROR],
                          messages_[Msg::R_PDFNOTSAVED]);
}
