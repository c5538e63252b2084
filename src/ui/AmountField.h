// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <optional>

// A decimal number field (amounts, rates) that reads what is typed through parseAmount: "119.50" and
// "119,50" are both 119,50, "1.234,56" is 1234,56. Typing is free; text that is no amount stays as
// typed, so that the user can correct it, and value() keeps the last amount read. Whoever takes the
// value for good (posting) asks typedValue() and refuses the entry with message() when it is empty.
//
// On leaving the field a readable amount is shown again in the display form ("1234,56"), so the user
// sees how the text was read. Enter is left to the window (it posts there).
class AmountField : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountField(QWidget* parent = nullptr);

    double value() const { return m_value; }
    // Shows `value` in the display form; valueChanged when it differs from the value held.
    void setValue(double value);
    void setRange(double minimum, double maximum);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }

    // The amount the text stands for now, when it is one within the range.
    std::optional<double> typedValue() const;
    bool hasAmount() const { return typedValue().has_value(); }
    // The German message for the text as it stands (empty when it is an amount).
    QString message() const;

signals:
    // The amount read from the text changed (a keystroke that makes a different amount, or setValue).
    // Keys that leave the amount as it is (Enter, moving the cursor) do not emit it.
    void valueChanged(double value);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void readText();
    void showValue();

    double m_value = 0.0;
    double m_minimum = -999999999.99;
    double m_maximum = 999999999.99;
    bool m_showing = false;  // the field itself replaces the text
};
