#include "Preview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

TFmPreview::TFmPreview(const QPixmap &picture, QWidget *owner) : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("FmPreview"));
    setAccessibleName(QStringLiteral("Preview"));
    setWindowTitle(QStringLiteral("Preview"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    area_ = new QScrollArea(this);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setAlignment(Qt::AlignCenter);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Рисунок"));
    Image1->setPixmap(picture);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);
    area_->setWidget(Image1);
    area_->setWidgetResizable(true);
    layout->addWidget(area_);
    resize(287, 135);
}

void TFmPreview::Open()
{
    const QPixmap pm = Image1->pixmap();
    if (pm.width() < 2 && pm.height() < 2) {
        show();
        close();
        return;
    }
    // The client area is the picture, within the screen; a larger one scrolls.
    QSize size = pm.size();
    if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QSize room = s->availableGeometry().size() * 9 / 10;
        size = size.boundedTo(room);
        move(s->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
    resize(size);
    show();
    raise();
}

bool TFmPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Image1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *m = static_cast<QMouseEvent *>(event);
        dragOrigin_ = m->position().toPoint();
        if (!moveCursor_) {
            QApplication::setOverrideCursor(Qt::SizeAllCursor);
            moveCursor_ = true;
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (moveCursor_) {
            QApplication::restoreOverrideCursor();
            moveCursor_ = false;
        }
        return true;
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(event);
        const QPoint at = m->position().toPoint();
        // Only the left button alone drags; Shift, Ctrl or another button do not.
        if (m->buttons() == Qt::LeftButton && m->modifiers() == Qt::NoModifier)
            move(pos() + at - dragOrigin_);
        else
            dragOrigin_ = at;
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TFmPreview::closeEvent(QCloseEvent *event)
{
    if (moveCursor_) {
        QApplication::restoreOverrideCursor();
        moveCursor_ = false;
    }
    Q_EMIT closed();
    QWidget::closeEvent(event);
}
