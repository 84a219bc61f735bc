#include "stores/gui/NumericEdit.h"

#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>

NumericEdit::NumericEdit(long minimum, long maximum, QWidget* parent)
    : QAbstractSpinBox(parent)
    , m_rule(minimum, maximum)
{
    // The text is the field's value as typed; it is not corrected when the focus leaves.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &NumericEdit::applyRule);
}

void NumericEdit::setText(const QString& text)
{
    if (lineEdit()->text() == text) {
        applyRule(text);
        return;
    }
    lineEdit()->setText(text);
}

void NumericEdit::setMaximum(long maximum)
{
    m_rule.setMaximum(maximum);
    applyRule(lineEdit()->text());
}

void NumericEdit::applyRule(const QString& text)
{
    const std::string typed = text.toStdString();
    if (m_rule.replaces(typed)) {
        // Setting the bound calls this again, with a text that stays.
        lineEdit()->setText(QString::fromStdString(m_rule.apply(typed)));
        lineEdit()->selectAll();
        return;
    }
    Q_EMIT numberTextChanged(text);
}

void NumericEdit::stepBy(int steps)
{
    const long value = NumericEditRule::valueOf(lineEdit()->text().toStdString());
    const long next = std::clamp(value + steps, m_rule.minimum(), m_rule.maximum());
    setText(QStringLiteral("%1").arg(next, 2, 10, QLatin1Char('0')));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled NumericEdit::stepEnabled() const
{
    const QString text = lineEdit()->text();
    const long value = NumericEditRule::valueOf(text.toStdString());
    StepEnabled enabled = StepNone;
    if (text.isEmpty() || value < m_rule.maximum())
        enabled |= StepUpEnabled;
    if (text.isEmpty() || value > m_rule.minimum())
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State NumericEdit::validate(QString& input, int&) const
{
    // Typing and pasting both pass here: a printable character other than a digit is
    // swallowed; the range is the text change's business (applyRule).
    for (const QChar c : input) {
        if (c.unicode() > 0x7e || !NumericEditRule::keyAccepted(static_cast<char>(c.unicode())))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

void NumericEdit::fixup(QString&) const
{
    // Nothing to correct: every text that gets in is kept as it is.
}

QSize NumericEdit::sizeHint() const
{
    QSize hint = QAbstractSpinBox::sizeHint();
    const QFontMetrics metrics(font());
    hint.setWidth(std::max(hint.width(), metrics.horizontalAdvance(QStringLiteral("0000")) + 30));
    return hint;
}
