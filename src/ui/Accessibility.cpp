#include "Accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

const char LabelledProperty[] = "tarvikLabelledCombo";
const char WindowProperty[] = "tarvikMainWindow";

class LabelledComboBox : public QAccessibleWidget
{
public:
    explicit LabelledComboBox(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox *Box() const { return static_cast<QComboBox *>(widget()); }

    int childCount() const override { return Box()->isEditable() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(Box()->view());
        if (index == 1 && Box()->isEditable())
            return QAccessible::queryAccessibleInterface(Box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return Box()->accessibleName();
        if (t == QAccessible::Value)
            return Box()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Box()->view()->isVisible();
        s.editable = Box()->isEditable();
        return s;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (Box()->view()->isVisible())
            Box()->hidePopup();
        else
            Box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (!object)
        return nullptr;
    if (className == QStringLiteral("QComboBox") && object->property(LabelledProperty).toBool())
        return new LabelledComboBox(static_cast<QComboBox *>(object));
    if (className == QStringLiteral("QWidget") && object->property(WindowProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

void InstallFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

} // namespace

void KeepAccessibleName(QComboBox *box)
{
    InstallFactory();
    box->setProperty(LabelledProperty, true);
}

void AnnounceAsWindow(QWidget *window)
{
    InstallFactory();
    window->setProperty(WindowProperty, true);
}
