#pragma once

#include <QAbstractSpinBox>

#include <string>

// A text box with up and down arrows attached, as the settings dialogs use them: the box takes
// any text (what it holds is what the dialog hands back), while the arrows and the arrow keys
// step the number at the start of the text within their range.
class NumberSpinBox final : public QAbstractSpinBox
{
    Q_OBJECT

public:
    // Arrows stepping within minimum..maximum; the box holds at most maxLength characters.
    NumberSpinBox(int minimum, int maximum, int maxLength, QWidget* parent = nullptr);

    // Replaces the box's text.
    void setText(const QString& text);
    // Replaces the box's text with a settings record's text (8-bit, in the local encoding).
    void setRecordText(const std::string& text);
    // The box's text as a settings record holds it: 8-bit, in the local encoding, and cut to
    // the box's maxLength bytes.
    std::string recordText() const;
    // The arrows' range.
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // Wide enough for the longest number of the range (the base class sizes an empty box).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The number at the start of the text (leading blanks, a sign, digits; none reads as 0),
    // held within the range of int.
    int leadingNumber() const;
    // The width the range's longest number takes in the box's font.
    int numberWidth() const;

    int m_minimum;
    int m_maximum;
};
