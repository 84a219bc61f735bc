#include "gui/NumberSpinBox.h"

#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>
#include <limits>

NumberSpinBox::NumberSpinBox(int minimum, int maximum, int maxLength, QWidget* parent)
    : QAbstractSpinBox(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
{
    lineEdit()->setMaxLength(maxLength);
    // The text stays as typed when the box loses focus: it is not this box's to correct.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

void NumberSpinBox::setText(const QString& text)
{
    lineEdit()->setText(text);
}

void NumberSpinBox::setRecordText(const std::string& text)
{
    setText(QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
}

std::string NumberSpinBox::recordText() const
{
    // The limit counts characters as typed, the record counts bytes: a character that takes
    // several bytes in the local encoding must not make the record overrun.
    const QByteArray bytes = text().toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))
        .substr(0, static_cast<std::size_t>(lineEdit()->maxLength()));
}

int NumberSpinBox::leadingNumber() const
{
    const QString text = lineEdit()->text();
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Gathered in 64 bits and held at the limits of int, so that a long run of digits
    // cannot overflow.
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = std::min<long long>(value * 10 + (text[i].unicode() - '0'),
                                    std::numeric_limits<int>::max() + 1LL);
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

int NumberSpinBox::numberWidth() const
{
    const QFontMetrics metrics(font());
    return std::max(metrics.horizontalAdvance(QString::number(m_minimum)),
                    metrics.horizontalAdvance(QString::number(m_maximum)));
}

QSize NumberSpinBox::sizeHint() const
{
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.rwidth() += numberWidth();
    return hint;
}

QSize NumberSpinBox::minimumSizeHint() const
{
    QSize hint = QAbstractSpinBox::minimumSizeHint();
    hint.rwidth() += numberWidth();
    return hint;
}

void NumberSpinBox::stepBy(int steps)
{
    const long long next = static_cast<long long>(leadingNumber()) + steps;
    setText(QString::number(std::clamp<long long>(next, m_minimum, m_maximum)));
    lineEdit()->selectAll();
}

QValidator::State NumberSpinBox::validate(QString&, int&) const
{
    return QValidator::Acceptable;
}

void NumberSpinBox::fixup(QString&) const { }

QAbstractSpinBox::StepEnabled NumberSpinBox::stepEnabled() const
{
    const int number = leadingNumber();
    StepEnabled enabled = StepNone;
    if (number < m_maximum) {
        enabled |= StepUpEnabled;
    }
    if (number > m_minimum) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}
