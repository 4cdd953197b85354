// Answering: the answer buttons, the texts and panels that choose an answer, the keyboard, and
// the answer the run holds shown back on the page.

#include "session/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

namespace {

void ShadeFocusedAnswer(QWidget *cell, bool focused)
{
    QPalette pal = cell->palette();
    pal.setColor(QPalette::Window,
                 focused ? QApplication::palette().color(QPalette::Highlight).lighter(170)
                         : QApplication::palette().color(QPalette::Window));
    cell->setPalette(pal);
    cell->setAutoFillBackground(focused);
}
} // namespace

void TFmZK::FocusFirstAnswer()
{
    // The examinee can answer from the keyboard at once: Tab and Space choose, Enter moves on.
    QWidget *first = nullptr;
    const int page = CurrentPage();
    if (page == PageTextAnswers) {
        for (const AnswerRow &r : Rows)
            if (!first && r.Row->isVisibleTo(this))
                first = r.Radio;
    } else if (page == PagePictureAnswers) {
        for (const PictureRow &r : PictureRows)
            if (!first && r.Panel->isVisibleTo(this))
                first = r.Radio;
    } else if (page == PageListAnswers && RadioGroup2Items[0]->isVisibleTo(this)) {
        first = RadioGroup2Items[0];
    }
    if (first) {
        // Shown as keyboard focus from the start: the examinee sees where Space chooses.
        setAttribute(Qt::WA_KeyboardFocusChange, true);
        first->setFocus(Qt::TabFocusReason);
    }
}

void TFmZK::UncheckAnswers(QButtonGroup *group)
{
    ++quietChecks_;
    const bool exclusive = group->exclusive();
    group->setExclusive(false); // the checked button of an exclusive group cannot be cleared
    for (QAbstractButton *b : group->buttons())
        b->setChecked(false);
    group->setExclusive(exclusive);
    --quietChecks_;
}

void TFmZK::ConnectControls()
{
    for (int k = 0; k < 5; ++k)
        connect(Rows[size_t(k)].Cell, &ClickPanel::clicked, this,
                [this, k] { AnswerChosen(k + 1); });
    for (int k = 0; k < 4; ++k) {
        const PictureRow &r = PictureRows[size_t(k)];
        connect(r.Panel, &ClickPanel::clicked, this, [this, k] { AnswerChosen(k + 1); });
        connect(r.Image, &PictureBox::clicked, this, [this, k] { AnswerChosen(k + 1); });
        connect(r.Zoom, &QToolButton::clicked, this,
                [this, image = r.Image] { ShowPreview(image); });
    }
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { ShowPreview(Image7); });
    connect(ButYesResult, &QPushButton::clicked, this,
            [this] { Guarded([this] { ButYesResultClick(); }); });
    connect(ButNext, &QPushButton::clicked, this, [this] { Guarded([this] { ButNextClick(); }); });
    connect(ButNew, &QPushButton::clicked, this, [this] { Guarded([this] { ButNewClick(); }); });
    connect(Panel1, &ClickPanel::clicked, this, [this] { RadioButNotKwonClick(); });
    // Every way of checking an answer runs its handler: the mouse, Space and the arrow keys, and
    // the actions a screen reader invokes (which toggle a button without clicking it).
    connect(TextAnswerButtons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !quietChecks_)
            AnswerChosen(id);
    });
    connect(PictureAnswerButtons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !quietChecks_)
            AnswerChosen(id);
    });
    connect(RadioGroup2Buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !quietChecks_)
            AnswerChosen(id + 1);
    });
    connect(RadioButNotKwon, &QRadioButton::toggled, this, [this](bool checked) {
        if (quietChecks_)
            return;
        if (checked) {
            RadioButNotKwonClick();
        } else if (run_.CurrentAnswer() == DontKnowAnswer) {
            // The chosen answer stays chosen until another is chosen.
            ++quietChecks_;
            RadioButNotKwon->setChecked(true);
            --quietChecks_;
        }
    });
}

void TFmZK::AnswerChosen(int position)
{
    const int page = CurrentPage();
    if (page == PageTextAnswers || page == PagePictureAnswers) {
        run_.Choose(position);
    } else if (page == PageListAnswers) {
        const std::vector<int> &positions = run_.ListPositions();
        if (position >= 1 && size_t(position) <= positions.size())
            run_.Choose(positions[size_t(position - 1)]);
    }
}

void TFmZK::RadioButNotKwonClick()
{
    run_.DontKnow();
}

void TFmZK::AnswerChanged()
{
    const int page = CurrentPage();
    const int answer = run_.CurrentAnswer();
    QButtonGroup *group = page == PagePictureAnswers ? PictureAnswerButtons
                          : page == PageListAnswers  ? RadioGroup2Buttons
                                                     : TextAnswerButtons;
    ++quietChecks_;
    if (answer == DontKnowAnswer) {
        UncheckAnswers(group);
        RadioButNotKwon->setChecked(true);
    } else {
        // A list item's button is numbered by its place in the list, not in the file.
        const std::vector<int> &positions = run_.ListPositions();
        const int id =
            page != PageListAnswers
                ? answer
                : int(std::find(positions.begin(), positions.end(), answer) - positions.begin());
        if (QAbstractButton *b = group->button(id))
            b->setChecked(true);
        UncheckAnswers(DontKnowButtons);
    }
    --quietChecks_;
    ButNext->setEnabled(true);
    ButNext->setFocus();
}

void TFmZK::RBut1KeyPress(QKeyEvent *event)
{
    if (ButNext->isEnabled() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        ButNext->setFocus();
        Guarded([this] { ButNextClick(); });
    }
}

bool TFmZK::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == GroupBox1) {
        LayoutRegistrationBox(screenDpiX_ / 96.0);
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // Clicking an answer's text chooses it, as its radio button does.
        for (int k = 0; k < 5; ++k)
            if (watched == Rows[size_t(k)].Memo->viewport()) {
                AnswerChosen(k + 1);
                return true;
            }
        for (int k = 0; k < 4; ++k)
            if (watched == PictureRows[size_t(k)].Memo->viewport()) {
                AnswerChosen(k + 1);
                return true;
            }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // The answer that has the keyboard stands out: its row is shaded.
        const bool in = event->type() == QEvent::FocusIn;
        for (const AnswerRow &r : Rows)
            if (watched == r.Radio)
                ShadeFocusedAnswer(r.Cell, in);
        for (const PictureRow &r : PictureRows)
            if (watched == r.Radio)
                ShadeFocusedAnswer(r.Panel, in);
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (ComboBox1KeyPress(watched, key))
            return true;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Enter moves on from every answer button but the fifth text answer.
        bool answerButton = false;
        for (int k = 0; k < 4; ++k)
            answerButton = answerButton || watched == Rows[size_t(k)].Radio ||
                           watched == PictureRows[size_t(k)].Radio;
        for (QRadioButton *b : RadioGroup2Items)
            answerButton = answerButton || watched == b;
        if (enter && answerButton) {
            RBut1KeyPress(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
