// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/NumberFieldLink.h"

#include <QComboBox>
#include <QSpinBox>
#include <cmath>

#include "ui/AmountField.h"

NumberFieldLink::NumberFieldLink(QComboBox* list, std::function<void()> selectByNumber, NumberOfRow numberOfRow,
                                 double shown)
    : QObject(list),
      m_list(list),
      m_selectByNumber(std::move(selectByNumber)),
      m_numberOfRow(std::move(numberOfRow)),
      m_current(shown) {
    connect(list, &QComboBox::activated, this, &NumberFieldLink::followList);
}

NumberFieldLink::NumberFieldLink(QSpinBox* field, QComboBox* list, std::function<void()> selectByNumber,
                                 NumberOfRow numberOfRow)
    : NumberFieldLink(list, std::move(selectByNumber), std::move(numberOfRow), field->value()) {
    m_spin = field;
    connect(field, &QSpinBox::valueChanged, this, [this](int value) { fieldChanged(value); });
}

NumberFieldLink::NumberFieldLink(AmountField* field, QComboBox* list, std::function<void()> selectByNumber,
                                 NumberOfRow numberOfRow)
    : NumberFieldLink(list, std::move(selectByNumber), std::move(numberOfRow), field->value()) {
    m_amount = field;
    connect(field, &AmountField::valueChanged, this, &NumberFieldLink::fieldChanged);
}

void NumberFieldLink::fieldChanged(double value) {
    // A spin box reports its value again on Enter although nothing changed.
    if (value == m_current) return;
    m_current = value;
    if (m_selectByNumber) m_selectByNumber();
}

void NumberFieldLink::followList() {
    if (!m_list || !m_numberOfRow) return;
    const int row = m_list->currentIndex();
    if (row < 0) return;
    if (const std::optional<double> number = m_numberOfRow(row)) showNumber(*number);
}

void NumberFieldLink::showNumber(double value) {
    if (m_spin) {
        if (!std::isfinite(value) || value < m_spin->minimum() || value > m_spin->maximum()) return;
        m_current = std::round(value);
        m_spin->setValue(static_cast<int>(m_current));
    } else if (m_amount) {
        m_current = value;
        m_amount->setValue(value);
    }
}
