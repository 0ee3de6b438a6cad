// What assistive technology reads of the widgets the sheet shows its figures
// in: Qt's own interfaces give a label's caption as its name only, a slider's
// position as a bare number, and nothing a screen reader speaks unasked.
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include "widgets.h"

namespace kq71wb::window {
namespace {

// A widget whose shown text is readable as text, character by character.
class ReadableText : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    ReadableText(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }

    virtual QString shown() const = 0;

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

// "Gross weight, 770, within limits": its role as name, its caption (without
// the blanks that only align it) as text and value, its verdict as description.
class ResultText : public ReadableText {
public:
    explicit ResultText(ResultLabel* label) : ReadableText(label, QAccessible::StaticText) {}
    QString shown() const override { return static_cast<const ResultLabel*>(widget())->text().remove(' '); }
};

// The line of messages, a notification whose name is its whole message.
class MessageText : public ReadableText {
public:
    explicit MessageText(MessageLine* line)
        : ReadableText(line, line->announcing() ? QAccessible::Notification : QAccessible::StaticText)
    {
    }
    QString shown() const override { return static_cast<const MessageLine*>(widget())->message(); }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? shown() : ReadableText::text(kind);
    }
};

// The scale reads the CG as the sheet shows it, not the clamped tenths of
// an inch it is set to.
class ScaleValue : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ScaleValue(ScaleSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? scale()->centreOfGravityWords() : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override
    {
        const std::optional<double> inches = scale()->centreOfGravity();
        return inches ? QVariant(*inches) : QVariant();
    }
    void setCurrentValue(const QVariant&) override {}  // moving the scale changes nothing
    QVariant maximumValue() const override { return scale()->maximum() / 10.0; }
    QVariant minimumValue() const override { return scale()->minimum() / 10.0; }
    QVariant minimumStepSize() const override { return 0.1; }

private:
    const ScaleSlider* scale() const { return static_cast<const ScaleSlider*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object)
{
    if (className == ResultLabel::staticMetaObject.className())
        return new ResultText(static_cast<ResultLabel*>(object));
    if (className == MessageLine::staticMetaObject.className())
        return new MessageText(static_cast<MessageLine*>(object));
    if (className == ScaleSlider::staticMetaObject.className())
        return new ScaleValue(static_cast<ScaleSlider*>(object));
    return nullptr;
}

}  // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    (void)installed;
}

}  // namespace kq71wb::window
