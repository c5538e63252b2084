// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AmountField.h"

#include <QFocusEvent>

#include "journal/AmountFormat.h"

AmountField::AmountField(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    showValue();
    connect(this, &QLineEdit::textChanged, this, &AmountField::readText);
}

void AmountField::setValue(double value) {
    const bool changed = value != m_value;
    m_value = value;
    showValue();
    if (changed) emit valueChanged(m_value);
}

void AmountField::setRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

std::optional<double> AmountField::typedValue() const {
    bool ok = false;
    const double value = parseAmount(text(), &ok);
    if (!ok || value < m_minimum || value > m_maximum) return std::nullopt;
    return value;
}

QString AmountField::message() const {
    bool ok = false;
    const double value = parseAmount(text(), &ok);
    if (!ok) return amountMessage(text());
    if (value < m_minimum || value > m_maximum)
        return QStringLiteral(
                   "Die Zahl %1 liegt außerhalb dessen, was dieses Feld aufnimmt.\nBitte geben Sie eine "
                   "Zahl zwischen %2 und %3 ein.")
            .arg(text().trimmed(), formatAmount(m_minimum), formatAmount(m_maximum));
    return {};
}

void AmountField::readText() {
    if (m_showing) return;
    const std::optional<double> value = typedValue();
    if (!value || *value == m_value) return;
    m_value = *value;
    emit valueChanged(m_value);
}

void AmountField::showValue() {
    m_showing = true;
    setText(formatAmount(m_value));
    m_showing = false;
}

void AmountField::focusOutEvent(QFocusEvent* event) {
    if (typedValue() && *typedValue() == m_value) showValue();
    QLineEdit::focusOutEvent(event);
}
