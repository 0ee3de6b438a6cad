// What assistive technology reads of the widgets the sheet shows its figures
// in: Qt's own interfaces give a label's caption as its name only, a slider's
// position as a bare number, and nothing a screen reader speaks unasked.
#include <QAccessibleEditableTextInterface>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include "widgets.h"

namespace kq71wb::window {
namespace {

// A box in a widget's coordinates as the screen's.
QRect onScreen(const QWidget* widget, const QRect& box)
{
    return box.isEmpty() ? QRect() : QRect(widget->mapToGlobal(box.topLeft()), box.size());
}

// A widget whose shown text is readable as text, character by character, each
// where it is drawn: Orca's flat review speaks only text whose boxes lie on
// the screen, and falls back to the name otherwise.
class ReadableText : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    ReadableText(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }

    virtual QString shown() const = 0;
    virtual QRect box(int offset) const = 0;  // in the widget's coordinates

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
    QRect characterRect(int offset) const override { return onScreen(widget(), box(offset)); }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = widget()->mapFromGlobal(point);
        for (int offset = 0; offset < characterCount(); ++offset) {
            if (box(offset).contains(local))
                return offset;
        }
        return -1;
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

// Its caption (without the blanks that only align it) as text and value, its
// verdict as description, and all three as its name, "Gross weight, 770, within
// limits": Orca speaks a label's name alone, never its text or description.
class ResultText : public ReadableText {
public:
    explicit ResultText(ResultLabel* label) : ReadableText(label, QAccessible::StaticText) {}
    QString shown() const override { return label()->text().remove(' '); }
    QRect box(int offset) const override
    {
        const QString caption = label()->text();
        for (int index = 0; index < caption.size(); ++index) {
            if (caption.at(index) != ' ' && offset-- == 0)
                return label()->characterBox(index);
        }
        return {};
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return ReadableText::text(kind);
        QStringList said({label()->accessibleName(), shown(), label()->accessibleDescription()});
        said.removeAll(QString());
        return said.join(", ");
    }

private:
    const ResultLabel* label() const { return static_cast<const ResultLabel*>(widget()); }
};

// The line of messages, a notification whose name is its whole message.
class MessageText : public ReadableText {
public:
    explicit MessageText(MessageLine* line)
        : ReadableText(line, line->announcing() ? QAccessible::Notification : QAccessible::StaticText)
    {
    }
    QString shown() const override { return line()->message(); }
    QRect box(int offset) const override { return line()->characterBox(offset); }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? shown() : ReadableText::text(kind);
    }

private:
    const MessageLine* line() const { return static_cast<const MessageLine*>(widget()); }
};

// A field of the sheet as Qt's own line edit reads, but for its text
// attributes: Qt 6.4 gives each character an empty run of them, from which
// Orca 43 pieces together the text short of its last character ("-2" for
// "-20") when the field gains the focus. Here one run covers the whole text.
class FieldText : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
    explicit FieldText(SheetField* field) : QAccessibleWidget(field, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = field()->isReadOnly();
        state.editable = !state.readOnly;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? field()->text() : QAccessibleWidget::text(kind);
    }
    void setText(QAccessible::Text kind, const QString& text) override
    {
        if (kind == QAccessible::Value)
            field()->setText(text);
        else
            QAccessibleWidget::setText(kind, text);
    }

    QString text(int start, int end) const override { return field()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(field()->text().size()); }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && field()->hasSelectedText()) {
            *start = field()->selectionStart();
            *end = *start + field()->selectionLength();
        }
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { field()->deselect(); }
    void setSelection(int, int start, int end) override { field()->setSelection(start, end - start); }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    QRect characterRect(int offset) const override { return onScreen(field(), field()->characterBox(offset)); }
    int offsetAtPoint(const QPoint& point) const override
    {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override
    {
        field()->setCursorPosition(end);
        field()->setCursorPosition(start);
    }

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        field()->setText(field()->text().replace(start, end - start, text));
    }

private:
    SheetField* field() const { return static_cast<SheetField*>(widget()); }
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
    // Qt 6.4 hands no value text to AT-SPI: the words reach Orca as the
    // description, the figure as the value.
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value || kind == QAccessible::Description)
            return scale()->centreOfGravityWords();
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override
    {
        const std::optional<double> inches = scale()->centreOfGravity();
        return inches ? QVariant(*inches) : QVariant();
    }
    void setCurrentValue(const QVariant&) override {}  // moving the scale changes nothing
    // Orca 43 takes the value over the maximum less the minimum as a
    // percentage: from the datum, 0, it is how far along to the scale's aft
    // end the CG lies, where from the scale's forward end it would be nonsense.
    QVariant maximumValue() const override { return scale()->maximum() / 10.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.01; }  // the CG as shown, to the hundredth

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
    if (className == SheetField::staticMetaObject.className())
        return new FieldText(static_cast<SheetField*>(object));
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
