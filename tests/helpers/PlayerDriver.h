#pragma once

#include "Steps.h"
#include "session/MainWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

// A control of a window by its object name; the test stops when there is none.
template <typename T = QWidget> T *Ctl(const QWidget &window, const QString &name)
{
    T *w = window.findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}
template <typename T = QWidget> T *Ctl(const QWidget &window, const char *name)
{
    return Ctl<T>(window, QString::fromLatin1(name));
}

// Takes an examinee through the player's pages as the examinee would: the buttons and boxes by
// their names, "Далее>>" through its handler.
struct PlayerDriver
{
    TFmZK &W;

    // "Далее>>", and what the step waits for on the folder thread.
    static void Next(TFmZK &w)
    {
        w.ButNextClick();
        Settle(w.Run());
    }

    QComboBox *Group() const { return Ctl<QComboBox>(W, "ComboBox1"); }
    QComboBox *Name() const { return Ctl<QComboBox>(W, "ComboBox2"); }
    QLineEdit *Password() const { return Ctl<QLineEdit>(W, "MaskEdit1"); }
    QPushButton *Next() const { return Ctl<QPushButton>(W, "ButNext"); }

    // Types the examinee's data into the registration page; a choose-only list is given the
    // entry and it is chosen.
    static void Enter(QComboBox *box, const QString &text)
    {
        if (box->isEditable()) {
            box->setEditText(text);
            return;
        }
        if (box->findText(text) < 0)
            box->addItem(text);
        box->setCurrentIndex(box->findText(text));
    }
    void Type(const QString &group, const QString &name, const QString &password = {}) const
    {
        Enter(Group(), group);
        Enter(Name(), name);
        Password()->setText(password);
    }
    // From the title page to the first question, registering when the exam asks; false when no
    // question came.
    bool ToFirstQuestion(const QString &group = QStringLiteral("10А"),
                         const QString &name = QStringLiteral("Иванов И."),
                         const QString &password = {}) const
    {
        for (int step = 0; step < 4 && W.CurrentPage() >= PageTitle && W.CurrentPage() < PageResult;
             ++step) {
            if (W.CurrentPage() == PageRegistration)
                Type(group, name, password);
            Next(W);
        }
        return W.CurrentPage() < PageTitle && W.CurrentPage() != PageEmpty;
    }
    // Answers every question from the current one on with Choose(question index), then the
    // result page is on.
    template <typename F> void AnswerAll(F choose) const
    {
        while (W.CurrentPage() < PageTitle && W.CurrentPage() != PageEmpty) {
            W.AnswerChosen(choose(W.Run().CurrentIndex()));
            W.ButNextClick();
        }
    }
};
