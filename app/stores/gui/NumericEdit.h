#pragma once

#include "stores/NumericEditRule.h"

#include <QAbstractSpinBox>

// A number field with a spin button: only digits and control keys can be typed or pasted
// (every other printable character is swallowed), and whenever the text changes, also when
// the program sets it, a value outside the range is replaced at once by the bound it passed,
// with the whole text selected. The spin button steps within the range, showing two digits.
class NumericEdit final : public QAbstractSpinBox
{
    Q_OBJECT

public:
    // A field for values from `minimum` to `maximum`.
    NumericEdit(long minimum, long maximum, QWidget* parent = nullptr);

    // Replaces the text (the range rule applies to it).
    void setText(const QString& text);
    // Changes the highest value; a larger text is lowered to it.
    void setMaximum(long maximum);
    // The range.
    long maximum() const { return m_rule.maximum(); }
    long minimum() const { return m_rule.minimum(); }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;

Q_SIGNALS:
    // The text changed (after the range rule), by the user or the program.
    void numberTextChanged(const QString& text);

protected:
    StepEnabled stepEnabled() const override;

private:
    void applyRule(const QString& text);

    NumericEditRule m_rule;
};
