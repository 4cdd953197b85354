#pragma once

#include <QFrame>
#include <QLabel>
#include <functional>

// A panel that reports a click anywhere on it that no child took.
class ClickPanel : public QFrame
{
    Q_OBJECT

public:
    explicit ClickPanel(const QString &name, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A picture control: stretched to its box, or shown at its size (made smaller to fit) in the
// middle. Its picture is the label's pixmap, so clearing the pixmap empties it.
class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(const QString &name, QWidget *parent = nullptr);
    void SetStretch(bool stretch);
    bool Stretch() const { return stretch_; }
    void SetBackground(const QColor &color);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool stretch_ = false;
    QColor background_;
};

// A small circle of the bottom bar (monitoring link state).
class ShapeIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit ShapeIndicator(const QString &name, QWidget *parent = nullptr);
    void SetColor(const QColor &color);
    QSize sizeHint() const override { return QSize(14, 14); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_ = Qt::gray;
};

// A widget that calls back when it is resized, so that rows can follow the area.
class ResizePanel : public QFrame
{
    Q_OBJECT

public:
    explicit ResizePanel(const QString &name, QWidget *parent = nullptr);
    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
