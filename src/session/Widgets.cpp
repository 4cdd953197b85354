#include "Widgets.h"

#include <QMouseEvent>
#include <QPainter>

ClickPanel::ClickPanel(const QString &name, QWidget *parent) : QFrame(parent)
{
    setObjectName(name);
}

void ClickPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QFrame::mousePressEvent(event);
}

PictureBox::PictureBox(const QString &name, QWidget *parent) : QLabel(parent)
{
    setObjectName(name);
    setAlignment(Qt::AlignCenter);
    setMinimumSize(1, 1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void PictureBox::SetStretch(bool stretch)
{
    stretch_ = stretch;
    update();
}

void PictureBox::SetBackground(const QColor &color)
{
    background_ = color;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (background_.isValid())
        painter.fillRect(rect(), background_);
    const QPixmap pm = pixmap();
    if (pm.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (stretch_) {
        painter.drawPixmap(rect(), pm);
        return;
    }
    QSize size = pm.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawPixmap(target, pm);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}

ShapeIndicator::ShapeIndicator(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setFixedSize(14, 14);
}

void ShapeIndicator::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void ShapeIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color_);
    painter.drawEllipse(rect().adjusted(1, 1, -2, -2));
}

ResizePanel::ResizePanel(const QString &name, QWidget *parent) : QFrame(parent)
{
    setObjectName(name);
}

void ResizePanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (OnResize)
        OnResize();
}
