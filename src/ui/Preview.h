#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

class QLabel;
class QScrollArea;

// A picture of a question at its natural size, on top of the main window, dragged about by the
// picture itself with the left button. It frees itself when it closes.
class TFmPreview : public QWidget
{
    Q_OBJECT

public:
    TFmPreview(const QPixmap &picture, QWidget *owner);
    // Shows the window without blocking; an empty picture (both sides under 2 pixels) closes it
    // at once.
    void Open();
    QLabel *Image1 = nullptr;

Q_SIGNALS:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QScrollArea *area_ = nullptr;
    QPoint dragOrigin_;
    bool moveCursor_ = false;
};
